// The clock against a fake time source: every mode over a whole game ends
// with exactly the times its control gives, and the game's clock follows
// take-backs, saved games and the flag.

#include "CommentCommands.h"
#include "Fen.h"
#include "Game.h"
#include "GameClock.h"
#include "GameRecord.h"
#include "Pgn.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace chess::test {
namespace {

struct FakeTime : TimeSource {
    std::int64_t now = 1'000'000;
    std::int64_t NowMs() const override { return now; }
};

TimeControl Control(std::string_view text)
{
    const auto control = ParseTimeControl(text);
    EXPECT_TRUE(control) << text;
    return control.value_or(TimeControl{});
}

struct ModeRow {
    const char* control;
    std::int64_t whiteSpends, blackSpends;  // each move
    std::int64_t whiteLeft, blackLeft;      // after 120 moves of each side
};

TEST(Clock, AWholeGameEndsWithTheControlsTimes)
{
    const ModeRow rows[] = {
        {"5", 1000, 1500, 180'000, 120'000},
        {"3+2", 2500, 1000, 120'000, 300'000},
        {"5b3", 2000, 4000, 300'000, 180'000},  // the delay given back, at most its cap
        {"5d3", 2000, 4500, 300'000, 120'000},
        {"h1", 700, 500, 36'000, 84'000},                       // what one spends the other gains
        {"40/90,30+30", 60'000, 30'000, 3'600'000, 7'200'000},  // the second period after move 40, once
        {"40/2", 2000, 1000, 240'000, 360'000},                 // a last period with moves repeats
        {"5|4", 1000, 1000, 180'000, 120'000},                  // a control of each side's own
        {"3+2|1", 2000, 100, 180'000, 48'000},
    };
    for (const ModeRow& row : rows) {
        SCOPED_TRACE(row.control);
        FakeTime time;
        Clock clock(time);
        clock.SetControl(Control(row.control));
        clock.Start();
        for (int move = 0; move < 240; ++move) {
            time.now += clock.WhiteToMove() ? row.whiteSpends : row.blackSpends;
            clock.Moved();
        }
        EXPECT_EQ(clock.Remaining(true), row.whiteLeft);
        EXPECT_EQ(clock.Remaining(false), row.blackLeft);
        EXPECT_EQ(clock.MovesMade(true), 120);
        EXPECT_FALSE(clock.Flagged());
    }
}

// What the faces show in the middle of a turn, and when they change next.
TEST(Clock, DuringATurn)
{
    struct Row {
        const char* control;
        std::int64_t elapsed;
        std::int64_t mover, other, untilChange;
    } rows[] = {
        {"5d3", 2000, 300'000, 300'000, 1001},  // the delay runs first
        {"5d3", 5000, 298'000, 300'000, 1},     // then the time
        {"5b3", 2000, 298'000, 300'000, 1},     // Bronstein counts down at once
        {"h1", 10'500, 49'500, 70'500, 500},    // the other side's face grows
        {"0:20", 400, 19'600, 20'000, 1},       // tenths below 20 s
        {"0:20", 19'990, 10, 20'000, 11},       // and the flag at 0
        {"3+2", 181'000, -1'000, 180'000, 0},   // time run out: change at once
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.control) + " after " + std::to_string(row.elapsed));
        FakeTime time;
        Clock clock(time);
        clock.SetControl(Control(row.control));
        clock.Start();
        time.now += row.elapsed;
        EXPECT_EQ(clock.Remaining(true), row.mover);
        EXPECT_EQ(clock.Remaining(false), row.other);
        EXPECT_EQ(clock.UntilDisplayChange(), row.untilChange);
    }
}

TEST(Clock, PauseAndFlag)
{
    FakeTime time;
    Clock clock(time);
    clock.SetControl(Control("3+2"));
    clock.Start();
    time.now += 1000;
    clock.Pause();
    time.now += 60'000;  // a pause costs nobody anything
    EXPECT_EQ(clock.Remaining(true), 179'000);
    EXPECT_EQ(clock.UntilDisplayChange(), -1);
    clock.Resume();
    time.now += 179'000;
    EXPECT_TRUE(clock.Flagged());
    // A move after the flag brings no increment.
    EXPECT_EQ(clock.Moved(), 0);
    EXPECT_EQ(clock.Remaining(true), 0);
    EXPECT_TRUE(clock.WhiteToMove());
}

TEST(Clock, TextForms)
{
    struct Row {
        const char* text;
        const char* again;  // "" for text refused
        const char* pgn;
    } rows[] = {
        {"3+2", "3+2", "180+2"},
        {" 5 ", "5", "300"},
        {"0:30+1", "0:30+1", "30+1"},
        {"5+0", "5", "300"},
        {"40/90,30+30", "40/90,30+30", "40/5400+30:1800+30"},
        {"h1", "h1", "*60"},
        {"5d3", "5d3", "300"},
        {"5|4", "5|4", "300"},
        {"3+2|3+2", "3+2", "180+2"},
        {"", "", "-"},
        {"0", "", ""},
        {"3+", "", ""},
        {"90,30", "", ""},  // a period to the end of the game has none after it
        {"5|h1", "", ""},
        {"0:7", "", ""},
        {"99999", "", ""},
        {"abc", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const auto control = ParseTimeControl(row.text);
        ASSERT_EQ(bool(control), *row.again != 0 || *row.text == 0);
        if (!control)
            continue;
        EXPECT_EQ(TimeControlText(*control), row.again);
        EXPECT_EQ(PgnTimeControl(*control), row.pgn);
        bool exact = false;
        PgnTimeControl(*control, &exact);
        const auto back = ParsePgnTimeControl(row.pgn);
        ASSERT_TRUE(back);
        EXPECT_EQ(exact, *back == *control);
    }

    struct Face {
        std::int64_t ms;
        const char* face;
        const char* clk;
    } faces[] = {
        {5'400'000, "1:30:00", "1:30:00"},  {179'999, "0:02:59", "0:02:59"}, {59'999, "0:00:59", "0:00:59.9"},
        {19'999, "0:00:19.9", "0:00:19.9"}, {-5, "0:00:00.0", "0:00:00.0"},
    };
    for (const Face& f : faces) {
        EXPECT_EQ(FaceText(f.ms), f.face);
        EXPECT_EQ(ClkText(f.ms), f.clk);
    }
    EXPECT_EQ(ParseClk("0:00:09.3"), 9300);
    EXPECT_EQ(ParseClk("1:02:03"), 3'723'000);
    for (const char* bad : {"", "1:2", "0:61:00", "a:00:00", "0:00:00.", "0:00:00.1234"})
        EXPECT_FALSE(ParseClk(bad)) << bad;
}

Move M(std::string_view uci)
{
    return Move{uci[0] - 'a', uci[1] - '1', uci[2] - 'a', uci[3] - '1', Empty};
}

struct Played {
    FakeTime time;
    Game game;
    GameClock clock{game, time};

    explicit Played(std::string_view control) { clock.Choose(Control(control)); }
    // Each move after spending `ms` on it.
    void Play(std::initializer_list<std::pair<std::string_view, std::int64_t>> moves)
    {
        for (const auto& [move, ms] : moves) {
            time.now += ms;
            ASSERT_TRUE(game.Play(M(move))) << move;
        }
    }
    std::pair<std::int64_t, std::int64_t> Times() const
    {
        return {clock.Times().Remaining(true), clock.Times().Remaining(false)};
    }
};

TEST(GameClock, TakeBackAndReplayRestoreTheTimes)
{
    Played p("3+2");
    // The first move starts the clock and takes no time.
    p.Play({{"e2e4", 9000}, {"e7e5", 7000}, {"g1f3", 3000}});
    EXPECT_EQ(p.Times(), std::make_pair(std::int64_t(181'000), std::int64_t(175'000)));
    EXPECT_EQ(CommentProse(p.game.Record()[1].note.comment), "");
    EXPECT_EQ(CommentCommand(p.game.Record()[1].note.comment, "clk"), "0:02:55");
    p.time.now += 4000;
    ASSERT_TRUE(p.game.TakeBack());
    EXPECT_EQ(p.Times(), std::make_pair(std::int64_t(182'000), std::int64_t(175'000)));
    EXPECT_TRUE(p.clock.Times().Running());
    p.time.now += 1000;
    ASSERT_TRUE(p.game.Replay());
    EXPECT_EQ(p.Times(), std::make_pair(std::int64_t(181'000), std::int64_t(175'000)));
    ASSERT_TRUE(p.game.JumpTo(0));
    EXPECT_EQ(p.Times(), std::make_pair(std::int64_t(180'000), std::int64_t(180'000)));
    ASSERT_TRUE(p.game.JumpTo(3));
    // A move after a take-back goes on from the times restored.
    ASSERT_TRUE(p.game.TakeBack());
    p.Play({{"b1c3", 10'000}});
    EXPECT_EQ(p.Times(), std::make_pair(std::int64_t(174'000), std::int64_t(175'000)));

    // A dialog after the move holds the switch: its time is the mover's.
    p.clock.holdSwitch = true;
    p.Play({{"g8f6", 2000}});
    p.time.now += 1500;
    EXPECT_TRUE(p.clock.SwitchPending());
    EXPECT_EQ(p.clock.KeptState(), "");  // the mover's clock still runs, the record says the other's
    p.clock.SwitchNow();
    EXPECT_EQ(p.Times(), std::make_pair(std::int64_t(174'000), std::int64_t(173'500)));
    EXPECT_EQ(CommentCommand(p.game.Record()[3].note.comment, "clk"), "0:02:53");
}

TEST(GameClock, ASavedGameBringsItsClocksBack)
{
    for (const char* control : {"3+2", "5d3", "5|4", "h1"}) {
        SCOPED_TRACE(control);
        Played p(control);
        p.Play({{"e2e4", 0}, {"e7e5", 7'250}, {"g1f3", 3'400}, {"b8c6", 1'000}});
        const auto before = p.Times();
        const std::string text = WritePgn(p.game.Record(), p.game.Tags(), "*");
        EXPECT_NE(text.find("[%clk "), std::string::npos);
        const std::vector<RecordedGame> games = ReadPgnGames(text);
        ASSERT_EQ(games.size(), 1u);
        Played q("");
        q.game.Open(games[0].history, games[0].tags);
        EXPECT_EQ(TimeControlText(q.clock.Times().Control()), control);
        // Whole seconds in the file: at most a second from either side's time.
        EXPECT_LE(std::abs(before.first - q.Times().first), 1000);
        EXPECT_LE(std::abs(before.second - q.Times().second), 1000);
        EXPECT_FALSE(q.clock.Times().Started());

        // The unfinished game keeps the turn under way to the millisecond,
        // and a resumed game goes on with it (the delay left, the time given back).
        p.time.now += 1'700;
        const auto during = p.Times();
        Played r("");
        r.game.Open(games[0].history, games[0].tags);
        ASSERT_TRUE(r.clock.ResumeFrom(p.clock.KeptState())) << p.clock.KeptState();
        EXPECT_EQ(r.Times(), during);
        EXPECT_FALSE(r.clock.Times().Started());
        r.clock.Start();
        p.Play({{"f1c4", 2'000}});
        r.Play({{"f1c4", 2'000}});
        EXPECT_EQ(r.Times(), p.Times());
    }

    // A kept state that does not fit the record is ignored: the "[%clk]" times count.
    Played p("3+2");
    p.Play({{"e2e4", 0}, {"e7e5", 7'250}, {"g1f3", 3'400}, {"b8c6", 1'000}});
    p.time.now += 1'700;
    ASSERT_EQ(p.clock.KeptState(), "w 180600 175750 1700");
    for (const char* bad : {"", "w 180600 175750", "w 180600 175750 1700 5", "b 180600 175750 1700",
                            "w 181600 175750 1700", "w 180600 175750 -1", "w 180600 175750 180601",
                            "w  180600 175750 1700", "w 180600 175750 x", "w 99999999999999999999 175750 0"}) {
        SCOPED_TRACE(bad);
        Played q("");
        q.game.Open(p.game.Record(), p.game.Tags());
        EXPECT_FALSE(q.clock.ResumeFrom(bad));
        EXPECT_EQ(q.Times(), std::make_pair(std::int64_t(180'000), std::int64_t(175'000)));
    }
}

TEST(GameClock, FlagLosesOrDrawsByTheOthersMaterial)
{
    struct Row {
        const char* fen;
        GameEnd end;
    } rows[] = {
        {"4k3/8/8/8/8/8/4P3/4K3 b - - 0 1", GameEnd::WhiteWinsDeclared},   // a pawn can still mate
        {"4k3/4p3/8/8/8/8/8/4K3 b - - 0 1", GameEnd::DrawDeclared},        // a bare king cannot
        {"4k3/8/8/8/8/8/8/3NK3 b - - 0 1", GameEnd::DrawDeclared},         // nor a knight alone
        {"4k3/3r4/8/8/8/8/8/3NK3 b - - 0 1", GameEnd::WhiteWinsDeclared},  // a knight against a rook can
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fen);
        Played p("0:10");
        const FenReading start = ReadFen(row.fen);
        ASSERT_TRUE(start.ok);
        p.game.NewGame(start.position.state);
        p.clock.Choose(Control("0:10"));
        p.clock.Start();
        p.time.now += 9'999;
        EXPECT_EQ(p.clock.CheckFlag(), GameEnd::None);
        p.time.now += 1;
        EXPECT_EQ(p.clock.CheckFlag(), row.end);
        EXPECT_EQ(p.game.End(), row.end);
        EXPECT_EQ(TagValue(p.game.Tags(), "Termination"), "time forfeit");
    }

    // A move made after the time ran out is too late.
    Played late("0:10");
    late.Play({{"e2e4", 0}, {"e7e5", 10'001}});
    EXPECT_EQ(late.game.End(), GameEnd::WhiteWinsDeclared);
    EXPECT_EQ(late.clock.Times().Remaining(false), 0);
    // A take-back gives the game back with its clocks.
    ASSERT_TRUE(late.game.TakeBack());
    EXPECT_EQ(late.game.End(), GameEnd::None);
    EXPECT_EQ(TagValue(late.game.Tags(), "Termination"), "");
    EXPECT_EQ(late.clock.Times().Remaining(false), 10'000);
}

TEST(GameClock, ResignationAndAgreedDrawWithAndWithoutAClock)
{
    for (const char* control : {"", "3+2"}) {
        Played p(control);
        EXPECT_EQ(p.clock.Resign(), GameEnd::BlackWinsDeclared);  // before the first move too
        EXPECT_EQ(WritePgn(p.game.Record(), p.game.Tags(), ResultText(p.game.End())).find("0-1") != std::string::npos,
                  true);
        p.game.NewGame();
        p.Play({{"e2e4", 1000}});
        EXPECT_EQ(p.clock.AgreeDraw(), GameEnd::DrawDeclared);
        EXPECT_EQ(p.clock.Resign(), GameEnd::None);  // over already
        EXPECT_FALSE(p.clock.Times().Running());
    }
}

}  // namespace
}  // namespace chess::test
