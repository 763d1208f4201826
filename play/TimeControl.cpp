#include "TimeControl.h"

#include <charconv>

namespace chess {

namespace {

constexpr std::int64_t Second = 1000;
constexpr std::int64_t Minute = 60 * Second;
// Beyond these a value is a typing error, not a game anybody plays.
constexpr std::int64_t MostTime = 24 * 60 * Minute;
constexpr std::int64_t MostBonus = 10 * Minute;
constexpr int MostMoves = 500;

std::optional<std::int64_t> Number(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value;
}

// "90" minutes or "0:30" minutes and seconds.
std::optional<std::int64_t> Duration(std::string_view text)
{
    const std::size_t colon = text.find(':');
    const auto minutes = Number(text.substr(0, colon));
    if (!minutes || *minutes > MostTime / Minute)
        return std::nullopt;
    std::int64_t ms = *minutes * Minute;
    if (colon != std::string_view::npos) {
        const std::string_view secondsText = text.substr(colon + 1);
        const auto seconds = Number(secondsText);
        if (!seconds || *seconds >= 60 || secondsText.size() != 2)
            return std::nullopt;
        ms += *seconds * Second;
    }
    if (ms <= 0 || ms > MostTime)
        return std::nullopt;
    return ms;
}

std::string DurationText(std::int64_t ms)
{
    std::string text = std::to_string(ms / Minute);
    if (const std::int64_t seconds = ms % Minute / Second; seconds != 0)
        text += (seconds < 10 ? ":0" : ":") + std::to_string(seconds);
    return text;
}

// A period's "40/" in front of its time, taken off `period` into `p`; false
// for a count no control has. Settings and the PGN tag write it alike.
bool TakeMoveCount(std::string_view& period, TimePeriod& p)
{
    const std::size_t slash = period.find('/');
    if (slash == std::string_view::npos)
        return true;
    const auto moves = Number(period.substr(0, slash));
    if (!moves || *moves < 1 || *moves > MostMoves)
        return false;
    p.moves = int(*moves);
    period = period.substr(slash + 1);
    return true;
}

std::optional<SideControl> ParseSide(std::string_view text)
{
    SideControl side;
    if (!text.empty() && text.front() == 'h') {
        const auto ms = Duration(text.substr(1));
        if (!ms)
            return std::nullopt;
        side.mode = ClockMode::Hourglass;
        side.periods.push_back({0, *ms});
        return side;
    }
    const std::size_t mark = text.find_first_of("+bd");
    if (mark != std::string_view::npos) {
        const auto bonus = Number(text.substr(mark + 1));
        if (!bonus || *bonus * Second > MostBonus)
            return std::nullopt;
        side.bonusMs = *bonus * Second;
        side.mode = text[mark] == '+' ? ClockMode::Increment
                  : text[mark] == 'b' ? ClockMode::Bronstein
                                      : ClockMode::Delay;
        text = text.substr(0, mark);
    }
    while (true) {
        const std::size_t comma = text.find(',');
        std::string_view period = text.substr(0, comma);
        TimePeriod p;
        if (!TakeMoveCount(period, p))
            return std::nullopt;
        const auto ms = Duration(period);
        if (!ms)
            return std::nullopt;
        p.ms = *ms;
        // Only the last period may run to the end of the game.
        if (!side.periods.empty() && side.periods.back().moves == 0)
            return std::nullopt;
        side.periods.push_back(p);
        if (comma == std::string_view::npos)
            break;
        text = text.substr(comma + 1);
    }
    if (side.mode == ClockMode::Increment && side.bonusMs == 0)
        side.mode = ClockMode::SuddenDeath;
    return side;
}

std::string SideText(const SideControl& side)
{
    if (side.mode == ClockMode::Hourglass)
        return "h" + DurationText(side.StartMs());
    std::string text;
    for (const TimePeriod& p : side.periods) {
        if (!text.empty())
            text += ',';
        if (p.moves > 0)
            text += std::to_string(p.moves) + '/';
        text += DurationText(p.ms);
    }
    const std::string bonus = std::to_string(side.bonusMs / Second);
    switch (side.mode) {
    case ClockMode::Increment:
        return text + '+' + bonus;
    case ClockMode::Bronstein:
        return text + 'b' + bonus;
    case ClockMode::Delay:
        return text + 'd' + bonus;
    case ClockMode::SuddenDeath:
    case ClockMode::Hourglass:
        break;
    }
    return text;
}

std::string PgnSide(const SideControl& side)
{
    if (side.mode == ClockMode::Hourglass)
        return "*" + std::to_string(side.StartMs() / Second);
    std::string text;
    for (const TimePeriod& p : side.periods) {
        if (!text.empty())
            text += ':';
        if (p.moves > 0)
            text += std::to_string(p.moves) + '/';
        text += std::to_string(p.ms / Second);
        if (side.mode == ClockMode::Increment)
            text += '+' + std::to_string(side.bonusMs / Second);
    }
    return text;
}

}  // namespace

std::int64_t SideControl::AddedAfter(int moves) const
{
    int boundary = 0;
    for (std::size_t i = 0; i < periods.size(); ++i) {
        if (periods[i].moves == 0)
            return 0;
        boundary += periods[i].moves;
        if (moves == boundary)
            return i + 1 < periods.size() ? periods[i + 1].ms : periods[i].ms;
        if (moves < boundary)
            return 0;
    }
    // The last period repeats.
    const TimePeriod& last = periods.back();
    return (moves - boundary) % last.moves == 0 ? last.ms : 0;
}

int SideControl::PeriodAt(int moves) const
{
    int boundary = 0;
    for (std::size_t i = 0; i < periods.size(); ++i) {
        if (periods[i].moves == 0)
            return int(i);
        boundary += periods[i].moves;
        if (moves < boundary)
            return int(i);
    }
    return periods.empty() ? 0 : int(periods.size()) - 1 + (moves - boundary) / periods.back().moves + 1;
}

int SideControl::MovesToControl(int moves) const
{
    int boundary = 0;
    for (const TimePeriod& p : periods) {
        if (p.moves == 0)
            return 0;
        boundary += p.moves;
        if (moves < boundary)
            return boundary - moves;
    }
    if (periods.empty())
        return 0;
    const int every = periods.back().moves;
    return every - (moves - boundary) % every;
}

std::optional<TimeControl> ParseTimeControl(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty())
        return TimeControl{};
    const std::size_t bar = text.find('|');
    const auto white = ParseSide(text.substr(0, bar));
    if (!white)
        return std::nullopt;
    TimeControl control{*white, *white};
    if (bar != std::string_view::npos) {
        const auto black = ParseSide(text.substr(bar + 1));
        if (!black || (black->mode == ClockMode::Hourglass) != (white->mode == ClockMode::Hourglass))
            return std::nullopt;
        control.black = *black;
    }
    return control;
}

std::string TimeControlText(const TimeControl& control)
{
    if (control.None())
        return {};
    std::string text = SideText(control.white);
    if (control.black != control.white)
        text += '|' + SideText(control.black);
    return text;
}

std::string PgnTimeControl(const TimeControl& control, bool* exact)
{
    if (exact)
        *exact = control.None()
              || (control.white == control.black && control.white.mode != ClockMode::Bronstein
                  && control.white.mode != ClockMode::Delay);
    return control.None() ? "-" : PgnSide(control.white);
}

std::optional<TimeControl> ParsePgnTimeControl(std::string_view tag)
{
    if (tag == "-" || tag == "?" || tag.empty())
        return TimeControl{};
    SideControl side;
    if (tag.front() == '*') {
        const auto seconds = Number(tag.substr(1));
        if (!seconds || *seconds <= 0 || *seconds * Second > MostTime)
            return std::nullopt;
        side.mode = ClockMode::Hourglass;
        side.periods.push_back({0, *seconds * Second});
        return TimeControl{side, side};
    }
    while (!tag.empty()) {
        const std::size_t colon = tag.find(':');
        std::string_view period = tag.substr(0, colon);
        tag = colon == std::string_view::npos ? std::string_view() : tag.substr(colon + 1);
        TimePeriod p;
        if (!TakeMoveCount(period, p))
            return std::nullopt;
        if (const std::size_t plus = period.find('+'); plus != std::string_view::npos) {
            const auto bonus = Number(period.substr(plus + 1));
            if (!bonus || *bonus * Second > MostBonus)
                return std::nullopt;
            if (*bonus > 0) {
                side.mode = ClockMode::Increment;
                side.bonusMs = *bonus * Second;
            }
            period = period.substr(0, plus);
        }
        const auto seconds = Number(period);
        if (!seconds || *seconds <= 0 || *seconds * Second > MostTime)
            return std::nullopt;
        p.ms = *seconds * Second;
        if (!side.periods.empty() && side.periods.back().moves == 0)
            return std::nullopt;
        side.periods.push_back(p);
    }
    return TimeControl{side, side};
}

}  // namespace chess
