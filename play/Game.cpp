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
    kept_ = history_.Size();
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
    if (!history_.TakeBack(state_))
        return false;
    kept_ = history_.Current();
    return Moved(true, GameChange::TakenBack);
}

bool Game::Replay()
{
    if (!history_.Replay(state_))
        return false;
    kept_ = std::max(kept_, history_.Current());
    return Moved(true, GameChange::Replayed);
}

bool Game::JumpTo(std::size_t ply)
{
    if (!history_.JumpTo(ply, state_))
        return false;
    kept_ = std::max(kept_, history_.Current());
    return Moved(true, GameChange::Jumped);
}

std::size_t Game::KeptMovesAMoveWouldCut() const
{
    return history_.Current() < kept_ ? history_.Size() - history_.Current() : 0;
}

void Game::NewGame()
{
    SetUpNewGame(state_);
    history_.Reset(state_);
    tags_.clear();
    kept_ = history_.Size();
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
    kept_ = history_.Size();
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
    kept_ = history_.Size();
    Tell({GameChange::Opened});
}

bool Game::SetComment(std::size_t i, std::string_view comment)
{
    if (!history_.SetComment(i, comment))
        return false;
    Tell({GameChange::Annotated});
    return true;
}

bool Game::Annotate(const std::vector<Annotation>& notes)
{
    if (notes.size() != history_.Size())
        return false;
    for (std::size_t i = 0; i < notes.size(); ++i)
        history_.Annotate(i, notes[i]);
    Tell({GameChange::Annotated});
    return true;
}

void Game::SetTags(std::vector<PgnTag> tags)
{
    tags_ = std::move(tags);
    Tell({GameChange::Annotated});
}

void Game::SetGameComment(std::string_view comment)
{
    history_.SetGameComment(comment);
    Tell({GameChange::Annotated});
}

bool Game::Declare(GameEnd end)
{
    if (Over() || !(history_.Current() > 0 ? history_.DeclareEnd(end) : history_.DeclareStartEnd(end)))
        return false;
    // Whatever was picked up has nowhere to go.
    state_.SelectedSquare = NoSelection;
    Tell({GameChange::Declared, {}, true});
    return true;
}

void Game::ClaimDraw(GameEnd claim)
{
    const bool wasOver = Over();
    history_.ClaimDraw(claim);
    if (!wasOver && Over())
        Tell({GameChange::DrawClaimed, {}, true});
}

GameEnd Game::ClaimOccasion() const
{
    const std::size_t ply = history_.Current();
    if (ply == 0 || Over())
        return GameEnd::None;
    // Only the move that brings a position back makes it claimable, so each
    // such move is a new occurrence: the third, and the fourth (the fifth
    // ends the game).
    const HalfMove& last = history_[ply - 1];
    if (last.occurrence >= ThreefoldCount)
        return GameEnd::ThreefoldClaimed;
    // The fifty-move count is offered when it reaches fifty moves of each
    // side and at each further move of each side, not at every half-move.
    const int before = ply >= 2 ? history_[ply - 2].halfmoveClock : history_.StartHalfmoveClock();
    if (last.halfmoveClock >= FiftyMoveClaimPlies && last.halfmoveClock / 2 > before / 2)
        return GameEnd::FiftyMovesClaimed;
    return GameEnd::None;
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
