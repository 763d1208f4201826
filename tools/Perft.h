#pragma once
// Perft: counts the leaf positions of the move tree to a given depth, the
// standard way to prove a rules implementation against published numbers.
// Moves are judged by TestMove and carried out by ApplyMove, the steps every
// player's move takes, so the count checks exactly the code the players use.

#include "GameState.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace chess {

// Leaf count at `depth` (depth 0 is the position itself: 1).
std::uint64_t Perft(const GameState& state, int depth);

// The root moves in UCI notation ("e2e4", "e7e8q") with their subtree counts.
std::vector<std::pair<std::string, std::uint64_t>> PerftDivide(const GameState& state, int depth);

}  // namespace chess
