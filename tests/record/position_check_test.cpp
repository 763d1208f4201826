// Which positions can be played: one table judged by the set-up's check and
// by the FEN reader alike, and positions of random games and random set-ups
// written as FEN and read back unchanged.

#include "Fen.h"
#include "Notation.h"
#include "PositionCheck.h"
#include "PositionText.h"

#include <gtest/gtest.h>

#include <random>

namespace chess::test {
namespace {

using F = PositionFault;
constexpr bool W = true, B = false;

struct CheckRow {
    const char* position;  // as Place reads it, or "start"
    std::vector<PositionProblem> problems;
};

const std::vector<CheckRow>& CheckRows()
{
    static const std::vector<CheckRow> rows = {
        {"start", {}},
        {"Ke1 ke8", {}},
        {"Ke1 Ra1 Rh1 ke8 ra8 rh8 KQkq", {}},
        {"Ke1 ke8 re2", {}},  // the side to move may be in check
        {"Ke1 Pe5 ke8 pd5 ep=d", {}},
        {"Ke1 ke8 pd5 ep=d", {}},  // nobody can take, but the pawn has stepped: other programs write that
        {"Ke1 Qa1 Qb1 ke8 Pa2 Pb2 Pc2 Pd2 Pe2 Pf2 Pg2", {}},  // one queen from the missing pawn
        {"Ke1 Bc1 Bf1 Ba3 ke8 Pa2 Pb2 Pc2 Pd2 Pe2 Pf2 Pg2", {}},
        {"", {{F::KingCount, W}, {F::KingCount, B}}},
        {"Ke1 Kd1 ke8", {{F::KingCount, W}}},
        {"Ke1 ke8 Pa8", {{F::PawnOnEdgeRank, W}}},
        {"Ke1 ke8 pa1 b", {{F::PawnOnEdgeRank, B}}},
        {"Ke1 Qd1 Qd3 Ra1 Rh1 Bc1 Bf1 Nb1 Ng1 ke8 Pa2 Pb2 Pc2 Pd2 Pe2 Pf2 Pg2 Ph2", {{F::TooManyPieces, W}}},
        {"Ke1 ke8 pa2 pb3 pc4 pd5 pe6 pf6 pg6 ph6 pa6", {{F::TooManyPawns, B}}},
        {"Ke1 Qa1 Qb1 ke8 Pa2 Pb2 Pc2 Pd2 Pe2 Pf2 Pg2 Ph2", {{F::TooManyPromoted, W}}},
        {"Ke1 Bc1 Be3 ke8 Pa2 Pb2 Pc2 Pd2 Pe4 Pf2 Pg2 Ph2", {{F::TooManyPromoted, W}}},  // both on dark squares
        {"Ke1 ke8 nb8 ng8 nc6 pa7 pb7 pc7 pd7 pe7 pf7 pg7 ph7", {{F::TooManyPromoted, B}}},
        {"Ke1 ke8 K", {{F::CastlingRight, W}}},
        {"Ke2 Rh1 ke8 ra8 rh7 Kkq", {{F::CastlingRight, W}, {F::CastlingRight, B}}},
        {"Ke1 ke8 ep=d", {{F::EnPassant, B, 3}}},
        {"Kf1 ke8 Pe4 Be2 pd4 b ep=e", {{F::EnPassant, W, 4}}},  // the pawn cannot have come from e2
        {"Ke1 ke8 Re2", {{F::NotToMoveInCheck, B}}},
        {"Ke1 ke8 nd3 b", {{F::NotToMoveInCheck, W}}},
        {"Ke4 ke5", {{F::KingsAdjacent}}},
        {"Ka1 kb2 b", {{F::KingsAdjacent}}},
        {"Ke1 ke8 Pa8 pa1 Re2", {{F::PawnOnEdgeRank, W}, {F::PawnOnEdgeRank, B}, {F::NotToMoveInCheck, B}}},
    };
    return rows;
}

std::string Names(const std::vector<PositionProblem>& problems)
{
    std::string text;
    for (const PositionProblem& p : problems)
        text += ProblemText(p) + (p.white ? " (w)" : " (b)") + "; ";
    return text;
}

TEST(PositionCheck, SetUpAndFenReaderJudgeAlike)
{
    for (const CheckRow& row : CheckRows()) {
        SCOPED_TRACE(row.position);
        const GameState s = Position(row.position);
        const std::vector<PositionProblem> problems = CheckPosition(s);
        EXPECT_EQ(Names(problems), Names(row.problems));
        EXPECT_EQ(problems, row.problems);

        // Read as written, the FEN brings the same problems back.
        EXPECT_EQ(CheckPosition(ReadFenUnjudged(WriteFen(s)).position.state), row.problems);
        const FenReading read = ReadFen(WriteFen(s));
        EXPECT_EQ(read.ok, row.problems.empty());
        if (!row.problems.empty()) {
            EXPECT_EQ(read.error, ProblemText(row.problems.front()));
        }
    }
}

TEST(PositionCheck, OffersOnlyCastlingAtHomeAndEnPassantThatCanBeTaken)
{
    GameState s = Place("Ke1 Ra1 Rh2 ke8 rh8 pd5 pf5 Pe5 Pg5 Pa5 pb5 ep=d");
    EXPECT_TRUE(CastlingPossible(s, W, false));
    EXPECT_FALSE(CastlingPossible(s, W, true));
    EXPECT_TRUE(CastlingPossible(s, B, true));
    EXPECT_FALSE(CastlingPossible(s, B, false));
    EXPECT_EQ(EnPassantFiles(s), (std::vector<int>{1, 3, 5}));  // b5 beside a5, d5 and f5 beside e5 and g5
    s.WhiteToMove = false;
    EXPECT_EQ(EnPassantFiles(s), (std::vector<int>{}));

    // Settling drops what the board no longer allows and works out the checks.
    s = Place("Ke1 Rh2 ke8 re6 pd5 KQkq ep=d");
    s.WhiteMayCastleLong = s.BlackMayCastleShort = true;
    SettleSetUp(s);
    EXPECT_EQ(WriteFen(s), "4k3/8/4r3/3p4/8/8/7R/4K3 w - - 0 1");
    EXPECT_TRUE(s.WhiteInCheck);
}

// What a FEN holds of a state: board, side, rights, the double step of the
// side that has just moved, and whether the side to move is in check (the
// other side's flag is left from before its move).
std::string FenFacts(const GameState& s)
{
    std::string facts = WriteFen(s);
    facts += (s.WhiteToMove ? s.WhiteInCheck : s.BlackInCheck) ? " +" : "";
    return facts + " " + std::to_string(s.WhiteToMove ? s.BlackDoubleStep : s.WhiteDoubleStep);
}

TEST(PositionCheck, ThousandPositionsSurviveFenAndBack)
{
    std::mt19937 rng(18);
    std::vector<GameState> positions;
    // Half from random games, which every check must let pass.
    while (positions.size() < 500) {
        GameState s;
        SetUpNewGame(s);
        s.SelectedSquare = NoSelection;
        const int plies = int(rng() % 160);
        for (int ply = 0; ply < plies; ++ply) {
            const std::vector<Move> moves = LegalMoves(s);
            if (moves.empty())
                break;
            ASSERT_TRUE(PlayMove(s, moves[rng() % moves.size()]));
        }
        ASSERT_EQ(Names(CheckPosition(s)), "") << WriteFen(s);
        positions.push_back(s);
    }
    // Half set up at random and settled, kept when they pass.
    const int32_t kinds[] = {Pawn, Rook, Knight, Bishop, Queen};
    while (positions.size() < 1000) {
        GameState s;
        SetUpNewGame(s);
        s.Board.fill(Empty);
        s.At(int(rng() % 8), int(rng() % 8)) = King;
        s.Board[rng() % 64] = -King;
        for (int n = int(rng() % 20); n > 0; --n)
            s.Board[rng() % 64] = kinds[rng() % 5] * (rng() % 2 ? 1 : -1);
        s.WhiteToMove = rng() % 2;
        s.WhiteMayCastleShort = s.WhiteMayCastleLong = s.BlackMayCastleShort = s.BlackMayCastleLong = true;
        (s.WhiteToMove ? s.BlackDoubleStep : s.WhiteDoubleStep) = true;
        (s.WhiteToMove ? s.BlackDoubleStepFile : s.WhiteDoubleStepFile) = int(rng() % 8);
        SettleSetUp(s);
        if (CheckPosition(s).empty())
            positions.push_back(s);
    }
    for (const GameState& s : positions) {
        const int halfmoves = int(rng() % 100), number = 1 + int(rng() % 300);
        const FenReading read = ReadFen(WriteFen(s, halfmoves, number));
        ASSERT_TRUE(read.ok) << WriteFen(s) << ": " << read.error;
        EXPECT_EQ(FenFacts(read.position.state), FenFacts(s));
        EXPECT_EQ(read.position.state.Board, s.Board);
        EXPECT_EQ(read.position.halfmoveClock, halfmoves);
        EXPECT_EQ(read.position.fullmoveNumber, number);
    }
}

}  // namespace
}  // namespace chess::test
