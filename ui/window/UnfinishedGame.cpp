#include "UnfinishedGame.h"

#include "AppPaths.h"
#include "TextFile.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A tag of our own, in our own files only: the half-moves on the board when
// the game was left, so that a game with moves taken back comes back as it
// was. Other PGN readers skip tags they do not know.
constexpr std::string_view ShownPlyTag = "BodlanyShownPly";
// Another: the running clock, as GameClock::KeptState gives it.
constexpr std::string_view ClockTag = "BodlanyClock";

constexpr std::size_t GamesKept = 10;
// Far more copies than anyone runs at once, and a bound on the names tried.
constexpr int MaxSlots = 1000;

bool Exists(const QString& path)
{
    struct stat st {};
    return ::lstat(LocalPath(path).c_str(), &st) == 0;
}

// A game this program left unfinished, as the players left it; nothing when
// the file holds anything else: no game, a game that cannot be replayed, a
// game without moves, or one already over.
std::optional<chess::RecordedGame> ReadGame(const QString& path, std::string* clock = nullptr)
{
    const chess::TextFile file = chess::ReadTextFile(LocalPath(path), MaxPgnFileSize);
    if (file.state != chess::FileState::Read)
        return std::nullopt;
    const std::vector<chess::PgnGame> games = chess::ParsePgn(file.bytes);
    if (games.empty())
        return std::nullopt;
    chess::RecordedGame game = chess::ReplayPgnGame(games.front(), 1);
    if (!game.ok || game.history.Size() == 0)
        return std::nullopt;
    std::size_t shown = game.history.Size();
    const auto tag = std::find_if(game.tags.begin(), game.tags.end(),
                                  [](const chess::PgnTag& t) { return t.name == ShownPlyTag; });
    if (tag != game.tags.end()) {
        std::size_t ply = 0;
        const char* end = tag->value.data() + tag->value.size();
        const auto [rest, error] = std::from_chars(tag->value.data(), end, ply);
        if (error == std::errc() && rest == end && ply <= shown)
            shown = ply;
        // It stays in our own file: saving the game elsewhere leaves it out.
        game.tags.erase(tag);
    }
    const auto kept = std::find_if(game.tags.begin(), game.tags.end(),
                                   [](const chess::PgnTag& t) { return t.name == ClockTag; });
    if (kept != game.tags.end()) {
        if (clock)
            *clock = kept->value;
        game.tags.erase(kept);
    }
    chess::GameState scratch;
    game.history.JumpTo(shown, scratch);
    if (game.history.Over())
        return std::nullopt;
    return game;
}

}  // namespace

std::string WholeGameText(const chess::Game& game, const std::vector<chess::PgnTag>& extra)
{
    chess::History whole = game.Record();
    chess::GameState scratch;
    whole.JumpTo(whole.Size(), scratch);
    std::vector<chess::PgnTag> tags = game.Tags();
    tags.insert(tags.end(), extra.begin(), extra.end());
    return chess::WritePgn(whole, tags, chess::ResultText(whole.End()));
}

UnfinishedGame::UnfinishedGame(chess::Game& game, const QString& dataDir, QObject* parent)
    : QObject(parent), game_(game), dataDir_(dataDir)
{
    chess::WriteOptions options;
    options.maxBytes = MaxPgnFileSize;
    options.maxExistingBytes = MaxPgnFileSize;
    // The report comes on the writer's thread; the rest of the object lives
    // on the window's.
    writer_ = std::make_unique<chess::BackgroundWriter>(options, [this](const chess::WriteOutcome& outcome) {
        QMetaObject::invokeMethod(
            this, [this, outcome] { Reported(outcome); }, Qt::QueuedConnection);
    });
    Claim();
    game_.AddListener(this);
}

UnfinishedGame::~UnfinishedGame()
{
    game_.RemoveListener(this);
    Finish();
    writer_.reset();
}

QString UnfinishedGame::GamePath(int slot) const
{
    return dataDir_ + (slot == 1 ? QStringLiteral("/rozehrana.pgn") : QStringLiteral("/rozehrana-%1.pgn").arg(slot));
}

std::string UnfinishedGame::LockPath(int slot) const
{
    return LocalPath(
        dataDir_ + (slot == 1 ? QStringLiteral("/rozehrana.lock") : QStringLiteral("/rozehrana-%1.lock").arg(slot)));
}

QString UnfinishedGame::Path() const
{
    return dataDir_.isEmpty() || slot_ == 0 ? QString() : GamePath(slot_);
}

// Takes the first name that holds no game and no running copy holds. Where
// no lock can be made (a data folder that cannot be written), the name is
// used all the same: writing it will fail, and that is told.
void UnfinishedGame::Claim()
{
    if (dataDir_.isEmpty())
        return;
    QDir().mkpath(dataDir_);
    for (int slot = 1; slot <= MaxSlots; ++slot) {
        if (Exists(GamePath(slot)))
            continue;
        chess::FileLock lock;
        if (lock.TryTake(LockPath(slot), true) == chess::FileLock::Outcome::Held)
            continue;
        // Its holder may have written it just before it ended.
        if (Exists(GamePath(slot)))
            continue;
        slot_ = slot;
        lock_ = std::move(lock);
        return;
    }
}

void UnfinishedGame::GameChanged(const chess::Game&, const chess::GameChange& change)
{
    if (finished_ || slot_ == 0)
        return;
    if (change.kind == chess::GameChange::Opened && resuming_ != 0) {
        // The game that was on the board is given up, as for a new game; its
        // name stays ours until the end, so nobody takes it while it goes.
        writer_->Remove(LocalPath(GamePath(slot_)));
        retired_.push_back(std::move(lock_));
        slot_ = std::exchange(resuming_, 0);
        lock_ = std::move(resumingLock_);
    }
    if (change.kind == chess::GameChange::NewGame || change.kind == chess::GameChange::Opened)
        SetProblem({}, {});  // a new game: its first failure is told again
    if (change.kind == chess::GameChange::NewGame)
        writer_->Remove(LocalPath(GamePath(slot_)));
    else
        Write();
}

void UnfinishedGame::Write()
{
    const std::string path = LocalPath(GamePath(slot_));
    const chess::History& record = game_.Record();
    if (game_.Over() || record.Size() == 0) {
        writer_->Remove(path);
        return;
    }
    std::vector<chess::PgnTag> extra;
    if (record.Current() < record.Size())
        extra.push_back({std::string(ShownPlyTag), std::to_string(record.Current())});
    clockWritten_ = clockState_ ? clockState_() : std::string();
    if (!clockWritten_.empty())
        extra.push_back({std::string(ClockTag), clockWritten_});
    writer_->Submit(path, WholeGameText(game_, extra));
}

void UnfinishedGame::Reported(const chess::WriteOutcome& outcome)
{
    if (outcome.ok)
        SetProblem({}, {});
    else if (problemPath_.isEmpty())
        SetProblem(QFile::decodeName(QByteArray::fromStdString(outcome.path)), QString::fromStdString(outcome.error));
}

void UnfinishedGame::SetProblem(const QString& path, const QString& reason)
{
    if (path == problemPath_ && reason == problemReason_)
        return;
    problemPath_ = path;
    problemReason_ = reason;
    emit problemChanged();
}

QString UnfinishedGame::Problem() const
{
    if (problemPath_.isEmpty())
        return {};
    const QString text = problemText_.contains(QLatin1String("%1")) ? problemText_ : QStringLiteral("%1:");
    return text.arg(QDir::toNativeSeparators(problemPath_)) + QStringLiteral(" (") + problemReason_ + QLatin1Char(')');
}

void UnfinishedGame::SetProblemText(const QString& text)
{
    problemText_ = text;
    if (!problemPath_.isEmpty())
        emit problemChanged();
}

void UnfinishedGame::KeepClock(ClockState state, ClockResumed resumed)
{
    clockState_ = std::move(state);
    clockResumed_ = std::move(resumed);
}

void UnfinishedGame::ClockChanged()
{
    if (finished_ || slot_ == 0 || !clockState_ || game_.Over() || game_.Record().Size() == 0)
        return;
    const std::string state = clockState_();
    if (!state.empty() && state != clockWritten_)
        Write();
}

void UnfinishedGame::Flush()
{
    writer_->Flush();
}

void UnfinishedGame::Finish()
{
    if (finished_)
        return;
    // The clock as it stands now, not as it stood at its last second.
    ClockChanged();
    finished_ = true;
    writer_->Flush();
    // The lock files go; the games stay for the next start.
    lock_.Release(true);
    resumingLock_.Release(true);
    for (chess::FileLock& lock : retired_)
        lock.Release(true);
}

const std::vector<UnfinishedGame::Found>& UnfinishedGame::Look()
{
    games_.clear();
    if (!dataDir_.isEmpty()) {
        static const QRegularExpression name(QStringLiteral("^rozehrana(?:-([0-9]{1,4}))?\\.(pgn|lock)$"));
        std::set<int> named;
        const QStringList entries = QDir(dataDir_).entryList(QDir::AllEntries | QDir::System | QDir::Hidden);
        for (const QString& entry : entries) {
            const QRegularExpressionMatch match = name.match(entry);
            const int slot = match.hasMatch() ? (match.captured(1).isEmpty() ? 1 : match.captured(1).toInt()) : 0;
            if (slot >= 1 && slot <= MaxSlots && slot != slot_)
                named.insert(slot);
        }
        std::map<QString, Cached> cache;
        for (const int slot : named) {
            const QString path = GamePath(slot);
            chess::FileLock lock;
            const auto outcome = lock.TryTake(LockPath(slot), false);
            if (outcome == chess::FileLock::Outcome::Held)
                continue;  // a running copy's game, or a name this copy holds
            // A lock that a crash left behind is of no more use.
            lock.Release(true);
            struct stat st {};
            if (::stat(LocalPath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                continue;
            // A file already read, unchanged (every write is a new file), is not read again.
            Cached entry{st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec, {}};
            const auto known = cache_.find(path);
            if (known != cache_.end() && known->second.device == entry.device && known->second.inode == entry.inode
                && known->second.size == entry.size && known->second.modified == entry.modified) {
                entry.found = known->second.found;
            } else if (const std::optional<chess::RecordedGame> game = ReadGame(path)) {
                const chess::History& record = game->history;
                Found found;
                found.slot = slot;
                found.path = path;
                found.written = QDateTime::fromMSecsSinceEpoch(entry.modified / 1000000);
                found.plies = record.Size();
                found.moves = record.MoveNumber(record.Size() - 1);
                if (const std::size_t shown = record.Current(); shown > 0) {
                    found.lastMove = record[shown - 1].san;
                    found.lastMoveNumber = QStringLiteral("%1%2")
                                               .arg(record.MoveNumber(shown - 1))
                                               .arg(record.WhiteMoved(shown - 1) ? "." : "...");
                }
                entry.found = found;
            }
            if (entry.found)
                games_.push_back(*entry.found);
            cache[path] = std::move(entry);
        }
        cache_ = std::move(cache);
        std::stable_sort(games_.begin(), games_.end(),
                         [](const Found& a, const Found& b) { return a.written > b.written; });
        while (games_.size() > GamesKept) {
            // Removed only while no copy can take it up: the lock is held meanwhile.
            chess::FileLock lock;
            if (lock.TryTake(LockPath(games_.back().slot), true) != chess::FileLock::Outcome::Held)
                ::unlink(LocalPath(games_.back().path).c_str());
            lock.Release(true);
            cache_.erase(games_.back().path);
            games_.pop_back();
        }
    }
    emit available(!games_.empty());
    return games_;
}

bool UnfinishedGame::Resume(std::size_t index, const Adopter& adopt)
{
    if (index >= games_.size() || finished_)
        return false;
    const int slot = games_[index].slot;
    chess::FileLock lock;
    const bool free = lock.TryTake(LockPath(slot), true) != chess::FileLock::Outcome::Held;
    // Read again under the lock: another copy may have played it on meanwhile.
    std::string clock;
    std::optional<chess::RecordedGame> game = free ? ReadGame(GamePath(slot), &clock) : std::nullopt;
    bool adopted = false;
    if (game) {
        resuming_ = slot;
        resumingLock_ = std::move(lock);
        adopted = adopt(std::move(*game));
        if (adopted && clockResumed_ && !clock.empty())
            clockResumed_(clock);
        // Refused: the game stays where it was, for later.
        resuming_ = 0;
        resumingLock_.Release(true);
    }
    lock.Release(true);
    Look();
    return adopted;
}
