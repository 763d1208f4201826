#pragma once
// Commands embedded in PGN comments: "[%clk 0:02:58]", "[%eval 0.31]".
// Programs that read PGN take machine data from these and show the rest of
// the comment as prose; the record keeps both in the one comment string and
// these functions take the commands in and out of it. No Qt.

#include <optional>
#include <string>
#include <string_view>

namespace chess {

// The value of the first command called `name` in `comment` ("0:02:58" for
// "clk"), without the blanks around it; nullopt when there is none.
std::optional<std::string> CommentCommand(std::string_view comment, std::string_view name);

// `comment` with the command `name` set to `value`: the first such command
// is replaced where it stands, any further ones are dropped, and a new one
// goes before the prose. The result is a comment as CommentText makes one.
std::string WithCommentCommand(std::string_view comment, std::string_view name, std::string_view value);

// `comment` without any command called `name`.
std::string WithoutCommentCommand(std::string_view comment, std::string_view name);

// The prose of `comment` alone, every command taken out: what a player reads
// and edits. Commands the program does not know are kept by the writer, but
// not shown here.
std::string CommentProse(std::string_view comment);

// `prose` as the player edited it, with the commands of `old` kept in front.
std::string WithProse(std::string_view old, std::string_view prose);

}  // namespace chess
