#pragma once
// Positions written the way people jot them down: "Ke1 Ra1 ke8 pd5" puts a
// white king on e1, a white rook on a1, a black king on e8 and a black pawn on
// d5 (capital letters white). Used by the rules and the turn-sequence tests.

#include "GameState.h"
#include "Rules.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>
#include <string_view>

namespace chess::test {

struct Sq {
    int file, rank;
};

inline Sq ParseSquare(std::string_view name)
{
    if (name.size() != 2 || name[0] < 'a' || name[0] > 'h' || name[1] < '1' || name[1] > '8')
        throw std::invalid_argument("bad square " + std::string(name));
    return {name[0] - 'a', name[1] - '1'};
}

inline std::string SquareName(int file, int rank)
{
    return {char('a' + file), char('1' + rank)};
}

inline int32_t PieceCode(char letter)
{
    static constexpr std::string_view letters = "prnbqk";
    const auto at = letters.find(static_cast<char>(std::tolower(static_cast<unsigned char>(letter))));
    if (at == std::string_view::npos)
        throw std::invalid_argument(std::string("bad piece letter ") + letter);
    const int32_t kind = static_cast<int32_t>(at) + 1;  // p=1 r=2 n=3 b=4 q=5 k=6
    return std::isupper(static_cast<unsigned char>(letter)) ? kind : -kind;
}

// Pieces as "Ke1 ra8"; other words set what a FEN would: castling rights
// ("KQkq"), the side to move ("b") and the double-step record of the side
// that has just moved ("ep=d"). Check flags are worked out as the turn
// sequence would have left them; nothing is picked up.
inline GameState Place(std::string_view text)
{
    GameState s;
    SetUpNewGame(s);
    s.Board.fill(Empty);
    s.WhiteMayCastleShort = s.WhiteMayCastleLong = s.BlackMayCastleShort = s.BlackMayCastleLong = false;
    int epFile = -1;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t end = std::min(text.find(' ', i), text.size());
        const std::string_view word = text.substr(i, end - i);
        i = end + 1;
        if (word.empty())
            continue;
        if (word.size() == 3 && word[1] >= 'a' && word[1] <= 'h' && word[2] >= '1' && word[2] <= '8') {
            const Sq sq = ParseSquare(word.substr(1));
            s.At(sq.file, sq.rank) = PieceCode(word[0]);
        } else if (word == "b") {
            s.WhiteToMove = false;
        } else if (word.substr(0, 3) == "ep=" && word.size() == 4) {
            epFile = word[3] - 'a';
        } else {
            for (char c : word) {
                bool* right = c == 'K' ? &s.WhiteMayCastleShort
                            : c == 'Q' ? &s.WhiteMayCastleLong
                            : c == 'k' ? &s.BlackMayCastleShort
                            : c == 'q' ? &s.BlackMayCastleLong
                                       : nullptr;
                if (!right)
                    throw std::invalid_argument("bad word " + std::string(word));
                *right = true;
            }
        }
    }
    if (epFile >= 0) {
        (s.WhiteToMove ? s.BlackDoubleStep : s.WhiteDoubleStep) = true;
        (s.WhiteToMove ? s.BlackDoubleStepFile : s.WhiteDoubleStepFile) = epFile;
    }
    s.WhiteInCheck = WhiteKingCheckTest(s) != CheckVerdict::Neni;
    s.BlackInCheck = BlackKingCheckTest(s) != CheckVerdict::Neni;
    return s;
}

inline GameState StartPosition()
{
    GameState s;
    SetUpNewGame(s);
    return s;
}

// "start" or "start b" for the start position, anything else for Place.
inline GameState Position(std::string_view text)
{
    if (text.substr(0, 5) != "start")
        return Place(text);
    GameState s = StartPosition();
    s.WhiteToMove = text != "start b";
    return s;
}

struct MoveText {
    Sq from, to;
};
inline MoveText ParseMove(std::string_view move)  // "e2e4"
{
    return {ParseSquare(move.substr(0, 2)), ParseSquare(move.substr(2, 2))};
}

// The move test on the piece that stands on the origin.
inline bool Try(GameState& s, std::string_view move, SquareListener* listener = nullptr)
{
    const MoveText m = ParseMove(move);
    return TestMove(s, s.At(m.from.file, m.from.rank), m.from.file, m.from.rank, m.to.file, m.to.rank, listener);
}

inline bool Probe(const GameState& s, std::string_view move)
{
    const MoveText m = ParseMove(move);
    return ProbeMove(s, s.At(m.from.file, m.from.rank), m.from.file, m.from.rank, m.to.file, m.to.rank);
}

// Byte-for-byte equality of two states, padding excluded, with a readable diff.
inline std::string StateDiff(const GameState& a, const GameState& b)
{
    static_assert(sizeof(GameState) == 312, "a new GameState member must be compared here too");
    std::string d;
    for (int i = 0; i < 64; ++i)
        if (a.Board[i] != b.Board[i])
            d += SquareName(i / 8, i % 8) + ":" + std::to_string(a.Board[i]) + "->" + std::to_string(b.Board[i]) + " ";
#define BODLANY_FIELD(f) \
    if (a.f != b.f)      \
        d += #f " ";
    BODLANY_FIELD(WhiteToMove)
    BODLANY_FIELD(SelectedSquare)
    BODLANY_FIELD(MovingPiece)
    BODLANY_FIELD(FromFile)
    BODLANY_FIELD(FromRank)
    BODLANY_FIELD(ToFile)
    BODLANY_FIELD(ToRank)
    BODLANY_FIELD(WhiteInCheck)
    BODLANY_FIELD(BlackInCheck)
    BODLANY_FIELD(WhiteMayCastleShort)
    BODLANY_FIELD(WhiteMayCastleLong)
    BODLANY_FIELD(BlackMayCastleShort)
    BODLANY_FIELD(BlackMayCastleLong)
    BODLANY_FIELD(CastleShortPending)
    BODLANY_FIELD(CastleLongPending)
    BODLANY_FIELD(WhiteDoubleStep)
    BODLANY_FIELD(WhiteDoubleStepFile)
    BODLANY_FIELD(BlackDoubleStep)
    BODLANY_FIELD(BlackDoubleStepFile)
    BODLANY_FIELD(BoardTouched)
#undef BODLANY_FIELD
    return d;
}

}  // namespace chess::test
