// PGN files as other programs write them, read and replayed by our rules;
// games written back in the export format; the pgn-replay tool.

#include "RecordTestHelpers.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <vector>

namespace chess::test {
namespace {

// Three games: annotations of every kind, a move our rules refuse, and a
// game set up from a FEN. The file starts with a byte-order mark and one
// tag value is in code page 1250, as older Czech programs saved it.
const std::string ThreeGames =
    "\xEF\xBB\xBF"
    "% a line for some other program\n"
    "[Event \"Club \\\"Spring\\\" cup\"]\n"
    "[White \"Nov\xE1k, Ji\xF8\xED\"]\n"
    "[Black \"Dvořák, \"Jan\"\"]\n"
    "[Result \"1-0\"]\n"
    "\n"
    "1. e4 {the king's pawn (best by test)} e5 2. Nf3 $1 Nc6 (2... d6 3. d4 (3. Bc4 Be7 {a ) in a comment})\n"
    "3... exd4) 3.Bb5 a6 +/= ; the Morphy defence\n"
    "4. Ba4 Nf6 5. O-O!? Be7 6. Re1 b5 7. Bb3 d6 8. c3 O-O 1-0\n"
    "\n"
    "[Event \"?\"]\n"
    "\n"
    "1. d4 { [%clk 0:03:00] } 1... d5 2. c4 e6 3. Ke3 Nf6 *\n"
    "\n"
    "[SetUp \"1\"]\n"
    "[FEN \"4k3/8/8/8/8/8/4P3/4K3 b - - 0 40\"]\n"
    "\n"
    "40... Kd7 41. e4 Kc6 42. e5 Kd5 43. e6 Kxe6 1/2-1/2\n";

TEST(Pgn, ReadsAnnotatedGamesAndGoesOnAfterABadOne)
{
    const std::vector<RecordedGame> games = ReadPgnGames(ThreeGames);
    ASSERT_EQ(games.size(), 3u);

    EXPECT_TRUE(games[0].ok) << games[0].error;
    EXPECT_EQ(games[0].Tag("Event"), "Club \"Spring\" cup");
    EXPECT_EQ(games[0].Tag("White"), "Novák, Jiří");
    EXPECT_EQ(games[0].Tag("Black"), "Dvořák, \"Jan\"");  // quotes left unescaped by another program
    EXPECT_EQ(games[0].result, "1-0");
    EXPECT_EQ(games[0].history.Size(), 16u);
    EXPECT_EQ(games[0].history.Fen(), "r1bq1rk1/2p1bppp/p1np1n2/1p2p3/4P3/1BP2N2/PP1P1PPP/RNBQR1K1 w - - 1 9");

    EXPECT_FALSE(games[1].ok);
    EXPECT_EQ(games[1].error, "game 2, move 3 \"Ke3\": the rules do not allow it");
    EXPECT_EQ(games[1].history.Size(), 4u);  // what came before the bad move
    EXPECT_EQ(games[1].result, "*");

    EXPECT_TRUE(games[2].ok) << games[2].error;
    EXPECT_FALSE(games[2].history.StartsFromNormalPosition());
    EXPECT_EQ(games[2].history.Fen(), "8/8/4k3/8/8/8/8/4K3 w - - 0 44");
    // A file is a record of what was played: the dead position came with
    // the last capture, and reading plays on regardless.
    EXPECT_EQ(games[2].history.End(), GameEnd::DeadPosition);
}

TEST(Pgn, FilesOfOtherProgramsPlayOnAfterADraw)
{
    // The start position stands for the fifth time after move 8, and the
    // game goes on in the file.
    const std::vector<RecordedGame> games = ReadPgnGames(
        "1. Nf3 Nf6 2. Ng1 Ng8 3. Nf3 Nf6 4. Ng1 Ng8 5. Nf3 Nf6 6. Ng1 Ng8 7. Nf3 Nf6 8. Ng1 Ng8 9. e4 *");
    ASSERT_EQ(games.size(), 1u);
    EXPECT_TRUE(games[0].ok) << games[0].error;
    EXPECT_EQ(games[0].history.Size(), 17u);
}

struct BadRow {
    const char* pgn;
    const char* error;
};

TEST(Pgn, ReportsEachBadGameWithItsNumberMoveAndText)
{
    const BadRow rows[] = {
        {"1. e4 e5 2. Nf3 Nf6 3. Qh5?? *", "game 1, move 3 \"Qh5??\": the rules do not allow it"},
        {"1. e4 e5 2. Nf3 Nc6 3. Bb5 Nd4 4. Zd4 *", "game 1, move 4 \"Zd4\": not a move"},
        {"1. e4 e5 2. Nc3 Nf6 3. Nge2 Nc6 4. Ng3 Nb4 5. Ne2 *",
         "game 1, move 5 \"Ne2\": more than one piece can make that move"},
        {"[FEN \"8/8/8/8/8/8/8/8 w - - 0 1\"]\n1. e4 *",
         "game 1, FEN \"8/8/8/8/8/8/8/8 w - - 0 1\": each side must have exactly one king"},
        {"1. e4 e5 2. e6 *", "game 1, move 2 \"e6\": the rules do not allow it"},
        {"1. e4 e5 1-0\n\n1. e4 e6 2. Kd3 *", "game 2, move 2 \"Kd3\": the rules do not allow it"},
    };
    for (const BadRow& row : rows) {
        SCOPED_TRACE(row.pgn);
        const std::vector<RecordedGame> games = ReadPgnGames(row.pgn);
        ASSERT_FALSE(games.empty());
        EXPECT_FALSE(games.back().ok);
        EXPECT_EQ(games.back().error, row.error);
    }
}

TEST(Pgn, WritesTheExportFormatThatReadsBackTheSame)
{
    // A long game from a set-up position with black to move.
    Played game("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 2 2");
    ASSERT_EQ(game.Play("Nf6 Nc3 Bb4 Nd5 Nxd5 exd5 e4 dxc6 exf3 cxd7+ Bxd7 Qxf3 O-O Be2 Re8 O-O Bd6 d3 Qh4 g3 Qh3 "
                        "Bf4 Bxf4 Qxf4 Re6 Bf3 Rae8 Qxc7 Bc6 Bxc6 Rxc6 Qxb7 Rc2 Qb3 Rxb2 Qxb2 Qd7 Rae1 Rxe1 Rxe1 "
                        "h6 Re8+ Qxe8"),
              "");
    const std::string text = WritePgn(game.history, {{"White", "Nováková"}, {"Annotator", "me"}}, "0-1");

    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        EXPECT_LE(line.size(), 80u) << line;
        lines.push_back(line);
    }
    const std::vector<std::string> tags(lines.begin(), lines.begin() + 10);
    EXPECT_EQ(tags, (std::vector<std::string>{
                        "[Event \"Bodlany šachy game\"]", "[Site \"?\"]", "[Date \"" + PgnToday() + "\"]",
                        "[Round \"-\"]", "[White \"Nováková\"]", "[Black \"?\"]", "[Result \"0-1\"]",
                        "[SetUp \"1\"]",
                        "[FEN \"r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 2 2\"]",
                        "[Annotator \"me\"]"}));
    EXPECT_EQ(lines[10], "");
    EXPECT_EQ(lines[11].substr(0, 24), "2... Nf6 3. Nc3 Bb4 4. N");
    EXPECT_NE(text.find("9. Be2 Re8 10. O-O Bd6"), std::string::npos);
    EXPECT_NE(text.find("Re8+ Qxe8 0-1\n\n"), std::string::npos);

    const std::vector<RecordedGame> back = ReadPgnGames(text);
    ASSERT_EQ(back.size(), 1u);
    ASSERT_TRUE(back[0].ok) << back[0].error;
    EXPECT_EQ(back[0].history.Fen(), game.history.Fen());
    EXPECT_EQ(back[0].Tag("White"), "Nováková");
    EXPECT_EQ(back[0].result, "0-1");

    // From the normal start there is neither SetUp nor FEN.
    Played normal;
    ASSERT_EQ(normal.Play("f3 e5 g4 Qh4#"), "");
    EXPECT_EQ(PgnMoveSection(normal.history, "0-1"), "1. f3 e5 2. g4 Qh4# 0-1\n");
    EXPECT_EQ(WritePgn(normal.history, {}, "0-1").find("FEN"), std::string::npos);
}

TEST(Pgn, RandomGamesWrittenAndReadBackMoveForMove)
{
    // Random legal games reach what no one would think of writing down:
    // three knights that need full disambiguation, under-promotions, kings
    // in odd corners. Each must read back to the same moves.
    std::mt19937 random(9);
    std::string file;
    std::vector<History> written;
    for (int g = 0; g < 200; ++g) {
        Played game;
        while (game.history.Size() < 150 && !game.history.Over()) {
            const std::vector<Move> moves = LegalMoves(game.state);
            ASSERT_FALSE(moves.empty());
            ASSERT_TRUE(PlayRecordedMove(game.state, game.history, moves[random() % moves.size()]));
        }
        file += WritePgn(game.history, {}, ResultText(game.history.End())) + "\n";
        written.push_back(game.history);
    }
    const std::vector<RecordedGame> games = ReadPgnGames(file);
    ASSERT_EQ(games.size(), written.size());
    for (std::size_t g = 0; g < games.size(); ++g) {
        ASSERT_TRUE(games[g].ok) << games[g].error;
        ASSERT_EQ(games[g].history.Size(), written[g].Size());
        for (std::size_t i = 0; i < written[g].Size(); ++i)
            ASSERT_EQ(games[g].history[i].move, written[g][i].move) << "game " << g + 1 << " " << written[g][i].san;
        EXPECT_EQ(games[g].result, ResultText(written[g].End()));
    }
}

// Runs the tool; returns its exit status, with standard output and error.
int RunTool(const std::string& args, std::string& out, std::string& err)
{
    const std::string errFile = ::testing::TempDir() + "pgn_replay_err.txt";
    const std::string command = std::string(PGN_REPLAY_EXE) + " " + args + " 2>" + errFile;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    out.clear();
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;)
        out.append(buffer.data(), n);
    const int status = pclose(pipe.release());
    std::ifstream e(errFile);
    err.assign(std::istreambuf_iterator<char>(e), {});
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(PgnReplayTool, PrintsAFenLineAGameAndReportsTheBadOnes)
{
    const std::string path = ::testing::TempDir() + "three_games.pgn";
    std::ofstream(path, std::ios::binary) << ThreeGames;
    std::string out, err;
    EXPECT_EQ(RunTool(path, out, err), 2);
    EXPECT_EQ(out,
              "r1bq1rk1/2p1bppp/p1np1n2/1p2p3/4P3/1BP2N2/PP1P1PPP/RNBQR1K1 w - - 1 9\n"
              "-\n"
              "8/8/4k3/8/8/8/8/4K3 w - - 0 44\n");
    EXPECT_EQ(err, "game 2, move 3 \"Ke3\": the rules do not allow it\n");

    // Written back and read again, the good games end where they did.
    EXPECT_EQ(RunTool("--pgn " + path, out, err), 2);
    const std::string again = ::testing::TempDir() + "written.pgn";
    std::ofstream(again, std::ios::binary) << out;
    EXPECT_EQ(RunTool(again, out, err), 0);
    EXPECT_EQ(out,
              "r1bq1rk1/2p1bppp/p1np1n2/1p2p3/4P3/1BP2N2/PP1P1PPP/RNBQR1K1 w - - 1 9\n"
              "8/8/4k3/8/8/8/8/4K3 w - - 0 44\n");
    EXPECT_EQ(err, "");

    EXPECT_EQ(RunTool("\"" + ::testing::TempDir() + "no such file.pgn\"", out, err), 2);
    EXPECT_EQ(RunTool(::testing::TempDir(), out, err), 2);  // a folder opens, but reads as nothing
    EXPECT_EQ(err.substr(err.size() - 15), "Is a directory\n");
    EXPECT_EQ(RunTool("", out, err), 2);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
}

}  // namespace
}  // namespace chess::test
