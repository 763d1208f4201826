// perft DEPTH FEN: prints each root move with its leaf count, as UCI engines
// answer "go perft", so the output can be diffed against any engine.

#include "Fen.h"
#include "Perft.h"

#include <charconv>
#include <cstdio>
#include <string_view>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: perft DEPTH FEN   (depth 0..8, the FEN in one argument)\n");
        return 2;
    }
    const std::string_view depthText = argv[1];
    int depth = -1;
    const auto [end, ec] = std::from_chars(depthText.data(), depthText.data() + depthText.size(), depth);
    if (ec != std::errc() || end != depthText.data() + depthText.size() || depth < 0 || depth > 8) {
        std::fprintf(stderr, "perft: depth must be a whole number from 0 to 8, not '%s'\n", argv[1]);
        return 2;
    }
    // The positions the program itself would take, and no others.
    const chess::FenReading fen = chess::ReadFen(argv[2]);
    if (!fen.ok) {
        std::fprintf(stderr, "perft: %s\n", fen.error.c_str());
        return 2;
    }

    std::uint64_t total = 0;
    if (depth == 0) {
        total = 1;
    } else {
        for (const auto& [move, nodes] : chess::PerftDivide(fen.position.state, depth)) {
            std::printf("%s: %llu\n", move.c_str(), static_cast<unsigned long long>(nodes));
            total += nodes;
        }
    }
    std::printf("\nNodes searched: %llu\n", static_cast<unsigned long long>(total));
    return 0;
}
