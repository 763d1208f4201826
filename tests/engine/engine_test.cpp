// The engine's lines read and written, the conversation kept in order, and
// moves judged by the drop in winning chances.

#include "EngineSession.h"
#include "RecordTestHelpers.h"
#include "Review.h"
#include "Uci.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace chess {
namespace {

using uci::Score;

TEST(Uci, ReadsTheLinesThatCarryAScoreAndALine)
{
    struct Row {
        const char* line;
        bool read;
        uci::Info info;
    };
    const Row rows[] = {
        {"info depth 12 seldepth 18 multipv 2 score cp -35 nodes 1 nps 2 pv e7e5 g1f3",
         true,
         {12, 2, {false, -35}, {"e7e5", "g1f3"}}},
        {"info depth 20 score mate -3 pv e1e2\r", true, {20, 1, {true, -3}, {"e1e2"}}},
        {"info\tdepth 5 score cp 10 pv a2a3", true, {5, 1, {false, 10}, {"a2a3"}}},
        // Bounds are not the score yet; lines without a line of play say nothing.
        {"info depth 9 score cp 40 lowerbound pv e2e4", false, {}},
        {"info depth 9 score cp 40 upperbound pv e2e4", false, {}},
        {"info depth 9 currmove e2e4 currmovenumber 1", false, {}},
        {"info string NNUE evaluation using nn.nnue score cp 5 pv e2e4", false, {}},
        {"info depth 9 score cp 12", false, {}},
        {"info depth 9 score wdl 10 pv e2e4", false, {}},
        {"info depth 9 score cp x pv e2e4", false, {}},
        {"bestmove e2e4", false, {}},
        {"", false, {}},
    };
    for (const Row& row : rows) {
        const auto info = uci::ParseInfo(row.line);
        EXPECT_EQ(info.has_value(), row.read) << row.line;
        if (info && row.read) {
            EXPECT_EQ(*info, row.info) << row.line;
        }
    }
    EXPECT_EQ(uci::ParseBestMove("bestmove e7e8q ponder a1a2"), "e7e8q");
    EXPECT_EQ(uci::ParseBestMove("bestmove (none)"), "");
    EXPECT_EQ(uci::ParseBestMove("bestmoves e2e4"), std::nullopt);
    EXPECT_EQ(uci::ParseName("id name Stockfish 15.1 \r"), "Stockfish 15.1");
    EXPECT_EQ(uci::ParseName("id author T. Romstad"), std::nullopt);
    EXPECT_TRUE(uci::IsAnswer(" uciok\r", "uciok"));
    EXPECT_FALSE(uci::IsAnswer("uciok now", "uciok"));
}

TEST(Uci, WritesPositionsAndLinesAsTheRecordDoes)
{
    test::Played game;
    ASSERT_EQ(game.Play("e4 e5 Nf3 Nc6 Bb5 a6"), "");
    EXPECT_EQ(uci::PositionCommand(game.history, 0), "position startpos");
    EXPECT_EQ(uci::PositionCommand(game.history, 3), "position startpos moves e2e4 e7e5 g1f3");
    EXPECT_EQ(uci::GoCommand({8, 0}), "go depth 8");
    EXPECT_EQ(uci::GoCommand({0, 200}), "go movetime 200");
    EXPECT_EQ(uci::GoCommand({}), "go infinite");

    struct Row {
        std::size_t ply;
        std::vector<std::string> pv;
        const char* czech;
    };
    const Row rows[] = {
        {3, {"g8f6", "f1c4", "f8c5"}, "2... Jf6 3. Sc4 Sc5"},
        {4, {"f1c4"}, "3. Sc4"},
        {6, {"b5a4", "g8f6", "e1g1"}, "4. Sa4 Jf6 5. O-O"},
        // An engine's line for another position stops at its first wrong move.
        {4, {"f1c4", "e2e4"}, "3. Sc4"},
        {4, {"e2e4"}, ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(uci::PvText(game.history, row.ply, row.pv, PieceLetters::Czech()), row.czech) << row.czech;

    test::Played setUp("4k3/P7/8/8/8/8/8/4K3 w - - 0 40");
    EXPECT_EQ(uci::PositionCommand(setUp.history, 0), "position fen 4k3/P7/8/8/8/8/8/4K3 w - - 0 40");
    EXPECT_EQ(uci::PvText(setUp.history, 0, {"a7a8q", "e8d7"}, PieceLetters::German()), "40. a8=D+ Kd7");
}

// Each row: what is asked of the session and what the engine writes, then
// what the session has written and passed on.
TEST(EngineSession, StopsBeforeTheNextSearchAndPassesOnlyTheLinesOfTheSearchShown)
{
    std::vector<std::string> sent;
    EngineSession session([&sent](const std::string& line) { sent.push_back(line); });
    std::vector<std::string> passed;
    auto hear = [&](const char* line) {
        const EngineSession::Event e = session.Receive(line);
        if (e.kind == EngineSession::Event::Line)
            passed.push_back(std::to_string(e.search) + ":" + e.info.pv.front());
        else if (e.kind == EngineSession::Event::BestMove)
            passed.push_back(std::to_string(e.search) + ":best " + e.best);
        else if (e.kind == EngineSession::Event::Ready)
            passed.push_back("ready " + session.Name());
    };
    auto ask = [&](const char* position, int lines = 3) { session.Request({position, {0, 0}, lines}); };

    session.Started();
    ask("position A");  // waits for the greeting
    ask("position B");  // replaces it
    EXPECT_EQ(session.AnswerDue(), EngineSession::AnswerMs);
    hear("id name Fake");
    hear("uciok");
    hear("readyok");
    EXPECT_EQ(sent, (std::vector<std::string>{"uci", "isready", "setoption name MultiPV value 3", "position B",
                                              "go infinite"}));
    EXPECT_EQ(session.AnswerDue(), std::nullopt);
    hear("info depth 1 score cp 5 pv b1");
    ask("position C");
    ask("position D");
    ask("position E");  // stepping on: one stop, one search waiting
    EXPECT_TRUE(session.Waiting());
    hear("info depth 2 score cp 5 pv b2");  // already stopped: not shown
    hear("bestmove b2");
    hear("info depth 1 score cp 7 pv e1");
    session.Cancel();
    hear("info depth 2 score cp 7 pv e2");
    hear("bestmove e2");
    EXPECT_FALSE(session.Waiting());
    session.Request({"position F", {0, 100}, 1});
    EXPECT_EQ(session.AnswerDue(), 100 + EngineSession::AnswerMs);
    hear("info depth 1 score cp 9 pv f1");
    hear("bestmove f1");
    EXPECT_EQ(session.State(), EngineSession::Phase::Idle);

    EXPECT_EQ(passed, (std::vector<std::string>{"ready Fake", "2:b1", "5:e1", "6:f1", "6:best f1"}));
    EXPECT_EQ(std::vector<std::string>(sent.begin() + 5, sent.end()),
              (std::vector<std::string>{"stop", "position E", "go infinite", "stop", "setoption name MultiPV value 1",
                                        "position F", "go movetime 100"}));

    // A process gone takes what waited with it.
    ask("position G");
    session.Ended();
    EXPECT_FALSE(session.Waiting());
    EXPECT_EQ(session.State(), EngineSession::Phase::Off);
}

TEST(Review, JudgesAMoveByTheDropInItsSidesWinningChances)
{
    struct Row {
        Score before;  // from the side that moves
        Score after;   // from the other side, as the engine gives it
        Judgement judgement;
    };
    const Row rows[] = {
        {{false, 30}, {false, -20}, Judgement::Good},
        {{false, 0}, {false, 0}, Judgement::Good},
        {{false, 50}, {false, -10}, Judgement::Good},
        {{false, 50}, {false, 10}, Judgement::Inaccuracy},  // 0.09 -> -0.02
        {{false, 0}, {false, 55}, Judgement::Inaccuracy},   // 0 -> -0.1 of the mover
        {{false, 0}, {false, 112}, Judgement::Mistake},     // 0 -> -0.2
        {{false, 0}, {false, 175}, Judgement::Blunder},     // 0 -> -0.31
        {{false, 900}, {false, -700}, Judgement::Good},     // still winning by far
        {{false, 900}, {false, -500}, Judgement::Mistake},  // 0.93 -> 0.73
        {{false, 1500}, {false, -1000}, Judgement::Good},   // beyond the cap nothing changes
        {{true, 3}, {false, -1000}, Judgement::Good},       // a mate missed, the game still won
        {{true, 3}, {false, 0}, Judgement::Blunder},        // a mate thrown away
        {{false, 0}, {true, 2}, Judgement::Blunder},        // walked into a mate
        {{true, -4}, {true, 3}, Judgement::Good},           // lost before, lost after
        {{false, 200}, {true, 0}, Judgement::Good},         // gave mate
    };
    for (const bool white : {true, false})
        for (const Row& row : rows) {
            const double before = WhiteChances(row.before, white);
            const double after = WhiteChances(row.after, !white);
            EXPECT_EQ(Judge(before, after, white), row.judgement)
                << (white ? "white " : "black ") << row.before.value << " -> " << row.after.value;
        }
}

TEST(Review, WritesItsEvaluationsGlyphsAndBetterLinesIntoTheAnnotations)
{
    test::Played game;
    ASSERT_EQ(game.Play("f3 e5 g4 Qh4#"), "");
    Review review(game.history.Size());
    review.Set(0, {{false, 20}, true, {"e2e4"}});
    review.Set(1, {{false, 40}, false, {"e7e5"}});
    review.Set(2, {{false, -60}, true, {"e2e4", "d8h4"}});
    review.Set(3, {{true, 1}, false, {"d8h4"}});
    EXPECT_FALSE(review.Complete());
    review.Set(4, {{true, 0}, true, {}});
    EXPECT_TRUE(review.Complete());
    EXPECT_EQ(review.Of(0), Judgement::Inaccuracy);
    EXPECT_EQ(review.Of(2), Judgement::Blunder);

    History history = game.history;
    ASSERT_TRUE(history.Annotate(2, {{1, 146}, "[%clk 0:01:00] Hope.", ""}));
    const Annotation blunder = review.Annotated(history, 2);
    EXPECT_EQ(blunder.nags, (std::vector<int>{4, 146}));
    EXPECT_EQ(blunder.comment, "[%eval #-1] [%clk 0:01:00] Hope.");
    EXPECT_EQ(blunder.variations, "(2. e4 Qh4+)");
    ASSERT_TRUE(history.Annotate(2, blunder));
    EXPECT_EQ(review.Annotated(history, 2), blunder);  // saved twice, written once
    EXPECT_EQ(review.Annotated(history, 1).comment, "[%eval -0.60]");
    EXPECT_EQ(review.Annotated(history, 3).comment, "");  // after the mate: nothing to weigh
    EXPECT_EQ(EvalCommandValue({false, -5}, true), "-0.05");
    EXPECT_EQ(EvalCommandValue({true, 2}, false), "#-2");
}

}  // namespace
}  // namespace chess
