#pragma once
// Portable Game Notation: reading the games of a file into tag pairs, move
// texts and annotations, and writing a game in the export format.
// Reading here is syntax only; the moves are checked by the rules when the
// game is replayed. The one exception decides what is a game at all: a
// stretch of text without a tag pair counts as a game only when its first
// move is a legal first move, so that prose, binary bytes or a bare result
// token ("*" alone, as some programs leave between games) give no games.

#include "History.h"
#include "Notation.h"
#include "PgnGame.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chess {

// One line of a list of the games in a file: what a list shows, without the
// moves. `offset` finds the game again (PgnGameAt).
struct PgnListing {
    int number = 0;     // from 1
    std::string white;  // the tag values, in the file's bytes
    std::string black;
    std::string result;      // the result token
    std::size_t moves = 0;   // half-moves of the main line
    std::size_t offset = 0;  // where the game's text begins
};

// The games of a text one at a time, so that a file of any size is read in
// the memory of its largest game. A text held whole is read in place; a
// stream (a file read piece by piece) through `Source`, which puts up to
// `size` bytes at `to` and answers how many, 0 at the end (or on an error,
// which the source itself remembers).
class PgnReader {
public:
    using Source = std::function<std::size_t(char* to, std::size_t size)>;

    // From `offset` on: 0, or where a game begins (PgnListing::offset).
    explicit PgnReader(std::string_view text, std::size_t offset = 0);
    explicit PgnReader(Source source);

    // The next game, or false after the last.
    bool Next(PgnGame& game);
    // The next game as a list shows it; quicker, and keeps no moves.
    bool Skim(PgnListing& listing);
    // How many games have been read, and where the last one began (in bytes
    // from the start of the text or stream).
    int Count() const { return count_; }
    std::size_t GameOffset() const { return offset_; }

private:
    bool Read(PgnGame& game, bool skim, std::size_t& moves);
    void Fill();

    std::string_view text_;
    Source source_;
    std::string buffer_;  // for a stream: the text from base_ on that is still needed
    std::size_t base_ = 0;
    std::size_t pos_ = 0;        // in text_ or buffer_
    bool complete_ = true;       // the whole of the text is at hand
    bool begun_ = false;         // the byte-order mark has been looked for
    std::size_t textBegin_ = 0;  // after a byte-order mark
    bool junk_ = false;          // pos_ is inside a stretch that is no game
    int count_ = 0;
    std::size_t offset_ = 0;
};

// Every game of the text, in order (a byte-order mark is skipped; values are
// left in their bytes).
std::vector<PgnGame> ParsePgn(std::string_view text);
// Every game of the text as a list shows it.
std::vector<PgnListing> ListPgnGames(std::string_view text);
// The game that begins at `offset` (from ListPgnGames), or game `number`
// (from 1) found by reading the text from its start.
std::optional<PgnGame> PgnGameAt(std::string_view text, std::size_t offset);
std::optional<PgnGame> ParsePgnGame(std::string_view text, int number);

// Why a game could not be replayed, in parts, so that the window can say it
// in the player's language; Line() is the English line pgn-replay prints.
enum class PgnFault {
    None,
    UnreadableMove,  // the text is no move at all
    AmbiguousMove,   // more than one piece can make it
    IllegalMove,     // the rules do not allow it
    BadFen,          // the FEN tag holds no position a game can start from
};

// Move texts and FENs in a report are cut to these many characters (a
// file's "move" may be a whole paragraph), ending in "...". A FEN is given
// room enough for any real one, since its reason may point at its end.
inline constexpr std::size_t MaxReportedMoveText = 40;
inline constexpr std::size_t MaxReportedFenText = 100;

struct PgnProblem {
    PgnFault fault = PgnFault::None;
    int game = 0;        // from 1
    int move = 0;        // the move number, 0 for a FEN
    std::string text;    // the move as written, or the FEN, cut
    std::string reason;  // in English, as the rules give it

    // game N, move M "TEXT": reason   or   game N, FEN "TEXT": reason
    std::string Line() const;
};

// The move `text` of game `game`, at move number `move`, that ReadSan could
// not read (`reading.ok` false) or that the rules refused (`reading.ok`).
PgnProblem MoveProblem(int game, int move, std::string_view text, const SanReading& reading);
PgnProblem FenProblem(int game, std::string_view fen, std::string_view reason);

// `text` cut to at most `maxChars` characters of UTF-8 (never inside one),
// the last three of them "..." when anything was cut.
std::string CutText(std::string_view text, std::size_t maxChars);

// Gives a game replayed from `pgn` what the moves alone do not carry: the
// opening comment and each replayed half-move's annotations, and, when every
// move was replayed without the rules ending the game, the result as a
// declared end at the last half-move.
void ApplyPgnNotes(const PgnGame& pgn, History& history);

// Today's date as PGN writes it: "2026.12.08".
std::string PgnToday();

// The Seven Tag Roster in order, then the remaining tags in the ASCII order
// of their names, SetUp and FEN among them when the record did not start
// from the normal position. `tags` may be empty: the roster's defaults ("?",
// "?", today, "-", "?", "?", the result) fill what is missing. Lines of at
// most 79 characters.
std::string WritePgn(const History& history, const std::vector<PgnTag>& tags, std::string_view result);

// The moves only, up to the current half-move, with their annotations.
std::string PgnMoveSection(const History& history, std::string_view result);

}  // namespace chess
