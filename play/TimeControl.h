#pragma once
// How much time each side has: the modes of real tournament clocks, one
// control for each side, in a short text form for the settings file and the
// form the PGN tag "TimeControl" knows. No Qt.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chess {

enum class ClockMode {
    SuddenDeath,  // the time, and nothing more
    Increment,    // Fischer: the bonus is added after each move
    Bronstein,    // the time used is given back after each move, at most the bonus
    Delay,        // simple delay: the clock waits the bonus before it counts down
    Hourglass,    // what one side spends, the other gains
};

// A number of moves in a time; `moves` 0 for the rest of the game. A last
// period with a number of moves repeats, as the PGN form "40/5400" does.
struct TimePeriod {
    int moves = 0;
    std::int64_t ms = 0;
    friend bool operator==(const TimePeriod&, const TimePeriod&) = default;
};

struct SideControl {
    ClockMode mode = ClockMode::SuddenDeath;
    std::vector<TimePeriod> periods;  // none: no clock
    std::int64_t bonusMs = 0;         // the increment or the delay of each move
    friend bool operator==(const SideControl&, const SideControl&) = default;

    std::int64_t StartMs() const { return periods.empty() ? 0 : periods.front().ms; }
    // The time a side gets once it has made `moves` moves, when that number
    // completes a period (0 otherwise), and the period it then plays in.
    std::int64_t AddedAfter(int moves) const;
    int PeriodAt(int moves) const;        // from 0
    int MovesToControl(int moves) const;  // 0 where no control follows
};

struct TimeControl {
    SideControl white, black;
    bool None() const { return white.periods.empty() || black.periods.empty(); }
    const SideControl& Of(bool whiteSide) const { return whiteSide ? white : black; }
    friend bool operator==(const TimeControl&, const TimeControl&) = default;
};

// The settings file's form, for each side: "5" (minutes), "0:30" (minutes
// and seconds), "3+2" (Fischer, seconds), "5b3" (Bronstein), "5d3" (simple
// delay), "h1" (hourglass), "40/90,30+30" (40 moves in 90 minutes, then 30
// minutes, 30 s a move throughout); White's and Black's controls apart as
// "5|4". "" is no clock. nullopt for a text that is none of these.
std::optional<TimeControl> ParseTimeControl(std::string_view text);
std::string TimeControlText(const TimeControl& control);

// The PGN tag's form ("180+2", "40/5400+30:1800+30", "*60", "-"). `exact`
// says whether it states the whole control: delays and a control of its own
// for each side have no form there, and are written as the closest one.
std::string PgnTimeControl(const TimeControl& control, bool* exact = nullptr);
std::optional<TimeControl> ParsePgnTimeControl(std::string_view tag);

// The controls offered in the dialog, by their text form.
inline constexpr std::string_view TimeControlPresets[] = {"1", "3", "3+2", "5", "10+5", "15+10", "40/90,30+30"};

}  // namespace chess
