#include "Clock.h"

#include "CommentCommands.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace chess {

std::int64_t SteadyTimeSource::NowMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void Clock::SetTimeSource(const TimeSource& source)
{
    const std::int64_t spent = Elapsed();
    source_ = &source;
    turnStart_ = source_->NowMs();
    spent_ = spent;
}

void Clock::SetControl(const TimeControl& control)
{
    control_ = control;
    Set(control.white.StartMs(), control.black.StartMs(), 0, 0, true);
}

void Clock::Set(std::int64_t whiteMs, std::int64_t blackMs, int whiteMoves, int blackMoves, bool whiteToMove,
                std::int64_t spentMs)
{
    white_ = {whiteMs, whiteMoves};
    black_ = {blackMs, blackMoves};
    whiteToMove_ = whiteToMove;
    started_ = paused_ = false;
    spent_ = spentMs;
}

std::int64_t Clock::Elapsed() const
{
    return spent_ + (Running() ? source_->NowMs() - turnStart_ : 0);
}

void Clock::Start()
{
    if (!Active() || started_)
        return;
    // A turn set in the middle (Set with time spent) goes on from there.
    started_ = true;
    paused_ = false;
    turnStart_ = source_->NowMs();
}

void Clock::Stop()
{
    // The time of the turn so far stays on the face.
    if (!started_)
        return;
    const bool white = whiteToMove_;
    const std::int64_t left = std::max<std::int64_t>(0, Remaining(white));
    if (control_.Of(white).mode == ClockMode::Hourglass)
        Of(!white).ms = Remaining(!white);
    Of(white).ms = left;
    started_ = paused_ = false;
    spent_ = 0;
}

void Clock::Pause()
{
    if (!Running())
        return;
    spent_ = Elapsed();
    paused_ = true;
}

void Clock::Resume()
{
    if (!Paused())
        return;
    paused_ = false;
    turnStart_ = source_->NowMs();
}

std::int64_t Clock::Remaining(bool white) const
{
    const Side& side = Of(white);
    const SideControl& control = control_.Of(white);
    const std::int64_t elapsed = Elapsed();
    if (white != whiteToMove_)
        return control.mode == ClockMode::Hourglass ? side.ms + elapsed : side.ms;
    if (control.mode == ClockMode::Delay)
        return side.ms - std::max<std::int64_t>(0, elapsed - control.bonusMs);
    return side.ms - elapsed;
}

std::int64_t Clock::Moved()
{
    const bool white = whiteToMove_;
    Side& mover = Of(white);
    Side& other = Of(!white);
    const SideControl& control = control_.Of(white);
    if (!started_)
        Start();
    const std::int64_t elapsed = Elapsed();
    if (Remaining(white) <= 0) {
        Stop();
        mover.ms = 0;
        return 0;
    }
    switch (control.mode) {
    case ClockMode::SuddenDeath:
        mover.ms -= elapsed;
        break;
    case ClockMode::Increment:
        mover.ms += control.bonusMs - elapsed;
        break;
    case ClockMode::Bronstein:
        mover.ms -= elapsed - std::min(elapsed, control.bonusMs);
        break;
    case ClockMode::Delay:
        mover.ms -= std::max<std::int64_t>(0, elapsed - control.bonusMs);
        break;
    case ClockMode::Hourglass:
        mover.ms -= elapsed;
        other.ms += elapsed;
        break;
    }
    ++mover.moves;
    mover.ms += control.AddedAfter(mover.moves);
    whiteToMove_ = !white;
    spent_ = 0;
    turnStart_ = source_->NowMs();
    return mover.ms;
}

namespace {

// Milliseconds until a face showing `ms` changes, as `ms` falls.
std::int64_t UntilFallChanges(std::int64_t ms)
{
    if (ms <= 0)
        return 0;
    const std::int64_t unit = ms < TenthsBelowMs ? 100 : 1000;
    return ms % unit + 1;
}

// The same as `ms` grows.
std::int64_t UntilRiseChanges(std::int64_t ms)
{
    const std::int64_t unit = ms < TenthsBelowMs ? 100 : 1000;
    return unit - ((ms % unit) + unit) % unit;
}

}  // namespace

std::int64_t Clock::UntilDisplayChange() const
{
    if (!Running() || !Active())
        return -1;
    const bool white = whiteToMove_;
    const SideControl& control = control_.Of(white);
    std::int64_t wait = UntilFallChanges(Remaining(white));
    if (control.mode == ClockMode::Delay)
        wait += std::max<std::int64_t>(0, control.bonusMs - Elapsed());
    if (control.mode == ClockMode::Hourglass)
        wait = std::min(wait, UntilRiseChanges(Remaining(!white)));
    return wait;
}

std::string FaceText(std::int64_t ms)
{
    ms = std::max<std::int64_t>(0, ms);
    char text[32];
    const long long seconds = ms / 1000;
    if (ms < TenthsBelowMs)
        std::snprintf(text, sizeof text, "0:00:%02lld.%lld", seconds, static_cast<long long>(ms % 1000 / 100));
    else
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

std::string ClkText(std::int64_t ms)
{
    ms = std::max<std::int64_t>(0, ms);
    const long long seconds = ms / 1000;
    char text[32];
    if (ms < 60'000)
        std::snprintf(text, sizeof text, "0:00:%02lld.%lld", seconds, static_cast<long long>(ms % 1000 / 100));
    else
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

std::optional<std::int64_t> ParseClk(std::string_view text)
{
    // h:mm:ss, with a fraction of a second after a point.
    std::int64_t fields[3] = {};
    int count = 0;
    std::string_view rest = text;
    std::int64_t fraction = 0;
    if (const std::size_t point = rest.find('.'); point != std::string_view::npos) {
        std::string_view digits = rest.substr(point + 1);
        if (digits.empty() || digits.size() > 3)
            return std::nullopt;
        std::int64_t scale = 100;
        for (const char c : digits) {
            if (c < '0' || c > '9')
                return std::nullopt;
            fraction += (c - '0') * scale;
            scale /= 10;
        }
        rest = rest.substr(0, point);
    }
    while (count < 3) {
        const std::size_t colon = rest.find(':');
        const std::string_view field = rest.substr(0, colon);
        std::int64_t value = 0;
        const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
        if (field.empty() || error != std::errc() || end != field.data() + field.size() || value < 0)
            return std::nullopt;
        fields[count++] = value;
        if (colon == std::string_view::npos)
            break;
        rest = rest.substr(colon + 1);
    }
    if (count != 3 || fields[1] >= 60 || fields[2] >= 60 || fields[0] > 99)
        return std::nullopt;
    return ((fields[0] * 60 + fields[1]) * 60 + fields[2]) * 1000 + fraction;
}

std::string WithClk(std::string_view comment, std::int64_t ms)
{
    return WithCommentCommand(comment, "clk", ClkText(ms));
}

std::string ClockStateText(const Clock& clock)
{
    return (clock.WhiteToMove() ? "w " : "b ") + std::to_string(clock.AtTurnStart(true)) + ' '
         + std::to_string(clock.AtTurnStart(false)) + ' ' + std::to_string(clock.TurnSpent());
}

namespace {

// Digits only, as ClockStateText writes them: no sign, no blanks.
std::optional<std::int64_t> Milliseconds(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.front() == '-' || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

}  // namespace

bool SetFromState(Clock& clock, const History& history, std::size_t ply, std::string_view state)
{
    SetFromRecord(clock, history, ply);
    // Four fields, one blank apart.
    std::vector<std::string_view> fields;
    for (std::size_t at = 0; fields.size() <= 4;) {
        const std::size_t blank = state.find(' ', at);
        fields.push_back(state.substr(at, blank == std::string_view::npos ? blank : blank - at));
        if (blank == std::string_view::npos)
            break;
        at = blank + 1;
    }
    if (fields.size() != 4 || (fields[0] != "w" && fields[0] != "b"))
        return false;
    const bool white = fields[0] == "w";
    const auto whiteMs = Milliseconds(fields[1]), blackMs = Milliseconds(fields[2]), spent = Milliseconds(fields[3]);
    if (!whiteMs || !blackMs || !spent || white != clock.WhiteToMove())
        return false;
    // The "[%clk]" keeps whole seconds: the exact times lie within one of them.
    if (std::abs(*whiteMs - clock.AtTurnStart(true)) >= 1000 || std::abs(*blackMs - clock.AtTurnStart(false)) >= 1000)
        return false;
    const SideControl& control = clock.Control().Of(white);
    const std::int64_t mover = white ? *whiteMs : *blackMs;
    if (*spent > mover + (control.mode == ClockMode::Delay ? control.bonusMs : 0))
        return false;  // more than the side had: it would have lost on time
    clock.Set(*whiteMs, *blackMs, clock.MovesMade(true), clock.MovesMade(false), white, *spent);
    return true;
}

std::optional<std::int64_t> ClkOf(const HalfMove& move)
{
    const auto value = CommentCommand(move.note.comment, "clk");
    return value ? ParseClk(*value) : std::nullopt;
}

void SetFromRecord(Clock& clock, const History& history, std::size_t ply, const std::vector<std::int64_t>& exact)
{
    const TimeControl& control = clock.Control();
    std::int64_t times[2] = {control.black.StartMs(), control.white.StartMs()};
    int moves[2] = {0, 0};
    const std::int64_t sum = times[0] + times[1];
    const bool hourglass = control.white.mode == ClockMode::Hourglass;
    ply = std::min(ply, history.Size());
    for (std::size_t i = 0; i < ply; ++i) {
        const int mover = history.WhiteMoved(i) ? 1 : 0;
        ++moves[mover];
        std::optional<std::int64_t> ms = ClkOf(history[i]);
        if (ms && i < exact.size() && exact[i] >= 0 && ClkText(exact[i]) == ClkText(*ms))
            ms = exact[i];
        if (!ms)
            continue;
        times[mover] = *ms;
        if (hourglass)
            times[1 - mover] = sum - *ms;
    }
    clock.Set(times[1], times[0], moves[1], moves[0], history.StateAt(ply).WhiteToMove);
}

}  // namespace chess
