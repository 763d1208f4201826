#pragma once
// Perft: counts the leaf positions of the move tree to a given depth, the
// standard way to prove a rules implementation against published numbers.
// Moves are judged by TestMove and carried out by the game's own turn
// sequence, so the count checks exactly the code the players use.

#include "GameState.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace chess {

struct FenResult {
    bool ok = false;
    std::string error;  // one line, when !ok
    GameState state;
};

// Accepts 4 to 6 fields. Sets Board, the side to move, the castling rights,
// the double-step record of the side that has just moved (from the
// en-passant field) and both check flags.
FenResult ParseFen(std::string_view fen);

// Leaf count at `depth` (depth 0 is the position itself: 1).
std::uint64_t Perft(const GameState& state, int depth);

// The root moves in UCI notation ("e2e4", "e7e8q") with their subtree counts.
std::vector<std::pair<std::string, std::uint64_t>> PerftDivide(const GameState& state, int depth);

}  // namespace chess
