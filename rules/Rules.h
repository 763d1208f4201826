#pragma once
// The rules of chess as the board judges them: whether a king is attacked,
// whether one move is allowed, whether a side has any move at all.
// Pure functions of a GameState; no drawing, no text shown to anyone.

#include "GameState.h"

#include <cstdlib>
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

// One half-move: origin, target and, for a pawn reaching the last rank, the
// kind it becomes (Queen, Rook, Bishop or Knight; Empty otherwise). A castling
// is the king's move, e1g1 or e1c1.
struct Move {
    int fromFile = 0, fromRank = 0;
    int toFile = 0, toRank = 0;
    int32_t promotion = Empty;
    friend bool operator==(const Move&, const Move&) = default;
};

// Whether `piece` moving to `toRank` is a pawn reaching its last rank.
constexpr bool ReachesLastRank(int32_t piece, int toRank)
{
    return (piece == Pawn && toRank == 7) || (piece == -Pawn && toRank == 0);
}

// What carrying out one move changed, for whoever records or shows it.
struct MoveEffects {
    int32_t piece = Empty;     // the piece that moved, as it stood on its origin
    int32_t captured = Empty;  // the piece taken, the pawn taken en passant too
    bool enPassant = false;
    bool castling = false;
    int rookFromFile = 0, rookToFile = 0;  // a castling's rook, on the mover's home rank
    bool promotion = false;                // a pawn has reached the last rank
    bool givesCheck = false;               // the other side's king is attacked now

    // A capture or a pawn move: the position can never come again, and the
    // fifty- and seventy-five-move counts start afresh.
    bool Irreversible() const { return captured != Empty || std::abs(piece) == Pawn; }
};

// Carries out a move that TestMove has just accepted in `state` (so a
// castling is pending, a two-square step and a pawn taken en passant are
// already recorded), up to but not including passing the turn: the piece
// moves, a castling's rook follows, the castling rights the move ends are
// gone, the other side's two-square step is forgotten. A pawn reaching the
// last rank becomes move.promotion, or stays a pawn for PromotePawn when that
// is Empty. Sets MovingPiece and the move's coordinates, drops the selection
// and draws nothing.
MoveEffects MovePieces(GameState& state, const Move& move);

// Completes a move after MovePieces: the check test of the other side's king
// (its flag and effects.givesCheck), and the turn passes.
void PassTurn(GameState& state, MoveEffects& effects);

// MovePieces and PassTurn in one, for a move TestMove has accepted.
MoveEffects ApplyMove(GameState& state, const Move& move);

// Judges `move` of the side to move by TestMove and, when it is allowed,
// carries it out whole (a promotion without a piece becomes a queen).
// Returns false and changes nothing for a move the rules refuse.
bool PlayMove(GameState& state, const Move& move, MoveEffects* effects = nullptr);

// The promotion choices in the order the player is offered them.
enum PromotionChoice { PromoteQueen = 0, PromoteRook = 1, PromoteBishop = 2, PromoteKnight = 3 };

// Puts the chosen piece on the promotion square of the pawn in MovingPiece
// (rank 8 for a white pawn, rank 1 otherwise) on file ToFile. A choice outside
// 0..3 leaves the pawn. Returns the rank of the square, which needs redrawing.
int PromotePawn(GameState& state, int choice);

// The choice that makes `kind` (Queen, Rook, Bishop or Knight); a queen for anything else.
int PromotionChoiceOf(int32_t kind);

}  // namespace chess
