#pragma once
// Games from a record replayed: every move is judged by the move test and
// carried out by the same steps as a player's move, so a replayed game and
// its record can never disagree.

#include "History.h"
#include "Pgn.h"

#include <string>
#include <string_view>
#include <vector>

namespace chess {

// One game of a PGN file, replayed.
struct RecordedGame {
    int number = 1;            // its place in the file, from 1
    std::vector<PgnTag> tags;  // values as UTF-8 (8-bit values read as code page 1250)
    std::string result = "*";  // the result token of the file
    History history;           // the moves replayed, up to the first bad one
    bool ok = true;
    std::string error;   // game N, move M "TEXT": reason
    PgnProblem problem;  // the same in parts, for the player's language

    std::string Tag(std::string_view name) const { return TagValue(tags, name); }
};

// Carries out `move` in `state` as after a player's move, and records it in
// `history`. Refuses (false, nothing changed) a move
// the rules do not allow. Draws do not stop it: a record is what was played.
bool PlayRecordedMove(GameState& state, History& history, const Move& move);

// One game of a file (its `number` from 1, for the error text), replayed.
RecordedGame ReplayPgnGame(const PgnGame& pgn, int number);

// Every game of a PGN file's bytes (UTF-8 with or without byte-order mark;
// tag values in other bytes are read as code page 1250). A game with a move
// that cannot be read or played is kept up to that move and reported; the
// games after it are read on.
std::vector<RecordedGame> ReadPgnGames(std::string_view bytes);

}  // namespace chess
