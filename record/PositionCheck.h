#pragma once
// Whether a position could stand on the board in a game: what a player who
// sets one up is told, and what a FEN is read by. No Qt.

#include "GameState.h"

#include <string>
#include <vector>

namespace chess {

enum class PositionFault {
    PawnOnEdgeRank,    // a pawn on the first or last rank
    KingCount,         // a side without exactly one king
    CastlingRight,     // a castling right without the king and that rook at home
    EnPassant,         // an en passant square without the pawn that has just stepped past it
    TooManyPieces,     // more than 16 pieces of a side
    TooManyPawns,      // more than 8 pawns of a side
    TooManyPromoted,   // more queens, rooks, knights or same-coloured bishops than missing pawns can have become
    NotToMoveInCheck,  // the side that has just moved left its king attacked
    KingsAdjacent,
};

struct PositionProblem {
    PositionFault fault;
    bool white = true;  // the side it concerns, where it concerns one
    int file = 0;       // the en passant square's file
    friend bool operator==(const PositionProblem&, const PositionProblem&) = default;
};

// Every problem of the board, the side to move, the castling rights and the
// double step of the side that has just moved (the side to move's own
// double-step flag is ignored, as a FEN ignores it); empty when the position
// can be played. Each fault is named once per side at most, in the order of
// the enum.
std::vector<PositionProblem> CheckPosition(const GameState& state);

// The problem in one English line, as a FEN reader reports it.
std::string ProblemText(const PositionProblem& problem);

// Whether the king and that rook of a side stand at home, so that the
// castling right may be given (short: with the rook on the h-file).
bool CastlingPossible(const GameState& state, bool white, bool shortSide);

// The files on which the side to move could take en passant, had the other
// side's pawn just stepped twice there: the pawn stands on its fourth rank
// with the two squares behind it empty and a pawn of the side to move beside
// it. A set-up offers only these.
std::vector<int> EnPassantFiles(const GameState& state);

// The state made ready to play after its board, side to move, castling
// rights or double step were set by hand: castling rights without king and
// rook at home dropped, a double step that cannot be taken forgotten, the
// check flags worked out, nothing picked up and nothing pending.
void SettleSetUp(GameState& state);

}  // namespace chess
