#pragma once
// What a player types instead of clicking: a move in the notation of the
// program's language or in English, or a short command that reads the board
// aloud. Only the reading is here; the window turns the answers into words.

#include "Notation.h"
#include "Rules.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chess {

struct TypedMove {
    enum Fault { None, Unreadable, Ambiguous, Illegal };
    Fault fault = Unreadable;
    Move move;
    // For Ambiguous: the moves the text fits, in SAN with the given letters.
    std::vector<std::string> candidates;
    bool ok() const { return fault == None; }
};

// Reads a move of the side to move written with `letters` ("Jf3", "Sxb5",
// "e8D" in Czech) or in English ("Nf3", "g1f3", "e7e8q", "0-0", "o-o"),
// in either case, with or without "x", "+" and "#". A small "b" (or "d" in
// Czech and German) is a pawn's file first, and a piece only when no pawn
// move fits; a capital one the other way round.
TypedMove ReadTypedMove(const GameState& state, std::string_view text, const PieceLetters& letters);

// The reading commands: "l" the last move, "c" whose move it is (and the
// clocks), "p N" where the pieces of a kind stand (a capital letter for
// white, a small one for black, in the language's or English letters, "P"
// for pawns), "s e" a file and "s 4" a rank, "b" the whole board.
struct BoardCommand {
    enum Kind { NotACommand, LastMove, Turn, Pieces, File, Rank, Board };
    Kind kind = NotACommand;
    int32_t piece = Empty;   // for Pieces: signed as on the board
    int line = 0;            // for File and Rank: 0..7
    bool malformed = false;  // a command letter with an argument that fits none
};
BoardCommand ReadBoardCommand(std::string_view text, const PieceLetters& letters);

// The squares (file * 8 + rank) holding `piece`, a1 b1 … h1 a2 …: rank by
// rank from white's side, as people read a position out.
std::vector<int> SquaresOf(const GameState& state, int32_t piece);

// A move as it is said rather than written.
struct SpokenMove {
    int32_t piece = Empty;  // the piece that moved, signed
    int fromFile = 0, fromRank = 0, toFile = 0, toRank = 0;
    bool capture = false;
    bool enPassant = false;
    int castling = 0;  // 1 short, 2 long
    int32_t promotion = Empty;
    bool check = false;
};
SpokenMove DescribeMove(const GameState& before, const Move& move, const GameState& after);

}  // namespace chess
