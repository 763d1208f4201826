// Seeded random games played through the real turn sequence with mouse
// presses, checking after every move the invariants that no single test
// position would show broken: one king each, no pawn on a back rank,
// castling rights that only fall and only stand while king and rook are
// home, check flags that match the board, and announcements that match
// what the side to move can still do.

#include "PositionText.h"
#include "Rules.h"
#include "TurnSequence.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

namespace chess::test {
namespace {

class PlayoutUi : public GameUi {
public:
    explicit PlayoutUi(std::mt19937& rng) : rng_(rng) {}
    std::vector<Message> said;
    void DrawSquare(int, int) override {}
    void Announce(Message m) override { said.push_back(m); }
    bool AskYesNo(Question) override { return false; }
    void RunPromotion(GameState& s) override { PromotePawn(s, static_cast<int>(rng_() % 4)); }
    void DrawBoard() override {}

private:
    std::mt19937& rng_;
};

void Press(TurnSequence& turn, int square)  // white at the bottom, middle of the square
{
    turn.FormMouseDown(FrameWidth + (square / 8) * SquareSize + 30, FrameWidth + (7 - square % 8) * SquareSize + 30,
                       true);
}

std::vector<std::pair<int, int>> LegalMoves(const GameState& s)
{
    std::vector<std::pair<int, int>> moves;
    for (int from = 0; from < 64; ++from)
        if (s.Board[from] != Empty && (s.Board[from] > 0) == s.WhiteToMove)
            for (int to = 0; to < 64; ++to)
                if (to != from && ProbeMove(s, s.Board[from], from / 8, from % 8, to / 8, to % 8))
                    moves.emplace_back(from, to);
    return moves;
}

bool Attacked(const GameState& s, bool whiteKing)
{
    return (whiteKing ? WhiteKingCheckTest(s) : BlackKingCheckTest(s)) != CheckVerdict::Neni;
}

void CheckInvariants(const GameState& s, const GameState& before, std::string_view where)
{
    SCOPED_TRACE(std::string(where));
    int whiteKings = 0, blackKings = 0;
    for (int i = 0; i < 64; ++i) {
        whiteKings += s.Board[i] == King;
        blackKings += s.Board[i] == -King;
        const bool backRank = i % 8 == 0 || i % 8 == 7;
        EXPECT_FALSE(backRank && std::abs(s.Board[i]) == Pawn) << "pawn on a back rank at " << SquareName(i / 8, i % 8);
    }
    EXPECT_EQ(whiteKings, 1);
    EXPECT_EQ(blackKings, 1);

    const auto right = [&](bool now, bool earlier, int kingCell, int rookCell, int32_t sign) {
        EXPECT_TRUE(!now || earlier) << "a castling right came back";
        if (now) {
            EXPECT_EQ(s.Board[kingCell], sign * King);
            EXPECT_EQ(s.Board[rookCell], sign * Rook);
        }
    };
    right(s.WhiteMayCastleShort, before.WhiteMayCastleShort, 32, 56, 1);
    right(s.WhiteMayCastleLong, before.WhiteMayCastleLong, 32, 0, 1);
    right(s.BlackMayCastleShort, before.BlackMayCastleShort, 39, 63, -1);
    right(s.BlackMayCastleLong, before.BlackMayCastleLong, 39, 7, -1);

    EXPECT_FALSE(s.CastleShortPending || s.CastleLongPending);
    EXPECT_EQ(s.SelectedSquare, NoSelection);
    EXPECT_NE(s.WhiteToMove, before.WhiteToMove);
    const bool whiteMoved = before.WhiteToMove;
    EXPECT_FALSE(Attacked(s, whiteMoved)) << "the mover's king was left attacked";
    EXPECT_EQ(whiteMoved ? s.BlackInCheck : s.WhiteInCheck, Attacked(s, !whiteMoved));
    EXPECT_FALSE(whiteMoved ? s.BlackDoubleStep : s.WhiteDoubleStep) << "the opponent's record outlived a move";
    if (whiteMoved ? s.WhiteDoubleStep : s.BlackDoubleStep) {
        const int file = whiteMoved ? s.WhiteDoubleStepFile : s.BlackDoubleStepFile;
        EXPECT_EQ(s.At(file, whiteMoved ? 3 : 4), whiteMoved ? Pawn : -Pawn);
        EXPECT_EQ(s.ToFile, file);
    }
}

TEST(Playout, RandomGamesKeepTheInvariants)
{
    int finished = 0;
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::mt19937 rng(seed);
        PlayoutUi ui(rng);
        GameState s = StartPosition();
        TurnSequence turn(s, ui);
        for (int ply = 0; ply < 300; ++ply) {
            const std::string where = "seed " + std::to_string(seed) + " ply " + std::to_string(ply);
            const auto moves = LegalMoves(s);
            ASSERT_EQ(HasLegalMove(s, s.WhiteToMove), !moves.empty()) << where;
            if (moves.empty()) {
                ++finished;
                break;
            }

            // A refused attempt first: message, selection dropped, nothing else.
            const int from = moves[rng() % moves.size()].first;
            const int to = static_cast<int>(rng() % 64);
            if (to != from && !ProbeMove(s, s.Board[from], from / 8, from % 8, to / 8, to % 8)) {
                GameState expected = s;
                ui.said.clear();
                Press(turn, from);
                Press(turn, to);
                expected.MovingPiece = s.MovingPiece, expected.BoardTouched = true;
                expected.FromFile = s.FromFile, expected.FromRank = s.FromRank;
                expected.ToFile = s.ToFile, expected.ToRank = s.ToRank;
                EXPECT_EQ(StateDiff(expected, s), "") << where;
                EXPECT_EQ(ui.said, std::vector<Message>{Message::Nelze}) << where;
            }

            // Preferring captures thins the board out, so games reach their end.
            std::vector<std::pair<int, int>> captures;
            for (const auto& m : moves)
                if (s.Board[m.second] != Empty)
                    captures.push_back(m);
            const auto& pool = captures.empty() || rng() % 3 == 0 ? moves : captures;
            const auto [mf, mt] = pool[rng() % pool.size()];
            const GameState before = s;
            ui.said.clear();
            Press(turn, mf);
            Press(turn, mt);
            CheckInvariants(s, before, where);

            // Sach exactly when the opponent is now in check; an end announced
            // exactly when the side to move has nothing left.
            const bool inCheck = s.WhiteToMove ? s.WhiteInCheck : s.BlackInCheck;
            const bool ended = LegalMoves(s).empty();
            std::vector<Message> expected;
            if (inCheck)
                expected.push_back(Message::Sach);
            if (ended && !inCheck)
                expected.push_back(Message::Pat);
            if (ended && inCheck)
                expected.push_back(s.WhiteToMove ? Message::MatCernyVyhral : Message::MatBilyVyhral);
            EXPECT_EQ(ui.said, expected) << where;
        }
    }
    // These seeds end a couple of games in mate or stalemate, so the
    // end-of-game branch above is exercised too.
    EXPECT_GE(finished, 1);
}

}  // namespace
}  // namespace chess::test
