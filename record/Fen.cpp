#include "Fen.h"

#include "Rules.h"

#include <cctype>
#include <cstdlib>
#include <vector>

namespace chess {

namespace {

constexpr std::string_view kLetters = "PRNBQK";  // by piece kind, from Pawn

FenReading Fail(std::string reason)
{
    FenReading r;
    r.error = std::move(reason);
    return r;
}

std::vector<std::string_view> Fields(std::string_view fen)
{
    std::vector<std::string_view> fields;
    for (std::size_t i = 0; i < fen.size();) {
        while (i < fen.size() && std::isspace(static_cast<unsigned char>(fen[i])))
            ++i;
        std::size_t j = i;
        while (j < fen.size() && !std::isspace(static_cast<unsigned char>(fen[j])))
            ++j;
        if (j > i)
            fields.push_back(fen.substr(i, j - i));
        i = j;
    }
    return fields;
}

// A whole number of decimal digits, however many, held at MaxFenNumber.
bool ReadNumber(std::string_view text, int& value)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    value = 0;
    for (char digit : text) {
        value = value * 10 + (digit - '0');
        if (value >= MaxFenNumber) {
            value = MaxFenNumber;
            break;
        }
    }
    return true;
}

}  // namespace

FenReading ReadFen(std::string_view fen)
{
    const std::vector<std::string_view> fields = Fields(fen);
    if (fields.size() != 4 && fields.size() != 6)
        return Fail("a FEN has six fields (or four without the clocks), this one has " + std::to_string(fields.size()));

    FenReading r;
    GameState& s = r.position.state;
    SetUpNewGame(s);
    s.Board.fill(Empty);

    int rank = 7, file = 0, whiteKings = 0, blackKings = 0;
    for (char c : fields[0]) {
        if (c == '/') {
            if (file != 8 || rank == 0)
                return Fail("the board must have 8 ranks of 8 squares");
            --rank;
            file = 0;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
            if (file > 8)
                return Fail("rank " + std::to_string(rank + 1) + " has more than 8 squares");
        } else {
            const auto kind = kLetters.find(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
            if (kind == std::string_view::npos)
                return Fail(std::string("'") + c + "' is no piece letter");
            if (file >= 8)
                return Fail("rank " + std::to_string(rank + 1) + " has more than 8 squares");
            const int32_t piece = static_cast<int32_t>(kind) + 1;
            const bool white = std::isupper(static_cast<unsigned char>(c));
            if (piece == Pawn && (rank == 0 || rank == 7))
                return Fail("a pawn stands on the first or last rank");
            if (piece == King)
                ++(white ? whiteKings : blackKings);
            s.At(file++, rank) = white ? piece : -piece;
        }
    }
    if (rank != 0 || file != 8)
        return Fail("the board must have 8 ranks of 8 squares");
    if (whiteKings != 1 || blackKings != 1)
        return Fail("each side must have exactly one king");

    if (fields[1] != "w" && fields[1] != "b")
        return Fail("the side to move must be 'w' or 'b'");
    s.WhiteToMove = fields[1] == "w";

    s.WhiteMayCastleShort = s.WhiteMayCastleLong = s.BlackMayCastleShort = s.BlackMayCastleLong = false;
    if (fields[2] != "-") {
        for (char c : fields[2]) {
            bool* right = c == 'K' ? &s.WhiteMayCastleShort
                        : c == 'Q' ? &s.WhiteMayCastleLong
                        : c == 'k' ? &s.BlackMayCastleShort
                        : c == 'q' ? &s.BlackMayCastleLong
                                   : nullptr;
            if (!right || *right)
                return Fail("the castling field must be '-' or letters of KQkq, each once");
            *right = true;
        }
    }
    auto athome = [&](bool right, int rookFile, int rank, int32_t sign) {
        return !right || (s.At(4, rank) == sign * King && s.At(rookFile, rank) == sign * Rook);
    };
    if (!athome(s.WhiteMayCastleShort, 7, 0, 1) || !athome(s.WhiteMayCastleLong, 0, 0, 1)
        || !athome(s.BlackMayCastleShort, 7, 7, -1) || !athome(s.BlackMayCastleLong, 0, 7, -1))
        return Fail("a castling right needs the king and that rook on their first squares");

    if (fields[3] != "-") {
        const std::string_view ep = fields[3];
        const char rankDigit = s.WhiteToMove ? '6' : '3';
        if (ep.size() != 2 || ep[0] < 'a' || ep[0] > 'h' || ep[1] != rankDigit)
            return Fail(std::string("the en passant field must be '-' or a square on rank ") + rankDigit);
        const int epFile = ep[0] - 'a';
        // The pawn that has just stepped twice stands in front of the square,
        // and the two squares it crossed are empty.
        const int pawnRank = s.WhiteToMove ? 4 : 3, passed = s.WhiteToMove ? 5 : 2, origin = s.WhiteToMove ? 6 : 1;
        if (s.At(epFile, pawnRank) != (s.WhiteToMove ? -Pawn : Pawn) || s.At(epFile, passed) != Empty
            || s.At(epFile, origin) != Empty)
            return Fail(std::string("no pawn can just have stepped past ") + std::string(ep));
        if (s.WhiteToMove) {
            s.BlackDoubleStep = true;
            s.BlackDoubleStepFile = epFile;
        } else {
            s.WhiteDoubleStep = true;
            s.WhiteDoubleStepFile = epFile;
        }
    }

    if (fields.size() == 6) {
        if (!ReadNumber(fields[4], r.position.halfmoveClock) || !ReadNumber(fields[5], r.position.fullmoveNumber))
            return Fail("the move clocks must be whole numbers");
        // Some programs count the moves from 0; the first move is move 1.
        if (r.position.fullmoveNumber == 0)
            r.position.fullmoveNumber = 1;
    }

    s.WhiteInCheck = WhiteKingCheckTest(s) != CheckVerdict::Neni;
    s.BlackInCheck = BlackKingCheckTest(s) != CheckVerdict::Neni;
    if (s.WhiteToMove ? s.BlackInCheck : s.WhiteInCheck)
        return Fail("the side not to move is in check");
    // Neither can kings standing side by side: each would be in check.
    for (int i = 0; i < 64; ++i) {
        if (s.Board[i] != King)
            continue;
        for (int df = -1; df <= 1; ++df)
            for (int dr = -1; dr <= 1; ++dr)
                if (OnBoard(i / 8 + df, i % 8 + dr) && s.At(i / 8 + df, i % 8 + dr) == -King)
                    return Fail("the kings stand next to each other");
    }

    r.ok = true;
    return r;
}

std::string WriteFen(const GameState& s, int halfmoveClock, int fullmoveNumber)
{
    std::string fen;
    for (int rank = 7; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            const int32_t piece = s.At(file, rank);
            if (piece == Empty) {
                ++empty;
                continue;
            }
            if (empty)
                fen += char('0' + empty);
            empty = 0;
            const char letter = kLetters[std::abs(piece) - 1];
            fen += piece > 0 ? letter : static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
        }
        if (empty)
            fen += char('0' + empty);
        if (rank)
            fen += '/';
    }
    fen += s.WhiteToMove ? " w " : " b ";
    const std::size_t castling = fen.size();
    if (s.WhiteMayCastleShort)
        fen += 'K';
    if (s.WhiteMayCastleLong)
        fen += 'Q';
    if (s.BlackMayCastleShort)
        fen += 'k';
    if (s.BlackMayCastleLong)
        fen += 'q';
    if (fen.size() == castling)
        fen += '-';
    fen += ' ';
    if (s.WhiteToMove && s.BlackDoubleStep)
        fen += std::string{char('a' + s.BlackDoubleStepFile), '6'};
    else if (!s.WhiteToMove && s.WhiteDoubleStep)
        fen += std::string{char('a' + s.WhiteDoubleStepFile), '3'};
    else
        fen += '-';
    fen += ' ' + std::to_string(halfmoveClock) + ' ' + std::to_string(fullmoveNumber);
    return fen;
}

}  // namespace chess
