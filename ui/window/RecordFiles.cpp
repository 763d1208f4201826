#include "RecordController.h"

#include "AppPaths.h"
#include "AtomicFile.h"
#include "Fen.h"
#include "GameList.h"
#include "TextFile.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QStandardPaths>

// The record's files and the clipboard: opening, saving, copying and pasting
// games and positions.

namespace {

const QString PgnFilter = QStringLiteral("PGN (*.pgn)");

std::string Bytes(const QString& text)
{
    return text.toUtf8().toStdString();
}

// Neither a failure (a full disk included) nor a killed program leaves half
// a file, or an empty one, in place of the old.
bool WriteAtomically(const QString& path, const std::string& text, std::string* error = nullptr)
{
    chess::WriteOptions options;
    options.maxBytes = MaxPgnFileSize;
    return chess::WriteFileAtomically(LocalPath(path), text, options, error);
}

// One line of six FEN fields, or at least its board: a position, not a game.
bool LooksLikeFen(const QString& text)
{
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('['))
        && text.section(QLatin1Char(' '), 0, 0).count(QLatin1Char('/')) == 7;
}

}  // namespace

std::string RecordController::GameText() const
{
    return WholeGameText(game_);
}

// One game is resumed at once; of several, the players choose.
void RecordController::Warn(const QString& text, const std::string& detail)
{
    Warn(text, QString::fromStdString(detail));
}

void RecordController::Warn(const QString& text, const QString& detail)
{
    QString message = text;
    if (!detail.isEmpty())
        message += QStringLiteral("\n\n") + detail;
    QMessageBox box(QMessageBox::Warning, host_.Window()->windowTitle(), message, QMessageBox::Ok, host_.Window());
    box.exec();
}

// The folder a game was last opened from or saved to; before that, or when
// that folder is gone, the home folder, since the folder the program was
// started in is seldom where anyone keeps games.
QString RecordController::StartFolder() const
{
    return !lastFolder_.isEmpty() && QFileInfo(lastFolder_).isDir() ? lastFolder_ : QDir::homePath();
}

void RecordController::Open()
{
    const QString path = QFileDialog::getOpenFileName(host_.Window(), texts_.OtevritPartii, StartFolder(), PgnFilter,
                                                      nullptr);
    if (!path.isEmpty())
        OpenFile(path);
}

bool RecordController::OpenFile(const QString& path)
{
    lastFolder_ = QFileInfo(path).absolutePath();
    // Read like every other file of the program, so that a FIFO or a device
    // chosen by mistake is reported instead of hanging or filling memory.
    const chess::TextFile file = chess::ReadTextFile(LocalPath(path), MaxPgnFileSize);
    if (file.state != chess::FileState::Read) {
        Warn(texts_.NelzeCist.arg(QDir::toNativeSeparators(path)), file.error);
        return false;
    }
    return TakeGames(file.bytes, QDir::toNativeSeparators(path));
}

// Lets the players choose one game of several, replays it and puts it on
// the board; a game that cannot be replayed is reported and changes nothing.
bool RecordController::TakeGames(const std::string& bytes, const QString& source)
{
    // Listed from the text, and only the game chosen read whole: a file of
    // many thousand games costs little more than its own size.
    const std::vector<chess::PgnListing> games = chess::ListPgnGames(bytes);
    if (games.empty()) {
        Warn(source.isEmpty() ? texts_.PrazdnaSchranka : texts_.ZadnaPartie.arg(source));
        return false;
    }
    int chosen = 0;
    if (games.size() > 1) {
        const GameListTexts names{texts_.VyberPartie,   texts_.Cislo,    texts_.Bily,
                                  texts_.Cerny,         texts_.Vysledek, texts_.Tahy,
                                  QStringLiteral("OK"), texts_.Storno,   letters_};
        TGameList list(bytes, games, names, host_.Window());
        chosen = list.Choose();
        if (chosen < 0)
            return false;
    }
    const std::optional<chess::PgnGame> pgn = chess::PgnGameAt(bytes, games[std::size_t(chosen)].offset);
    if (!pgn) {
        Warn(source.isEmpty() ? texts_.PrazdnaSchranka : texts_.ZadnaPartie.arg(source));
        return false;
    }
    chess::RecordedGame game = chess::ReplayPgnGame(*pgn, chosen + 1);
    if (!game.ok) {
        Warn(texts_.ChybnaPartie, texts_.Problem(game.problem));
        return false;
    }
    return Adopt(std::move(game));
}

void RecordController::Save()
{
    QString path = QFileDialog::getSaveFileName(host_.Window(), texts_.UlozitPartii,
                                                StartFolder() + QStringLiteral("/"), PgnFilter, nullptr);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pgn");
    SaveFile(path);
}

bool RecordController::SaveFile(const QString& path)
{
    lastFolder_ = QFileInfo(path).absolutePath();
    std::string error;
    if (WriteAtomically(path, GameText(), &error))
        return true;
    Warn(texts_.NelzeUlozit.arg(QDir::toNativeSeparators(path)), error);
    return false;
}

void RecordController::CopyFen()
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(game_.Record().Fen()));
}

void RecordController::CopyPgn()
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(GameText()));
}

void RecordController::Paste()
{
    PasteText(QGuiApplication::clipboard()->text());
}

bool RecordController::PasteText(const QString& clipboard)
{
    // The same limit as for a file opened: a paste is no bigger game.
    if (std::size_t(clipboard.size()) > MaxPgnFileSize) {
        Warn(texts_.PrazdnaSchranka);
        return false;
    }
    const QString text = clipboard.trimmed();
    if (text.isEmpty()) {
        Warn(texts_.PrazdnaSchranka);
        return false;
    }
    if (LooksLikeFen(text)) {
        const chess::FenReading reading = chess::ReadFen(Bytes(text));
        if (!reading.ok) {
            Warn(texts_.ChybnaPozice, reading.error);
            return false;
        }
        chess::RecordedGame game;
        game.history.Reset(reading.position.state, reading.position.halfmoveClock, reading.position.fullmoveNumber);
        return Adopt(std::move(game));
    }
    return TakeGames(Bytes(text), QString());
}
