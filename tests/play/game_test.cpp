// The game object as its views meet it: what it tells them, in what order,
// and how the game stands when they are told.

#include "Fen.h"
#include "Game.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace chess::test {
namespace {

const char* KindName(GameChange::Kind kind)
{
    switch (kind) {
    case GameChange::Moved:
        return "moved";
    case GameChange::TakenBack:
        return "taken back";
    case GameChange::Replayed:
        return "replayed";
    case GameChange::Jumped:
        return "jumped";
    case GameChange::NewGame:
        return "new game";
    case GameChange::Opened:
        return "opened";
    case GameChange::DrawClaimed:
        return "draw claimed";
    case GameChange::Annotated:
        return "annotated";
    case GameChange::Declared:
        return "declared";
    }
    return "?";
}

// Notes each change with the half-move and FEN the listener sees then, and
// "ended <result>" when the change ended the game.
struct Witness : GameListener {
    std::vector<std::string> heard;
    void GameChanged(const Game& game, const GameChange& change) override
    {
        std::string line = std::string(KindName(change.kind)) + " " + std::to_string(game.Record().Current());
        if (change.ended)
            line += std::string(" ended ") + ResultText(game.End());
        heard.push_back(line);
    }
};

Move M(std::string_view uci)
{
    Move m{uci[0] - 'a', uci[1] - '1', uci[2] - 'a', uci[3] - '1', Empty};
    if (uci.size() > 4)
        m.promotion = uci[4] == 'n' ? Knight : uci[4] == 'b' ? Bishop : uci[4] == 'r' ? Rook : Queen;
    return m;
}

void PlayAll(Game& game, std::initializer_list<std::string_view> moves)
{
    for (auto m : moves)
        ASSERT_TRUE(game.Play(M(m))) << m;
}

struct Row {
    const char* name;
    std::function<void(Game&)> act;
    std::vector<std::string> heard;
    std::string fen;  // of the position afterwards
};

TEST(Game, TellsItsListenersEveryChange)
{
    const Row rows[] = {
        {"a move",
         [](Game& g) { PlayAll(g, {"e2e4"}); },
         {"moved 1"},
         "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1"},
        {"a refused move says nothing", [](Game& g) { EXPECT_FALSE(g.Play(M("e2e5"))); }, {}, std::string(StartFen)},
        {"take-back, replay, jump",
         [](Game& g) {
             PlayAll(g, {"e2e4", "e7e5", "g1f3"});
             EXPECT_TRUE(g.TakeBack());
             EXPECT_TRUE(g.Replay());
             EXPECT_FALSE(g.Replay());  // at the end: nothing to tell
             EXPECT_TRUE(g.JumpTo(1));
             EXPECT_FALSE(g.JumpTo(1));
         },
         {"moved 1", "moved 2", "moved 3", "taken back 2", "replayed 3", "jumped 1"},
         "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1"},
        {"a move after a take-back cuts the record",
         [](Game& g) {
             PlayAll(g, {"e2e4", "e7e5"});
             g.TakeBack();
             PlayAll(g, {"c7c5"});
             EXPECT_EQ(g.Record().Size(), 2u);
         },
         {"moved 1", "moved 2", "taken back 1", "moved 2"},
         "rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w KQkq c6 0 2"},
        {"mate ends the game",
         [](Game& g) {
             PlayAll(g, {"f2f3", "e7e5", "g2g4", "d8h4"});
         },
         {"moved 1", "moved 2", "moved 3", "moved 4 ended 0-1"},
         "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3"},
        {"stalemate ends the game",
         [](Game& g) {
             g.NewGame(ReadFen("k7/8/1Q6/8/8/8/8/4K3 w - - 0 1").position.state);
             PlayAll(g, {"b6c7"});
         },
         {"new game 0", "moved 1 ended 1/2-1/2"},
         "k7/2Q5/8/8/8/8/8/4K3 b - - 1 1"},
        {"a dead position ends the game",
         [](Game& g) {
             g.NewGame(ReadFen("k7/8/8/8/8/8/1r6/K1B5 w - - 0 1").position.state);
             PlayAll(g, {"a1b2"});
         },
         {"new game 0", "moved 1 ended 1/2-1/2"},
         "k7/8/8/8/8/8/1K6/2B5 b - - 0 1"},
        {"a claimed draw ends the game",
         [](Game& g) {
             PlayAll(g, {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1", "f6g8"});
             EXPECT_EQ(g.ClaimableDraw(), GameEnd::ThreefoldClaimed);
             g.ClaimDraw(g.ClaimableDraw());
             g.ClaimDraw(GameEnd::ThreefoldClaimed);  // once over, nothing more to tell
         },
         {"moved 1", "moved 2", "moved 3", "moved 4", "moved 5", "moved 6", "moved 7", "moved 8",
          "draw claimed 8 ended 1/2-1/2"},
         std::string(StartFen.substr(0, StartFen.size() - 3)) + "8 5"},
        {"a promotion to the piece asked for",
         [](Game& g) {
             g.NewGame(ReadFen("k7/4P3/8/8/8/8/p7/4K3 w - - 0 1").position.state);
             PlayAll(g, {"e7e8n"});
             EXPECT_EQ(g.Record()[0].san, "e8=N");
         },
         {"new game 0", "moved 1"},
         "k3N3/8/8/8/8/8/p7/4K3 b - - 0 1"},
        {"a comment and the tags",
         [](Game& g) {
             PlayAll(g, {"e2e4"});
             EXPECT_TRUE(g.SetComment(0, "  the king's   pawn "));
             EXPECT_FALSE(g.SetComment(1, "no such move"));
             g.SetTags({{"White", "A"}});
             EXPECT_EQ(g.Record()[0].note.comment, "the king's pawn");
             EXPECT_EQ(g.Tags().size(), 1u);
         },
         {"moved 1", "annotated 1", "annotated 1"},
         "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1"},
        {"a game opened and a new game",
         [](Game& g) {
             History h;
             GameState s = h.State();
             ASSERT_TRUE(PlayMove(s, M("d2d4")));
             h.Record(M("d2d4"), s);
             g.Open(h, {{"White", "A"}});
             EXPECT_TRUE(g.State().BoardTouched);
             EXPECT_EQ(g.Tags().size(), 1u);
             g.NewGame();
             EXPECT_TRUE(g.Tags().empty());
         },
         {"opened 1", "new game 0"},
         std::string(StartFen)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Game game;
        Witness witness;
        game.AddListener(&witness);
        row.act(game);
        EXPECT_EQ(witness.heard, row.heard);
        EXPECT_EQ(game.Record().Fen(), row.fen);
    }
}

}  // namespace
}  // namespace chess::test
