#include "Game.h"

#include <algorithm>

namespace chess {

Game::Game()
{
    SetUpNewGame(state_);
    state_.SelectedSquare = NoSelection;
    history_.Reset(state_);
}

GameEnd Game::EndOfLastMove() const
{
    const std::size_t ply = history_.Current();
    return ply == 0 ? GameEnd::None : history_[ply - 1].end;
}

void Game::Commit(const Move& move, const MoveEffects& effects)
{
    history_.Record(move, state_);
    GameChange change{GameChange::Moved, effects};
    change.ended = EndOfLastMove() != GameEnd::None;
    Tell(change);
}

bool Game::Play(const Move& move)
{
    MoveEffects effects;
    GameState next = state_;
    next.SelectedSquare = NoSelection;
    if (!PlayMove(next, move, &effects))
        return false;
    state_ = next;
    Move recorded = move;
    if (effects.promotion)
        recorded.promotion = std::abs(state_.At(move.toFile, move.toRank));
    Commit(recorded, effects);
    return true;
}

bool Game::Moved(bool moved, GameChange::Kind kind)
{
    if (!moved)
        return false;
    // Whatever was picked up is put back by the state restored; a board that
    // shows anything but the start counts as touched.
    state_.SelectedSquare = NoSelection;
    state_.BoardTouched = true;
    Tell({kind});
    return true;
}

bool Game::TakeBack()
{
    return Moved(history_.TakeBack(state_), GameChange::TakenBack);
}

bool Game::Replay()
{
    return Moved(history_.Replay(state_), GameChange::Replayed);
}

bool Game::JumpTo(std::size_t ply)
{
    return Moved(history_.JumpTo(ply, state_), GameChange::Jumped);
}

void Game::NewGame()
{
    SetUpNewGame(state_);
    history_.Reset(state_);
    tags_.clear();
    Tell({GameChange::NewGame});
}

void Game::NewGame(const GameState& start, int halfmoveClock, int fullmoveNumber)
{
    const bool touched = state_.BoardTouched;
    state_ = start;
    state_.BoardTouched = touched;
    state_.SelectedSquare = NoSelection;
    history_.Reset(state_, halfmoveClock, fullmoveNumber);
    tags_.clear();
    Tell({GameChange::NewGame});
}

void Game::Open(History history, std::vector<PgnTag> tags)
{
    history_ = std::move(history);
    tags_ = std::move(tags);
    state_ = history_.State();
    // A board that no longer shows the start position counts as touched, so
    // that "Nová partie" brings the start back (after asking).
    state_.BoardTouched = true;
    state_.SelectedSquare = NoSelection;
    Tell({GameChange::Opened});
}

void Game::ClaimDraw(GameEnd claim)
{
    const bool wasOver = Over();
    history_.ClaimDraw(claim);
    if (!wasOver && Over())
        Tell({GameChange::DrawClaimed, {}, true});
}

void Game::AddListener(GameListener* listener)
{
    listeners_.push_back(listener);
}

void Game::RemoveListener(GameListener* listener)
{
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void Game::Tell(const GameChange& change)
{
    // A copy: a listener may add or remove listeners while it is told.
    const std::vector<GameListener*> listeners = listeners_;
    for (GameListener* listener : listeners)
        listener->GameChanged(*this, change);
}

}  // namespace chess
