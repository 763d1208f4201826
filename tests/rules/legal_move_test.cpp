// Whether a side has any move at all, that asking leaves no trace, and the
// promotion codes.

#include "PositionText.h"
#include "Rules.h"

#include <gtest/gtest.h>

namespace chess::test {
namespace {

struct LegalRow {
    const char* name;
    const char* position;  // the side to move is the side asked about
    bool hasMove;
};

const LegalRow legalRows[] = {
    {"StartWhite", "start", true},
    {"StartBlack", "start b", true},
    {"BackRankMate", "Kg1 Pf2 Pg2 Ph2 re1 ka8", false},
    {"BackRankCheckBlocked", "Kg1 Pf2 Pg2 Ph2 Bb5 re1 ka8", true},
    {"QueenStalemate", "ka8 Qc7 Ke1 b", false},
    {"OnlyEnPassant", "Ka1 Pe5 pd5 pe6 rb8 nc1 nd2 kh8 ep=d", true},
    {"SameWithoutTheRecordIsStalemate", "Ka1 Pe5 pd5 pe6 rb8 nc1 nd2 kh8", false},
    {"PinnedKnightCannotMove", "Ka1 Nb2 bh8 nc1 nd2 kh1", false},
    {"UnpinnedKnightCan", "Ka1 Nb2 nc1 nd2 kh1", true},
    {"KingBoxedNextToTheOtherKing", "Ka1 Pa2 pa3 kc2", false},
    {"CapturingTheCheckerIsTheWayOut", "Kh1 Pg2 Ph2 ra1 Bf6 kc8", true},
    {"SameWithoutTheCapturerIsMate", "Kh1 Pg2 Ph2 ra1 kc8", false},
};

void PrintTo(const LegalRow& row, std::ostream* os)
{
    *os << row.position;
}

class LegalMoveTest : public testing::TestWithParam<LegalRow> {};

TEST_P(LegalMoveTest, AnswerAndNoTrace)
{
    const GameState s = Position(GetParam().position);
    const GameState before = s;
    EXPECT_EQ(HasLegalMove(s, s.WhiteToMove), GetParam().hasMove);
    EXPECT_EQ(StateDiff(before, s), "");
}

INSTANTIATE_TEST_SUITE_P(Positions, LegalMoveTest, testing::ValuesIn(legalRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Probe, JudgesEveryPairLikeTheRealMove)
{
    for (const char* position :
         {"start", "Pe5 pd5 Ke1 kh8 ep=d", "Ke1 Ra1 Rh1 ke8 ra8 rh8 KQkq", "Ke1 Ra1 Rh1 ke8 ra8 rh8 KQkq b",
          "Ka5 Pb5 pc5 rh5 kh8 ep=c", "pe4 Pd4 Ke1 kh8 b ep=d", "Kg1 Pf2 Pg2 Ph2 re1 ka8"}) {
        const GameState s = Position(position);
        const GameState before = s;
        int accepted = 0;
        for (int from = 0; from < 64; ++from) {
            const int32_t piece = s.Board[from];
            if (piece == Empty || (piece > 0) != s.WhiteToMove)
                continue;
            for (int to = 0; to < 64; ++to) {
                GameState real = s;
                const bool probe = ProbeMove(s, piece, from / 8, from % 8, to / 8, to % 8);
                EXPECT_EQ(probe, TestMove(real, piece, from / 8, from % 8, to / 8, to % 8))
                    << position << " " << SquareName(from / 8, from % 8) << SquareName(to / 8, to % 8);
                accepted += probe && to != from;
            }
        }
        EXPECT_EQ(StateDiff(before, s), "") << position;
        EXPECT_EQ(HasLegalMove(s, s.WhiteToMove), accepted > 0) << position;
    }
}

struct PromotionRow {
    int32_t pawn;
    int choice;
    int32_t expected;  // on file c of the last rank
};

TEST(PromotePawn, PutsTheChosenPieceOfThePawnsColour)
{
    const PromotionRow rows[] = {
        {Pawn, PromoteQueen, Queen},
        {Pawn, PromoteRook, Rook},
        {Pawn, PromoteBishop, Bishop},
        {Pawn, PromoteKnight, Knight},
        {-Pawn, PromoteQueen, -Queen},
        {-Pawn, PromoteRook, -Rook},
        {-Pawn, PromoteBishop, -Bishop},
        {-Pawn, PromoteKnight, -Knight},
        {Pawn, 4, Pawn},
        {-Pawn, -1, -Pawn},
    };
    for (const auto& row : rows) {
        GameState s = Place(row.pawn > 0 ? "Pc8 Ka1 kh8" : "pc1 Ka8 kh3");
        s.MovingPiece = row.pawn;
        s.ToFile = 2;
        const int rank = PromotePawn(s, row.choice);
        EXPECT_EQ(rank, row.pawn > 0 ? 7 : 0);
        EXPECT_EQ(s.At(2, rank), row.expected) << row.pawn << " choice " << row.choice;
    }
}

}  // namespace
}  // namespace chess::test
