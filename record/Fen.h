#pragma once
// Forsyth-Edwards Notation: a position in one line of six fields.

#include "GameState.h"

#include <string>
#include <string_view>

namespace chess {

inline constexpr std::string_view StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// The largest move number and halfmove clock a FEN is read with. Larger
// ones (2147483647 has been seen in the wild) are lowered to it, so that
// counting on from them can never overflow; no game comes near it.
inline constexpr int MaxFenNumber = 1'000'000;

struct FenPosition {
    GameState state;
    int halfmoveClock = 0;   // half-moves since the last capture or pawn move
    int fullmoveNumber = 1;  // the number of the move about to be played
};

struct FenReading {
    bool ok = false;
    std::string error;  // one line, when !ok
    FenPosition position;
};

// Reads all six fields (the two clocks may be left off: 0 and 1; either over
// MaxFenNumber is read as MaxFenNumber, a move number 0 as 1). Refuses a
// position that cannot arise in a game: not one king a side, pawns on the
// first or last rank, the side not to move in check, a castling right
// without king and rook at home, an en passant square without the pawn that
// has just stepped past it. The state read is ready to play: castling
// rights, double-step record, check flags and side to move set, nothing
// picked up, the board untouched.
FenReading ReadFen(std::string_view fen);

// The same fields read as written, whether or not the position could be
// played: for a position being set up, whose problems CheckPosition names.
FenReading ReadFenUnjudged(std::string_view fen);

// All six fields; the en passant square after every two-square step.
std::string WriteFen(const GameState& state, int halfmoveClock = 0, int fullmoveNumber = 1);

}  // namespace chess
