// Any bytes as a PGN file, as a FEN and as a move typed by a player:
// reading never crashes, a position set up from it and found playable reads
// back, every game that replays is written out and read back to the same
// moves, and a typed move that is taken is one the rules allow.

#include "Fen.h"
#include "GameRecord.h"
#include "MoveInput.h"
#include "PositionCheck.h"

#include <algorithm>
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

    // A position set up from any FEN, once the set-up has settled it and
    // found nothing wrong, is one the FEN reader takes.
    const chess::FenReading raw = chess::ReadFenUnjudged(bytes);
    if (raw.ok) {
        chess::GameState s = raw.position.state;
        chess::SettleSetUp(s);
        if (chess::CheckPosition(s).empty() && !chess::ReadFen(chess::WriteFen(s)).ok) {
            std::fprintf(stderr, "set-up %s is refused as a FEN\n", chess::WriteFen(s).c_str());
            std::abort();
        }
    }

    // The first line as typed into the move field, in the start position and
    // in the position the bytes describe, in every language's letters.
    const std::string_view typed = bytes.substr(0, std::min<std::size_t>(bytes.find('\n'), 80));
    chess::GameState start;
    chess::SetUpNewGame(start);
    for (const chess::PieceLetters& letters :
         {chess::PieceLetters::English(), chess::PieceLetters::Czech(), chess::PieceLetters::German()}) {
        (void)chess::ReadBoardCommand(typed, letters);
        for (const chess::GameState& position : {start, fen.ok ? fen.position.state : start}) {
            const chess::TypedMove m = chess::ReadTypedMove(position, typed, letters);
            chess::GameState after = position;
            if (m.ok() && !chess::PlayMove(after, m.move)) {
                std::fprintf(stderr, "typed \"%.*s\" gives a move the rules refuse\n", int(typed.size()), typed.data());
                std::abort();
            }
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
