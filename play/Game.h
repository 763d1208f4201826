#pragma once
// One game: its position, its record with the moves taken back and not yet
// replayed, how it ended, and the tags it was saved or opened with. It tells
// its listeners whatever happens to it, so that the views, the unfinished
// game's file and whatever comes later follow the game without polling it
// and without knowing about each other. No Qt.

#include "History.h"
#include "PgnGame.h"
#include "Rules.h"

#include <cstddef>
#include <string_view>
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
        Annotated,    // a comment or the tags changed; the moves and the board did not
        Declared,     // a result no rule brought about: a resignation, an agreed draw, a flag
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

    // A take-back gives up the moves after it: the next move replaces them
    // without a word. Stepping through the record with JumpTo only shows
    // positions, and the moves it passes stay kept. Replaying or stepping
    // forward over moves taken back keeps them again.
    bool TakeBack();
    bool Replay();
    bool JumpTo(std::size_t ply);
    // How many recorded half-moves a move made now would cut off although
    // nobody took them back: 0 at the end of the record or after a take-back.
    std::size_t KeptMovesAMoveWouldCut() const;

    // The start position (or `start`), an empty record, no tags.
    void NewGame();
    void NewGame(const GameState& start, int halfmoveClock = 0, int fullmoveNumber = 1);
    // A whole game from elsewhere, shown at its current half-move.
    void Open(History history, std::vector<PgnTag> tags);

    // The comment after half-move `i` (from 0), and the tags kept with the
    // game. SetComment answers false, changing nothing, when there is no
    // such half-move.
    bool SetComment(std::size_t i, std::string_view comment);
    void SetTags(std::vector<PgnTag> tags);
    // The annotations of every half-move of the record at once (a review
    // written in), told to the listeners as one change. False, changing
    // nothing, unless there is one for each half-move.
    bool Annotate(const std::vector<Annotation>& notes);
    void SetGameComment(std::string_view comment);

    // Ends the game with a result no rule brought about (WhiteWinsDeclared,
    // BlackWinsDeclared or DrawDeclared) at the half-move on the board, also
    // before the first move. False, changing nothing, when the game is over.
    bool Declare(GameEnd end);

    // The draw the player to move may claim, and the claim itself.
    GameEnd ClaimableDraw() const { return history_.ClaimableDraw(); }
    void ClaimDraw(GameEnd claim);
    // The claim the last move has made possible anew, to be offered to the
    // player to move: each new occurrence of a repeated position (the third
    // and the fourth), and the fifty-move count each time it grows by a move
    // of each side. None when nothing new may be claimed.
    GameEnd ClaimOccasion() const;

    void AddListener(GameListener* listener);
    void RemoveListener(GameListener* listener);

private:
    bool Moved(bool moved, GameChange::Kind kind);
    void Tell(const GameChange& change);

    GameState state_;
    History history_;
    std::vector<PgnTag> tags_;
    std::vector<GameListener*> listeners_;
    // The record up to this half-move is kept: a move before it asks first.
    std::size_t kept_ = 0;
};

}  // namespace chess
