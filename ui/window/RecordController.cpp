#include "RecordController.h"

#include "AppPaths.h"
#include "AtomicFile.h"
#include "Fen.h"
#include "GameList.h"
#include "GameRecord.h"
#include "MoveList.h"
#include "Presentation.h"
#include "TextFile.h"
#include "UnfinishedGame.h"

#include <QClipboard>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>

namespace {

constexpr int MoveListWidth = 200;
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

namespace {

constexpr TextKey<RecordTexts> RecordTextKeys[] = {
    {"OtevritPartii", &RecordTexts::OtevritPartii},
    {"UlozitPartii", &RecordTexts::UlozitPartii},
    {"VyberPartie", &RecordTexts::VyberPartie},
    {"Cislo", &RecordTexts::Cislo},
    {"Bily", &RecordTexts::Bily},
    {"Cerny", &RecordTexts::Cerny},
    {"Vysledek", &RecordTexts::Vysledek},
    {"Tahy", &RecordTexts::Tahy},
    {"Storno", &RecordTexts::Storno},
    {"NelzeCist", &RecordTexts::NelzeCist},
    {"ZadnaPartie", &RecordTexts::ZadnaPartie},
    {"ChybnaPartie", &RecordTexts::ChybnaPartie},
    {"NelzeUlozit", &RecordTexts::NelzeUlozit},
    {"PrazdnaSchranka", &RecordTexts::PrazdnaSchranka},
    {"ChybnaPozice", &RecordTexts::ChybnaPozice},
    {"NelzeUkladat", &RecordTexts::NelzeUkladat},
    {"RozehranePartie", &RecordTexts::RozehranePartie},
    {"Ulozeno", &RecordTexts::Ulozeno},
    {"PosledniTah", &RecordTexts::PosledniTah},
};

}  // namespace

RecordTexts RecordTexts::Load(const LanguageFile& file)
{
    return LoadTexts(file, "Zapis", RecordTextKeys);
}

RecordController::RecordController(RecordHost& host, chess::Game& game, Presentation& look, const QString& dataDir)
    : QObject(host.Window()), host_(host), game_(game), look_(look),
      unfinished_(new UnfinishedGame(game, dataDir, this))
{
    game_.AddListener(this);
}

// Made when first shown: a start without the list pays nothing for it.
void RecordController::MakeMoveList()
{
    if (dock_)
        return;
    list_ = new TMoveList;
    connect(list_, &TMoveList::chosen, this, &RecordController::JumpTo);
    dock_ = new QDockWidget(host_.Window());
    dock_->setObjectName(QStringLiteral("ZapisPanel"));
    dock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock_->setTitleBarWidget(new QWidget(dock_));
    dock_->setWidget(list_);
    dock_->setFixedWidth(MoveListWidth);
    host_.Window()->addDockWidget(Qt::RightDockWidgetArea, dock_);
}

bool RecordController::MoveListShown() const
{
    return dock_ && !dock_->isHidden();
}

RecordController::~RecordController()
{
    game_.RemoveListener(this);
}

QAction* RecordController::Add(QMenu* menu, const char* name, const QString& caption, bool checkable)
{
    return host_.AddItem(menu, name, caption, checkable);
}

void RecordController::AddGameItems(QMenu* game)
{
    host_.AddSeparator(game, "N6");
    takeBack_ = Add(game, "Vrtittah1", QStringLiteral("&Vrátit tah"));
    takeBack_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(takeBack_, &QAction::triggered, this, &RecordController::TakeBack);
    replay_ = Add(game, "Znovu1", QStringLiteral("&Znovu"));
    replay_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(replay_, &QAction::triggered, this, &RecordController::Replay);
    host_.AddSeparator(game, "N7");
    QAction* open = Add(game, "Otevtpartii1", QStringLiteral("&Otevřít partii…"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(open, &QAction::triggered, this, &RecordController::Open);
    QAction* save = Add(game, "Uloitpartii1", QStringLiteral("&Uložit partii…"));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(save, &QAction::triggered, this, &RecordController::Save);
    resume_ = Add(game, "Pokraovatvrozehranpartii1", QStringLiteral("&Pokračovat v rozehrané partii"));
    resume_->setEnabled(false);
    connect(resume_, &QAction::triggered, this, &RecordController::Resume);
    connect(unfinished_, &UnfinishedGame::available, resume_, &QAction::setEnabled);
    // Another copy that has ended since leaves its game to this one.
    connect(game, &QMenu::aboutToShow, unfinished_, [this] { unfinished_->Look(); });
    host_.AddSeparator(game, "N8");
    connect(Add(game, "KoprovatpoziciFEN1", QStringLiteral("Kopírovat pozici (&FEN)")), &QAction::triggered, this,
            &RecordController::CopyFen);
    connect(Add(game, "KoprovatpartiiPGN1", QStringLiteral("Kopírovat partii (P&GN)")), &QAction::triggered, this,
            &RecordController::CopyPgn);
    QAction* paste = Add(game, "Vloitpartiinebopozici1", QStringLiteral("Vlož&it partii nebo pozici"));
    paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    connect(paste, &QAction::triggered, this, &RecordController::Paste);
    takeBack_->setEnabled(false);
    replay_->setEnabled(false);
}

void RecordController::AddBoardItems(QMenu* board)
{
    host_.AddSeparator(board, "N9");
    moveListItem_ = Add(board, "Zpispartie1", QStringLiteral("&Zápis partie"), true);
    connect(moveListItem_, &QAction::triggered, this, &RecordController::ShowMoveList);
    lastMoveItem_ = Add(board, "Oznaitposledntah1", QStringLiteral("Označit &poslední tah"), true);
    connect(lastMoveItem_, &QAction::triggered, this, &RecordController::MarkLastMove);
}

void RecordController::Start()
{
    look_.MarkLastMove = lastMoveItem_->isChecked();
    if (moveListItem_->isChecked())
        ShowMoveList(true);
    Refresh();
    // Reading the file waits until the window is up, so the start is no slower.
    QTimer::singleShot(0, unfinished_, [this] { unfinished_->Look(); });
}

int RecordController::PanelWidth() const
{
    if (!moveListItem_ || !moveListItem_->isChecked())
        return 0;
    QMainWindow* window = host_.Window();
    return MoveListWidth + window->style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, window);
}

void RecordController::LoadLanguage(const LanguageFile& file, const chess::PieceLetters& letters)
{
    texts_ = RecordTexts::Load(file);
    letters_ = letters;
    unfinished_->SetProblemText(texts_.NelzeUkladat);
    if (MoveListShown())
        list_->Show(game_.Record(), letters_);
}

void RecordController::GameChanged(const chess::Game&, const chess::GameChange&)
{
    Refresh();
}

// Brings everything that shows the record in line with it.
void RecordController::Refresh()
{
    const chess::History& history = game_.Record();
    if (takeBack_) {
        takeBack_->setEnabled(history.Current() > 0);
        replay_->setEnabled(history.Current() < history.Size());
    }
    int from = -1, to = -1;
    if (const auto last = history.LastMove()) {
        from = chess::CellIndex(last->fromFile, last->fromRank);
        to = chess::CellIndex(last->toFile, last->toRank);
    }
    if (from != look_.LastMoveFrom || to != look_.LastMoveTo) {
        const int before[2] = {look_.LastMoveFrom, look_.LastMoveTo};
        look_.LastMoveFrom = from;
        look_.LastMoveTo = to;
        if (look_.MarkLastMove)
            for (const int cell : {before[0], before[1], from, to})
                if (cell >= 0)
                    host_.DrawSquare(cell / 8, cell % 8);
    }
    if (MoveListShown())
        list_->Show(game_.Record(), letters_);
}

std::string RecordController::GameText() const
{
    return WholeGameText(game_);
}

// One game is resumed at once; of several, the players choose.
void RecordController::Resume()
{
    const std::vector<UnfinishedGame::Found>& games = unfinished_->Look();
    if (games.empty())
        return;
    int chosen = 0;
    if (games.size() > 1) {
        std::vector<QStringList> rows;
        for (const UnfinishedGame::Found& game : games)
            rows.push_back({QLocale().toString(game.written, QLocale::ShortFormat), QString::number(game.moves),
                            game.lastMove.empty()
                                ? QString()
                                : game.lastMoveNumber + QLatin1Char(' ')
                                      + QString::fromStdString(chess::DisplaySan(game.lastMove, letters_))});
        const GameListTexts names{texts_.RozehranePartie, {}, {}, {}, {}, {}, QStringLiteral("OK"), texts_.Storno};
        TGameList list({texts_.Ulozeno, texts_.Tahy, texts_.PosledniTah}, rows, names, host_.Window());
        chosen = list.Choose();
        if (chosen < 0)
            return;
    }
    unfinished_->Resume(std::size_t(chosen), [this](chess::RecordedGame&& game) { return Adopt(std::move(game)); });
}

bool RecordController::Adopt(chess::RecordedGame&& game)
{
    // The game on the board has no other copy once it is replaced: ask, as
    // a new game does.
    if (game_.Record().Size() > 0 && !host_.AskYesNo(chess::Question::NovaPartie))
        return false;
    game_.Open(std::move(game.history), std::move(game.tags));
    return true;
}

void RecordController::TakeBack()
{
    game_.TakeBack();
}

void RecordController::Replay()
{
    game_.Replay();
}

void RecordController::JumpTo(std::size_t plies)
{
    if (!game_.JumpTo(plies))
        Refresh();  // a click on the current move: the mark stays where it was
}

void RecordController::Warn(const QString& text, const std::string& detail)
{
    QString message = text;
    if (!detail.empty())
        message += QStringLiteral("\n\n") + QString::fromStdString(detail);
    QMessageBox box(QMessageBox::Warning, host_.Window()->windowTitle(), message, QMessageBox::Ok, host_.Window());
    box.exec();
}

void RecordController::Open()
{
    const QString path =
        QFileDialog::getOpenFileName(host_.Window(), texts_.OtevritPartii, lastFolder_, PgnFilter, nullptr);
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
    const std::vector<chess::PgnGame> games = chess::ParsePgn(bytes);
    if (games.empty()) {
        Warn(source.isEmpty() ? texts_.PrazdnaSchranka : texts_.ZadnaPartie.arg(source));
        return false;
    }
    int chosen = 0;
    if (games.size() > 1) {
        const GameListTexts names{texts_.VyberPartie, texts_.Cislo, texts_.Bily,     texts_.Cerny,
                                  texts_.Vysledek,    texts_.Tahy,  QStringLiteral("OK"), texts_.Storno};
        TGameList list(games, names, host_.Window());
        chosen = list.Choose();
        if (chosen < 0)
            return false;
    }
    chess::RecordedGame game = chess::ReplayPgnGame(games[std::size_t(chosen)], chosen + 1);
    if (!game.ok) {
        Warn(texts_.ChybnaPartie, game.error);
        return false;
    }
    return Adopt(std::move(game));
}

void RecordController::Save()
{
    QString path = QFileDialog::getSaveFileName(host_.Window(), texts_.UlozitPartii,
                                                lastFolder_.isEmpty() ? QString() : lastFolder_ + QStringLiteral("/"),
                                                PgnFilter, nullptr);
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

void RecordController::ShowMoveList(bool shown)
{
    if (shown)
        MakeMoveList();
    if (!dock_)
        return;
    dock_->setVisible(shown);
    if (shown)
        list_->Show(game_.Record(), letters_);
    host_.SetSidePanelWidth(PanelWidth());
}

void RecordController::MarkLastMove(bool marked)
{
    look_.MarkLastMove = marked;
    for (const int cell : {look_.LastMoveFrom, look_.LastMoveTo})
        if (cell >= 0)
            host_.DrawSquare(cell / 8, cell % 8);
}
