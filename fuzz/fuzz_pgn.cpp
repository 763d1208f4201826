// Any bytes as a PGN file, and as a FEN: reading never crashes, and every
// game that replays is written out and read back to the same moves.

#include "Fen.h"
#include "GameRecord.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const chess::FenReading fen = chess::ReadFen(bytes);
    if (fen.ok) {
        const std::string written = chess::WriteFen(fen.position.state, fen.position.halfmoveClock,
                                                    fen.position.fullmoveNumber);
        const chess::FenReading again = chess::ReadFen(written);
        if (!again.ok
            || chess::WriteFen(again.position.state, again.position.halfmoveClock, again.position.fullmoveNumber)
                   != written) {
            std::fprintf(stderr, "FEN %s does not read back: %s\n", written.c_str(), again.error.c_str());
            std::abort();
        }
    }

    for (const chess::RecordedGame& game : chess::ReadPgnGames(bytes)) {
        if (!game.ok)
            continue;
        const std::string text = chess::WritePgn(game.history, game.tags, game.result);
        const std::vector<chess::RecordedGame> back = chess::ReadPgnGames(text);
        if (back.size() != 1 || !back[0].ok || back[0].history.Size() != game.history.Size()
            || back[0].history.Fen() != game.history.Fen()) {
            std::fprintf(stderr, "game %d does not read back:\n%s\n%s\n", game.number, text.c_str(),
                         back.empty() ? "no game" : back[0].error.c_str());
            std::abort();
        }
    }
    return 0;
}
