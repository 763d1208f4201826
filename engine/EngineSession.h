#pragma once
// The conversation with one engine process, as a state machine that knows
// nothing of processes or timers: the client hands it every line the
// engine writes, and it says through `send` what to write back. It keeps
// three promises. A new position stops the running search ("stop") and
// waits for its "bestmove" before the next "position" and "go"; at most one
// search waits meanwhile, the newest asked for; and no line of a search
// that was stopped or replaced is ever passed on, so nothing is shown for a
// position no longer on the board. No Qt.

#include "Uci.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace chess {

class EngineSession {
public:
    using Send = std::function<void(const std::string& line)>;
    explicit EngineSession(Send send);

    enum class Phase {
        Off,        // no process
        Greeting,   // "uci" sent, waiting for "uciok"
        Readying,   // "isready" sent, waiting for "readyok"
        Idle,       // ready, nothing asked
        Searching,  // "go" sent, its lines count
        Stopping,   // "stop" sent, waiting for the "bestmove" that ends it
    };
    Phase State() const { return phase_; }

    // The process has started: greets it.
    void Started();
    // The process is gone (crashed, killed, closed): whatever was asked is
    // dropped, and the next search needs a new process.
    void Ended();

    struct Search {
        std::string position;  // "position startpos moves ..."
        uci::Limit limit;
        int lines = 1;  // how many best lines (MultiPV)
    };
    // Asks for a search and answers its number; any search still waiting
    // is dropped, and the running one is stopped.
    std::uint64_t Request(Search search);
    // Stops the running search and drops the waiting one.
    void Cancel();

    // What a line from the engine meant to the one who asked.
    struct Event {
        enum Kind {
            Nothing,   // no news, or the line of a search nobody waits for
            Ready,     // the engine answered the greeting; Name() is known
            Line,      // `info` of search `search`
            BestMove,  // search `search` has ended with `best` ("" for none)
        };
        Kind kind = Nothing;
        std::uint64_t search = 0;
        uci::Info info;
        std::string best;
    };
    Event Receive(std::string_view line);

    // How long the answer now awaited may take, in milliseconds, before the
    // engine counts as hung; nullopt while nothing is due (idle, or a search
    // to a depth, which takes as long as it takes).
    std::optional<int> AnswerDue() const;
    // The search whose lines are passed on now (0: none), and whether
    // another waits to start.
    std::uint64_t Running() const { return phase_ == Phase::Searching ? running_ : 0; }
    bool Waiting() const { return pending_.has_value(); }
    const std::string& Name() const { return name_; }

    // How long the greeting and "isready" may take, and a "stop" too.
    static constexpr int AnswerMs = 5000;

private:
    void Launch();

    Send send_;
    Phase phase_ = Phase::Off;
    std::optional<Search> pending_;
    std::uint64_t pendingId_ = 0;
    std::uint64_t running_ = 0;
    uci::Limit runningLimit_;
    std::uint64_t next_ = 1;
    int multipv_ = 1;
    std::string name_;
};

}  // namespace chess
