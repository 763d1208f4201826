// The start position, the selection encoding and the verdicts of the check tests.

#include "PositionText.h"
#include "Rules.h"

#include <gtest/gtest.h>

namespace chess::test {
namespace {

TEST(SetUp, LaysOutTheStartPositionCellByCell)
{
    const GameState s = StartPosition();
    const int32_t back[8] = {2, 3, 4, 5, 6, 4, 3, 2};
    int pawns = 0, empty = 0;
    for (int i = 0; i < 64; ++i) {
        const int file = i / 8, rank = i % 8;
        if (rank == 0 || rank == 7) {
            EXPECT_EQ(s.Board[i], rank == 0 ? back[file] : -back[file]) << SquareName(file, rank);
        }
        pawns += s.Board[i] == 1 || s.Board[i] == -1;
        empty += s.Board[i] == 0;
    }
    EXPECT_EQ(s.Board[32], King);
    EXPECT_EQ(s.Board[39], -King);
    EXPECT_EQ(s.At(4, 1), Pawn);
    EXPECT_EQ(s.At(4, 6), -Pawn);
    EXPECT_EQ(pawns, 16);
    EXPECT_EQ(empty, 32);
    EXPECT_TRUE(s.WhiteToMove);
    EXPECT_EQ(s.SelectedSquare, NoSelection);
    EXPECT_FALSE(s.BoardTouched);
}

TEST(SetUp, MidGameResetsTheGameButNotTheMoveUnderWay)
{
    GameState s = Place("Kg1 Rf1 kc8 rd8 pa5 b ep=a");
    s.WhiteInCheck = s.BlackInCheck = s.BoardTouched = s.BlackDoubleStep = true;
    s.CastleShortPending = s.CastleLongPending = true;
    s.SelectedSquare = SelectionOf(3, 7);
    s.MovingPiece = -Rook;
    s.FromFile = 3, s.FromRank = 7, s.ToFile = 3, s.ToRank = 2;
    s.WhiteDoubleStepFile = 5;

    GameState expected = StartPosition();
    expected.MovingPiece = -Rook;
    expected.FromFile = 3, expected.FromRank = 7, expected.ToFile = 3, expected.ToRank = 2;
    expected.WhiteDoubleStepFile = 5;
    SetUpNewGame(s);
    EXPECT_EQ(StateDiff(expected, s), "");
}

TEST(Selection, PacksRankAboveFile)
{
    EXPECT_EQ(SelectionOf(0, 0), 0);  // a1 is a real selection; only -1 means none
    EXPECT_EQ(SelectionOf(7, 0), 7);
    EXPECT_EQ(SelectionOf(0, 7), 112);
    EXPECT_EQ(SelectionOf(7, 7), 119);
    EXPECT_EQ(SelectionFile(119), 7);
    EXPECT_EQ(SelectionRank(119), 7);
    EXPECT_EQ(CellIndex(4, 0), 32);
    EXPECT_EQ(CellIndex(7, 7), 63);
}

TEST(Verdict, Wording)
{
    EXPECT_EQ(VerdictText(CheckVerdict::Neni), "není");
    EXPECT_EQ(VerdictText(CheckVerdict::Sachuji), "šachuji");
    EXPECT_EQ(VerdictText(CheckVerdict::VystavujiSeSachu), "vystavuji se šachu");
}

struct CheckRow {
    const char* name;
    const char* position;
    bool whiteAttacked, blackAttacked;
};

// Each row is judged twice, with either side to move: the verdict's wording
// follows the side to move, "není" stays "není".
const CheckRow checkRows[] = {
    {"KingsSideBySideNeverAttack", "Ke4 ke5", false, false},
    {"BlackPawnStraightAboveDoesNot", "Ke4 pe5 ka8", false, false},
    {"BlackPawnDiagonallyBelowDoesNot", "Ke4 pd3 ka8", false, false},
    {"BlackPawnDiagonallyAbove", "Ke4 pd5 ka8", true, false},
    {"BlackPawnTwoRanksAboveDoesNot", "Ke4 pd6 ka8", false, false},
    {"WhitePawnDiagonallyBelowBlackKing", "Ka1 ke5 Pf4", false, true},
    {"WhitePawnDiagonallyAboveBlackKingDoesNot", "Ka1 ke5 Pf6", false, false},
    {"PawnOnTheEdgeFile", "Ka4 pb5 kh8", true, false},
    {"KingOnItsLastRankWithPawnsBelow", "Ke8 pd7 pf7 ke1 Pd2 Pf2", false, false},
    {"RookAlongFile", "Ke1 re8 ka8", true, false},
    {"RookAlongRank", "Ka4 rh4 kh8", true, false},
    {"RookBlockedByOwnPiece", "Ke1 Be2 re8 ka8", false, false},
    {"RookBlockedByEnemyPiece", "Ke1 ne4 re8 ka8", false, false},
    {"RookDiagonalDoesNot", "Ke1 rh4 ka8", false, false},
    {"BishopAlongDiagonal", "Kd4 bg7 ka8", true, false},
    {"BishopBlocked", "Kd4 Nf6 bg7 ka8", false, false},
    {"BishopOnFileDoesNot", "Kd4 bd8 ka8", false, false},
    {"QueenDiagonal", "Ka1 ke8 qh8", true, false},
    {"QueenAlongRank", "Kh1 ke8 Qa8", false, true},
    {"QueenAKnightJumpAwayDoesNot", "Ke4 qf6 ka8", false, false},
    {"KnightJump", "Ke4 nf6 ka8", true, false},
    {"KnightNextToKingDoesNot", "Ke4 ne5 ka8", false, false},
    {"DoubleCheck", "Ke1 re8 nd3 ka8", true, false},
    {"CornerAlongBothEdges", "Ka1 rh1 ra8 kh8", true, false},
    {"OppositeCornerDiagonal", "Kh8 qa1 kc8", true, false},
    {"EdgeRookBehindTheKing", "Ke8 rh8 ra8 kh1", true, false},
    {"BothAttackedAtOnce", "Ke1 re8 kh8 Rh1", true, true},
    {"BlackAttackersDoNotHitTheirOwnKing", "ke4 pd3 ne6 re1 bb7 Kh8", false, false},
};

void PrintTo(const CheckRow& row, std::ostream* os)
{
    *os << row.position;
}

class CheckTest : public testing::TestWithParam<CheckRow> {};

TEST_P(CheckTest, VerdictFromEitherSideToMove)
{
    GameState s = Place(GetParam().position);
    for (bool whiteToMove : {true, false}) {
        s.WhiteToMove = whiteToMove;
        const auto expect = [&](bool attacked, bool whiteKing) {
            if (!attacked)
                return CheckVerdict::Neni;
            return whiteKing == whiteToMove ? CheckVerdict::VystavujiSeSachu : CheckVerdict::Sachuji;
        };
        EXPECT_EQ(WhiteKingCheckTest(s), expect(GetParam().whiteAttacked, true)) << "white to move " << whiteToMove;
        EXPECT_EQ(BlackKingCheckTest(s), expect(GetParam().blackAttacked, false)) << "white to move " << whiteToMove;
    }
}

INSTANTIATE_TEST_SUITE_P(Positions, CheckTest, testing::ValuesIn(checkRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CheckTest, MovingTheBlockerAwayFlipsTheVerdict)
{
    GameState s = Place("Ke1 Be2 re8 ka8");
    EXPECT_EQ(WhiteKingCheckTest(s), CheckVerdict::Neni);
    s.At(4, 1) = Empty;
    s.At(3, 2) = Bishop;
    EXPECT_EQ(WhiteKingCheckTest(s), CheckVerdict::VystavujiSeSachu);
}

TEST(CheckTest, BoardWithoutTheKingAnswersNeni)
{
    const GameState s = Place("ke8 Ra8 Qe1");
    EXPECT_EQ(WhiteKingCheckTest(s), CheckVerdict::Neni);
}

}  // namespace
}  // namespace chess::test
