#include "DrawRules.h"

#include "Rules.h"

#include <cstdlib>
#include <cstring>

namespace chess {

PositionKey KeyOf(const GameState& s)
{
    PositionKey key;
    for (int i = 0; i < 64; ++i)
        key.board[i] = static_cast<int8_t>(s.Board[i]);
    key.flags = static_cast<uint8_t>(s.WhiteToMove | s.WhiteMayCastleShort << 1 | s.WhiteMayCastleLong << 2
                                     | s.BlackMayCastleShort << 3 | s.BlackMayCastleLong << 4);
    // The right to take en passant makes a position different only when a
    // pawn can actually use it.
    const bool stepped = s.WhiteToMove ? s.BlackDoubleStep : s.WhiteDoubleStep;
    if (stepped) {
        const int file = s.WhiteToMove ? s.BlackDoubleStepFile : s.WhiteDoubleStepFile;
        const int fromRank = s.WhiteToMove ? 4 : 3, toRank = s.WhiteToMove ? 5 : 2;
        const int32_t pawn = s.WhiteToMove ? Pawn : -Pawn;
        for (int f : {file - 1, file + 1}) {
            if (OnBoard(f, fromRank) && s.At(f, fromRank) == pawn && ProbeMove(s, pawn, f, fromRank, file, toRank))
                key.enPassantFile = static_cast<int8_t>(file);
        }
    }
    return key;
}

std::size_t PositionKeyHash::operator()(const PositionKey& key) const noexcept
{
    // The board as eight words, each mixed by a multiply; cheap, and the
    // squares that differ between two positions reach every bit.
    std::uint64_t h = key.flags | std::uint64_t(std::uint8_t(key.enPassantFile)) << 8;
    for (std::size_t i = 0; i < key.board.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, key.board.data() + i, sizeof word);
        h = (h ^ word) * 0x9E3779B97F4A7C15ull;
        h ^= h >> 29;
    }
    return static_cast<std::size_t>(h);
}

bool InsufficientMaterial(const GameState& s)
{
    int knights = 0, bishops = 0;
    bool bishopOnLight = false, bishopOnDark = false;
    for (int i = 0; i < 64; ++i) {
        switch (std::abs(s.Board[i])) {
        case Empty:
        case King:
            break;
        case Knight:
            ++knights;
            break;
        case Bishop:
            ++bishops;
            // a1 (file 0, rank 0) is dark.
            ((i / 8 + i % 8) % 2 ? bishopOnLight : bishopOnDark) = true;
            break;
        default:
            return false;  // a pawn, rook or queen can still mate
        }
    }
    if (knights == 0)
        return !(bishopOnLight && bishopOnDark);
    return knights == 1 && bishops == 0;
}

bool IsDraw(GameEnd end)
{
    return end != GameEnd::None && end != GameEnd::WhiteWins && end != GameEnd::BlackWins
        && end != GameEnd::WhiteWinsDeclared && end != GameEnd::BlackWinsDeclared;
}

bool IsDeclared(GameEnd end)
{
    return end == GameEnd::WhiteWinsDeclared || end == GameEnd::BlackWinsDeclared || end == GameEnd::DrawDeclared;
}

bool RefusesMoves(GameEnd end)
{
    return (IsDraw(end) && end != GameEnd::Stalemate) || IsDeclared(end);
}

bool EndedByDrawRule(GameEnd end)
{
    return RefusesMoves(end);
}

GameEnd DeclaredEnd(std::string_view result)
{
    return result == "1-0"     ? GameEnd::WhiteWinsDeclared
         : result == "0-1"     ? GameEnd::BlackWinsDeclared
         : result == "1/2-1/2" ? GameEnd::DrawDeclared
                               : GameEnd::None;
}

const char* ResultText(GameEnd end)
{
    switch (end) {
    case GameEnd::None:
        return "*";
    case GameEnd::WhiteWins:
    case GameEnd::WhiteWinsDeclared:
        return "1-0";
    case GameEnd::BlackWins:
    case GameEnd::BlackWinsDeclared:
        return "0-1";
    default:
        return "1/2-1/2";
    }
}

}  // namespace chess
