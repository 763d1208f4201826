#pragma once
// One game as a PGN file holds it, before its moves are replayed: its tag
// pairs, the move texts of its main line and their annotations, its result.

#include "History.h"

#include <cstddef>
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
    std::vector<std::string> moves;  // the main line only, as written ("Qh5??"), without
                                     // move numbers, "e.p." and annotations apart
    std::string result = "*";        // the result token at the end
    std::string comment;             // the comments before the first move
    // The annotations after moves[i], for as many moves as have any (the
    // rest have none; Note() answers for every move).
    std::vector<Annotation> annotations;

    std::string Tag(std::string_view name) const { return TagValue(tags, name); }
    const Annotation& Note(std::size_t i) const;
};

}  // namespace chess
