#pragma once
// Moves as players write them: standard algebraic notation (SAN) as the PGN
// standard defines it, read leniently, written strictly; and the piece
// letters of each language for showing a move list.

#include "Rules.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chess {

// "e2e4", "e7e8q": long algebraic notation as engines write it.
std::string LongAlgebraic(const Move& move);

// Every move the rules allow the side to move, promotions once per piece kind.
std::vector<Move> LegalMoves(const GameState& state);

// The SAN text of `move`, played in `before` and leading to `after` (which
// supplies the check flag; mate is found by the rules). English letters.
std::string WriteSan(const GameState& before, const Move& move, const GameState& after);
// The same, told whether the side to move in `after` has any move left.
std::string WriteSan(const GameState& before, const Move& move, const GameState& after, bool sideToMoveHasMove);

struct SanReading {
    bool ok = false;
    Move move;
    std::string error;  // why the text is no move here, when !ok
};

// Reads one move of the side to move: strict SAN and what people and other
// programs write ("0-0", "e8Q", "Pe4", "exd6 e.p.", "Nbd7", trailing "!?",
// "e2e4", "e7e8q"). A move the rules refuse, or that fits more than one
// move, is an error.
SanReading ReadSan(const GameState& state, std::string_view text);

// Letters for king, queen, rook, bishop and knight in the move list.
struct PieceLetters {
    std::array<std::string, 5> letters{"K", "Q", "R", "B", "N"};
    static PieceLetters English() { return {}; }
    static PieceLetters Czech() { return {{"K", "D", "V", "S", "J"}}; }
    static PieceLetters German() { return {{"K", "D", "T", "L", "S"}}; }
};

// The SAN text with its English piece letters replaced by `letters`.
std::string DisplaySan(std::string_view san, const PieceLetters& letters);

}  // namespace chess
