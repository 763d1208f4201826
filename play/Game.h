#pragma once
// One game: its position, its record with the moves taken back and not yet
// replayed, how it ended, and the tags it was saved or opened with. It tells
// its listeners whatever happens to it, so that the views, the unfinished
// game's file and whatever comes later follow the game without polling it
// and without knowing about each other. No Qt.

#include "History.h"
#include "Pgn.h"
#include "Rules.h"

#include <cstddef>
#include <vector>

namespace chess {

class Game;

struct GameChange {
    enum Kind {
        Moved,        // a move was made (and the moves taken back before it are gone)
        TakenBack,    // one half-move back
        Replayed,     // one half-move forward again
        Jumped,       // to any half-move of the record
        NewGame,      // the start position, an empty record
        Opened,       // a game or a position from a file, the clipboard or the last run
        DrawClaimed,  // the player to move claimed a draw
    };
    Kind kind = Moved;
    // For Moved: what the move changed on the board.
    MoveEffects effects{};
    // The game has ended with this change (mate, stalemate, a draw); what
    // ended it is Game::End().
    bool ended = false;
};

class GameListener {
public:
    virtual ~GameListener() = default;
    virtual void GameChanged(const Game& game, const GameChange& change) = 0;
};

class Game {
public:
    Game();  // the normal start position
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // The position as the board shows it, with what is picked up. The turn
    // sequence changes it directly while a move is under way, and tells the
    // game once the move is complete (Commit).
    GameState& State() { return state_; }
    const GameState& State() const { return state_; }
    const History& Record() const { return history_; }
    const std::vector<PgnTag>& Tags() const { return tags_; }

    // How the game stands at the half-move on the board.
    GameEnd End() const { return history_.End(); }
    bool Over() const { return history_.Over(); }
    // The end the last move brought (None when it ended nothing, or at the start).
    GameEnd EndOfLastMove() const;

    // A move has just been carried out on State() (by the turn sequence, or
    // by ApplyMove): records it, decides whether it ended the game, and tells
    // the listeners.
    void Commit(const Move& move, const MoveEffects& effects);
    // Judges and carries out a move of the side to move, as if a player had
    // made it: false, and nothing changed, when the rules refuse it.
    bool Play(const Move& move);

    bool TakeBack();
    bool Replay();
    bool JumpTo(std::size_t ply);

    // The start position (or `start`), an empty record, no tags.
    void NewGame();
    void NewGame(const GameState& start, int halfmoveClock = 0, int fullmoveNumber = 1);
    // A whole game from elsewhere, shown at its current half-move.
    void Open(History history, std::vector<PgnTag> tags);

    // The draw the player to move may claim, and the claim itself.
    GameEnd ClaimableDraw() const { return history_.ClaimableDraw(); }
    GameEnd ClaimOccasion() const { return history_.ClaimOccasion(); }
    void ClaimDraw(GameEnd claim);

    void AddListener(GameListener* listener);
    void RemoveListener(GameListener* listener);

private:
    bool Moved(bool moved, GameChange::Kind kind);
    void Tell(const GameChange& change);

    GameState state_;
    History history_;
    std::vector<PgnTag> tags_;
    std::vector<GameListener*> listeners_;
};

}  // namespace chess
