#include "Perft.h"

#include "Notation.h"
#include "Rules.h"

namespace chess {

namespace {

// Calls visit(move text, child state) for every legal move of the side to move.
template <typename Visit>
void ForEachMove(const GameState& state, Visit&& visit)
{
    for (const Move& move : LegalMoves(state)) {
        GameState child = state;
        TestMove(child, child.At(move.fromFile, move.fromRank), move.fromFile, move.fromRank, move.toFile, move.toRank);
        ApplyMove(child, move);
        visit(LongAlgebraic(move), child);
    }
}

}  // namespace

std::uint64_t Perft(const GameState& state, int depth)
{
    if (depth <= 0)
        return 1;
    if (depth == 1)
        return LegalMoves(state).size();
    std::uint64_t nodes = 0;
    ForEachMove(state, [&](const std::string&, const GameState& child) { nodes += Perft(child, depth - 1); });
    return nodes;
}

std::vector<std::pair<std::string, std::uint64_t>> PerftDivide(const GameState& state, int depth)
{
    std::vector<std::pair<std::string, std::uint64_t>> result;
    if (depth <= 0)
        return result;
    ForEachMove(state, [&](const std::string& move, const GameState& child) {
        result.emplace_back(move, Perft(child, depth - 1));
    });
    return result;
}

}  // namespace chess
