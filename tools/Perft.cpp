#include "Perft.h"

#include "Notation.h"
#include "Rules.h"
#include "TurnSequence.h"


namespace chess {

namespace {

// Plays the part of the window: says nothing, and answers the promotion
// dialog with the choice the search is exploring.
class SilentUi final : public GameUi {
public:
    int promotionChoice = PromoteQueen;
    void DrawSquare(int, int) override {}
    void Announce(Message) override {}
    bool AskYesNo(Question) override { return false; }
    void RunPromotion(GameState& state) override { PromotePawn(state, promotionChoice); }
    void DrawBoard() override {}
};

// Calls visit(move text, child state) for every legal move of the side to move.
template <typename Visit>
void ForEachMove(const GameState& state, Visit&& visit)
{
    SilentUi ui;
    for (const Move& move : LegalMoves(state)) {
        GameState child = state;
        child.MovingPiece = state.At(move.fromFile, move.fromRank);
        child.FromFile = move.fromFile;
        child.FromRank = move.fromRank;
        child.ToFile = move.toFile;
        child.ToRank = move.toRank;
        TestMove(child, child.MovingPiece, child.FromFile, child.FromRank, child.ToFile, child.ToRank);
        switch (move.promotion) {
        case Rook: ui.promotionChoice = PromoteRook; break;
        case Bishop: ui.promotionChoice = PromoteBishop; break;
        case Knight: ui.promotionChoice = PromoteKnight; break;
        default: ui.promotionChoice = PromoteQueen; break;
        }
        TurnSequence(child, ui).CarryOutAcceptedMove();
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
