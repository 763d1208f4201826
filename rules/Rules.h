#pragma once
// The rules of chess as the board judges them: whether a king is attacked,
// whether one move is allowed, whether a side has any move at all.
// Pure functions of a GameState; no drawing, no text shown to anyone.

#include "GameState.h"

#include <string_view>

namespace chess {

// A check test's answer, worded from the side to move's point of view.
enum class CheckVerdict {
    Neni,              // "není": the tested king is not attacked
    Sachuji,           // "šachuji": the other side's king is attacked (I give check)
    VystavujiSeSachu,  // "vystavuji se šachu": the king of the side to move is attacked
};

// The verdict's own wording, for diagnostics and tests; never shown to players.
std::string_view VerdictText(CheckVerdict verdict);

// Whether the white (black) king is attacked by a black (white) pawn, rook,
// knight, bishop or queen in the current Board. Kings never count as attackers:
// TestMove keeps them apart by a rule of its own. A board without that king
// answers Neni.
CheckVerdict WhiteKingCheckTest(const GameState& state);
CheckVerdict BlackKingCheckTest(const GameState& state);

// Told when the move test changes a square for good outside the move itself:
// the pawn taken en passant disappears from a square the move never touched.
class SquareListener {
public:
    virtual ~SquareListener() = default;
    virtual void DrawSquare(int file, int rank) = 0;
};

// Judges one move of `piece` (which stands on the origin and belongs to the
// side to move) and, when it is accepted, records its side effects: a castling
// as pending, a pawn's two-square step, the removal of a pawn taken en passant
// (with SelectedSquare dropped and the listener told). A move onto the origin
// itself is accepted and changes nothing. A refusal changes nothing either.
bool TestMove(GameState& state, int32_t piece, int fromFile, int fromRank, int toFile, int toRank,
              SquareListener* listener = nullptr);

// The same judgement without any side effect, for searching.
bool ProbeMove(const GameState& state, int32_t piece, int fromFile, int fromRank, int toFile, int toRank);

// Whether the side (true white, false black) has at least one move that the
// move test accepts. Expects that side to be the side to move and its check
// flag to be current. Leaves the state exactly as it was.
bool HasLegalMove(const GameState& state, bool white);

// The promotion choices in the order the player is offered them.
enum PromotionChoice { PromoteQueen = 0, PromoteRook = 1, PromoteBishop = 2, PromoteKnight = 3 };

// Puts the chosen piece on the promotion square of the pawn in MovingPiece
// (rank 8 for a white pawn, rank 1 otherwise) on file ToFile. A choice outside
// 0..3 leaves the pawn. Returns the rank of the square, which needs redrawing.
int PromotePawn(GameState& state, int choice);

}  // namespace chess
