#pragma once
// Turns the players' mouse presses into moves: pick-up, put-down, the
// accepted-move sequence, the announcements, and the new-game command.
// Everything the players see goes through GameUi, so the sequence runs the
// same under the real window, under tests and under the perft tool.

#include "Rules.h"

namespace chess {

// What the turn sequence announces; the window turns these into the texts of
// the current language.
enum class Message {
    Nelze,
    Sach,
    MatBilyVyhral,
    MatCernyVyhral,
    Pat,
    // Only with a game record: the draws that end a game by themselves, and
    // the refusal of a move once a game has been drawn.
    RemizaMrtvaPozice,
    RemizaPateOpakovani,
    Remiza75Tahu,
    KonecRemizou,
    // The refusal of a move once a game has ended with a result it was
    // given (a win without mate, as an opened game may have).
    KonecPartie,
};

// What it asks with Yes and No; the others than NovaPartie only with a game
// record: the claims of a draw, and a move that would cut off moves the
// players have only stepped back over (how many: Game::KeptMovesAMoveWouldCut).
enum class Question { NovaPartie, RemizaTretiOpakovani, Remiza50Tahu, RemizaCtvrteOpakovani, ZrusitPozdejsiTahy };

class Game;

class GameUi : public SquareListener {
public:
    // Shows the message and returns once the player has closed it.
    virtual void Announce(Message message) = 0;
    virtual bool AskYesNo(Question question) = 0;
    // Lets the player choose the piece for a pawn on the last rank; puts it on
    // the board (PromotePawn) and redraws that square before returning.
    virtual void RunPromotion(GameState& state) = 0;
    virtual void DrawBoard() = 0;
};

// Board geometry in window pixels: a 34-pixel frame around 68-pixel squares.
constexpr int FrameWidth = 34;
constexpr int SquareSize = 68;
constexpr int BoardPixels = 2 * FrameWidth + 8 * SquareSize;  // 612

struct Square {
    int file = 0, rank = 0;
    friend bool operator==(const Square&, const Square&) = default;
};

// Maps a press inside the playing area (34..577 in both coordinates) to a square.
Square SquareAt(int x, int y, bool whiteAtBottom);
bool InsidePlayingArea(int x, int y);

class TurnSequence {
public:
    // With a game, every move carried out is committed to it (its record,
    // its listeners), the draw rules are applied, and an ended game takes no
    // more moves. Without one the board plays on for ever, as it always has.
    TurnSequence(GameState& state, GameUi& ui) : s_(state), ui_(ui) {}
    TurnSequence(Game& game, GameUi& ui);

    // A mouse press at window client coordinates, any button.
    void FormMouseDown(int x, int y, bool whiteAtBottom);

    // "Nová partie": asks first, and only once the board has been touched.
    void Novpartie1Click();

    // The effects of a move the move test has just accepted, from emptying
    // the origin to passing the turn, with check announced. Returns false
    // for a piece put back on its own square, which is no move at all. Does
    // not look for mate.
    bool CarryOutAcceptedMove();

    // Announces mate or stalemate when the side now to move has no move.
    void AnnounceEndOfGame();

    // With a game: announces a draw the last move has brought about, or
    // asks the player to move whether to claim one that has just become
    // possible.
    void ApplyDrawRules();

private:
    void PickUp(Square square);
    void PutDown(Square square);

    GameState& s_;
    GameUi& ui_;
    Game* game_ = nullptr;
};

}  // namespace chess
