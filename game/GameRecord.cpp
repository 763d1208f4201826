#include "GameRecord.h"

#include "Fen.h"
#include "TextCodec.h"
#include "TurnSequence.h"

#include <cstdlib>

namespace chess {

namespace {

// Stands in for the window while a recorded move is carried out: nothing to
// draw or say, and the promotion dialog answers with the recorded piece.
class RecordUi final : public GameUi {
public:
    explicit RecordUi(int32_t promotion) : promotion_(promotion) {}
    void DrawSquare(int, int) override {}
    void Announce(Message) override {}
    bool AskYesNo(Question) override { return false; }
    void RunPromotion(GameState& state) override
    {
        const int choice = promotion_ == Rook ? PromoteRook
                         : promotion_ == Bishop ? PromoteBishop
                         : promotion_ == Knight ? PromoteKnight
                                                : PromoteQueen;
        PromotePawn(state, choice);
    }
    void DrawBoard() override {}

private:
    int32_t promotion_;
};

}  // namespace

bool PlayRecordedMove(GameState& state, History& history, const Move& move)
{
    if (!OnBoard(move.fromFile, move.fromRank) || !OnBoard(move.toFile, move.toRank)
        || (move.fromFile == move.toFile && move.fromRank == move.toRank))
        return false;
    const int32_t piece = state.At(move.fromFile, move.fromRank);
    if (piece == Empty || (piece > 0) != state.WhiteToMove)
        return false;
    GameState next = state;
    next.SelectedSquare = NoSelection;
    next.MovingPiece = piece;
    next.FromFile = move.fromFile;
    next.FromRank = move.fromRank;
    next.ToFile = move.toFile;
    next.ToRank = move.toRank;
    if (!TestMove(next, piece, move.fromFile, move.fromRank, move.toFile, move.toRank))
        return false;
    RecordUi ui(move.promotion);
    TurnSequence(next, ui, &history).CarryOutAcceptedMove();
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
