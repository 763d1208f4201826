// The turn sequence as the players meet it: presses in, squares redrawn,
// announcements and questions out, in the order the window would show them.

#include "Fen.h"
#include "Game.h"
#include "PositionText.h"
#include "TurnSequence.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace chess::test {
namespace {

const char* Name(Message m)
{
    switch (m) {
    case Message::Nelze:
        return "Nelze";
    case Message::Sach:
        return "Sach";
    case Message::MatBilyVyhral:
        return "MatBilyVyhral";
    case Message::MatCernyVyhral:
        return "MatCernyVyhral";
    case Message::Pat:
        return "Pat";
    case Message::RemizaMrtvaPozice:
        return "RemizaMrtvaPozice";
    case Message::RemizaPateOpakovani:
        return "RemizaPateOpakovani";
    case Message::Remiza75Tahu:
        return "Remiza75Tahu";
    case Message::KonecRemizou:
        return "KonecRemizou";
    case Message::KonecPartie:
        return "KonecPartie";
    }
    return "?";
}

// Records everything in order; a trailing "*" means a piece was picked up
// at that moment, so the square would show the selection mark.
class FakeUi : public GameUi {
public:
    explicit FakeUi(const GameState& s) : s_(s) {}
    std::vector<std::string> log;
    std::vector<std::string> said;
    bool answer = true;
    int choice = PromoteQueen;

    void DrawSquare(int file, int rank) override { log.push_back("draw " + SquareName(file, rank) + Mark()); }
    void Announce(Message m) override
    {
        log.push_back(std::string("say ") + Name(m) + Mark());
        said.push_back(Name(m));
    }
    bool AskYesNo(Question q) override
    {
        if (q == Question::NovaPartie) {
            log.push_back("ask");
        } else {
            const char* name = q == Question::RemizaTretiOpakovani  ? "ask RemizaTretiOpakovani"
                             : q == Question::RemizaCtvrteOpakovani ? "ask RemizaCtvrteOpakovani"
                             : q == Question::Remiza50Tahu          ? "ask Remiza50Tahu"
                                                                    : "ask ZrusitPozdejsiTahy";
            log.push_back(name + Mark());
            said.push_back(name);
        }
        return answer;
    }
    void RunPromotion(GameState& state) override
    {
        log.push_back("promote");
        const int rank = PromotePawn(state, choice);
        DrawSquare(state.ToFile, rank);
    }
    void DrawBoard() override { log.push_back("board"); }

private:
    std::string Mark() const { return s_.SelectedSquare == NoSelection ? "" : "*"; }
    const GameState& s_;
};

struct Table {
    // A recorded game starts its record at the position, with that many
    // half-moves already played without capture or pawn move.
    explicit Table(std::string_view position = "start", bool recorded = false, int clock = 0) : recorded_(recorded)
    {
        game.NewGame(Position(position), clock);
    }
    chess::Game game;
    GameState& s = game.State();
    FakeUi ui{s};
    bool recorded_;
    TurnSequence turn = recorded_ ? TurnSequence(game, ui) : TurnSequence(s, ui);
    bool whiteAtBottom = true;

    void Press(std::string_view square)
    {
        const Sq sq = ParseSquare(square);
        const int column = whiteAtBottom ? sq.file : 7 - sq.file;
        const int row = whiteAtBottom ? 7 - sq.rank : sq.rank;
        turn.FormMouseDown(FrameWidth + column * SquareSize + 5, FrameWidth + row * SquareSize + 60, whiteAtBottom);
    }
    void Move(std::string_view move)
    {
        Press(move.substr(0, 2));
        Press(move.substr(2, 2));
    }
    void Moves(std::initializer_list<std::string_view> moves)
    {
        for (auto m : moves)
            Move(m);
    }
    std::string At(std::string_view square) const
    {
        const Sq sq = ParseSquare(square);
        return std::to_string(s.At(sq.file, sq.rank));
    }
    std::string Rights() const
    {
        std::string r;
        r += s.WhiteMayCastleShort ? "K" : "";
        r += s.WhiteMayCastleLong ? "Q" : "";
        r += s.BlackMayCastleShort ? "k" : "";
        r += s.BlackMayCastleLong ? "q" : "";
        return r;
    }
};

using Log = std::vector<std::string>;

struct PixelRow {
    int x, y;
    bool whiteAtBottom;
    const char* square;  // "" outside the playing area
};

TEST(Press, MapsPixelsToSquaresInBothOrientations)
{
    const PixelRow rows[] = {
        {34, 34, true, "a8"},    {34, 34, false, "h1"}, {577, 577, true, "h1"}, {577, 577, false, "a8"},
        {101, 34, true, "a8"},   {102, 34, true, "b8"}, {34, 102, true, "a7"},  {340, 340, true, "e4"},
        {340, 340, false, "d5"}, {578, 100, true, ""},  {100, 578, true, ""},   {33, 100, true, ""},
        {100, 33, false, ""},    {-30, 100, true, ""},  {100, -30, true, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.x) + "," + std::to_string(row.y));
        ASSERT_EQ(InsidePlayingArea(row.x, row.y), *row.square != 0);
        if (*row.square) {
            const Square sq = SquareAt(row.x, row.y, row.whiteAtBottom);
            EXPECT_EQ(SquareName(sq.file, sq.rank), row.square);
        }
    }
}

TEST(Press, EveryPressTouchesTheBoardEvenOutside)
{
    Table g;
    g.turn.FormMouseDown(578, 300, true);
    EXPECT_TRUE(g.s.BoardTouched);
    EXPECT_EQ(g.ui.log, Log{});
    g.s.BoardTouched = false;
    g.Press("e7");  // the opponent's piece: ignored, but touched
    EXPECT_TRUE(g.s.BoardTouched);
    EXPECT_EQ(g.ui.log, Log{});
    EXPECT_EQ(g.s.SelectedSquare, NoSelection);
}

TEST(Press, PickUpRules)
{
    Table g;
    g.Press("e4");  // empty: redrawn, nothing picked up
    EXPECT_EQ(g.ui.log, Log{"draw e4"});
    EXPECT_EQ(g.s.SelectedSquare, NoSelection);
    EXPECT_EQ(g.s.MovingPiece, Empty);
    g.Press("g1");
    EXPECT_EQ(g.ui.log, (Log{"draw e4", "draw g1*"}));
    EXPECT_EQ(g.s.SelectedSquare, SelectionOf(6, 0));
    EXPECT_EQ(g.s.MovingPiece, Knight);
    g.turn.FormMouseDown(600, 600, true);  // outside: still picked up
    EXPECT_EQ(g.s.SelectedSquare, SelectionOf(6, 0));
    g.Press("f3");
    EXPECT_EQ(g.At("f3"), "3");
}

TEST(Press, BlackAtTheBottomTopLeftIsH1)
{
    Table g;
    g.whiteAtBottom = false;
    g.turn.FormMouseDown(40, 40, false);
    EXPECT_EQ(g.s.SelectedSquare, SelectionOf(7, 0));
    g.Press("h1");  // put back
    g.Move("e2e4");
    EXPECT_EQ(g.At("e4"), "1");
    EXPECT_FALSE(g.s.WhiteToMove);
}

TEST(Move, RefusedShowsTheMessageThenDropsTheSelection)
{
    Table g;
    const GameState before = g.s;
    g.Move("e2e5");
    EXPECT_EQ(g.ui.log, (Log{"draw e2*", "say Nelze*", "draw e2"}));
    EXPECT_EQ(g.s.Board, before.Board);
    EXPECT_TRUE(g.s.WhiteToMove);
    EXPECT_EQ(g.s.SelectedSquare, NoSelection);

    g.ui.log.clear();
    g.Move("e2d2");  // onto an own piece: refused, d2 is not picked up instead
    EXPECT_EQ(g.ui.log, (Log{"draw e2*", "say Nelze*", "draw e2"}));
    EXPECT_EQ(g.s.SelectedSquare, NoSelection);
}

TEST(Move, PuttingBackIsNoMoveAndKeepsTheRights)
{
    Table g("Ke1 Ra1 Rh1 ke8 KQ");
    for (const char* square : {"e1", "a1", "h1"}) {
        g.ui.log.clear();
        g.Press(square);
        g.Press(square);
        EXPECT_EQ(g.ui.log, (Log{"draw " + std::string(square) + "*", "draw " + std::string(square),
                                 "draw " + std::string(square)}));
        EXPECT_EQ(g.Rights(), "KQ");
        EXPECT_TRUE(g.s.WhiteToMove);
    }
}

TEST(Move, AcceptedRedrawsOriginThenTargetAndPassesTheTurn)
{
    Table g;
    g.Move("e2e4");
    EXPECT_EQ(g.ui.log, (Log{"draw e2*", "draw e2", "draw e4"}));
    EXPECT_EQ(g.At("e2") + g.At("e4"), "01");
    EXPECT_FALSE(g.s.WhiteToMove);
    EXPECT_TRUE(g.s.WhiteDoubleStep);
    g.Move("g8f6");
    EXPECT_FALSE(g.s.WhiteDoubleStep) << "cleared once black has moved";
    EXPECT_TRUE(g.s.WhiteToMove);
}

struct CastlingRow {
    const char* position;
    const char* move;
    Log log;
    const char* king;
    const char* rook;
    const char* rights;
};

TEST(Move, CastlingMovesTheRookAndEndsBothRights)
{
    const CastlingRow rows[] = {
        {"Ke1 Ra1 Rh1 ke8 ra8 rh8 KQkq",
         "e1g1",
         {"draw e1*", "draw e1", "draw g1", "draw h1", "draw f1"},
         "g1",
         "f1",
         "kq"},
        {"Ke1 Ra1 Rh1 ke8 ra8 rh8 KQkq",
         "e1c1",
         {"draw e1*", "draw e1", "draw c1", "draw a1", "draw d1"},
         "c1",
         "d1",
         "kq"},
        {"Ke1 Ra1 Rh1 ke8 ra8 rh8 KQkq b",
         "e8g8",
         {"draw e8*", "draw e8", "draw g8", "draw h8", "draw f8"},
         "g8",
         "f8",
         "KQ"},
        {"Ke1 Ra1 Rh1 ke8 ra8 rh8 KQkq b",
         "e8c8",
         {"draw e8*", "draw e8", "draw c8", "draw a8", "draw d8"},
         "c8",
         "d8",
         "KQ"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.move);
        Table g(row.position);
        const int32_t sign = g.s.WhiteToMove ? 1 : -1;
        g.Move(row.move);
        EXPECT_EQ(g.ui.log, row.log);
        EXPECT_EQ(g.At(row.king), std::to_string(sign * King));
        EXPECT_EQ(g.At(row.rook), std::to_string(sign * Rook));
        EXPECT_EQ(g.At(row.log[3].substr(5)), "0");
        EXPECT_EQ(g.Rights(), row.rights);
        EXPECT_FALSE(g.s.CastleShortPending || g.s.CastleLongPending);
    }
}

TEST(Move, CastlingRightsEndWhenKingOrCornerRookMovesOrTheCornerIsTaken)
{
    const struct {
        const char* move;
        const char* rights;
    } rows[] = {
        {"a1a2", "Kkq"}, {"h1h2", "Qkq"}, {"e1d2", "kq"}, {"a1a8", "Kk"}, {"h1h8", "Qq"}, {"e2e3", "KQkq"},
    };
    for (const auto& row : rows) {
        Table g("Ke1 Ra1 Rh1 Pe2 ke8 ra8 rh8 KQkq");
        g.Move(row.move);
        EXPECT_EQ(g.Rights(), row.rights) << row.move;
    }
    Table g("Ke1 Ra1 Rh1 ke8 ra8 rh8 KQkq b");
    g.Move("h8h1");
    EXPECT_EQ(g.Rights(), "Qq");
}

TEST(Move, PromotionForBothColoursAndEveryPieceThenCheck)
{
    const struct {
        const char* position;
        const char* move;
        int choice;
        int32_t code;
        bool check;
    } rows[] = {
        {"Pe7 Ka1 kh8", "e7e8", PromoteQueen, Queen, true},
        {"Pe7 Ka1 kh8", "e7e8", PromoteRook, Rook, true},
        {"Pe7 Ka1 kh8", "e7e8", PromoteBishop, Bishop, false},
        {"Pe7 Ka1 kh8", "e7e8", PromoteKnight, Knight, false},
        {"pe2 Kh1 ka8 b", "e2e1", PromoteQueen, -Queen, true},
        {"pe2 Kh1 ka8 b", "e2e1", PromoteRook, -Rook, true},
        {"pe2 Kh1 ka8 b", "e2e1", PromoteBishop, -Bishop, false},
        {"pe2 Kh1 ka8 b", "e2e1", PromoteKnight, -Knight, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.position) + " choice " + std::to_string(row.choice));
        Table g(row.position);
        g.ui.choice = row.choice;
        g.Move(row.move);
        const std::string from = std::string(row.move).substr(0, 2), to = std::string(row.move).substr(2);
        Log expected{"draw " + from + "*", "draw " + from, "draw " + to, "promote", "draw " + to};
        if (row.check)
            expected.push_back("say Sach");
        EXPECT_EQ(g.ui.log, expected);
        EXPECT_EQ(g.At(to), std::to_string(row.code));
        EXPECT_EQ(row.code > 0 ? g.s.BlackInCheck : g.s.WhiteInCheck, row.check);
    }
}

TEST(Move, EnPassantOnlyAsTheImmediateAnswer)
{
    Table g;
    g.Moves({"e2e4", "a7a6", "e4e5", "d7d5"});
    g.ui.log.clear();
    g.Move("e5d6");
    EXPECT_EQ(g.ui.log, (Log{"draw e5*", "draw d5", "draw e5", "draw d6"}));
    EXPECT_EQ(g.At("d5") + g.At("d6"), "01");

    Table late;
    late.Moves({"e2e4", "a7a6", "e4e5", "d7d5", "h2h3", "a6a5"});
    late.ui.said.clear();
    late.Move("e5d6");
    EXPECT_EQ(late.ui.said, Log{"Nelze"});
    EXPECT_EQ(late.At("d5"), "-1");
}

TEST(EndOfGame, FoolsMateAnnouncesCheckThenMateAndRefusesEverythingAfter)
{
    Table g;
    g.Moves({"f2f3", "e7e5", "g2g4", "d8h4"});
    EXPECT_EQ(g.ui.said, (Log{"Sach", "MatCernyVyhral"}));
    EXPECT_TRUE(g.s.WhiteInCheck);
    EXPECT_TRUE(g.s.WhiteToMove);
    g.ui.said.clear();
    g.Moves({"a2a3", "e1f2"});
    EXPECT_EQ(g.ui.said, (Log{"Nelze", "Nelze"}));
}

TEST(EndOfGame, WhiteMatesBlack)
{
    Table g("kg8 pf7 pg7 ph7 Kg1 Ra1");
    g.Move("a1a8");
    EXPECT_EQ(g.ui.said, (Log{"Sach", "MatBilyVyhral"}));
}

TEST(EndOfGame, StalematingMoveAnnouncesOnlyPat)
{
    Table g("ka8 Qc1 Ke1");
    g.Move("c1c7");
    EXPECT_EQ(g.ui.said, Log{"Pat"});
    EXPECT_FALSE(g.s.BlackInCheck);
}

struct DrawRow {
    const char* position;
    int clock;
    std::vector<std::string_view> moves;
    bool recorded;
    Log said;   // all through the moves
    bool over;  // the next move is refused as after a draw
};

TEST(DrawRules, AnnouncedRightAtTheMoveThatBringsThemAndNotOneBefore)
{
    // The knights go out and back: the start position stands again after
    // every fourth half-move.
    auto knights = [](int halfMoves) {
        static constexpr std::string_view shuffle[4] = {"g1f3", "g8f6", "f3g1", "f6g8"};
        std::vector<std::string_view> moves;
        for (int i = 0; i < halfMoves; ++i)
            moves.push_back(shuffle[i % 4]);
        return moves;
    };
    Log offers(4, "ask RemizaTretiOpakovani");
    offers.insert(offers.end(), 4, "ask RemizaCtvrteOpakovani");
    Log fivefold = offers;
    fivefold.push_back("RemizaPateOpakovani");
    const DrawRow rows[] = {
        {"Ke1 Bf1 ke8 rd2", 0, {"e1d2"}, true, {"RemizaMrtvaPozice"}, true},
        {"Ke1 Bf1 ke8 rd2 pa7", 0, {"e1d2"}, true, {}, false},
        {"Ke1 Bf1 ke8 rd2", 0, {"e1d2"}, false, {}, false},
        {"Ke1 Ra1 kg8 ph7", 149, {"a1a2"}, true, {"Remiza75Tahu"}, true},
        {"Ke1 Ra1 kg8 ph7", 148, {"a1a2"}, true, {}, false},
        {"Ke1 Ra1 kg8 pf7 pg7 ph7", 149, {"a1a8"}, true, {"Sach", "MatBilyVyhral"}, false},
        {"Ke1 Ra1 kg8 ph7", 99, {"a1a2"}, true, {"ask Remiza50Tahu"}, false},
        {"Ke1 Ra1 kg8 ph7", 98, {"a1a2"}, true, {}, false},
        // Declined, the fifty-move claim comes again once each side has made
        // another move, and after a capture or pawn move only at fifty anew.
        {"Ke1 Ra1 kg8 ph7", 99, {"a1a2", "g8f8", "a2a3"}, true, Log(2, "ask Remiza50Tahu"), false},
        {"Ke1 Ra1 kg8 ph7", 99, {"a1a2", "g8f8"}, true, Log(1, "ask Remiza50Tahu"), false},
        {"Ke1 Ra1 kg8 ph7", 100, {"a1a2", "g8f8"}, true, {"ask Remiza50Tahu"}, false},
        {"Ke1 Ra1 kg8 ph7", 99, {"a1a2", "h7h6", "a2a3"}, true, Log(1, "ask Remiza50Tahu"), false},
        {"Ke1 Ra1 kg8 ph7", 149, {"a1a2"}, false, {}, false},
        // Each of the four positions is offered when it stands for the third
        // time (half-moves 8 to 11) and again for the fourth (12 to 15); the
        // start position's fifth time ends the game.
        {"start", 0, knights(7), true, {}, false},
        {"start", 0, knights(8), true, Log(1, "ask RemizaTretiOpakovani"), false},
        {"start", 0, knights(15), true, offers, false},
        {"start", 0, knights(16), true, fivefold, true},
    };
    for (const DrawRow& row : rows) {
        SCOPED_TRACE(std::string(row.position) + " " + std::to_string(row.clock) + " after "
                     + std::to_string(row.moves.size()));
        Table g(row.position, row.recorded, row.clock);
        g.ui.answer = false;
        for (std::string_view move : row.moves)
            g.Move(move);
        EXPECT_EQ(g.ui.said, row.said);
        ASSERT_TRUE(g.s.WhiteToMove == (row.moves.size() % 2 == 0));

        // Any move of the side now to move: refused with its own message
        // after a draw, the piece back where it was.
        const char* next = g.s.WhiteToMove ? "e1e2" : g.s.At(6, 7) == -King ? "g8f8" : "e8f8";
        if (!row.over)
            continue;
        g.ui.log.clear();
        g.Move(next);
        EXPECT_EQ(g.ui.log, (Log{"draw " + std::string(next).substr(0, 2) + "*", "say KonecRemizou*",
                                 "draw " + std::string(next).substr(0, 2)}));
        EXPECT_EQ(g.s.SelectedSquare, NoSelection);
        // Taken back, the game goes on.
        ASSERT_TRUE(g.game.TakeBack());
        g.ui.said.clear();
        g.Move(row.moves.back());
        EXPECT_EQ(g.ui.said, Log{row.said.back()});
    }
}

TEST(DrawRules, AClaimAnsweredYesEndsTheGame)
{
    Table g("Ke1 Ra1 kg8 ph7", true, 99);
    g.ui.answer = true;
    g.Move("a1a2");
    EXPECT_EQ(g.ui.said, Log{"ask Remiza50Tahu"});
    EXPECT_EQ(g.game.End(), GameEnd::FiftyMovesClaimed);
    g.ui.said.clear();
    g.Move("g8f8");
    g.Move("g8g8");  // putting the piece back is no move, and says nothing
    EXPECT_EQ(g.ui.said, Log{"KonecRemizou"});
    EXPECT_EQ(g.At("g8"), "-6");

    // A new game starts a new record.
    g.turn.Novpartie1Click();
    EXPECT_EQ(g.game.Record().Size(), 0u);
    g.Move("e2e4");
    EXPECT_EQ(g.game.Record().Size(), 1u);
    EXPECT_EQ(g.game.Record()[0].san, "e4");
}

TEST(EndOfGame, ADeclaredResultRefusesMovesUntilATakeBack)
{
    const std::pair<GameEnd, const char*> rows[] = {{GameEnd::WhiteWinsDeclared, "KonecPartie"},
                                                    {GameEnd::BlackWinsDeclared, "KonecPartie"},
                                                    {GameEnd::DrawDeclared, "KonecRemizou"}};
    for (const auto& [declared, refusal] : rows) {
        SCOPED_TRACE(ResultText(declared));
        Table g("start", true);
        History record;
        GameState s = record.State();
        for (const Move m : {Move{4, 1, 4, 3}, Move{4, 6, 4, 4}}) {
            ASSERT_TRUE(PlayMove(s, m));
            record.Record(m, s);
        }
        ASSERT_TRUE(record.DeclareEnd(declared));
        g.game.Open(record, {});
        g.Move("g1f3");
        EXPECT_EQ(g.ui.said, Log{refusal});
        EXPECT_EQ(g.At("g1"), "3");
        ASSERT_TRUE(g.game.TakeBack());
        g.Move("d7d5");
        EXPECT_EQ(g.At("d5"), "-1");
        EXPECT_EQ(g.game.Record().Size(), 2u);
        EXPECT_EQ(g.game.End(), GameEnd::None);
    }
}

struct CutRow {
    const char* name;
    std::function<void(Game&)> browse;  // after e2e4 e7e5 g1f3
    std::string_view move;
    bool answer;
    Log said;
    std::vector<std::string> record;  // the SANs afterwards
    std::size_t current;
};

TEST(Record, AMoveBeforeTheEndAsksOnlyWhenItCutsOffMovesNobodyTookBack)
{
    const std::vector<std::string> played = {"e4", "e5", "Nf3"};
    const CutRow rows[] = {
        {"stepped back, Yes", [](Game& g) { g.JumpTo(1); }, "d7d5", true, {"ask ZrusitPozdejsiTahy"}, {"e4", "d5"}, 2},
        {"stepped back, No: nothing changes",
         [](Game& g) { g.JumpTo(1); },
         "d7d5",
         false,
         {"ask ZrusitPozdejsiTahy"},
         played,
         1},
        {"stepped back, a refused move asks nothing", [](Game& g) { g.JumpTo(1); }, "d7d4", true, {"Nelze"}, played, 1},
        {"stepped back, a piece put back asks nothing", [](Game& g) { g.JumpTo(1); }, "d7d7", true, {}, played, 1},
        {"taken back: replaced without a word",
         [](Game& g) {
             g.TakeBack();
             g.TakeBack();
         },
         "d7d5",
         true,
         {},
         {"e4", "d5"},
         2},
        {"taken back, stepped further back",
         [](Game& g) {
             g.TakeBack();
             g.JumpTo(0);
         },
         "d2d4",
         true,
         {"ask ZrusitPozdejsiTahy"},
         {"d4"},
         1},
        {"stepped back, then taken back",
         [](Game& g) {
             g.JumpTo(2);
             g.TakeBack();
         },
         "d7d5",
         true,
         {},
         {"e4", "d5"},
         2},
        {"taken back, replayed, stepped back",
         [](Game& g) {
             g.TakeBack();
             g.Replay();
             g.JumpTo(2);
         },
         "b1c3",
         true,
         {"ask ZrusitPozdejsiTahy"},
         {"e4", "e5", "Nc3"},
         3},
        {"taken back, stepped to the end and back",
         [](Game& g) {
             g.TakeBack();
             g.JumpTo(3);
             g.JumpTo(2);
         },
         "b1c3",
         true,
         {"ask ZrusitPozdejsiTahy"},
         {"e4", "e5", "Nc3"},
         3},
        {"stepped back and forth to the end",
         [](Game& g) {
             g.JumpTo(0);
             g.JumpTo(3);
         },
         "b8c6",
         true,
         {},
         {"e4", "e5", "Nf3", "Nc6"},
         4},
    };
    for (const CutRow& row : rows) {
        SCOPED_TRACE(row.name);
        Table g("start", true);
        g.Moves({"e2e4", "e7e5", "g1f3"});
        row.browse(g.game);
        g.ui.said.clear();
        g.ui.answer = row.answer;
        const GameState before = g.s;
        g.Move(row.move);
        EXPECT_EQ(g.ui.said, row.said);
        std::vector<std::string> record;
        for (const HalfMove& h : g.game.Record().Moves())
            record.push_back(h.san);
        EXPECT_EQ(record, row.record);
        EXPECT_EQ(g.game.Record().Current(), row.current);
        EXPECT_EQ(g.s.SelectedSquare, NoSelection);
        if (!row.answer) {
            EXPECT_EQ(WriteFen(g.s), WriteFen(before));
        }
    }
}

TEST(NewGame, AsksOnlyOnceTheBoardIsTouchedAndResetsOnYes)
{
    Table g;
    g.turn.Novpartie1Click();
    EXPECT_EQ(g.ui.log, Log{}) << "untouched: no question, no reset";

    g.Move("e2e4");
    g.Press("e7");
    g.ui.log.clear();
    g.ui.answer = false;
    const GameState before = g.s;
    g.turn.Novpartie1Click();
    EXPECT_EQ(g.ui.log, Log{"ask"});
    EXPECT_EQ(StateDiff(before, g.s), "");

    g.ui.log.clear();
    g.ui.answer = true;
    g.turn.Novpartie1Click();
    EXPECT_EQ(g.ui.log, (Log{"ask", "board"}));
    EXPECT_EQ(g.s.Board, StartPosition().Board);
    EXPECT_EQ(g.s.SelectedSquare, NoSelection);
    EXPECT_FALSE(g.s.BoardTouched);
    EXPECT_TRUE(g.s.WhiteToMove);

    g.ui.log.clear();
    g.turn.Novpartie1Click();
    EXPECT_EQ(g.ui.log, Log{}) << "right after a new game it asks nothing";
}

}  // namespace
}  // namespace chess::test
