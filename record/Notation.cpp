#include "Notation.h"

#include "Rules.h"

#include <cctype>
#include <cstdlib>

namespace chess {

namespace {

constexpr char kEnglishLetter[7] = {'\0', 'P', 'R', 'N', 'B', 'Q', 'K'};

bool Promotes(int32_t piece, int toRank)
{
    return (piece == Pawn && toRank == 7) || (piece == -Pawn && toRank == 0);
}

int32_t KindOfLetter(char c)
{
    switch (c) {
    case 'K':
        return King;
    case 'Q':
        return Queen;
    case 'R':
        return Rook;
    case 'B':
        return Bishop;
    case 'N':
        return Knight;
    case 'P':
        return Pawn;
    default:
        return Empty;
    }
}

// A promotion piece may be written in either case: after a square's rank
// digit a small "b" can only be a bishop.
int32_t PromotionKindOfLetter(char c)
{
    const int32_t kind = KindOfLetter(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return kind == Pawn || kind == King ? Empty : kind;
}

bool IsFile(char c)
{
    return c >= 'a' && c <= 'h';
}
bool IsRank(char c)
{
    return c >= '1' && c <= '8';
}

std::string Square(int file, int rank)
{
    return {char('a' + file), char('1' + rank)};
}

SanReading Fail(std::string reason)
{
    SanReading r;
    r.error = std::move(reason);
    return r;
}

// Drops what people add to a move and is no part of it: blanks, check and
// mate marks, "!" and "?" annotations, an "e.p." after an en passant capture.
std::string_view StripDecorations(std::string_view t)
{
    auto trim = [&] {
        while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front())))
            t.remove_prefix(1);
        while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back())))
            t.remove_suffix(1);
    };
    trim();
    for (bool changed = true; changed;) {
        changed = false;
        while (!t.empty() && (t.back() == '!' || t.back() == '?' || t.back() == '+' || t.back() == '#')) {
            t.remove_suffix(1);
            changed = true;
        }
        for (std::string_view ep : {"e.p.", "ep"}) {
            if (t.size() > ep.size() + 2 && t.substr(t.size() - ep.size()) == ep) {
                t.remove_suffix(ep.size());
                changed = true;
            }
        }
        trim();
    }
    return t;
}

}  // namespace

std::string LongAlgebraic(const Move& m)
{
    std::string text = Square(m.fromFile, m.fromRank) + Square(m.toFile, m.toRank);
    if (m.promotion != Empty)
        text += static_cast<char>(std::tolower(static_cast<unsigned char>(kEnglishLetter[std::abs(m.promotion)])));
    return text;
}

std::vector<Move> LegalMoves(const GameState& state)
{
    std::vector<Move> moves;
    for (int from = 0; from < 64; ++from) {
        const int32_t piece = state.Board[from];
        if (piece == Empty || (piece > 0) != state.WhiteToMove)
            continue;
        for (int to = 0; to < 64; ++to) {
            if (to == from || !ProbeMove(state, piece, from / 8, from % 8, to / 8, to % 8))
                continue;
            Move m{from / 8, from % 8, to / 8, to % 8, Empty};
            if (Promotes(piece, m.toRank)) {
                for (int32_t kind : {Queen, Rook, Bishop, Knight}) {
                    m.promotion = kind;
                    moves.push_back(m);
                }
            } else {
                moves.push_back(m);
            }
        }
    }
    return moves;
}

std::string WriteSan(const GameState& before, const Move& m, const GameState& after)
{
    const bool check = after.WhiteToMove ? after.WhiteInCheck : after.BlackInCheck;
    return WriteSan(before, m, after, !check || HasLegalMove(after, after.WhiteToMove));
}

std::string WriteSan(const GameState& before, const Move& m, const GameState& after, bool sideToMoveHasMove)
{
    const int32_t piece = before.At(m.fromFile, m.fromRank);
    const int kind = std::abs(piece);
    std::string san;
    if (kind == King && std::abs(m.toFile - m.fromFile) == 2) {
        san = m.toFile > m.fromFile ? "O-O" : "O-O-O";
    } else {
        const bool capture = before.At(m.toFile, m.toRank) != Empty || (kind == Pawn && m.toFile != m.fromFile);
        if (kind == Pawn) {
            if (capture)
                san += char('a' + m.fromFile);
        } else {
            san += kEnglishLetter[kind];
            // Name the origin only as far as needed to tell this piece from
            // another of its kind that could go to the same square.
            bool rival = false, rivalOnFile = false, rivalOnRank = false;
            for (int from = 0; from < 64; ++from) {
                const int f = from / 8, r = from % 8;
                if (before.Board[from] != piece || (f == m.fromFile && r == m.fromRank))
                    continue;
                if (!ProbeMove(before, piece, f, r, m.toFile, m.toRank))
                    continue;
                rival = true;
                rivalOnFile |= f == m.fromFile;
                rivalOnRank |= r == m.fromRank;
            }
            if (rival) {
                if (!rivalOnFile)
                    san += char('a' + m.fromFile);
                else if (!rivalOnRank)
                    san += char('1' + m.fromRank);
                else
                    san += Square(m.fromFile, m.fromRank);
            }
        }
        if (capture)
            san += 'x';
        san += Square(m.toFile, m.toRank);
        if (m.promotion != Empty) {
            san += '=';
            san += kEnglishLetter[std::abs(m.promotion)];
        }
    }
    const bool check = after.WhiteToMove ? after.WhiteInCheck : after.BlackInCheck;
    if (check)
        san += sideToMoveHasMove ? '+' : '#';
    return san;
}

SanReading ReadSan(const GameState& state, std::string_view text)
{
    const std::string_view t = StripDecorations(text);
    if (t.empty())
        return Fail("no move");
    const int32_t sign = state.WhiteToMove ? 1 : -1;
    const int home = state.WhiteToMove ? 0 : 7;

    auto finish = [&](const Move& m) {
        const int32_t piece = state.At(m.fromFile, m.fromRank);
        if (piece == Empty || (piece > 0) != state.WhiteToMove)
            return Fail("no piece of the side to move on " + Square(m.fromFile, m.fromRank));
        if (Promotes(piece, m.toRank) != (m.promotion != Empty))
            return Fail(m.promotion != Empty ? "only a pawn on the last rank is promoted"
                                             : "the piece the pawn becomes is missing");
        if ((m.fromFile == m.toFile && m.fromRank == m.toRank)
            || !ProbeMove(state, piece, m.fromFile, m.fromRank, m.toFile, m.toRank))
            return Fail("the rules do not allow it");
        SanReading r;
        r.ok = true;
        r.move = m;
        return r;
    };

    // Castling, with letter O or digit zero.
    {
        std::string norm;
        for (char c : t)
            norm += c == '0' || c == 'o' ? 'O' : c;
        if (norm == "O-O" || norm == "O-O-O")
            return finish(Move{4, home, norm == "O-O" ? 6 : 2, home, Empty});
    }

    // The letters that matter, without capture and separator marks.
    std::string s;
    for (char c : t) {
        if (c == 'x' || c == 'X' || c == ':' || c == '-' || c == '=' || c == '/' || c == '(' || c == ')')
            continue;
        if (std::isspace(static_cast<unsigned char>(c)))
            return Fail("not a move");
        s += c;
    }

    // Small piece letters too, where they cannot be a file: "nf3", not "b".
    int32_t kind = Pawn;
    const bool smallLetter = !s.empty() && std::string_view("nrqk").find(s.front()) != std::string_view::npos;
    if (!s.empty() && (KindOfLetter(s.front()) != Empty || smallLetter)) {
        kind = KindOfLetter(static_cast<char>(std::toupper(static_cast<unsigned char>(s.front()))));
        s.erase(0, 1);
    }
    int32_t promotion = Empty;
    if (s.size() >= 3 && IsRank(s[s.size() - 2]) && PromotionKindOfLetter(s.back()) != Empty) {
        promotion = PromotionKindOfLetter(s.back());
        s.pop_back();
    }
    if (s.size() < 2 || !IsFile(s[s.size() - 2]) || !IsRank(s.back()))
        return Fail("not a move");
    const int toFile = s[s.size() - 2] - 'a', toRank = s.back() - '1';
    s.resize(s.size() - 2);

    int fromFile = -1, fromRank = -1;
    if (s.size() == 2 && IsFile(s[0]) && IsRank(s[1])) {
        fromFile = s[0] - 'a';
        fromRank = s[1] - '1';
    } else if (s.size() == 1 && IsFile(s[0])) {
        fromFile = s[0] - 'a';
    } else if (s.size() == 1 && IsRank(s[0])) {
        fromRank = s[0] - '1';
    } else if (!s.empty()) {
        return Fail("not a move");
    }

    // Long algebraic notation names the origin in full, whatever stands there.
    if (fromFile >= 0 && fromRank >= 0 && kind == Pawn && state.At(fromFile, fromRank) * sign != Pawn)
        return finish(Move{fromFile, fromRank, toFile, toRank, promotion});

    Move found;
    int candidates = 0;
    for (int from = 0; from < 64; ++from) {
        const int f = from / 8, r = from % 8;
        if (state.Board[from] != sign * kind || (fromFile >= 0 && f != fromFile) || (fromRank >= 0 && r != fromRank))
            continue;
        // A pawn moves straight ahead unless it captures, when its file is named.
        if (kind == Pawn && fromFile < 0 && f != toFile)
            continue;
        if ((f == toFile && r == toRank) || !ProbeMove(state, sign * kind, f, r, toFile, toRank))
            continue;
        found = Move{f, r, toFile, toRank, promotion};
        ++candidates;
    }
    if (candidates > 1)
        return Fail("more than one piece can make that move");
    if (candidates == 0)
        return Fail("the rules do not allow it");
    return finish(found);
}

std::string DisplaySan(std::string_view san, const PieceLetters& letters)
{
    auto letter = [&](char c) -> const std::string* {
        switch (c) {
        case 'K':
            return &letters.letters[0];
        case 'Q':
            return &letters.letters[1];
        case 'R':
            return &letters.letters[2];
        case 'B':
            return &letters.letters[3];
        case 'N':
            return &letters.letters[4];
        default:
            return nullptr;
        }
    };
    std::string out;
    for (std::size_t i = 0; i < san.size(); ++i) {
        const bool pieceSpot = i == 0 || san[i - 1] == '=';
        const std::string* l = pieceSpot ? letter(san[i]) : nullptr;
        if (l)
            out += *l;
        else
            out += san[i];
    }
    return out;
}

}  // namespace chess
