#pragma once
// The two players' clock. It counts from a monotonic time source in whole
// milliseconds since the turn began, never by adding up ticks, so a long
// game neither drifts nor carries a rounding over. The game's changes drive
// it (see the window's ClockController); tests drive it with a fake source.
// No Qt.

#include "History.h"
#include "TimeControl.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chess {

class TimeSource {
public:
    virtual ~TimeSource() = default;
    // Milliseconds from any fixed moment; never goes back.
    virtual std::int64_t NowMs() const = 0;
};

// std::chrono::steady_clock.
class SteadyTimeSource final : public TimeSource {
public:
    std::int64_t NowMs() const override;
};

class Clock {
public:
    explicit Clock(const TimeSource& source) : source_(&source) {}

    void SetTimeSource(const TimeSource& source);
    // Both sides at their starting times, White to move, stopped.
    void SetControl(const TimeControl& control);
    const TimeControl& Control() const { return control_; }
    bool Active() const { return !control_.None(); }

    // The times as they stood at some position: stopped there. `spentMs` of
    // the side to move's turn already gone: Start() goes on with that turn.
    void Set(std::int64_t whiteMs, std::int64_t blackMs, int whiteMoves, int blackMoves, bool whiteToMove,
             std::int64_t spentMs = 0);

    // The turn of the side to move begins now. Started() until Stop().
    void Start();
    void Stop();
    void Pause();
    void Resume();
    bool Started() const { return started_; }
    bool Paused() const { return started_ && paused_; }
    bool Running() const { return started_ && !paused_; }

    // The side to move has completed its move: its clock stops, with the
    // bonus its control gives, and the other side's turn begins. Answers the
    // mover's time left. A side whose time had run out gets no bonus and
    // keeps 0; the clock then stops (Flagged()).
    std::int64_t Moved();

    bool WhiteToMove() const { return whiteToMove_; }
    std::int64_t Remaining(bool white) const;
    // A side's time when the turn began, and what the side to move has used
    // of its turn so far (a pause not counted): all that Remaining() is made of.
    std::int64_t AtTurnStart(bool white) const { return Of(white).ms; }
    std::int64_t TurnSpent() const { return Elapsed(); }
    int MovesMade(bool white) const { return white ? white_.moves : black_.moves; }
    // The side to move has no time left.
    bool Flagged() const { return Active() && Remaining(whiteToMove_) <= 0; }
    // Milliseconds until what the faces show changes (see FaceText), or
    // until the flag falls; -1 while nothing runs.
    std::int64_t UntilDisplayChange() const;

private:
    struct Side {
        std::int64_t ms = 0;  // at the start of its turn
        int moves = 0;
    };
    std::int64_t Elapsed() const;
    Side& Of(bool white) { return white ? white_ : black_; }
    const Side& Of(bool white) const { return white ? white_ : black_; }

    const TimeSource* source_;
    TimeControl control_;
    Side white_, black_;
    bool whiteToMove_ = true;
    bool started_ = false;
    bool paused_ = false;
    std::int64_t turnStart_ = 0;  // when the running part of the turn began
    std::int64_t spent_ = 0;      // the turn's time before a pause
};

// What a face shows: "1:29:59" hours, minutes and seconds; with tenths below
// 20 seconds, "0:00:19.9". Time left is cut, never rounded up: a face never
// shows time a player has not got.
std::string FaceText(std::int64_t ms);
inline constexpr std::int64_t TenthsBelowMs = 20'000;

// "[%clk]" values: "1:02:03", with tenths under a minute ("0:00:09.3").
std::string ClkText(std::int64_t ms);
std::optional<std::int64_t> ParseClk(std::string_view text);

// The clock as it stood after `ply` half-moves of `history`, stopped: each
// side's time from the "[%clk]" of its last move there, its starting time
// before it (in an hourglass the other side has the rest of the sum).
// `exact` holds the times to the millisecond where the clock itself wrote
// them (-1 elsewhere): used while the comment still says what was written.
void SetFromRecord(Clock& clock, const History& history, std::size_t ply, const std::vector<std::int64_t>& exact = {});

// The clock in the middle of a turn, as the unfinished game keeps it beside
// its record, to the millisecond: "w 178000 180000 1342" is White to move,
// White's and Black's times when the turn began, and what White has used of
// it. A crash then costs no more than the time since it was written, where
// the "[%clk]" of the last moves alone would cost the whole turn.
std::string ClockStateText(const Clock& clock);
// The clock from such a text, stopped, when it fits the record at `ply`:
// the same side to move, each side's time no further than a second (what a
// "[%clk]" cannot tell) from the record's, and time left for the side to
// move. Otherwise false, and the clock as SetFromRecord leaves it.
bool SetFromState(Clock& clock, const History& history, std::size_t ply, std::string_view state);

// The mover's time of half-move `i` into its comment, and back.
std::string WithClk(std::string_view comment, std::int64_t ms);
std::optional<std::int64_t> ClkOf(const HalfMove& move);

}  // namespace chess
