// The move test, one row per situation: the verdict, and the exact trace an
// accepted move leaves in the state (none at all for most moves and for
// every refusal).

#include "PositionText.h"
#include "Rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace chess::test {
namespace {

struct RecordingListener : SquareListener {
    std::vector<std::string> drawn;
    void DrawSquare(int file, int rank) override { drawn.push_back(SquareName(file, rank)); }
};

enum Effect { None, CastleShort, CastleLong, DoubleStep, EnPassant };

struct MoveRow {
    const char* name;
    const char* position;
    const char* move;
    bool allowed;
    Effect effect = None;
};

const MoveRow moveRows[] = {
    {"StartKnightJumpsOverPawns", "start", "b1c3", true},
    {"StartPawnSingleStep", "start", "e2e3", true},
    {"StartPawnDoubleStep", "start", "e2e4", true, DoubleStep},
    {"StartPawnThreeSquares", "start", "e2e5", false},
    {"StartRookBlockedByOwnPawn", "start", "a1a3", false},
    {"StartBishopBlocked", "start", "c1e3", false},
    {"StartOwnPawnOnTarget", "start", "e1e2", false},
    {"StartBlackKnight", "start b", "g8f6", true},
    {"StartBlackDoubleStep", "start b", "d7d5", true, DoubleStep},

    {"KingOneStep", "Ke4 ka8", "e4e5", true},
    {"KingDiagonalStep", "Ke4 ka8", "e4f5", true},
    {"KingTwoSquares", "Ke4 ka8", "e4e6", false},
    {"KingNextToEnemyKing", "Ke4 ke6", "e4d5", false},
    {"KingAwayFromEnemyKing", "Ke4 ke6", "e4e3", true},
    {"KingTakesEnemyKing", "Ke4 ke5", "e4e5", false},
    {"KingIntoRookLine", "Ke4 rd8 ka8", "e4d4", false},
    {"KingBackAlongCheckingLine", "Ke4 re8 ka8", "e4e3", false},
    {"KingTakesDefendedPawn", "Ke4 pe5 pd6 ka8", "e4e5", false},
    {"KingTakesLoosePawn", "Ke4 pe5 ka8", "e4e5", true},

    {"QueenDiagonal", "Qd1 Ke1 kh8", "d1h5", true},
    {"QueenFile", "Qd1 Ke1 kh8", "d1d8", true},
    {"QueenKnightJump", "Qd1 Ke1 kh8", "d1e3", false},
    {"QueenBlocked", "Qd1 Pf3 Ke1 kh8", "d1h5", false},
    {"RookFile", "Ra1 Kc3 kh8", "a1a7", true},
    {"RookRank", "Ra1 Kc3 kh8", "a1h1", true},
    {"RookDiagonal", "Ra1 Kc3 kh8", "a1b2", false},
    {"RookBlockedBeyondPiece", "Ra1 pa4 Kc3 kh8", "a1a5", false},
    {"RookCapturesBlocker", "Ra1 pa4 Kc3 kh8", "a1a4", true},
    {"BishopDiagonal", "Bc1 Ke1 kh8", "c1h6", true},
    {"BishopStraight", "Bc1 Ke1 kh8", "c1c3", false},
    {"BishopBlocked", "Bc1 Pd2 Ke1 kh8", "c1e3", false},
    {"KnightJump", "Ng1 Ke1 kh8", "g1f3", true},
    {"KnightStraight", "Ng1 Ke1 kh8", "g1g3", false},
    {"KnightDiagonal", "Ng1 Ke1 kh8", "g1e3", false},

    {"PawnDiagonalOntoEmpty", "Pe2 Ke1 kh8", "e2d3", false},
    {"PawnBackwards", "Pe3 Ke1 kh8", "e3e2", false},
    {"PawnStepOntoPiece", "Pe2 ne3 Ka1 kh8", "e2e3", false},
    {"PawnDoubleStepThroughPiece", "Pe2 ne3 Ka1 kh8", "e2e4", false},
    {"PawnDoubleStepOntoPiece", "Pe2 ne4 Ka1 kh8", "e2e4", false},
    {"PawnDoubleStepNotFromSecondRank", "Pe3 Ka1 kh8", "e3e5", false},
    {"PawnCapturesDiagonally", "Pe4 pd5 Ka1 kh8", "e4d5", true},
    {"PawnDoesNotCaptureStraight", "Pe4 pe5 Ka1 kh8", "e4e5", false},
    {"PawnDoesNotCaptureOwnPiece", "Pe4 Nd5 Ka1 kh8", "e4d5", false},
    {"PawnToLastRankIsAPlainMove", "Pe7 Ka1 kh8", "e7e8", true},
    {"BlackPawnStep", "pe7 Ka1 kh8 b", "e7e6", true},
    {"BlackPawnBackwards", "pe6 Ka1 kh8 b", "e6e7", false},
    {"BlackPawnCaptures", "pd4 Pe3 Ka1 kh8 b", "d4e3", true},
    {"BlackPawnCapturesBackwardsNot", "pd4 Pe5 Ka1 kh8 b", "d4e5", false},

    {"PinnedBishopMayNotMove", "Ke1 Be2 re7 kh8", "e2d3", false},
    {"PinnedRookAlongThePin", "Ke1 Re2 re7 kh8", "e2e5", true},
    {"PinnedRookTakesThePinner", "Ke1 Re2 re7 kh8", "e2e7", true},
    {"PinnedRookOffThePin", "Ke1 Re2 re7 kh8", "e2d2", false},
    {"InCheckIgnored", "Ke1 re8 Nb1 kh8", "b1c3", false},
    {"InCheckBlocked", "Ke1 re8 Nc3 kh8", "c3e2", true},
    {"InCheckCheckerTaken", "Ke1 re8 Nc7 kh8", "c7e8", true},

    {"EnPassant", "Pe5 pd5 Ke1 kh8 ep=d", "e5d6", true, EnPassant},
    {"EnPassantToTheOtherSide", "Pe5 pf5 Ke1 kh8 ep=f", "e5f6", true, EnPassant},
    {"EnPassantWithoutRecord", "Pe5 pd5 Ke1 kh8", "e5d6", false},
    {"EnPassantRecordOnOtherFile", "Pe5 pd5 pf5 Ke1 kh8 ep=f", "e5d6", false},
    {"EnPassantFromWrongRank", "Pe6 pd6 Ke1 kh8 ep=d", "e6d7", false},
    {"EnPassantSquareOccupiedIsPlainCapture", "Pe5 pd5 nd6 Ke1 kh8 ep=d", "e5d6", true},
    {"EnPassantPinnedAlongTheRank", "Ka5 Pb5 pc5 rh5 kh8 ep=c", "b5c6", false},
    {"BlackEnPassant", "pe4 Pd4 Ke1 kh8 b ep=d", "e4d3", true, EnPassant},
    {"BlackEnPassantFromWrongRank", "pe3 Pd3 Ka1 kh8 b ep=d", "e3d2", false},

    {"CastleShort", "Ke1 Ra1 Rh1 ke8 ra8 rh8 KQkq", "e1g1", true, CastleShort},
    {"CastleLong", "Ke1 Ra1 Rh1 ke8 ra8 rh8 KQkq", "e1c1", true, CastleLong},
    {"BlackCastleShort", "Ke1 Ra1 Rh1 ke8 ra8 rh8 KQkq b", "e8g8", true, CastleShort},
    {"BlackCastleLong", "Ke1 Ra1 Rh1 ke8 ra8 rh8 KQkq b", "e8c8", true, CastleLong},
    {"CastleShortWithoutRight", "Ke1 Ra1 Rh1 ke8 Q", "e1g1", false},
    {"CastleLongWithoutRight", "Ke1 Ra1 Rh1 ke8 K", "e1c1", false},
    {"CastleOutOfCheck", "Ke1 Rh1 ke8 re5 K", "e1g1", false},
    {"CastleThroughAttackedSquare", "Ke1 Rh1 ke8 rf8 K", "e1g1", false},
    {"CastleOntoAttackedSquare", "Ke1 Rh1 ke8 rg8 K", "e1g1", false},
    {"CastleWithAttackedRook", "Ke1 Rh1 ka8 bc6 K", "e1g1", true, CastleShort},
    {"CastleLongWithAttackedB1", "Ke1 Ra1 ke8 rb8 Q", "e1c1", true, CastleLong},
    {"CastleLongWithPieceOnB1", "Ke1 Ra1 Nb1 ke8 Q", "e1c1", false},
    {"CastleLongWithPieceOnC1", "Ke1 Ra1 Bc1 ke8 Q", "e1c1", false},
    {"CastleLongWithPieceOnD1", "Ke1 Ra1 Qd1 ke8 Q", "e1c1", false},
    {"CastleShortWithPieceOnF1", "Ke1 Bf1 Rh1 ke8 K", "e1g1", false},
    {"CastleShortWithEnemyOnG1", "Ke1 ng1 Rh1 ke8 K", "e1g1", false},
    {"CastleWithoutRook", "Ke1 ke8 K", "e1g1", false},
    {"CastleWithBishopInCorner", "Ke1 Bh1 ke8 K", "e1g1", false},
    {"CastleNextToEnemyKing", "Ke1 Rh1 kh2 K", "e1g1", false},
    {"CastleLongNextToEnemyKing", "Ke1 Ra1 kb2 Q", "e1c1", false},
    {"CastleLongEnemyKingTouchesOnlyB1", "Ke1 Ra1 ka2 Q", "e1c1", true, CastleLong},
    {"BlackCastleThroughCheck", "ke8 rh8 Ke1 Rf1 k b", "e8g8", false},
    {"BlackCastleLongWithPieceOnB8", "ke8 ra8 nb8 Ke1 q b", "e8c8", false},
    {"KingTwoStepsAwayFromHome", "Kd4 ke8 KQ", "d4f4", false},
};

void PrintTo(const MoveRow& row, std::ostream* os)
{
    *os << row.position << " " << row.move;
}

class MoveTest : public testing::TestWithParam<MoveRow> {};

TEST_P(MoveTest, VerdictAndTrace)
{
    const MoveRow& row = GetParam();
    GameState s = Position(row.position);
    const GameState before = s;
    const MoveText m = ParseMove(row.move);
    RecordingListener listener;

    EXPECT_EQ(Probe(before, row.move), row.allowed) << "the probe judges like the real move";
    EXPECT_EQ(Try(s, row.move, &listener), row.allowed);

    GameState expected = before;
    std::vector<std::string> expectedDrawn;
    switch (row.effect) {
    case None:
        break;
    case CastleShort:
        expected.CastleShortPending = true;
        break;
    case CastleLong:
        expected.CastleLongPending = true;
        break;
    case DoubleStep:
        (before.WhiteToMove ? expected.WhiteDoubleStep : expected.BlackDoubleStep) = true;
        (before.WhiteToMove ? expected.WhiteDoubleStepFile : expected.BlackDoubleStepFile) = m.to.file;
        break;
    case EnPassant:
        expected.At(m.to.file, m.from.rank) = Empty;
        expected.SelectedSquare = NoSelection;
        expectedDrawn.push_back(SquareName(m.to.file, m.from.rank));
        break;
    }
    EXPECT_EQ(StateDiff(expected, s), "");
    EXPECT_EQ(listener.drawn, expectedDrawn);
}

INSTANTIATE_TEST_SUITE_P(Situations, MoveTest, testing::ValuesIn(moveRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MoveTest, CastlingTrustsTheCheckFlag)
{
    GameState s = Place("Ke1 Rh1 ke8 K");
    s.WhiteInCheck = true;  // left by the turn sequence; not worked out again
    EXPECT_FALSE(Try(s, "e1g1"));
    EXPECT_FALSE(s.CastleShortPending);
}

TEST(MoveTest, EnPassantSelectionIsDroppedEvenWhenPickedUp)
{
    GameState s = Place("Pe5 pd5 Ke1 kh8 ep=d");
    s.SelectedSquare = SelectionOf(4, 4);
    ASSERT_TRUE(Try(s, "e5d6"));
    EXPECT_EQ(s.SelectedSquare, NoSelection);
    EXPECT_EQ(s.At(4, 4), Pawn) << "the move itself is the turn sequence's business";
}

TEST(MoveTest, PuttingBackIsAllowedForEveryPieceAndChangesNothing)
{
    for (const char* position : {"start", "start b", "Kg1 Pf2 Pg2 Ph2 re1 ka8", "Ke1 Be2 re7 kh8",
                                 "Pe5 pd5 Ke1 kh8 ep=d", "Ke1 Ra1 Rh1 ke8 ra8 rh8 KQkq b"}) {
        const GameState before = Position(position);
        for (int i = 0; i < 64; ++i) {
            const int32_t piece = before.Board[i];
            if (piece == Empty || (piece > 0) != before.WhiteToMove)
                continue;
            GameState s = before;
            RecordingListener listener;
            EXPECT_TRUE(TestMove(s, piece, i / 8, i % 8, i / 8, i % 8, &listener)) << position << " " << i;
            EXPECT_EQ(StateDiff(before, s), "");
            EXPECT_TRUE(listener.drawn.empty());
        }
    }
}

}  // namespace
}  // namespace chess::test
