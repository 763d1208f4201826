#include "Rules.h"

#include <cstdlib>

namespace chess {

namespace {

// Is the king with code `king` attacked by any piece of the other colour?
// Looked at from the king outwards, which finds the same attackers as asking
// every enemy piece whether it reaches the king, in a fraction of the time.
bool KingAttacked(const BoardCells& b, int32_t king)
{
    int kf = -1, kr = -1;
    for (int i = 0; i < 64; ++i) {
        if (b[i] == king) {
            kf = i / 8;
            kr = i % 8;
        }
    }
    if (kf < 0)
        return false;

    const int32_t enemy = king > 0 ? -1 : 1;  // sign of the attackers

    // A pawn attacks diagonally forward, so a black pawn hits the white king
    // from the rank above it and a white pawn the black king from below.
    const int pawnRank = kr - enemy;
    if (pawnRank >= 0 && pawnRank < 8) {
        if (kf > 0 && b[CellIndex(kf - 1, pawnRank)] == enemy * Pawn)
            return true;
        if (kf < 7 && b[CellIndex(kf + 1, pawnRank)] == enemy * Pawn)
            return true;
    }

    static constexpr int knightJumps[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
    for (const auto& j : knightJumps) {
        const int f = kf + j[0], r = kr + j[1];
        if (OnBoard(f, r) && b[CellIndex(f, r)] == enemy * Knight)
            return true;
    }

    // Walk each line from the king; the first piece met decides.
    auto slider = [&](int df, int dr, int32_t kind) {
        for (int f = kf + df, r = kr + dr; OnBoard(f, r); f += df, r += dr) {
            const int32_t code = b[CellIndex(f, r)];
            if (code != Empty)
                return code == enemy * kind || code == enemy * Queen;
        }
        return false;
    };
    return slider(1, 1, Bishop) || slider(1, -1, Bishop) || slider(-1, 1, Bishop) || slider(-1, -1, Bishop)
        || slider(1, 0, Rook) || slider(-1, 0, Rook) || slider(0, 1, Rook) || slider(0, -1, Rook);
}

CheckVerdict Verdict(const BoardCells& b, bool whiteToMove, bool whiteKing)
{
    if (!KingAttacked(b, whiteKing ? King : -King))
        return CheckVerdict::Neni;
    return whiteKing == whiteToMove ? CheckVerdict::VystavujiSeSachu : CheckVerdict::Sachuji;
}

// "vystavuji se šachu" can only ever be said of the king of the side to move,
// so of the two check tests only that king's one can refuse a move.
bool MoverExposed(const BoardCells& b, bool whiteToMove)
{
    return Verdict(b, whiteToMove, whiteToMove) == CheckVerdict::VystavujiSeSachu;
}

bool PathClear(const BoardCells& b, int ff, int fr, int tf, int tr)
{
    const int df = (tf > ff) - (tf < ff);
    const int dr = (tr > fr) - (tr < fr);
    for (int f = ff + df, r = fr + dr; f != tf || r != tr; f += df, r += dr) {
        if (b[CellIndex(f, r)] != Empty)
            return false;
    }
    return true;
}

bool NextToKing(const BoardCells& b, int file, int rank, int32_t king)
{
    for (int f = file - 1; f <= file + 1; ++f)
        for (int r = rank - 1; r <= rank + 1; ++r)
            if (OnBoard(f, r) && b[CellIndex(f, r)] == king)
                return true;
    return false;
}

enum class Special { None, CastleShort, CastleLong, DoubleStep, EnPassant };

struct Judgement {
    bool allowed = false;
    Special special = Special::None;
};

Special CastlingKind(const GameState& s, int32_t piece, int ff, int fr, int tf, int tr)
{
    const bool white = piece > 0;
    const int home = white ? 0 : 7;
    if (ff != 4 || fr != home || tr != home || (tf != 6 && tf != 2))
        return Special::None;
    const bool shortSide = tf == 6;
    const int32_t rook = white ? Rook : -Rook;
    const bool right = white ? (shortSide ? s.WhiteMayCastleShort : s.WhiteMayCastleLong)
                             : (shortSide ? s.BlackMayCastleShort : s.BlackMayCastleLong);
    const bool inCheck = white ? s.WhiteInCheck : s.BlackInCheck;
    if (!right || inCheck || s.At(shortSide ? 7 : 0, home) != rook)
        return Special::None;
    // Every square between king and rook must be empty, b1/b8 included on
    // the queen side: the rook cannot jump.
    if (!PathClear(s.Board, 4, home, shortSide ? 7 : 0, home))
        return Special::None;
    return shortSide ? Special::CastleShort : Special::CastleLong;
}

// Which movement rule of the piece's kind, if any, the move matches.
bool MovementRule(const GameState& s, int32_t piece, int ff, int fr, int tf, int tr, Special& special)
{
    const BoardCells& b = s.Board;
    const int df = tf - ff, dr = tr - fr;
    const int adf = std::abs(df), adr = std::abs(dr);
    const int32_t target = b[CellIndex(tf, tr)];
    special = Special::None;

    switch (std::abs(piece)) {
    case King:
        if (adf <= 1 && adr <= 1)
            return !NextToKing(b, tf, tr, piece > 0 ? -King : King);
        special = CastlingKind(s, piece, ff, fr, tf, tr);
        return special != Special::None;
    case Queen:
        return (adf == adr || df == 0 || dr == 0) && PathClear(b, ff, fr, tf, tr);
    case Bishop:
        return adf == adr && PathClear(b, ff, fr, tf, tr);
    case Rook:
        return (df == 0 || dr == 0) && PathClear(b, ff, fr, tf, tr);
    case Knight:
        return (adf == 1 && adr == 2) || (adf == 2 && adr == 1);
    case Pawn: {
        const bool white = piece > 0;
        const int dir = white ? 1 : -1;
        if (df == 0 && dr == dir)
            return target == Empty;
        if (df == 0 && fr == (white ? 1 : 6) && tr == (white ? 3 : 4)) {
            special = Special::DoubleStep;
            return b[CellIndex(ff, fr + dir)] == Empty && target == Empty;
        }
        if (adf == 1 && dr == dir) {
            if (target != Empty)
                return white ? target < 0 : target > 0;
            // En passant: only from the fifth rank (fourth for black), onto
            // the empty square behind the pawn that has just stepped twice.
            const bool recorded = white ? (s.BlackDoubleStep && s.BlackDoubleStepFile == tf)
                                        : (s.WhiteDoubleStep && s.WhiteDoubleStepFile == tf);
            if (recorded && fr == (white ? 4 : 3) && b[CellIndex(tf, fr)] == -piece) {
                special = Special::EnPassant;
                return true;
            }
        }
        return false;
    }
    default:
        return false;
    }
}

Judgement Judge(const GameState& s, int32_t piece, int ff, int fr, int tf, int tr)
{
    Judgement j;
    if (ff == tf && fr == tr) {
        j.allowed = true;
        return j;
    }
    const int32_t target = s.At(tf, tr);
    if (target != Empty && (target > 0) == (piece > 0))
        return j;
    if (!MovementRule(s, piece, ff, fr, tf, tr, j.special))
        return j;

    // Play the move on a scratch board and look at the mover's king.
    BoardCells trial = s.Board;
    trial[CellIndex(ff, fr)] = Empty;
    trial[CellIndex(tf, tr)] = piece;
    if (j.special == Special::EnPassant)
        trial[CellIndex(tf, fr)] = Empty;
    if (MoverExposed(trial, s.WhiteToMove))
        return j;

    if (j.special == Special::CastleShort || j.special == Special::CastleLong) {
        // The king may not pass over an attacked square, nor castle onto or
        // across a square next to the other king.
        const int passed = j.special == Special::CastleShort ? 5 : 3;
        const int32_t otherKing = piece > 0 ? -King : King;
        if (NextToKing(s.Board, passed, fr, otherKing) || NextToKing(s.Board, tf, fr, otherKing))
            return j;
        trial[CellIndex(tf, tr)] = Empty;
        trial[CellIndex(passed, fr)] = piece;
        if (MoverExposed(trial, s.WhiteToMove))
            return j;
    }
    j.allowed = true;
    return j;
}

}  // namespace

std::string_view VerdictText(CheckVerdict verdict)
{
    switch (verdict) {
    case CheckVerdict::Sachuji:
        return "šachuji";
    case CheckVerdict::VystavujiSeSachu:
        return "vystavuji se šachu";
    case CheckVerdict::Neni:
        break;
    }
    return "není";
}

CheckVerdict WhiteKingCheckTest(const GameState& state)
{
    return Verdict(state.Board, state.WhiteToMove, true);
}

CheckVerdict BlackKingCheckTest(const GameState& state)
{
    return Verdict(state.Board, state.WhiteToMove, false);
}

bool ProbeMove(const GameState& state, int32_t piece, int fromFile, int fromRank, int toFile, int toRank)
{
    return Judge(state, piece, fromFile, fromRank, toFile, toRank).allowed;
}

bool TestMove(GameState& s, int32_t piece, int ff, int fr, int tf, int tr, SquareListener* listener)
{
    const Judgement j = Judge(s, piece, ff, fr, tf, tr);
    if (!j.allowed)
        return false;
    switch (j.special) {
    case Special::CastleShort:
        s.CastleShortPending = true;
        break;
    case Special::CastleLong:
        s.CastleLongPending = true;
        break;
    case Special::DoubleStep:
        if (piece > 0) {
            s.WhiteDoubleStep = true;
            s.WhiteDoubleStepFile = tf;
        } else {
            s.BlackDoubleStep = true;
            s.BlackDoubleStepFile = tf;
        }
        break;
    case Special::EnPassant:
        s.At(tf, fr) = Empty;
        s.SelectedSquare = NoSelection;
        if (listener)
            listener->DrawSquare(tf, fr);
        break;
    case Special::None:
        break;
    }
    return true;
}

namespace {

// Whether the side, which is not in check, has a move. It asks the move test
// about a few squares a piece rather than all 63: out of check, a piece that
// can move at all can move one step. A rook, bishop or queen that may go far
// along a line may stop on its first square (a pin forbids or allows both
// alike, and no check has to be blocked); a pawn's double step needs its
// single step to be free; a castling needs the king's first square to be
// safe. The knight's jumps stand for themselves.
bool HasMoveOutOfCheck(const GameState& s, bool white)
{
    static constexpr int steps[8][2] = {{0, 1}, {1, 1}, {-1, 1}, {1, 0}, {-1, 0}, {0, -1}, {1, -1}, {-1, -1}};
    static constexpr int jumps[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
    for (int from = 0; from < 64; ++from) {
        const int32_t piece = s.Board[from];
        if (piece == Empty || (piece > 0) != white)
            continue;
        const int file = from / 8, rank = from % 8;
        for (const auto& [df, dr] : std::abs(piece) == Knight ? jumps : steps)
            if (OnBoard(file + df, rank + dr) && Judge(s, piece, file, rank, file + df, rank + dr).allowed)
                return true;
    }
    return false;
}

// In check, a king that can step aside is the usual answer, and the quickest found.
bool KingCanStep(const GameState& s, bool white)
{
    const int32_t king = white ? King : -King;
    for (int from = 0; from < 64; ++from) {
        if (s.Board[from] != king)
            continue;
        const int file = from / 8, rank = from % 8;
        for (int df = -1; df <= 1; ++df)
            for (int dr = -1; dr <= 1; ++dr)
                if ((df || dr) && OnBoard(file + df, rank + dr)
                    && Judge(s, king, file, rank, file + df, rank + dr).allowed)
                    return true;
    }
    return false;
}

}  // namespace

bool HasLegalMove(const GameState& s, bool white)
{
    if (!(white ? s.WhiteInCheck : s.BlackInCheck))
        return HasMoveOutOfCheck(s, white);
    if (KingCanStep(s, white))
        return true;
    for (int from = 0; from < 64; ++from) {
        const int32_t piece = s.Board[from];
        if (white ? piece <= 0 : piece >= 0)
            continue;
        const int ff = from / 8, fr = from % 8;
        for (int to = 0; to < 64; ++to) {
            if (to != from && Judge(s, piece, ff, fr, to / 8, to % 8).allowed)
                return true;
        }
    }
    return false;
}

int PromotePawn(GameState& s, int choice)
{
    static constexpr int32_t pieces[4] = {Queen, Rook, Bishop, Knight};
    const bool white = s.MovingPiece == Pawn;
    const int rank = white ? 7 : 0;
    if (choice >= 0 && choice < 4)
        s.At(s.ToFile, rank) = white ? pieces[choice] : -pieces[choice];
    return rank;
}

int PromotionChoiceOf(int32_t kind)
{
    switch (std::abs(kind)) {
    case Rook:
        return PromoteRook;
    case Bishop:
        return PromoteBishop;
    case Knight:
        return PromoteKnight;
    default:
        return PromoteQueen;
    }
}

MoveEffects MovePieces(GameState& s, const Move& m)
{
    MoveEffects e;
    e.piece = s.At(m.fromFile, m.fromRank);
    e.captured = s.At(m.toFile, m.toRank);
    // The move test has already taken the pawn passed by; the target was empty.
    if (std::abs(e.piece) == Pawn && m.toFile != m.fromFile && e.captured == Empty) {
        e.enPassant = true;
        e.captured = -e.piece;
    }
    s.MovingPiece = e.piece;
    s.FromFile = m.fromFile;
    s.FromRank = m.fromRank;
    s.ToFile = m.toFile;
    s.ToRank = m.toRank;
    s.SelectedSquare = NoSelection;
    s.At(m.fromFile, m.fromRank) = Empty;
    s.At(m.toFile, m.toRank) = e.piece;

    if (std::abs(e.piece) == King && (s.CastleShortPending || s.CastleLongPending)) {
        const int home = m.fromRank;
        e.castling = true;
        e.rookFromFile = s.CastleShortPending ? 7 : 0;
        e.rookToFile = s.CastleShortPending ? 5 : 3;
        s.At(e.rookFromFile, home) = Empty;
        s.At(e.rookToFile, home) = e.piece > 0 ? Rook : -Rook;
    }
    s.CastleShortPending = false;
    s.CastleLongPending = false;

    if (e.piece == King)
        s.WhiteMayCastleShort = s.WhiteMayCastleLong = false;
    else if (e.piece == -King)
        s.BlackMayCastleShort = s.BlackMayCastleLong = false;
    // A right ends when its rook leaves its corner, or when anything lands on
    // that corner (the rook has been taken): a rook that turns up there later
    // is not the one that had the right.
    auto corner = [&](int file, int rank, bool& right) {
        if ((m.fromFile == file && m.fromRank == rank) || (m.toFile == file && m.toRank == rank))
            right = false;
    };
    corner(0, 0, s.WhiteMayCastleLong);
    corner(7, 0, s.WhiteMayCastleShort);
    corner(0, 7, s.BlackMayCastleLong);
    corner(7, 7, s.BlackMayCastleShort);

    e.promotion = ReachesLastRank(e.piece, m.toRank);
    if (e.promotion && m.promotion != Empty)
        PromotePawn(s, PromotionChoiceOf(m.promotion));

    if (e.piece > 0)
        s.BlackDoubleStep = false;
    else
        s.WhiteDoubleStep = false;
    return e;
}

void PassTurn(GameState& s, MoveEffects& e)
{
    const bool whiteMoved = e.piece > 0;
    if (whiteMoved)
        e.givesCheck = s.BlackInCheck = BlackKingCheckTest(s) == CheckVerdict::Sachuji;
    else
        e.givesCheck = s.WhiteInCheck = WhiteKingCheckTest(s) == CheckVerdict::Sachuji;
    s.WhiteToMove = !whiteMoved;
}

MoveEffects ApplyMove(GameState& s, const Move& m)
{
    MoveEffects e = MovePieces(s, m);
    PassTurn(s, e);
    return e;
}

bool PlayMove(GameState& s, const Move& m, MoveEffects* effects)
{
    if (!OnBoard(m.fromFile, m.fromRank) || !OnBoard(m.toFile, m.toRank)
        || (m.fromFile == m.toFile && m.fromRank == m.toRank))
        return false;
    const int32_t piece = s.At(m.fromFile, m.fromRank);
    if (piece == Empty || (piece > 0) != s.WhiteToMove)
        return false;
    GameState next = s;
    if (!TestMove(next, piece, m.fromFile, m.fromRank, m.toFile, m.toRank))
        return false;
    Move move = m;
    if (ReachesLastRank(piece, m.toRank) && move.promotion == Empty)
        move.promotion = Queen;
    const MoveEffects e = ApplyMove(next, move);
    s = next;
    if (effects)
        *effects = e;
    return true;
}

}  // namespace chess
