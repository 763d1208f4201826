// The record of a game: stepping back and forth restores the whole game
// state, a new move cuts the forward part off, and the draw rules end or
// offer a draw exactly at their thresholds.

#include "CommentCommands.h"
#include "RecordTestHelpers.h"
#include "Rules.h"

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

namespace chess::test {
namespace {

TEST(History, TakeBackAndReplayRestoreTheWholeStateAcrossEveryKindOfMove)
{
    // Castling both ways, a double step answered en passant, a promotion
    // with capture, and the castling rights they end.
    Played game("r3k2r/1p4P1/8/8/2pP4/8/8/R3K2R b KQkq d3 0 30");
    std::vector<GameState> states{game.state};
    for (std::string_view move : {"cxd3", "O-O", "O-O-O", "gxh8=Q", "Rxh8", "Ra7", "Kb8"}) {
        ASSERT_EQ(game.Play(move), "") << move;
        states.push_back(game.state);
    }
    ASSERT_EQ(game.history.Size(), 7u);
    GameState board = game.state;
    for (std::size_t ply = states.size() - 1; ply > 0; --ply) {
        ASSERT_TRUE(game.history.TakeBack(board));
        EXPECT_TRUE(board == states[ply - 1]) << "after taking back to ply " << ply - 1;
    }
    EXPECT_FALSE(game.history.TakeBack(board));
    for (std::size_t ply = 1; ply < states.size(); ++ply) {
        ASSERT_TRUE(game.history.Replay(board));
        EXPECT_TRUE(board == states[ply]) << "after replaying ply " << ply;
        EXPECT_EQ(game.history.LastMove(), game.history[ply - 1].move);
    }
    EXPECT_FALSE(game.history.Replay(board));
    ASSERT_TRUE(game.history.JumpTo(2, board));
    EXPECT_TRUE(board == states[2]);
    EXPECT_EQ(game.history.Fen(), "r3k2r/1p4P1/8/8/8/3p4/8/R4RK1 b kq - 1 31");

    // A new move from here cuts off the five that followed.
    game.state = board;
    ASSERT_EQ(game.Play("Rf8"), "");
    EXPECT_EQ(game.history.Size(), 3u);
    EXPECT_EQ(game.history[2].san, "Rf8");
    EXPECT_FALSE(game.history.Replay(board));
}

TEST(History, TakeBackKeepsTheTouchAndNumbersMovesFromTheStart)
{
    Played game("4k3/8/8/8/8/8/8/R3K3 b - - 3 12");
    ASSERT_EQ(game.Play("Kd7 Ra7+ Kc6"), "");
    EXPECT_EQ(game.history.MoveNumber(0), 12);
    EXPECT_FALSE(game.history.WhiteMoved(0));
    EXPECT_EQ(game.history.MoveNumber(1), 13);
    EXPECT_EQ(game.history.MoveNumber(2), 13);
    EXPECT_EQ(game.history.HalfmoveClock(), 6);
    game.state.BoardTouched = true;
    ASSERT_TRUE(game.history.JumpTo(0, game.state));
    EXPECT_TRUE(game.state.BoardTouched);
    EXPECT_EQ(game.history.Fen(), "4k3/8/8/8/8/8/8/R3K3 b - - 3 12");
}

TEST(DrawRules, DeadPositionByMaterial)
{
    const std::pair<const char*, bool> rows[] = {
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", true},
        {"4k3/8/8/8/8/8/8/2B1K3 w - - 0 1", true},
        {"4k3/8/8/8/8/8/8/1n2K3 w - - 0 1", true},
        {"2b1k3/8/8/8/8/8/8/2B1K3 w - - 0 1", false},  // bishops on both colours
        {"3bk3/8/8/8/8/8/8/2B1K3 w - - 0 1", true},    // c1 and d8: both dark
        {"4k3/8/8/8/8/8/8/B1B1K3 w - - 0 1", true},    // two bishops, both dark
        {"4k3/8/8/8/8/8/8/1NN1K3 w - - 0 1", false},
        {"4k3/8/8/8/8/8/8/1N2K2b w - - 0 1", false},
        {"4k3/8/8/8/8/8/P7/4K3 w - - 0 1", false},
        {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", false},
        {"4k3/8/8/8/8/8/8/Q3K3 w - - 0 1", false},
    };
    for (const auto& [fen, dead] : rows) {
        EXPECT_EQ(InsufficientMaterial(ReadFen(fen).position.state), dead) << fen;
    }
}

// The knights go out and back: the start position stands again after every
// fourth half-move.
constexpr const char* Shuffle = "Nf3 Nf6 Ng1 Ng8";

TEST(DrawRules, RepetitionOfferedAtTheThirdOccurrenceEndsTheGameAtTheFifth)
{
    Played game;
    ASSERT_EQ(game.Play(Shuffle), "");
    ASSERT_EQ(game.Play("Nf3 Nf6 Ng1"), "");
    EXPECT_EQ(game.history.ClaimOccasion(), GameEnd::None);
    ASSERT_EQ(game.Play("Ng8"), "");  // the start position for the third time
    EXPECT_EQ(game.history[7].occurrence, 3);
    EXPECT_EQ(game.history.ClaimOccasion(), GameEnd::ThreefoldClaimed);
    ASSERT_EQ(game.Play("Nf3"), "");
    EXPECT_EQ(game.history.ClaimOccasion(), GameEnd::ThreefoldClaimed);
    ASSERT_EQ(game.Play("Nf6 Ng1 Ng8"), "");  // fourth time: claimable, no longer offered
    EXPECT_EQ(game.history.ClaimableDraw(), GameEnd::ThreefoldClaimed);
    EXPECT_EQ(game.history.ClaimOccasion(), GameEnd::None);
    ASSERT_EQ(game.Play(Shuffle), "");
    EXPECT_EQ(game.history.End(), GameEnd::FivefoldRepetition);
    EXPECT_EQ(game.history[14].end, GameEnd::None);

    // A position after a different double step is another position only
    // when the capture en passant could be made.
    Played ep("4k3/8/8/8/1p6/8/P1P5/4K3 w - - 0 1");
    ASSERT_EQ(ep.Play("a4 Kd7 Kd1 Ke8 Ke1 Kd7 Kd1 Ke8 Ke1"), "");
    EXPECT_EQ(ep.history[8].occurrence, 2);  // not counting the one after a4
    Played noEp("4k3/8/8/8/2p5/8/P7/4K3 w - - 0 1");
    ASSERT_EQ(noEp.Play("a4 Kd7 Kd1 Ke8 Ke1 Kd7 Kd1 Ke8 Ke1"), "");
    EXPECT_EQ(noEp.history[8].occurrence, 3);
}

TEST(DrawRules, OccurrencesCountedAsMovesComeAndGoMatchACountFromScratch)
{
    // The record keeps its counts up as it goes; here every count is checked
    // against one made by walking back over the whole record, through
    // random moves (mostly quiet ones, so that positions do repeat), take-
    // backs and new moves after them, from a start with a clock already
    // running.
    auto expectCountsFromScratch = [](const History& history) {
        for (std::size_t ply = 1; ply <= history.Current(); ++ply) {
            const HalfMove& h = history[ply - 1];
            int expected = 1;
            for (std::size_t back = 2; back <= static_cast<std::size_t>(h.halfmoveClock) && back <= ply; back += 2) {
                const std::size_t earlier = ply - back;
                expected += (earlier == 0 ? KeyOf(history.Start()) : history[earlier - 1].key) == h.key;
            }
            ASSERT_EQ(h.occurrence, expected) << "ply " << ply;
        }
    };
    // A long run counted on one line, taken back, and another line whose
    // own long run begins where the first one stopped.
    Played branched;
    ASSERT_EQ(branched.Play("Nc3 Nc6 e4 e5"), "");
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ(branched.Play(Shuffle), "");
    ASSERT_TRUE(branched.history.JumpTo(0, branched.state));
    ASSERT_EQ(branched.Play("e4 e5 Nf3 Nf6 Ng1 Ng8 Nf3 Nf6 Ng1 Ng8 d3 d6"), "");
    for (int i = 0; i < 7; ++i)
        ASSERT_EQ(branched.Play(Shuffle), "");
    expectCountsFromScratch(branched.history);

    std::mt19937 random(75);
    Played game("r3k2r/pppq1ppp/2n2n2/8/8/2N2N2/PPPQ1PPP/R3K2R w KQkq - 37 20");
    for (int step = 0; step < 3000; ++step) {
        if (random() % 7 == 0 && game.history.Current() > 0) {
            const std::size_t back = random() % std::min<std::size_t>(game.history.Current(), 40) + 1;
            ASSERT_TRUE(game.history.JumpTo(game.history.Current() - back, game.state));
            continue;
        }
        std::vector<Move> moves = LegalMoves(game.state);
        if (moves.empty() || game.history.Current() > 400) {
            game = Played("r3k2r/pppq1ppp/2n2n2/8/8/2N2N2/PPPQ1PPP/R3K2R b KQkq - 3 20");
            continue;
        }
        const auto quiet = std::partition(moves.begin(), moves.end(), [&](const Move& m) {
            return std::abs(game.state.At(m.fromFile, m.fromRank)) != Pawn
                && game.state.At(m.toFile, m.toRank) == Empty;
        });
        const bool loud = quiet == moves.begin() || random() % 40 == 0;
        const std::size_t n = loud ? moves.size() : static_cast<std::size_t>(quiet - moves.begin());
        ASSERT_TRUE(PlayRecordedMove(game.state, game.history, moves[random() % n]));

        SCOPED_TRACE("step " + std::to_string(step));
        expectCountsFromScratch(game.history);
        if (HasFailure())
            return;
    }
}

struct EndRow {
    const char* fen;
    const char* move;
    GameEnd end;
};

TEST(DrawRules, MateAndStalemateFoundWhicheverMoveIsLeft)
{
    const EndRow rows[] = {
        {"7k/8/8/5Q2/8/8/8/K7 w - - 0 1", "Qg6", GameEnd::Stalemate},
        {"k7/8/1K6/8/8/8/8/7R w - - 0 1", "Rh8#", GameEnd::WhiteWins},
        {"8/8/8/8/1p6/1B6/P1K5/k7 w - - 0 1", "a3", GameEnd::None},  // the king boxed in, the pawn may take
        {"8/8/8/8/1p6/1B6/P1K5/k7 w - - 0 1", "a4", GameEnd::None},  // only en passant
        {"8/8/8/8/1p6/1B6/P1K5/k7 w - - 0 1", "Kd2", GameEnd::None},
        {"6rk/5K2/6P1/8/8/8/8/R7 w - - 0 1", "Ra8", GameEnd::None},  // only the pinned rook, along the pin
        {"6rk/5K2/6P1/8/8/8/8/R7 w - - 0 1", "Rb1", GameEnd::None},
        {"7k/5K2/6P1/8/8/8/8/R7 w - - 0 1", "Ra2", GameEnd::Stalemate},
        {"4k3/4P3/3K4/8/8/8/8/8 w - - 0 1", "Ke6", GameEnd::Stalemate},
    };
    for (const EndRow& row : rows) {
        SCOPED_TRACE(std::string(row.fen) + " " + row.move);
        Played game(row.fen);
        ASSERT_EQ(game.Play(row.move), "");
        EXPECT_EQ(game.history[0].end, row.end);
        EXPECT_EQ(row.end == GameEnd::None, HasLegalMove(game.state, game.state.WhiteToMove));
    }
}

struct ClockRow {
    int startClock;
    const char* moves;
    GameEnd end;
    GameEnd offer;
};

TEST(DrawRules, MoveCountsRightAtTheirThresholdsAndOneStepBefore)
{
    const ClockRow rows[] = {
        {98, "Ra2", GameEnd::None, GameEnd::None},        {99, "Ra2", GameEnd::None, GameEnd::FiftyMovesClaimed},
        {99, "Ra2 Kd8", GameEnd::None, GameEnd::None},  // offered once only
        {99, "h3", GameEnd::None, GameEnd::None},       // a pawn move starts the count again
        {148, "Ra2", GameEnd::None, GameEnd::None},       {149, "Ra2", GameEnd::SeventyFiveMoves, GameEnd::None},
        {149, "Ra8#", GameEnd::WhiteWins, GameEnd::None},  // mate has the last word
    };
    for (const ClockRow& row : rows) {
        SCOPED_TRACE(std::to_string(row.startClock) + " " + row.moves);
        Played game("4k3/8/4K3/8/8/8/7P/R7 w - - " + std::to_string(row.startClock) + " 80");
        ASSERT_EQ(game.Play(row.moves), "");
        EXPECT_EQ(game.history.End(), row.end);
        EXPECT_EQ(game.history.ClaimOccasion(), row.offer);
    }
}

TEST(DrawRules, AClaimEndsTheGameUntilItIsTakenBack)
{
    Played game("4k3/8/4K3/8/8/8/8/R7 w - - 99 80");
    ASSERT_EQ(game.Play("Ra2"), "");
    game.history.ClaimDraw(GameEnd::FiftyMovesClaimed);
    EXPECT_EQ(game.history.End(), GameEnd::FiftyMovesClaimed);
    EXPECT_TRUE(EndedByDrawRule(game.history.End()));
    EXPECT_STREQ(ResultText(game.history.End()), "1/2-1/2");
    ASSERT_TRUE(game.history.TakeBack(game.state));
    EXPECT_EQ(game.history.End(), GameEnd::None);
    ASSERT_EQ(game.Play("Rb1"), "");  // another move instead: the claim is gone
    EXPECT_EQ(game.history.End(), GameEnd::None);

    // A result declared (a resignation, a draw agreed, a file's result) ends
    // the game the same way, at the half-move it was declared after.
    const std::tuple<GameEnd, const char*, bool> declared[] = {
        {GameEnd::WhiteWinsDeclared, "1-0", false},
        {GameEnd::BlackWinsDeclared, "0-1", false},
        {GameEnd::DrawDeclared, "1/2-1/2", true},
    };
    for (const auto& [end, result, draw] : declared) {
        SCOPED_TRACE(result);
        Played g;
        EXPECT_FALSE(g.history.DeclareEnd(end));  // no half-move yet
        ASSERT_EQ(g.Play("e4 e5 Nf3"), "");
        EXPECT_FALSE(g.history.DeclareEnd(GameEnd::WhiteWins));  // only a declared end
        ASSERT_TRUE(g.history.DeclareEnd(end));
        EXPECT_EQ(g.history.End(), end);
        EXPECT_EQ(DeclaredEnd(result), end);
        EXPECT_STREQ(ResultText(end), result);
        EXPECT_EQ(IsDraw(end), draw);
        EXPECT_TRUE(RefusesMoves(end));
        EXPECT_TRUE(EndedByDrawRule(end));  // what the board asks before a move
        EXPECT_EQ(g.history.ClaimOccasion(), GameEnd::None);
        ASSERT_TRUE(g.history.TakeBack(g.state));
        EXPECT_EQ(g.history.End(), GameEnd::None);
        ASSERT_TRUE(g.history.Replay(g.state));
        EXPECT_EQ(g.history.End(), end);
        ASSERT_TRUE(g.history.TakeBack(g.state));
        ASSERT_EQ(g.Play("Nc3 Nc6"), "");  // played on instead: the result is gone
        EXPECT_EQ(g.history.End(), GameEnd::None);
    }
    EXPECT_EQ(DeclaredEnd("*"), GameEnd::None);
    Played mate;
    ASSERT_EQ(mate.Play("f3 e5 g4 Qh4#"), "");
    EXPECT_FALSE(mate.history.DeclareEnd(GameEnd::WhiteWinsDeclared));  // over by the rules already
    EXPECT_EQ(mate.history.End(), GameEnd::BlackWins);
    EXPECT_FALSE(RefusesMoves(GameEnd::BlackWins));
    EXPECT_FALSE(RefusesMoves(GameEnd::Stalemate));
}

}  // namespace
}  // namespace chess::test

// Machine data in comments: found, replaced in place, taken out, and never
// confused with prose that merely looks like a command.
TEST(Annotation, CommandsInCommentsKeepTheProseAroundThem)
{
    struct Row {
        const char* comment;
        const char* clk;  // nullptr: none
        const char* setTo;
        const char* prose;
    };
    const Row rows[] = {
        {"", nullptr, "[%clk 0:03:00]", ""},
        {"[%clk 0:02:58]", "0:02:58", "[%clk 0:03:00]", ""},
        {"good move [%clk  0:02:58 ] indeed", "0:02:58", "good move [%clk 0:03:00] indeed", "good move indeed"},
        {"[%eval 0.31] [%clk 1:00:00]", "1:00:00", "[%eval 0.31] [%clk 0:03:00]", ""},
        {"[%clk 0:01:00] [%clk 0:02:00] x", "0:01:00", "[%clk 0:03:00] x", "x"},
        {"a [% b] [%clk", nullptr, "[%clk 0:03:00] a [% b] [%clk", "a [% b] [%clk"},
        {"[clk 0:01:00]", nullptr, "[%clk 0:03:00] [clk 0:01:00]", "[clk 0:01:00]"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.comment);
        const auto clk = chess::CommentCommand(row.comment, "clk");
        EXPECT_EQ(clk.has_value(), row.clk != nullptr);
        if (clk && row.clk) {
            EXPECT_EQ(*clk, row.clk);
        }
        EXPECT_EQ(chess::WithCommentCommand(row.comment, "clk", "0:03:00"), row.setTo);
        EXPECT_EQ(chess::CommentProse(row.comment), row.prose);
        EXPECT_FALSE(chess::CommentCommand(chess::WithoutCommentCommand(row.comment, "clk"), "clk"));
        EXPECT_EQ(chess::CommentCommand(chess::WithProse(row.setTo, "new words"), "clk"), "0:03:00");
        EXPECT_EQ(chess::CommentProse(chess::WithProse(row.setTo, "new words")), "new words");
    }
}
