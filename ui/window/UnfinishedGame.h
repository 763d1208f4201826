#pragma once
// The unfinished games kept between runs, so that closing the program, a
// crash or a kill loses nothing.
//
// Each running copy of the program writes its game after every change to a
// file of its own in the data folder (rozehrana.pgn, or rozehrana-2.pgn and
// so on when that one is taken), and holds a lock beside it while it runs.
// The writing happens on a thread of its own: a move never waits for the disk.
// A file that holds a game of an earlier run is never written over: the copy
// takes the next free name instead, and the earlier game waits to be resumed.
// The games no running copy holds are the ones offered; the ten most recent
// are kept, older ones go.

#include "BackgroundWriter.h"
#include "FileLock.h"
#include "Game.h"
#include "GameRecord.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The largest PGN file the program writes or reads: far more games than
// anyone opens at a board, and still a file read and listed in a few seconds.
// One limit for both, so that nothing is written that could not be read back.
inline constexpr std::size_t MaxPgnFileSize = std::size_t{64} << 20;

// The game's whole record as PGN, every move of it, also those taken back
// and not yet replayed; `extra` tags follow the game's own.
std::string WholeGameText(const chess::Game& game, const std::vector<chess::PgnTag>& extra = {});

class UnfinishedGame : public QObject, public chess::GameListener {
    Q_OBJECT
public:
    // A game of an earlier run, as the list of them shows it.
    struct Found {
        int slot = 0;
        QString path;
        QDateTime written;
        std::size_t plies = 0;  // half-moves in its record
        int moves = 0;          // the number of the record's last move
        // The move that led to the position it was left at (empty at the
        // start), in English letters, with its number as "12." or "12...".
        std::string lastMove;
        QString lastMoveNumber;
    };

    // The data folder holds the files; none is kept when it is empty.
    UnfinishedGame(chess::Game& game, const QString& dataDir, QObject* parent);
    ~UnfinishedGame() override;

    // Where this copy keeps its game ("" when there is no data folder).
    QString Path() const;

    // Looks again for the games of earlier runs (newest first) and tells
    // through `available` whether there are any. Games beyond the ten newest
    // are removed.
    const std::vector<Found>& Look();
    const std::vector<Found>& Games() const { return games_; }

    // Hands game `index` of Games() to `adopt`, which puts it on the board
    // (Game::Open) or refuses it. From then on this copy keeps its game in
    // that game's file, and its own earlier file goes. False when the game
    // was refused, or has meanwhile been taken by another copy.
    using Adopter = std::function<bool(chess::RecordedGame&&)>;
    bool Resume(std::size_t index, const Adopter& adopt);

    // Why the game is not being kept, in the current language, one line; ""
    // while all is well. A failure is told once per game (problemChanged),
    // never in a box: the players are in the middle of a game.
    QString Problem() const;
    // The text for it, "%1" standing for the file.
    void SetProblemText(const QString& text);

    // The clock's state (see chess::ClockStateText), kept beside the game in
    // a tag of the program's own so that a crash loses at most the second
    // since it was last written: `state` gives it at each write ("" for
    // none), `resumed` hands that of a resumed game back once the game is
    // on the board. Like the half-move shown, it never leaves this file.
    using ClockState = std::function<std::string()>;
    using ClockResumed = std::function<void(const std::string&)>;
    void KeepClock(ClockState state, ClockResumed resumed);
    // The clock's state has changed: the game is written again unless what
    // would be written is what was, or there is no state to keep.
    void ClockChanged();

    // Waits until every change asked for is on the disk.
    void Flush();
    // At the end of the program, however it ends: Flush, then let the other
    // copies have the file. Nothing is written after it.
    void Finish();

    void GameChanged(const chess::Game& game, const chess::GameChange& change) override;

signals:
    // Whether games of earlier runs are waiting to be resumed.
    void available(bool there);
    void problemChanged();

private:
    struct Cached {
        unsigned long long device = 0, inode = 0;
        long long size = 0, modified = 0;
        std::optional<Found> found;
    };

    QString GamePath(int slot) const;
    std::string LockPath(int slot) const;
    void Claim();
    void Write();
    void Reported(const chess::WriteOutcome& outcome);
    void SetProblem(const QString& path, const QString& reason);

    chess::Game& game_;
    QString dataDir_;
    int slot_ = 0;  // 0: no file at all
    chess::FileLock lock_;
    // Slots this copy held before it resumed another game: kept locked, so
    // that no other copy takes a name whose removal may still be under way.
    std::vector<chess::FileLock> retired_;
    int resuming_ = 0;
    chess::FileLock resumingLock_;
    bool finished_ = false;
    ClockState clockState_;
    ClockResumed clockResumed_;
    std::string clockWritten_;  // the state in the last write

    std::vector<Found> games_;
    std::map<QString, Cached> cache_;

    QString problemText_;
    QString problemPath_, problemReason_;

    std::unique_ptr<chess::BackgroundWriter> writer_;  // last: its reports reach the rest
};
