#pragma once
// The clock of the game being played: one more listener of the game. A
// move stops the mover's time and starts the other's, and its time goes
// into the move's comment as "[%clk 0:02:58]", so that a take-back, a
// replay, a saved and reopened game and the unfinished game's file all
// bring the clocks back as they stood. A flag, a resignation or an agreed
// draw end the game through a declared result. No Qt.

#include "Clock.h"
#include "Game.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chess {

class GameClock : public GameListener {
public:
    GameClock(Game& game, const TimeSource& source);
    ~GameClock() override;
    GameClock(const GameClock&) = delete;
    GameClock& operator=(const GameClock&) = delete;

    // The control chosen for new games; it applies to the game on the board
    // at once, from the times it starts with.
    void Choose(const TimeControl& control);
    const TimeControl& Chosen() const { return chosen_; }
    const Clock& Times() const { return clock_; }
    Clock& Times() { return clock_; }
    void SetTimeSource(const TimeSource& source) { clock_.SetTimeSource(source); }

    // "Spustit hodiny": the side to move's time runs (a paused clock resumes).
    void Start();
    void TogglePause();
    // Ends the game on time when the side to move has none left: a loss, or
    // a draw when the other side cannot mate. Answers the end it brought.
    GameEnd CheckFlag();
    // The side to move resigns; the players agree a draw.
    GameEnd Resign();
    GameEnd AgreeDraw();

    // While set, a move only notes that the turn passes, and SwitchNow()
    // passes it: a dialog that follows a move belongs to the mover's time.
    bool holdSwitch = false;
    bool SwitchPending() const { return pending_; }
    void SwitchNow();

    // The clock as it stands, for the unfinished game's file (see
    // ClockStateText); "" when it has nothing to keep or is not yet in step
    // with the game: no control, the game over, a move whose switch waits,
    // or a change the clock has not heard of yet (the file's writer may
    // hear of it first).
    std::string KeptState() const;
    // A resumed game's kept state: the clocks as they stood, stopped. False,
    // and the times of the record, when it does not fit the game.
    bool ResumeFrom(std::string_view state);

    void GameChanged(const Game& game, const GameChange& change) override;

private:
    void Restore();
    void Reset(const TimeControl& control);
    void EndWith(GameEnd end, const char* termination);
    void SetTag(const std::string& name, const std::string& value);
    TimeControl ControlOf(const Game& game) const;

    Game& game_;
    Clock clock_;
    TimeControl chosen_;
    // The mover's time of each half-move as written, to the millisecond.
    std::vector<std::int64_t> exact_;
    bool pending_ = false;
    // The half-move the times belong to.
    std::size_t ply_ = 0;
    bool writing_ = false;  // our own comments and tags coming back as changes
};

// Whether `white`'s side has the material to mate by some series of legal
// moves: more than a bare king, in a position not dead by material.
bool CanMate(const GameState& state, bool white);

inline constexpr std::string_view TimeControlComment = "Time control: ";

}  // namespace chess
