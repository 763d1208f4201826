#include "GameClock.h"

#include "CommentCommands.h"
#include "DrawRules.h"

#include <cstdlib>

namespace chess {

bool CanMate(const GameState& state, bool white)
{
    bool more = false;
    for (int file = 0; file < 8; ++file)
        for (int rank = 0; rank < 8; ++rank) {
            const int piece = state.At(file, rank);
            if (piece != Empty && (piece > 0) == white && std::abs(piece) != King)
                more = true;
        }
    return more && !InsufficientMaterial(state);
}

GameClock::GameClock(Game& game, const TimeSource& source) : game_(game), clock_(source)
{
    game_.AddListener(this);
}

GameClock::~GameClock()
{
    game_.RemoveListener(this);
}

void GameClock::Choose(const TimeControl& control)
{
    chosen_ = control;
    SwitchNow();
    Reset(control);
}

// The starting times, the side to move of the board, stopped.
void GameClock::Reset(const TimeControl& control)
{
    pending_ = false;
    exact_.clear();
    clock_.SetControl(control);
    clock_.Set(control.white.StartMs(), control.black.StartMs(), 0, 0, game_.State().WhiteToMove);
    ply_ = game_.Record().Current();
}

void GameClock::Start()
{
    if (game_.Over() || !clock_.Active())
        return;
    if (clock_.Paused())
        clock_.Resume();
    else
        clock_.Start();
}

void GameClock::TogglePause()
{
    if (clock_.Paused())
        clock_.Resume();
    else
        clock_.Pause();
}

GameEnd GameClock::CheckFlag()
{
    if (!clock_.Started() || !clock_.Flagged() || game_.Over())
        return GameEnd::None;
    const bool loser = clock_.WhiteToMove();
    const GameEnd end = !CanMate(game_.State(), !loser) ? GameEnd::DrawDeclared
                      : loser                           ? GameEnd::BlackWinsDeclared
                                                        : GameEnd::WhiteWinsDeclared;
    EndWith(end, "time forfeit");
    return end;
}

GameEnd GameClock::Resign()
{
    const GameEnd end = game_.State().WhiteToMove ? GameEnd::BlackWinsDeclared : GameEnd::WhiteWinsDeclared;
    EndWith(end, "normal");
    return game_.End() == end ? end : GameEnd::None;
}

GameEnd GameClock::AgreeDraw()
{
    EndWith(GameEnd::DrawDeclared, "normal");
    return game_.End() == GameEnd::DrawDeclared ? GameEnd::DrawDeclared : GameEnd::None;
}

void GameClock::EndWith(GameEnd end, const char* termination)
{
    SwitchNow();
    if (game_.Over())
        return;
    clock_.Stop();
    if (!game_.Declare(end))
        return;
    SetTag("Termination", termination);
}

void GameClock::SetTag(const std::string& name, const std::string& value)
{
    std::vector<PgnTag> tags = game_.Tags();
    bool found = false, erased = false;
    for (auto it = tags.begin(); it != tags.end();) {
        if (it->name != name) {
            ++it;
        } else if (value.empty() || found) {
            it = tags.erase(it);
            erased = true;
        } else {
            found = true;
            if (it->value == value)
                return;
            it->value = value;
            ++it;
        }
    }
    if (!found && value.empty() && !erased)
        return;
    if (!found && !value.empty())
        tags.push_back({name, value});
    writing_ = true;
    game_.SetTags(std::move(tags));
    writing_ = false;
}

void GameClock::SwitchNow()
{
    if (!pending_)
        return;
    pending_ = false;
    const std::size_t ply = game_.Record().Current();
    if (ply == 0 || !clock_.Active())
        return;
    // A clock not started yet starts with this move, which took no time.
    if (clock_.Started() && clock_.Flagged()) {
        CheckFlag();
        return;
    }
    const std::int64_t ms = clock_.Moved();
    ply_ = ply;
    if (exact_.size() < ply)
        exact_.resize(ply, -1);
    exact_.resize(ply);
    exact_[ply - 1] = ms;
    writing_ = true;
    game_.SetComment(ply - 1, WithClk(game_.Record()[ply - 1].note.comment, ms));
    writing_ = false;
    bool exact = true;
    SetTag("TimeControl", PgnTimeControl(clock_.Control(), &exact));
    // A control the tag cannot state is stated before the first move.
    const std::string stated = exact ? std::string()
                                     : std::string(TimeControlComment) + TimeControlText(clock_.Control());
    const std::string prose = CommentProse(game_.Record().GameComment());
    if (!exact && prose.find(TimeControlComment) == std::string::npos) {
        writing_ = true;
        game_.SetGameComment(WithProse(game_.Record().GameComment(), prose.empty() ? stated : stated + " " + prose));
        writing_ = false;
    }
}

TimeControl GameClock::ControlOf(const Game& game) const
{
    const std::string prose = CommentProse(game.Record().GameComment());
    if (const std::size_t at = prose.find(TimeControlComment); at != std::string::npos) {
        const std::string_view rest = std::string_view(prose).substr(at + TimeControlComment.size());
        if (const auto control = ParseTimeControl(rest.substr(0, rest.find(' '))); control && !control->None())
            return *control;
    }
    const std::string tag = TagValue(game.Tags(), "TimeControl");
    if (!tag.empty())
        if (const auto control = ParsePgnTimeControl(tag); control && !control->None())
            return *control;
    return chosen_;
}

// The times of the position on the board, running on if they ran.
void GameClock::Restore()
{
    const bool running = clock_.Running();
    SetFromRecord(clock_, game_.Record(), game_.Record().Current(), exact_);
    ply_ = game_.Record().Current();
    if (running && !game_.Over())
        clock_.Start();
}

std::string GameClock::KeptState() const
{
    const History& record = game_.Record();
    if (!clock_.Active() || game_.Over() || pending_ || ply_ != record.Current()
        || clock_.WhiteToMove() != record.StateAt(ply_).WhiteToMove)
        return {};
    return ClockStateText(clock_);
}

bool GameClock::ResumeFrom(std::string_view state)
{
    ply_ = game_.Record().Current();
    return clock_.Active() && SetFromState(clock_, game_.Record(), ply_, state);
}

void GameClock::GameChanged(const Game& game, const GameChange& change)
{
    if (writing_)
        return;
    switch (change.kind) {
    case GameChange::Moved:
        SwitchNow();
        if (!clock_.Active())
            return;
        pending_ = true;
        if (change.ended) {
            // The move that ends the game stops the clock; its time is kept.
            SwitchNow();
            clock_.Stop();
            SetTag("Termination", "normal");
        } else if (!holdSwitch) {
            SwitchNow();
        }
        return;
    case GameChange::TakenBack:
    case GameChange::Replayed:
    case GameChange::Jumped:
        SwitchNow();
        Restore();
        // A result the clock or the players gave is gone with its half-move.
        if (!game.Over())
            SetTag("Termination", {});
        return;
    case GameChange::NewGame:
        Reset(chosen_);
        return;
    case GameChange::Opened:
        Reset(ControlOf(game));
        SetFromRecord(clock_, game.Record(), game.Record().Current());
        return;  // Reset has noted the half-move
    case GameChange::DrawClaimed:
        SwitchNow();
        clock_.Stop();
        if (clock_.Active())
            SetTag("Termination", "normal");
        return;
    case GameChange::Declared:
        SwitchNow();
        clock_.Stop();
        return;
    case GameChange::Annotated:
        return;
    }
}

}  // namespace chess
