// Replaying recorded games: a PGN file of 10,000 random legal games read the
// way pgn-replay reads it, each move's SAN read, played through the turn
// sequence and written again. It has to manage at least 200,000 half-moves a
// second, so that opening a large game collection feels instant; and a game
// of a million half-moves has to replay in under two seconds.
//
// bench_record --write-games=N FILE writes N of the random games to FILE,
// and --write-long-game FILE the long game of wandering knights, as test
// files for pgn-replay and tools/compare-replay.sh.

#include "GameRecord.h"
#include "Rules.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int Games = 10000;
constexpr std::size_t MaxPlies = 120;

// A random legal move: pieces and targets tried in random order until the
// rules accept one, which is far quicker than listing every move.
bool RandomMove(const chess::GameState& s, std::mt19937& random, chess::Move& move)
{
    static constexpr int32_t kinds[4] = {chess::Queen, chess::Rook, chess::Bishop, chess::Knight};
    std::vector<int> own;
    for (int i = 0; i < 64; ++i)
        if (s.Board[i] != chess::Empty && (s.Board[i] > 0) == s.WhiteToMove)
            own.push_back(i);
    std::shuffle(own.begin(), own.end(), random);
    std::vector<int> targets(64);
    for (int i = 0; i < 64; ++i)
        targets[i] = i;
    for (int from : own) {
        std::shuffle(targets.begin(), targets.end(), random);
        for (int to : targets) {
            if (to == from || !chess::ProbeMove(s, s.Board[from], from / 8, from % 8, to / 8, to % 8))
                continue;
            move = {from / 8, from % 8, to / 8, to % 8, chess::Empty};
            if (std::abs(s.Board[from]) == chess::Pawn && (to % 8 == 0 || to % 8 == 7))
                move.promotion = kinds[random() % 4];
            return true;
        }
    }
    return false;
}

// `games` random legal games, each of at most MaxPlies half-moves, with a
// comment and a glyph here and there as annotated files have them.
std::string RandomGames(int games)
{
    std::mt19937 random(20261208);
    std::string pgn;
    for (int g = 0; g < games; ++g) {
        chess::GameState state;
        chess::SetUpNewGame(state);
        chess::History history;
        chess::Move move;
        while (history.Size() < MaxPlies && !history.Over() && RandomMove(state, random, move)) {
            chess::PlayRecordedMove(state, history, move);
            if (random() % 16 == 0)
                history.SetComment(history.Size() - 1, "a random move");
            if (random() % 16 == 0)
                history.Annotate(history.Size() - 1, {{int(random() % 6) + 1}, "", ""});
        }
        pgn += chess::WritePgn(history, {{"Round", std::to_string(g + 1)}}, chess::ResultText(history.End()));
        pgn += '\n';
    }
    return pgn;
}

const std::string& RandomGamesFile()
{
    static const std::string text = RandomGames(Games);
    return text;
}

void ReplayRandomGames(benchmark::State& st)
{
    const std::string& file = RandomGamesFile();
    std::size_t halfMoves = 0;
    for (auto _ : st) {
        // As pgn-replay does: the games read and replayed one by one.
        chess::PgnReader reader(file);
        for (chess::PgnGame pgn; reader.Next(pgn);) {
            const chess::RecordedGame game = chess::ReplayPgnGame(pgn, reader.Count());
            if (!game.ok) {
                st.SkipWithError(game.error.c_str());
                return;
            }
            halfMoves += game.history.Size();
            benchmark::DoNotOptimize(game.history.Fen());
        }
    }
    st.counters["half-moves/s"] = benchmark::Counter(static_cast<double>(halfMoves), benchmark::Counter::kIsRate);
}
BENCHMARK(ReplayRandomGames)->Unit(benchmark::kMillisecond)->Iterations(3);

constexpr std::size_t LongGamePlies = 1'000'000;

// One game of a million half-moves without a capture or a pawn move, the
// case in which every position may repeat one long before it: the knights
// going out and back (four positions over and over), or wandering at
// random, which leaves far more distinct positions to count. Checks are
// avoided, so that a move without capture is always there.
const std::string& LongGameFile(bool wander)
{
    static std::string files[2];
    std::string& text = files[wander];
    if (!text.empty())
        return text;
    std::mt19937 random(1000000);
    chess::GameState state;
    chess::SetUpNewGame(state);
    chess::History history;
    static constexpr const char* shuffle[4] = {"Nf3", "Nf6", "Ng1", "Ng8"};
    text.reserve(LongGamePlies * 6);
    for (std::size_t ply = 0; ply < LongGamePlies; ++ply) {
        if (ply % 2 == 0)
            text += std::to_string(ply / 2 + 1) + ". ";
        if (!wander) {
            text += shuffle[ply % 4];
            text += ' ';
            continue;
        }
        std::vector<chess::Move> quiet;
        for (const chess::Move& m : chess::LegalMoves(state)) {
            const int32_t kind = std::abs(state.At(m.fromFile, m.fromRank));
            if (kind == chess::Pawn || state.At(m.toFile, m.toRank) != chess::Empty
                || (kind == chess::King && std::abs(m.toFile - m.fromFile) == 2))
                continue;
            chess::GameState after = state;
            after.At(m.toFile, m.toRank) = after.At(m.fromFile, m.fromRank);
            after.At(m.fromFile, m.fromRank) = chess::Empty;
            const bool check = state.WhiteToMove ? chess::BlackKingCheckTest(after) != chess::CheckVerdict::Neni
                                                 : chess::WhiteKingCheckTest(after) != chess::CheckVerdict::Neni;
            if (!check)
                quiet.push_back(m);
        }
        if (quiet.empty())
            break;  // never seen; the benchmark then reports the game cut short
        const chess::Move move = quiet[random() % quiet.size()];
        chess::GameState before = state;
        chess::PlayRecordedMove(state, history, move);
        text += chess::WriteSan(before, move, state) + ' ';
        if (history.Size() > 64)  // only the text is wanted, not the record
            history.Reset(state);
    }
    text += "*\n";
    return text;
}

void ReplayLongGame(benchmark::State& st)
{
    const std::string& file = LongGameFile(st.range(0) != 0);
    std::size_t halfMoves = 0;
    for (auto _ : st) {
        const std::vector<chess::PgnGame> games = chess::ParsePgn(file);
        const chess::RecordedGame game = chess::ReplayPgnGame(games.at(0), 1);
        if (!game.ok || game.history.Size() != LongGamePlies) {
            st.SkipWithError(game.ok ? "the game is cut short" : game.error.c_str());
            return;
        }
        halfMoves += game.history.Size();
    }
    st.counters["half-moves/s"] = benchmark::Counter(static_cast<double>(halfMoves), benchmark::Counter::kIsRate);
}
// 0: the knights out and back; 1: the knights wandering.
BENCHMARK(ReplayLongGame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string_view(argv[1]).starts_with("--write-")) {
        const std::string_view option = argv[1];
        std::string text;
        if (option.starts_with("--write-games="))
            text = RandomGames(std::atoi(argv[1] + std::strlen("--write-games=")));
        else if (option == "--write-long-game")
            text = LongGameFile(true);
        std::FILE* out = text.empty() ? nullptr : std::fopen(argv[2], "wb");
        const bool written = out && std::fwrite(text.data(), 1, text.size(), out) == text.size();
        if (!out || std::fclose(out) != 0 || !written) {
            std::fprintf(stderr, "usage: bench_record [--write-games=N | --write-long-game] FILE\n");
            return 2;
        }
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
