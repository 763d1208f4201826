#pragma once
// Portable Game Notation: reading the games of a file into tag pairs and
// move texts, and writing a game in the export format.
// Reading here is syntax only; the moves are checked by the rules when the
// game is replayed.

#include "History.h"

#include <string>
#include <string_view>
#include <vector>

namespace chess {

struct PgnTag {
    std::string name;
    std::string value;  // the bytes of the file, escapes resolved
};

// The value of the tag `name` among `tags`, or "" when there is none.
std::string TagValue(const std::vector<PgnTag>& tags, std::string_view name);

struct PgnGame {
    std::vector<PgnTag> tags;
    std::vector<std::string> moves;  // the main line only, as written, without
                                     // move numbers, annotations and "e.p."
    std::string result = "*";        // the result token at the end

    std::string Tag(std::string_view name) const { return TagValue(tags, name); }
};

// Every game of the file's text, in order (a byte-order mark is skipped;
// values are left in their bytes).
std::vector<PgnGame> ParsePgn(std::string_view text);

// Today's date as PGN writes it: "2026.12.08".
std::string PgnToday();

// The Seven Tag Roster in order, then the remaining tags; SetUp and FEN when
// the record did not start from the normal position. `tags` may be empty:
// the roster's defaults ("Bodlany šachy game", "?", today, "-", "?", "?",
// the result) fill what is missing. Lines of at most 80 characters.
std::string WritePgn(const History& history, const std::vector<PgnTag>& tags, std::string_view result);

// The moves only, up to the current half-move.
std::string PgnMoveSection(const History& history, std::string_view result);

}  // namespace chess
