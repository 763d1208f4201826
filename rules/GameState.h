#pragma once
// The position and everything a game in progress needs, as one value.
// Nothing here is global: whoever owns a game passes its state by reference,
// so tests and tools can hold as many games as they like.

#include <array>
#include <cstdint>

namespace chess {

// Piece codes: the sign is the colour (positive white, negative black),
// the absolute value the kind. 0 is an empty square.
enum PieceKind : int32_t {
    Empty = 0,
    Pawn = 1,
    Rook = 2,
    Knight = 3,
    Bishop = 4,
    Queen = 5,
    King = 6,
};

// Board cells run file by file: index = file * 8 + rank, so a1 = 0, a8 = 7,
// e1 = 32, e8 = 39, h1 = 56, h8 = 63. Files 0..7 are a..h, ranks 0..7 are 1..8.
constexpr int CellIndex(int file, int rank)
{
    return file * 8 + rank;
}
constexpr bool OnBoard(int file, int rank)
{
    return file >= 0 && file < 8 && rank >= 0 && rank < 8;
}

// SelectedSquare packs a square as rank * 16 + file; -1 means nothing is picked up.
constexpr int32_t NoSelection = -1;
constexpr int32_t SelectionOf(int file, int rank)
{
    return rank * 16 + file;
}
constexpr int SelectionFile(int32_t sel)
{
    return sel & 15;
}
constexpr int SelectionRank(int32_t sel)
{
    return sel >> 4;
}

using BoardCells = std::array<int32_t, 64>;

struct GameState {
    BoardCells Board{};

    bool WhiteToMove = false;
    int32_t SelectedSquare = 0;

    // The move under way: the piece picked up and its origin and target.
    int32_t MovingPiece = 0;
    int32_t FromFile = 0, FromRank = 0;
    int32_t ToFile = 0, ToRank = 0;

    // Set after the opponent's move, by the check test of this king.
    bool WhiteInCheck = false;
    bool BlackInCheck = false;

    bool WhiteMayCastleShort = false;
    bool WhiteMayCastleLong = false;
    bool BlackMayCastleShort = false;
    bool BlackMayCastleLong = false;

    // The move just accepted is a castling; the turn sequence moves the rook.
    // One flag serves both colours: the sign of MovingPiece tells which.
    bool CastleShortPending = false;
    bool CastleLongPending = false;

    // A pawn of that colour has just made its two-square step on this file,
    // which makes it capturable en passant on the very next move only.
    bool WhiteDoubleStep = false;
    int32_t WhiteDoubleStepFile = 0;
    bool BlackDoubleStep = false;
    int32_t BlackDoubleStepFile = 0;

    // A mouse button has been pressed on the window since the last new game;
    // only then do "new game" and quitting ask for confirmation.
    bool BoardTouched = false;

    friend bool operator==(const GameState&, const GameState&) = default;

    int32_t& At(int file, int rank) { return Board[CellIndex(file, rank)]; }
    int32_t At(int file, int rank) const { return Board[CellIndex(file, rank)]; }
};

// Lays out the start position and resets the game state. Leaves MovingPiece,
// the move coordinates and the double-step files alone; draws nothing.
void SetUpNewGame(GameState& state);

}  // namespace chess
