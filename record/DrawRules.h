#pragma once
// The draw rules of the FIDE Laws of Chess (articles 5.2 and 9): positions
// compared for repetition, and material with which no one can mate.

#include "GameState.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace chess {

// What makes two positions the same for the repetition rules: the pieces,
// the side to move, the castling rights, and an en passant capture only
// when one can actually be made.
struct PositionKey {
    std::array<int8_t, 64> board{};
    uint8_t flags = 0;  // side to move and the four castling rights
    int8_t enPassantFile = -1;
    friend bool operator==(const PositionKey&, const PositionKey&) = default;
};

PositionKey KeyOf(const GameState& state);

struct PositionKeyHash {
    std::size_t operator()(const PositionKey& key) const noexcept;
};

// A dead position by material alone: king against king; king and one bishop
// or one knight against a bare king; kings and bishops only, all bishops on
// squares of one colour.
bool InsufficientMaterial(const GameState& state);

// How a game has ended, or may be ended by the player to move.
enum class GameEnd {
    None,
    WhiteWins,  // black is mated
    BlackWins,  // white is mated
    Stalemate,
    DeadPosition,
    FivefoldRepetition,
    SeventyFiveMoves,
    ThreefoldClaimed,   // claimed by the player to move
    FiftyMovesClaimed,  // claimed by the player to move
    // A result no rule brought about: a resignation, a draw agreed, a win on
    // time, or simply the result a file gives its game.
    WhiteWinsDeclared,
    BlackWinsDeclared,
    DrawDeclared,
};

bool IsDraw(GameEnd end);
bool IsDeclared(GameEnd end);
// An end that the rules of play know nothing of (a draw rule, a claim, a
// declared result): after one, a move is refused until the game is taken
// back or started anew. Mate and stalemate leave no move to refuse.
bool RefusesMoves(GameEnd end);
// The same as RefusesMoves, by its older name; a declared win is no draw,
// but the board refuses moves after it all the same.
bool EndedByDrawRule(GameEnd end);
// "1-0", "0-1", "1/2-1/2", or "*" for a game still going.
const char* ResultText(GameEnd end);
// The declared end for a result token ("1-0", "0-1", "1/2-1/2"), or None.
GameEnd DeclaredEnd(std::string_view result);

// Half-moves without capture or pawn move for the 50-move claim and for the
// 75-move end; a position's occurrences for the claim and the end.
inline constexpr int FiftyMoveClaimPlies = 100;
inline constexpr int SeventyFiveMovePlies = 150;
inline constexpr int ThreefoldCount = 3;
inline constexpr int FivefoldCount = 5;

}  // namespace chess
