#include "PositionCheck.h"

#include "Rules.h"

#include <algorithm>
#include <cstdlib>

namespace chess {

namespace {

struct SideCount {
    int pieces = 0, kings = 0, pawns = 0, queens = 0, rooks = 0, knights = 0;
    int bishops[2] = {0, 0};  // on dark and on light squares
};

// The en passant square the state records: the file of the other side's
// pawn that has just stepped twice, or -1.
int RecordedEnPassantFile(const GameState& s)
{
    if (s.WhiteToMove)
        return s.BlackDoubleStep ? s.BlackDoubleStepFile : -1;
    return s.WhiteDoubleStep ? s.WhiteDoubleStepFile : -1;
}

// The pawn of the side not to move stands two squares ahead of its start,
// and the squares it crossed are empty.
bool JustStepped(const GameState& s, int file)
{
    if (file < 0 || file > 7)
        return false;
    const int pawnRank = s.WhiteToMove ? 4 : 3, passed = s.WhiteToMove ? 5 : 2, origin = s.WhiteToMove ? 6 : 1;
    return s.At(file, pawnRank) == (s.WhiteToMove ? -Pawn : Pawn) && s.At(file, passed) == Empty
        && s.At(file, origin) == Empty;
}

}  // namespace

bool CastlingPossible(const GameState& s, bool white, bool shortSide)
{
    const int rank = white ? 0 : 7;
    const int32_t sign = white ? 1 : -1;
    return s.At(4, rank) == sign * King && s.At(shortSide ? 7 : 0, rank) == sign * Rook;
}

std::vector<int> EnPassantFiles(const GameState& s)
{
    std::vector<int> files;
    const int pawnRank = s.WhiteToMove ? 4 : 3;
    const int32_t taker = s.WhiteToMove ? Pawn : -Pawn;
    for (int file = 0; file < 8; ++file)
        if (JustStepped(s, file)
            && ((file > 0 && s.At(file - 1, pawnRank) == taker) || (file < 7 && s.At(file + 1, pawnRank) == taker)))
            files.push_back(file);
    return files;
}

std::vector<PositionProblem> CheckPosition(const GameState& s)
{
    SideCount side[2];  // white, black
    bool pawnOnEdge[2] = {false, false};
    for (int file = 0; file < 8; ++file)
        for (int rank = 0; rank < 8; ++rank) {
            const int32_t piece = s.At(file, rank);
            if (piece == Empty)
                continue;
            SideCount& c = side[piece > 0 ? 0 : 1];
            ++c.pieces;
            switch (std::abs(piece)) {
            case King:
                ++c.kings;
                break;
            case Pawn:
                ++c.pawns;
                if (rank == 0 || rank == 7)
                    pawnOnEdge[piece > 0 ? 0 : 1] = true;
                break;
            case Queen:
                ++c.queens;
                break;
            case Rook:
                ++c.rooks;
                break;
            case Knight:
                ++c.knights;
                break;
            case Bishop:
                ++c.bishops[(file + rank) % 2];
                break;
            default:
                break;
            }
        }

    std::vector<PositionProblem> problems;
    auto each = [&](PositionFault fault, auto&& applies) {
        for (int i = 0; i < 2; ++i)
            if (applies(i))
                problems.push_back({fault, i == 0});
    };
    each(PositionFault::PawnOnEdgeRank, [&](int i) { return pawnOnEdge[i]; });
    each(PositionFault::KingCount, [&](int i) { return side[i].kings != 1; });
    each(PositionFault::CastlingRight, [&](int i) {
        const bool white = i == 0;
        const bool shortRight = white ? s.WhiteMayCastleShort : s.BlackMayCastleShort;
        const bool longRight = white ? s.WhiteMayCastleLong : s.BlackMayCastleLong;
        return (shortRight && !CastlingPossible(s, white, true)) || (longRight && !CastlingPossible(s, white, false));
    });
    const int epFile = RecordedEnPassantFile(s);
    if (epFile >= 0 && !JustStepped(s, epFile))
        problems.push_back({PositionFault::EnPassant, !s.WhiteToMove, epFile});

    each(PositionFault::TooManyPieces, [&](int i) { return side[i].pieces > 16; });
    each(PositionFault::TooManyPawns, [&](int i) { return side[i].pawns > 8; });
    // Every piece beyond the start's own needs a pawn that became it.
    each(PositionFault::TooManyPromoted, [&](int i) {
        const SideCount& c = side[i];
        if (c.pieces > 16 || c.pawns > 8)
            return false;  // told already, and in plainer words
        const int promoted = std::max(0, c.queens - 1) + std::max(0, c.rooks - 2) + std::max(0, c.knights - 2)
                           + std::max(0, c.bishops[0] - 1) + std::max(0, c.bishops[1] - 1);
        return promoted > 8 - c.pawns;
    });
    // The attacks mean something only with one king a side.
    if (side[0].kings == 1 && side[1].kings == 1) {
        const bool whiteAttacked = WhiteKingCheckTest(s) != CheckVerdict::Neni;
        const bool blackAttacked = BlackKingCheckTest(s) != CheckVerdict::Neni;
        if (s.WhiteToMove ? blackAttacked : whiteAttacked)
            problems.push_back({PositionFault::NotToMoveInCheck, !s.WhiteToMove});
        const auto white = std::find(s.Board.begin(), s.Board.end(), King) - s.Board.begin();
        const auto black = std::find(s.Board.begin(), s.Board.end(), -King) - s.Board.begin();
        if (std::abs(white / 8 - black / 8) <= 1 && std::abs(white % 8 - black % 8) <= 1)
            problems.push_back({PositionFault::KingsAdjacent});
    }
    return problems;
}

std::string ProblemText(const PositionProblem& p)
{
    switch (p.fault) {
    case PositionFault::KingCount:
        return "each side must have exactly one king";
    case PositionFault::PawnOnEdgeRank:
        return "a pawn stands on the first or last rank";
    case PositionFault::TooManyPieces:
        return std::string(p.white ? "white" : "black") + " has more than 16 pieces";
    case PositionFault::TooManyPawns:
        return std::string(p.white ? "white" : "black") + " has more than 8 pawns";
    case PositionFault::TooManyPromoted:
        return std::string(p.white ? "white" : "black") + " has more promoted pieces than missing pawns";
    case PositionFault::CastlingRight:
        return "a castling right needs the king and that rook on their first squares";
    case PositionFault::EnPassant:
        return std::string("no pawn can just have stepped past ") + char('a' + p.file) + (p.white ? '3' : '6');
    case PositionFault::NotToMoveInCheck:
        return "the side not to move is in check";
    case PositionFault::KingsAdjacent:
        return "the kings stand next to each other";
    }
    return "the position cannot be played";
}

void SettleSetUp(GameState& s)
{
    s.WhiteMayCastleShort = s.WhiteMayCastleShort && CastlingPossible(s, true, true);
    s.WhiteMayCastleLong = s.WhiteMayCastleLong && CastlingPossible(s, true, false);
    s.BlackMayCastleShort = s.BlackMayCastleShort && CastlingPossible(s, false, true);
    s.BlackMayCastleLong = s.BlackMayCastleLong && CastlingPossible(s, false, false);
    const std::vector<int> takeable = EnPassantFiles(s);
    const int epFile = RecordedEnPassantFile(s);
    const bool keep = std::find(takeable.begin(), takeable.end(), epFile) != takeable.end();
    // Only the side that has just moved can have stepped twice.
    if (s.WhiteToMove) {
        s.BlackDoubleStep = keep;
        s.WhiteDoubleStep = false;
    } else {
        s.WhiteDoubleStep = keep;
        s.BlackDoubleStep = false;
    }
    s.WhiteInCheck = WhiteKingCheckTest(s) != CheckVerdict::Neni;
    s.BlackInCheck = BlackKingCheckTest(s) != CheckVerdict::Neni;
    s.SelectedSquare = NoSelection;
    s.CastleShortPending = s.CastleLongPending = false;
}

}  // namespace chess
