#pragma once
// A game set up from a FEN and played on by move texts, through the turn
// sequence's own steps, as the record tests need it.

#include "Fen.h"
#include "GameRecord.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>

namespace chess::test {

struct Played {
    explicit Played(std::string_view fen = StartFen)
    {
        const FenReading r = ReadFen(fen);
        if (!r.ok)
            throw std::invalid_argument("bad test FEN " + std::string(fen) + ": " + r.error);
        state = r.position.state;
        history.Reset(state, r.position.halfmoveClock, r.position.fullmoveNumber);
    }

    // Plays blank-separated move texts; returns "" or the first failure.
    std::string Play(std::string_view moves)
    {
        std::istringstream in{std::string(moves)};
        std::string text;
        while (in >> text) {
            const SanReading san = ReadSan(state, text);
            if (!san.ok)
                return text + ": " + san.error;
            if (!PlayRecordedMove(state, history, san.move))
                return text + ": refused";
        }
        return "";
    }

    GameState state;
    History history;
};

}  // namespace chess::test
