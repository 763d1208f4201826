// The rules run synchronously inside the mouse handler. The slowest thing a
// move can cost is a full any-legal-move search (mate or stalemate, every
// probe refused); it has to stay well under 100 microseconds.

#include "Fen.h"
#include "Perft.h"
#include "Rules.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

chess::GameState Fen(const char* fen)
{
    chess::FenReading r = chess::ReadFen(fen);
    if (!r.ok) {
        std::fprintf(stderr, "bad benchmark position: %s\n", r.error.c_str());
        std::abort();
    }
    return r.position.state;
}

const char* const start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
// Fool's mate: all sixteen white pieces on the board and not one move.
const char* const foolsMate = "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -";
const char* const kiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";

void HasLegalMoveMated(benchmark::State& st)
{
    const chess::GameState s = Fen(foolsMate);
    for (auto _ : st)
        benchmark::DoNotOptimize(chess::HasLegalMove(s, true));
    if (chess::HasLegalMove(s, true))
        st.SkipWithError("the position is not mate");
}
BENCHMARK(HasLegalMoveMated)->Unit(benchmark::kMicrosecond);

void HasLegalMoveStart(benchmark::State& st)
{
    const chess::GameState s = Fen(start);
    for (auto _ : st)
        benchmark::DoNotOptimize(chess::HasLegalMove(s, true));
}
BENCHMARK(HasLegalMoveStart);

void TestMoveKnight(benchmark::State& st)
{
    chess::GameState s = Fen(start);
    for (auto _ : st)  // a plain move leaves no trace, so the state stays as it was
        benchmark::DoNotOptimize(chess::TestMove(s, chess::Knight, 6, 0, 5, 2));
}
BENCHMARK(TestMoveKnight);

void TestMoveRefused(benchmark::State& st)
{
    chess::GameState s = Fen(start);
    for (auto _ : st)
        benchmark::DoNotOptimize(chess::TestMove(s, chess::Rook, 0, 0, 0, 3));
}
BENCHMARK(TestMoveRefused);

void CheckTest(benchmark::State& st)
{
    const chess::GameState s = Fen(kiwipete);
    for (auto _ : st) {
        benchmark::DoNotOptimize(chess::WhiteKingCheckTest(s));
        benchmark::DoNotOptimize(chess::BlackKingCheckTest(s));
    }
    st.SetItemsProcessed(2 * st.iterations());
}
BENCHMARK(CheckTest);

void PerftStartDepth4(benchmark::State& st)
{
    const chess::GameState s = Fen(start);
    std::uint64_t nodes = 0;
    for (auto _ : st)
        benchmark::DoNotOptimize(nodes = chess::Perft(s, 4));
    st.counters["leaves"] = static_cast<double>(nodes);
    st.SetItemsProcessed(static_cast<int64_t>(nodes) * st.iterations());
}
BENCHMARK(PerftStartDepth4)->Unit(benchmark::kMillisecond);

}  // namespace
