#include "Fen.h"

#include "PositionCheck.h"
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

FenReading Read(std::string_view fen, bool judge)
{
    const std::vector<std::string_view> fields = Fields(fen);
    if (fields.size() != 4 && fields.size() != 6)
        return Fail("a FEN has six fields (or four without the clocks), this one has " + std::to_string(fields.size()));

    FenReading r;
    GameState& s = r.position.state;
    SetUpNewGame(s);
    s.Board.fill(Empty);

    int rank = 7, file = 0;
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
            s.At(file++, rank) = white ? piece : -piece;
        }
    }
    if (rank != 0 || file != 8)
        return Fail("the board must have 8 ranks of 8 squares");

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
    if (fields[3] != "-") {
        const std::string_view ep = fields[3];
        const char rankDigit = s.WhiteToMove ? '6' : '3';
        if (ep.size() != 2 || ep[0] < 'a' || ep[0] > 'h' || ep[1] != rankDigit)
            return Fail(std::string("the en passant field must be '-' or a square on rank ") + rankDigit);
        // Whether a pawn can just have stepped past it is the position's
        // check below. Other programs write the square after every double
        // step, also where no pawn can take.
        const int epFile = ep[0] - 'a';
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

    // A position the board could not hold in a game is refused with the
    // same judgement a set-up gets.
    if (const std::vector<PositionProblem> problems = CheckPosition(s); judge && !problems.empty())
        return Fail(ProblemText(problems.front()));
    s.WhiteInCheck = WhiteKingCheckTest(s) != CheckVerdict::Neni;
    s.BlackInCheck = BlackKingCheckTest(s) != CheckVerdict::Neni;

    r.ok = true;
    return r;
}

}  // namespace

FenReading ReadFen(std::string_view fen)
{
    return Read(fen, true);
}

FenReading ReadFenUnjudged(std::string_view fen)
{
    return Read(fen, false);
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
