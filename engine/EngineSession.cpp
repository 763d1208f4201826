#include "EngineSession.h"

#include <utility>

namespace chess {

EngineSession::EngineSession(Send send) : send_(std::move(send)) {}

void EngineSession::Started()
{
    phase_ = Phase::Greeting;
    multipv_ = 1;
    name_.clear();
    send_("uci");
}

void EngineSession::Ended()
{
    phase_ = Phase::Off;
    pending_.reset();
    running_ = 0;
}

std::uint64_t EngineSession::Request(Search search)
{
    pending_ = std::move(search);
    pendingId_ = next_++;
    switch (phase_) {
    case Phase::Idle:
        Launch();
        break;
    case Phase::Searching:
        // Its bestmove starts the one waiting; until then its lines go
        // nowhere.
        phase_ = Phase::Stopping;
        send_("stop");
        break;
    case Phase::Off:
    case Phase::Greeting:
    case Phase::Readying:
    case Phase::Stopping:
        break;  // it waits, replacing whatever waited before
    }
    return pendingId_;
}

void EngineSession::Cancel()
{
    pending_.reset();
    if (phase_ == Phase::Searching) {
        phase_ = Phase::Stopping;
        send_("stop");
    }
}

void EngineSession::Launch()
{
    Search search = std::move(*pending_);
    pending_.reset();
    running_ = pendingId_;
    runningLimit_ = search.limit;
    if (search.lines != multipv_) {
        // The engine takes options only between searches, as now.
        multipv_ = search.lines;
        send_("setoption name MultiPV value " + std::to_string(multipv_));
    }
    phase_ = Phase::Searching;
    send_(search.position);
    send_(uci::GoCommand(search.limit));
}

EngineSession::Event EngineSession::Receive(std::string_view line)
{
    Event event;
    switch (phase_) {
    case Phase::Off:
    case Phase::Idle:
        break;
    case Phase::Greeting:
        if (auto name = uci::ParseName(line)) {
            name_ = std::move(*name);
        } else if (uci::IsAnswer(line, "uciok")) {
            phase_ = Phase::Readying;
            send_("isready");
        }
        break;
    case Phase::Readying:
        if (uci::IsAnswer(line, "readyok")) {
            phase_ = Phase::Idle;
            event.kind = Event::Ready;
            if (pending_)
                Launch();
        }
        break;
    case Phase::Searching:
        if (auto info = uci::ParseInfo(line)) {
            event.kind = Event::Line;
            event.search = running_;
            event.info = std::move(*info);
        } else if (auto best = uci::ParseBestMove(line)) {
            event.kind = Event::BestMove;
            event.search = running_;
            event.best = std::move(*best);
            phase_ = Phase::Idle;
            running_ = 0;
            if (pending_)
                Launch();
        }
        break;
    case Phase::Stopping:
        // Everything up to the bestmove belongs to the search stopped.
        if (uci::ParseBestMove(line)) {
            phase_ = Phase::Idle;
            running_ = 0;
            if (pending_)
                Launch();
        }
        break;
    }
    return event;
}

std::optional<int> EngineSession::AnswerDue() const
{
    switch (phase_) {
    case Phase::Greeting:
    case Phase::Readying:
    case Phase::Stopping:
        return AnswerMs;
    case Phase::Searching:
        if (runningLimit_.depth <= 0 && runningLimit_.milliseconds > 0)
            return runningLimit_.milliseconds + AnswerMs;
        return std::nullopt;
    case Phase::Off:
    case Phase::Idle:
        break;
    }
    return std::nullopt;
}

}  // namespace chess
