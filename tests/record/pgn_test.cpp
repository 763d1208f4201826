// PGN files as other programs write them, read and replayed by our rules;
// games written back in the export format; the pgn-replay tool.

#include "RecordTestHelpers.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <sys/stat.h>
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
    std::string pgn;
    std::string error;
    PgnFault fault;  // and the parts the window says it in the player's language with
};

TEST(Pgn, ReportsEachBadGameWithItsNumberMoveAndText)
{
    const std::string longWord(300, 'x');
    const BadRow rows[] = {
        {"1. e4 e5 2. Nf3 Nf6 3. Qh5?? *", "game 1, move 3 \"Qh5??\": the rules do not allow it",
         PgnFault::IllegalMove},
        {"1. e4 e5 2. Nf3 Nc6 3. Bb5 Nd4 4. Zd4 *", "game 1, move 4 \"Zd4\": not a move", PgnFault::UnreadableMove},
        {"1. e4 e5 2. Nc3 Nf6 3. Nge2 Nc6 4. Ng3 Nb4 5. Ne2 *",
         "game 1, move 5 \"Ne2\": more than one piece can make that move", PgnFault::AmbiguousMove},
        {"[FEN \"8/8/8/8/8/8/8/8 w - - 0 1\"]\n1. e4 *",
         "game 1, FEN \"8/8/8/8/8/8/8/8 w - - 0 1\": each side must have exactly one king", PgnFault::BadFen},
        {"1. e4 e5 2. e6 *", "game 1, move 2 \"e6\": the rules do not allow it", PgnFault::IllegalMove},
        {"1. e4 e5 1-0\n\n1. e4 e6 2. Kd3 *", "game 2, move 2 \"Kd3\": the rules do not allow it",
         PgnFault::IllegalMove},
        {"1. e4 e5 2. e7e5 *", "game 1, move 2 \"e7e5\": no piece of the side to move on e7", PgnFault::IllegalMove},
        // A paragraph where a move should be is cut in the report.
        {"1. e4 e5 2. " + longWord + " *", "game 1, move 2 \"" + longWord.substr(0, 37) + "...\": not a move",
         PgnFault::UnreadableMove},
        {"[FEN \"" + longWord + "\"]\n*",
         "game 1, FEN \"" + longWord.substr(0, 97)
             + "...\": a FEN has six fields (or four without the clocks), "
               "this one has 1",
         PgnFault::BadFen},
    };
    for (const BadRow& row : rows) {
        SCOPED_TRACE(row.pgn);
        const std::vector<RecordedGame> games = ReadPgnGames(row.pgn);
        ASSERT_FALSE(games.empty());
        EXPECT_FALSE(games.back().ok);
        EXPECT_EQ(games.back().error, row.error);
        const PgnProblem& problem = games.back().problem;
        EXPECT_EQ(problem.fault, row.fault);
        EXPECT_EQ(problem.game, int(games.size()));
        EXPECT_EQ(problem.Line(), row.error);
        EXPECT_EQ(problem.move == 0, row.fault == PgnFault::BadFen);
    }
    // Cut by characters, never inside one.
    EXPECT_EQ(CutText("Dvořák Dvořák", 8), "Dvořá...");
    EXPECT_EQ(CutText("Dvořák", 6), "Dvořák");
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
        EXPECT_LE(line.size(), 79u) << line;
        lines.push_back(line);
    }
    const std::vector<std::string> tags(lines.begin(), lines.begin() + 10);
    // After the roster, the other tags in the ASCII order of their names.
    EXPECT_EQ(tags,
              (std::vector<std::string>{
                  "[Event \"?\"]", "[Site \"?\"]", "[Date \"" + PgnToday() + "\"]", "[Round \"-\"]",
                  "[White \"Nováková\"]", "[Black \"?\"]", "[Result \"0-1\"]", "[Annotator \"me\"]",
                  "[FEN \"r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 2 2\"]", "[SetUp \"1\"]"}));
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

struct AnnotatedRow {
    const char* pgn;      // as some program wrote it
    const char* written;  // the moves as we write them back
};

TEST(Pgn, AnnotationsSurviveReplayAndAreWrittenBackInExportForm)
{
    const AnnotatedRow rows[] = {
        {"{A quiet   game.}\n1.e4 {best\n  by test} e5 (1...c5 2.Nf3) 2.Nf3! *",
         "{A quiet game.} 1. e4 {best by test} e5 (1... c5 2. Nf3) 2. Nf3 $1 *"},
        // Nested variations and a parenthesis inside a comment inside one.
        {"1. e4 {the king's pawn (best by test)} e5 2. Nf3 $1 Nc6 (2... d6 3. d4 (3. Bc4 Be7 {a ) in a comment})\n"
         "3... exd4) 3.Bb5 a6 +/= ; the Morphy defence\n4. Ba4 1-0",
         "1. e4 {the king's pawn (best by test)} e5 2. Nf3 $1 Nc6 (2... d6 3. d4 (3. Bc4\n"
         "Be7 {a ) in a comment}) 3... exd4) 3. Bb5 a6 $14 {the Morphy defence} 4. Ba4\n1-0"},
        // Black's move needs its number again after a variation of White's.
        {"1. e4 (1. d4 d5 $10) (1. c4) e5 *", "1. e4 (1. d4 d5 $10) (1. c4) 1... e5 *"},
        // Glyphs glued or apart, several to a move; NAGs as written.
        {"1. e4!! $32 e5?! 2. Nf3 ?? *", "1. e4 $3 $32 e5 $6 2. Nf3 $4 *"},
        // A period is a token of its own.
        {"1 . e4 1...e5 2 . Nf3 2. ... Nc6 3.Bb5 *", "1. e4 e5 2. Nf3 Nc6 3. Bb5 *"},
        // A comment braces cannot hold goes to the end of the line.
        {"1. e4 ; see {Nimzowitsch}\ne5 *", "1. e4 ; see {Nimzowitsch}\ne5 *"},
        {"1. e4 (1. d4 ; a } in it\n d5) e5 *", "1. e4 (1. d4 ; a } in it\nd5) 1... e5 *"},
        // Over two lines, it reads back as one; comments side by side in a
        // variation are one, as after a move; numbers come apart however
        // they are glued.
        {"1. e4 (1. d4 ; a long comment with a } that has to be written over more than one line because it is "
         "so long\n d5 {and} {more}) e5 (1... c5 2 .1 ... Nc6) *",
         "1. e4 (1. d4 ; a long comment with a } that has to be written over more than\n"
         "; one line because it is so long\nd5 {and more}) 1... e5 (1... c5 2. 1... Nc6) *"},
        // Empty comments and escape lines say nothing; comments after the
        // last move stay with it, ahead of its variations.
        {"1. e4 {} e5 (1... c5\n% an escape line\n) {after}\n*", "1. e4 e5 {after} (1... c5) *"},
    };
    for (const AnnotatedRow& row : rows) {
        SCOPED_TRACE(row.pgn);
        const std::vector<RecordedGame> games = ReadPgnGames(row.pgn);
        ASSERT_EQ(games.size(), 1u);
        ASSERT_TRUE(games[0].ok) << games[0].error;
        const std::string written = PgnMoveSection(games[0].history, games[0].result);
        EXPECT_EQ(written, std::string(row.written) + "\n");
        // Saved and opened again, nothing changes.
        const std::vector<RecordedGame> again = ReadPgnGames(WritePgn(games[0].history, {}, games[0].result));
        ASSERT_EQ(again.size(), 1u);
        EXPECT_EQ(PgnMoveSection(again[0].history, again[0].result), written);
    }

    // What the window does with them.
    RecordedGame game = ReadPgnGames(rows[0].pgn).at(0);
    History& history = game.history;
    EXPECT_EQ(history.GameComment(), "A quiet game.");
    EXPECT_EQ(SanWithGlyph(history[2]), "Nf3!");
    EXPECT_EQ(DisplaySan(SanWithGlyph(history[2]), PieceLetters::Czech()), "Jf3!");
    EXPECT_EQ(SanWithGlyph(history[1]), "e5");
    EXPECT_TRUE(history.SetComment(1, "  the\nusual  reply "));
    EXPECT_FALSE(history.SetComment(3, "no such move"));
    EXPECT_EQ(history[1].note.comment, "the usual reply");
    EXPECT_EQ(PgnMoveSection(history, "*"),
              "{A quiet game.} 1. e4 {best by test} e5 {the usual reply} (1... c5 2. Nf3) 2.\nNf3 $1 *\n");
    // A move played after a take-back cuts off the annotations it replaces.
    GameState board = history.State();
    ASSERT_TRUE(history.TakeBack(board));
    ASSERT_TRUE(history.TakeBack(board));
    const SanReading d5 = ReadSan(board, "d5");
    ASSERT_TRUE(d5.ok);
    ASSERT_TRUE(PlayRecordedMove(board, history, d5.move));
    EXPECT_EQ(PgnMoveSection(history, "*"), "{A quiet game.} 1. e4 {best by test} d5 *\n");

    // A long comment is filled into lines like the moves; one with a "%"
    // word never starts a line with it (that line would be skipped).
    std::string words;
    for (int i = 0; i < 60; ++i)
        words += i % 7 == 6 ? "%clk " : "word" + std::to_string(i) + " ";
    ASSERT_TRUE(history.SetComment(0, words));
    const std::string text = WritePgn(history, {}, "*");
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 79u) << line;
        EXPECT_NE(line.front(), '%') << line;
    }
    const std::vector<RecordedGame> back = ReadPgnGames(text);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].history[0].note.comment, CommentText(words));
}

struct ResultRow {
    const char* pgn;
    GameEnd end;  // at the last half-move
};

TEST(Pgn, AResultNoRuleBroughtAboutIsKeptAsDeclared)
{
    const ResultRow rows[] = {
        {"[Result \"1-0\"]\n1. e4 e5 2. Qh5 Nc6 1-0", GameEnd::WhiteWinsDeclared},
        {"1. e4 e5 2. Qh5 Nc6 0-1", GameEnd::BlackWinsDeclared},
        {"1. e4 e5 2. Nf3 1/2-1/2", GameEnd::DrawDeclared},
        {"1. e4 e5 2. Nf3 *", GameEnd::None},
        {"1. f3 e5 2. g4 Qh4# 0-1", GameEnd::BlackWins},  // the mate says it already
        {"1. f3 e5 2. g4 Qh4# 1-0", GameEnd::BlackWins},  // and has the last word
        {"1. e4 e5 2. Qh5 Kxh5 1-0", GameEnd::None},      // cut short by a bad move: no result of its own
        {"[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/8/4K3 w - - 0 1\"]\n1-0", GameEnd::None},  // no half-move to hold it
    };
    for (const ResultRow& row : rows) {
        SCOPED_TRACE(row.pgn);
        std::vector<RecordedGame> games = ReadPgnGames(row.pgn);
        ASSERT_EQ(games.size(), 1u);
        History& history = games[0].history;
        EXPECT_EQ(history.End(), row.end);
        if (!IsDeclared(row.end))
            continue;
        // Written with the result the record holds, as the window writes it.
        const std::string text = WritePgn(history, games[0].tags, ResultText(history.End()));
        EXPECT_NE(text.find(std::string(" ") + ResultText(row.end) + "\n"), std::string::npos) << text;
        EXPECT_EQ(ReadPgnGames(text).at(0).history.End(), row.end);
        GameState board = history.State();
        ASSERT_TRUE(history.TakeBack(board));
        EXPECT_EQ(history.End(), GameEnd::None);
    }
}

struct NoGameRow {
    std::string text;
    std::size_t games;
};

TEST(Pgn, TextThatHoldsNeitherTagsNorAFirstMoveGivesNoGames)
{
    std::string binary;
    for (int i = 0; i < 20000; ++i)
        binary += static_cast<char>((i * 7919) % 256);
    std::string words;
    while (words.size() < 5'000'000)
        words += "Lorem ipsum dolor sit amet, consectetur adipiscing elit 1-0 * (x) {y} ";
    std::string stars;
    for (int i = 0; i < 1'000'000; ++i)
        stars += "* ";
    const NoGameRow rows[] = {
        {"", 0},
        {"Dear friend, here is the game I promised. Bye.", 0},
        {binary, 0},
        {words, 0},
        {stars, 0},  // bare result tokens, as some programs leave between games
        {"[ not a tag ] [Event] 1-0 0-1", 0},
        {"{only a comment}", 0},
        // Games among the rest are found, numbered from the first real one.
        {"Here it is:\n\n[Event \"x\"]\n1. e4 * * and so on *\n1. d4 d5 *", 2},
        {"* [White \"A\"] *", 1},  // a game with tags but no moves is a game
        {"e4 e5", 1},              // and so is one without tags that starts with a legal move
    };
    for (const NoGameRow& row : rows) {
        SCOPED_TRACE(row.text.substr(0, 60));
        EXPECT_EQ(ParsePgn(row.text).size(), row.games);
        EXPECT_EQ(ListPgnGames(row.text).size(), row.games);
    }
    const std::vector<RecordedGame> found = ReadPgnGames(rows[7].text);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[1].number, 2);
    EXPECT_EQ(found[1].history.Size(), 2u);
}

// Hands a text over in pieces of a few bytes, as a slow stream would.
PgnReader::Source Trickle(const std::string& text, std::size_t piece)
{
    return [&text, piece, at = std::size_t{0}](char* to, std::size_t size) mutable {
        const std::size_t n = std::min({piece, size, text.size() - at});
        std::copy_n(text.data() + at, n, to);
        at += n;
        return n;
    };
}

void ExpectSameGames(const PgnGame& a, const PgnGame& b)
{
    ASSERT_EQ(a.tags.size(), b.tags.size());
    for (std::size_t t = 0; t < a.tags.size(); ++t) {
        EXPECT_EQ(a.tags[t].name, b.tags[t].name);
        EXPECT_EQ(a.tags[t].value, b.tags[t].value);
    }
    EXPECT_EQ(a.moves, b.moves);
    EXPECT_EQ(a.result, b.result);
    EXPECT_EQ(a.comment, b.comment);
    for (std::size_t i = 0; i < std::max(a.moves.size(), b.moves.size()); ++i)
        EXPECT_EQ(a.Note(i), b.Note(i)) << "move " << i;
}

TEST(Pgn, ReadsTheSameGamesWholeInPiecesListedAndOneByOne)
{
    std::ifstream seeds(std::string(SOURCE_DIR) + "/fuzz/seeds-pgn/two-games.pgn", std::ios::binary);
    const std::string text = ThreeGames + "\nsome words between * games\n"
                           + std::string(std::istreambuf_iterator<char>(seeds), {})
                           + "\n%escape\n[Event \"last\"]\n1. e4 {unclosed";
    const std::vector<PgnGame> whole = ParsePgn(text);
    ASSERT_EQ(whole.size(), 6u);
    // The escape line right after the byte-order mark is one whichever
    // piece it comes in.
    const std::string escaped = "\xEF\xBB\xBF%1. e4 *\n1. d4 *";
    ASSERT_EQ(ParsePgn(escaped).size(), 1u);
    for (const std::string& input : {text, escaped}) {
        const std::vector<PgnGame> games = ParsePgn(input);
        for (std::size_t piece : {1u, 2u, 3u, 7u, 64u, 100000u}) {
            SCOPED_TRACE("pieces of " + std::to_string(piece));
            PgnReader reader(Trickle(input, piece));
            std::size_t g = 0;
            for (PgnGame game; reader.Next(game); ++g) {
                ASSERT_LT(g, games.size());
                ExpectSameGames(game, games[g]);
            }
            EXPECT_EQ(g, games.size());
        }
    }

    const std::vector<PgnListing> list = ListPgnGames(text);
    ASSERT_EQ(list.size(), whole.size());
    for (std::size_t g = 0; g < list.size(); ++g) {
        SCOPED_TRACE(g);
        EXPECT_EQ(list[g].number, int(g) + 1);
        EXPECT_EQ(list[g].white, whole[g].Tag("White"));
        EXPECT_EQ(list[g].black, whole[g].Tag("Black"));
        EXPECT_EQ(list[g].result, whole[g].result);
        EXPECT_EQ(list[g].moves, whole[g].moves.size());
        const std::optional<PgnGame> at = PgnGameAt(text, list[g].offset);
        ASSERT_TRUE(at);
        ExpectSameGames(*at, whole[g]);
        const std::optional<PgnGame> numbered = ParsePgnGame(text, int(g) + 1);
        ASSERT_TRUE(numbered);
        ExpectSameGames(*numbered, whole[g]);
    }
    EXPECT_FALSE(ParsePgnGame(text, 0));
    EXPECT_FALSE(ParsePgnGame(text, int(whole.size()) + 1));
    EXPECT_EQ(whole[0].Tag("White"), "Nov\xE1k, Ji\xF8\xED");
    EXPECT_EQ(whole.back().Note(0).comment, "unclosed");
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
    EXPECT_EQ(out, "r1bq1rk1/2p1bppp/p1np1n2/1p2p3/4P3/1BP2N2/PP1P1PPP/RNBQR1K1 w - - 1 9\n"
                   "-\n"
                   "8/8/4k3/8/8/8/8/4K3 w - - 0 44\n");
    EXPECT_EQ(err, "game 2, move 3 \"Ke3\": the rules do not allow it\n");

    // Written back and read again, the good games end where they did.
    EXPECT_EQ(RunTool("--pgn " + path, out, err), 2);
    const std::string again = ::testing::TempDir() + "written.pgn";
    std::ofstream(again, std::ios::binary) << out;
    EXPECT_EQ(RunTool(again, out, err), 0);
    EXPECT_EQ(out, "r1bq1rk1/2p1bppp/p1np1n2/1p2p3/4P3/1BP2N2/PP1P1PPP/RNBQR1K1 w - - 1 9\n"
                   "8/8/4k3/8/8/8/8/4K3 w - - 0 44\n");
    EXPECT_EQ(err, "");

    EXPECT_EQ(RunTool("\"" + ::testing::TempDir() + "no such file.pgn\"", out, err), 2);
    EXPECT_EQ(RunTool(::testing::TempDir(), out, err), 2);  // a folder opens, but reads as nothing
    EXPECT_EQ(err.substr(err.size() - 15), "Is a directory\n");
    EXPECT_EQ(RunTool("", out, err), 2);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);

    // Nothing but a regular file is read: a FIFO would wait for a writer and
    // /dev/zero would never end. Both are refused at once.
    const std::string fifo = ::testing::TempDir() + "replay.fifo";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& special : {fifo, std::string("/dev/zero")}) {
        SCOPED_TRACE(special);
        EXPECT_EQ(RunTool(special, out, err), 2);
        EXPECT_EQ(out, "");
        EXPECT_EQ(err, "pgn-replay: cannot read " + special + ": not a regular file\n");
    }
    std::remove(fifo.c_str());
}

}  // namespace
}  // namespace chess::test
