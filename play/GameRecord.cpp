#include "GameRecord.h"

#include "Fen.h"
#include "TextCodec.h"

#include <cstdlib>

namespace chess {

bool PlayRecordedMove(GameState& state, History& history, const Move& move)
{
    GameState next = state;
    next.SelectedSquare = NoSelection;
    MoveEffects effects;
    if (!PlayMove(next, move, &effects))
        return false;
    Move recorded = move;
    if (effects.promotion)
        recorded.promotion = std::abs(next.At(move.toFile, move.toRank));
    history.Record(recorded, next);
    state = next;
    return true;
}

RecordedGame ReplayPgnGame(const PgnGame& pgn, int number)
{
    RecordedGame game;
    game.number = number;
    game.result = pgn.result;
    for (const PgnTag& tag : pgn.tags)
        game.tags.push_back({tag.name, ToUtf8(tag.value)});

    GameState state;
    SetUpNewGame(state);
    const std::string fen = game.Tag("FEN");
    if (!fen.empty() || game.Tag("SetUp") == "1") {
        const FenReading start = ReadFen(fen);
        if (!start.ok) {
            game.ok = false;
            game.problem = FenProblem(number, fen, start.error);
            game.error = game.problem.Line();
            return game;
        }
        state = start.position.state;
        game.history.Reset(state, start.position.halfmoveClock, start.position.fullmoveNumber);
    }

    for (const std::string& text : pgn.moves) {
        const SanReading san = ReadSan(state, text);
        if (!san.ok || !PlayRecordedMove(state, game.history, san.move)) {
            game.ok = false;
            game.problem = MoveProblem(number, game.history.FullmoveNumber(), text, san);
            game.error = game.problem.Line();
            break;
        }
    }
    ApplyPgnNotes(pgn, game.history);
    return game;
}

std::vector<RecordedGame> ReadPgnGames(std::string_view bytes)
{
    const std::vector<PgnGame> parsed = ParsePgn(bytes);
    std::vector<RecordedGame> games;
    games.reserve(parsed.size());
    for (std::size_t g = 0; g < parsed.size(); ++g)
        games.push_back(ReplayPgnGame(parsed[g], static_cast<int>(g) + 1));
    return games;
}

}  // namespace chess
