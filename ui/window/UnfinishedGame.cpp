#include "UnfinishedGame.h"

#include "AppPaths.h"
#include "TextFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

UnfinishedGame::UnfinishedGame(chess::Game& game, const QString& dataDir, QObject* parent)
    : QObject(parent), game_(game), dataDir_(dataDir)
{
    game_.AddListener(this);
}

UnfinishedGame::~UnfinishedGame()
{
    game_.RemoveListener(this);
}

QString UnfinishedGame::Path() const
{
    return dataDir_.isEmpty() ? QString() : dataDir_ + QStringLiteral("/rozehrana.pgn");
}

void UnfinishedGame::GameChanged(const chess::Game&, const chess::GameChange& change)
{
    if (change.kind != chess::GameChange::NewGame)
        Write();
    else if (!Path().isEmpty())
        QFile::remove(Path());
}

void UnfinishedGame::Write()
{
    const QString path = Path();
    if (path.isEmpty())
        return;
    // The file now holds this game, not the one found at the start.
    if (found_) {
        found_.reset();
        emit available(false);
    }
    if (game_.Over() || game_.Record().Size() == 0) {
        QFile::remove(path);
        return;
    }
    QDir().mkpath(dataDir_);
    // A failure here must not interrupt the game; the next move tries again.
    const std::string text = chess::WritePgn(game_.Record(), game_.Tags(), chess::ResultText(game_.End()));
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(text.data(), qint64(text.size())) == qint64(text.size()))
        file.commit();
}

void UnfinishedGame::Look()
{
    if (Path().isEmpty())
        return;
    // One game of ours: anything else standing there (a FIFO, a device, a
    // huge file) is no unfinished game and must not hold the window up.
    const chess::TextFile file = chess::ReadTextFile(LocalPath(Path()));
    if (file.state != chess::FileState::Read)
        return;
    const std::vector<chess::PgnGame> games = chess::ParsePgn(file.bytes);
    if (games.empty())
        return;
    chess::RecordedGame game = chess::ReplayPgnGame(games.front(), 1);
    if (!game.ok || game.history.Size() == 0 || game.history.Over())
        return;
    found_ = std::move(game);
    emit available(true);
}

std::optional<chess::RecordedGame> UnfinishedGame::Take()
{
    return found_;
}
