// The rules against the published perft counts, the FEN reader, and the
// perft tool as it is run from a shell.

#include "Fen.h"
#include "Perft.h"
#include "Rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace chess {
namespace {

const char* const startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
const char* const kiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";

struct PerftRow {
    const char* name;
    const char* fen;
    std::vector<std::uint64_t> counts;  // depth 1, 2, ...
};

void PrintTo(const PerftRow& row, std::ostream* os)
{
    *os << row.name;
}

const PerftRow perftRows[] = {
    {"Start", startFen, {20, 400, 8902, 197281}},
    {"Kiwipete", kiwipete, {48, 2039, 97862}},
    {"Position3", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -", {14, 191, 2812, 43238}},
    {"Position4", "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", {6, 264, 9467}},
    {"Position5", "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", {44, 1486, 62379}},
};

class Perft : public testing::TestWithParam<PerftRow> {};

TEST_P(Perft, PublishedCounts)
{
    const FenReading fen = ReadFen(GetParam().fen);
    ASSERT_TRUE(fen.ok) << fen.error;
    EXPECT_EQ(chess::Perft(fen.position.state, 0), 1u);
    for (std::size_t i = 0; i < GetParam().counts.size(); ++i)
        EXPECT_EQ(chess::Perft(fen.position.state, static_cast<int>(i) + 1), GetParam().counts[i]) << "depth " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(Published, Perft, testing::ValuesIn(perftRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SlowPerft, StartDepth5)
{
    EXPECT_EQ(chess::Perft(ReadFen(startFen).position.state, 5), 4865609u);
}

TEST(SlowPerft, KiwipeteDepth4)
{
    EXPECT_EQ(chess::Perft(ReadFen(kiwipete).position.state, 4), 4085603u);
}

TEST(PerftDivide, NamesMovesAndPromotionsAndAddsUp)
{
    const FenReading fen = ReadFen("8/P7/8/8/8/8/8/k1K5 w - -");
    ASSERT_TRUE(fen.ok) << fen.error;
    std::string moves;
    std::uint64_t total = 0;
    for (const auto& [move, nodes] : PerftDivide(fen.position.state, 2)) {
        moves += move + " ";
        total += nodes;
    }
    EXPECT_EQ(moves, "a7a8q a7a8r a7a8b a7a8n c1c2 c1d1 c1d2 ");
    EXPECT_EQ(total, chess::Perft(fen.position.state, 2));
    EXPECT_TRUE(PerftDivide(fen.position.state, 0).empty());
}

TEST(PerftFen, ReadsSideRightsRecordAndCheck)
{
    FenReading fen = ReadFen("4k3/8/8/8/3pP3/8/8/R3K2R b KQ e3 0 20");
    ASSERT_TRUE(fen.ok) << fen.error;
    const GameState& s = fen.position.state;
    EXPECT_FALSE(s.WhiteToMove);
    EXPECT_TRUE(s.WhiteMayCastleShort && s.WhiteMayCastleLong);
    EXPECT_FALSE(s.BlackMayCastleShort || s.BlackMayCastleLong);
    EXPECT_TRUE(s.WhiteDoubleStep);
    EXPECT_EQ(s.WhiteDoubleStepFile, 4);
    EXPECT_FALSE(s.BlackDoubleStep);
    EXPECT_EQ(s.At(3, 3), -Pawn);
    EXPECT_EQ(s.At(0, 0), Rook);
    EXPECT_EQ(s.SelectedSquare, NoSelection);

    fen = ReadFen("4k3/8/8/8/8/8/8/r3K3 w - -");
    ASSERT_TRUE(fen.ok) << fen.error;
    EXPECT_TRUE(fen.position.state.WhiteInCheck);
    EXPECT_FALSE(fen.position.state.BlackInCheck);
}

// One row per way a FEN can be wrong; the tool must say so in one line.
const std::pair<const char*, const char*> badFens[] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq", "six fields"},
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1 x", "six fields"},
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w KQkq -", "no piece letter"},
    {"rnbqkbnr/ppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "8 squares"},
    {"rnbqkbnr/ppppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "8 squares"},
    {"rnbqkbnr/pppppppp/45/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "8 squares"},
    {"4k3/8/8/8/8/8/8/8/4K3 w - -", "8 ranks of 8"},
    {"rnbqkbnr/pppppppp/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "8 ranks of 8"},
    {"rnbqkbnp/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "first or last rank"},
    {"rnbqqbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "exactly one king"},
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBKKBNR w KQkq -", "exactly one king"},
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq -", "'w' or 'b'"},
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkx -", "castling field"},
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KK -", "castling field"},
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e3", "rank 6"},
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq i6", "rank 6"},
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e6", "no pawn can just have stepped past"},
    {"rnbqkbnr/pppppppp/8/4p3/8/8/PPPPPPPP/RNBQKBNR w KQkq e6", "no pawn can just have stepped past"},
    {"rnbqkbnr/pppp1ppp/4n3/4p3/8/8/PPPPPPPP/RNBQKBNR w KQkq e6", "no pawn can just have stepped past"},
    {"rnbqkbnr/pppppppp/8/8/4P3/4N3/PPPP1PPP/RNBQKBNR b KQkq e3", "no pawn can just have stepped past"},
    {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPPPPPP/RNBQKBNR b KQkq e3", "no pawn can just have stepped past"},
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - x 1", "whole numbers"},
    {"4k3/8/8/8/8/8/8/4R1K1 w - -", "not to move is in check"},
    {"8/8/8/3kK3/8/8/8/8 w - -", "next to each other"},
};

TEST(PerftFen, RejectsEachKindOfMistakeWithOneLine)
{
    for (const auto& [text, reason] : badFens) {
        const FenReading fen = ReadFen(text);
        EXPECT_FALSE(fen.ok) << text;
        EXPECT_NE(fen.error.find(reason), std::string::npos) << text << " -> " << fen.error;
        EXPECT_EQ(fen.error.find('\n'), std::string::npos);
    }
}

struct ToolRun {
    int exit = -1;
    std::string out, err;
};

ToolRun RunPerft(const std::vector<std::string>& args)
{
    const std::string dir = testing::TempDir();
    const std::string out = dir + "perft-out-" + std::to_string(getpid()), err = out + ".err";
    std::string command = std::string("'") + PERFT_EXE + "'";
    for (const auto& a : args)
        command += " '" + a + "'";
    const int status = std::system((command + " >'" + out + "' 2>'" + err + "'").c_str());
    const auto slurp = [](const std::string& path) {
        std::stringstream ss;
        ss << std::ifstream(path).rdbuf();
        return ss.str();
    };
    ToolRun r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(out), slurp(err)};
    std::remove(out.c_str());
    std::remove(err.c_str());
    return r;
}

TEST(PerftTool, PrintsEachRootMoveThenTheTotal)
{
    const ToolRun r = RunPerft({"1", startFen});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("e2e4: 1\n"), std::string::npos);
    EXPECT_NE(r.out.find("b1c3: 1\n"), std::string::npos);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 22);
    EXPECT_EQ(r.out.substr(r.out.size() - 24), ": 1\n\nNodes searched: 20\n");

    const ToolRun deeper = RunPerft({"3", kiwipete});
    EXPECT_EQ(deeper.exit, 0);
    EXPECT_NE(deeper.out.find("\n\nNodes searched: 97862\n"), std::string::npos);

    const ToolRun zero = RunPerft({"0", startFen});
    EXPECT_EQ(zero.out, "\nNodes searched: 1\n");
}

TEST(PerftTool, BadInputExitsTwoWithOneLine)
{
    std::vector<std::vector<std::string>> calls{{}, {"1"}, {"1", startFen, "extra"}};
    for (const char* depth : {"-1", "9", "x", "3x", "", " 3", "99999999999"})
        calls.push_back({depth, startFen});
    for (const auto& [text, reason] : badFens)
        calls.push_back({"1", text});
    for (const auto& args : calls) {
        const ToolRun r = RunPerft(args);
        const std::string shown = args.empty() ? "(none)" : args.front() + (args.size() > 1 ? " " + args[1] : "");
        EXPECT_EQ(r.exit, 2) << shown;
        EXPECT_EQ(r.out, "") << shown;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << shown << ": " << r.err;
        EXPECT_EQ(r.err.back(), '\n') << shown;
    }
}

}  // namespace
}  // namespace chess
