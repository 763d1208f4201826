#include "Perft.h"

#include "Rules.h"
#include "TurnSequence.h"

#include <cctype>

namespace chess {

namespace {

// Plays the part of the window: says nothing, and answers the promotion
// dialog with the choice the search is exploring.
class SilentUi final : public GameUi {
public:
    int promotionChoice = PromoteQueen;
    void DrawSquare(int, int) override {}
    void Announce(Message) override {}
    bool AskYesNo(Question) override { return false; }
    void RunPromotion(GameState& state) override { PromotePawn(state, promotionChoice); }
    void DrawBoard() override {}
};

bool Promotes(int32_t piece, int toRank)
{
    return (piece == Pawn && toRank == 7) || (piece == -Pawn && toRank == 0);
}

// Calls visit(move text, child state) for every legal move of the side to move.
template <typename Visit>
void ForEachMove(const GameState& state, Visit&& visit)
{
    static constexpr char promotionLetter[4] = {'q', 'r', 'b', 'n'};
    SilentUi ui;
    for (int from = 0; from < 64; ++from) {
        const int32_t piece = state.Board[from];
        if (piece == Empty || (piece > 0) != state.WhiteToMove)
            continue;
        for (int to = 0; to < 64; ++to) {
            if (to == from || !ProbeMove(state, piece, from / 8, from % 8, to / 8, to % 8))
                continue;
            const int choices = Promotes(piece, to % 8) ? 4 : 1;
            for (int choice = 0; choice < choices; ++choice) {
                GameState child = state;
                child.MovingPiece = piece;
                child.FromFile = from / 8;
                child.FromRank = from % 8;
                child.ToFile = to / 8;
                child.ToRank = to % 8;
                TestMove(child, piece, child.FromFile, child.FromRank, child.ToFile, child.ToRank);
                ui.promotionChoice = choice;
                TurnSequence(child, ui).CarryOutAcceptedMove();
                std::string text = {char('a' + from / 8), char('1' + from % 8), char('a' + to / 8), char('1' + to % 8)};
                if (choices == 4)
                    text += promotionLetter[choice];
                visit(text, child);
            }
        }
    }
}

std::uint64_t CountMoves(const GameState& state)
{
    std::uint64_t n = 0;
    for (int from = 0; from < 64; ++from) {
        const int32_t piece = state.Board[from];
        if (piece == Empty || (piece > 0) != state.WhiteToMove)
            continue;
        for (int to = 0; to < 64; ++to) {
            if (to != from && ProbeMove(state, piece, from / 8, from % 8, to / 8, to % 8))
                n += Promotes(piece, to % 8) ? 4 : 1;
        }
    }
    return n;
}

}  // namespace

std::uint64_t Perft(const GameState& state, int depth)
{
    if (depth <= 0)
        return 1;
    if (depth == 1)
        return CountMoves(state);
    std::uint64_t nodes = 0;
    ForEachMove(state, [&](const std::string&, const GameState& child) { nodes += Perft(child, depth - 1); });
    return nodes;
}

std::vector<std::pair<std::string, std::uint64_t>> PerftDivide(const GameState& state, int depth)
{
    std::vector<std::pair<std::string, std::uint64_t>> result;
    if (depth <= 0)
        return result;
    ForEachMove(state, [&](const std::string& move, const GameState& child) {
        result.emplace_back(move, Perft(child, depth - 1));
    });
    return result;
}

FenResult ParseFen(std::string_view fen)
{
    FenResult r;
    auto fail = [&](std::string message) {
        r.ok = false;
        r.error = std::move(message);
        return r;
    };

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
    if (fields.size() < 4 || fields.size() > 6)
        return fail("FEN must have 4 to 6 fields, found " + std::to_string(fields.size()));

    GameState& s = r.state;
    SetUpNewGame(s);
    s.Board.fill(Empty);

    int rank = 7, file = 0, whiteKings = 0, blackKings = 0;
    for (char c : fields[0]) {
        if (c == '/') {
            if (file != 8)
                return fail("FEN rank " + std::to_string(rank + 1) + " does not add up to 8 squares");
            if (--rank < 0)
                return fail("FEN placement has more than 8 ranks");
            file = 0;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
            if (file > 8)
                return fail("FEN rank " + std::to_string(rank + 1) + " does not add up to 8 squares");
        } else {
            static constexpr std::string_view letters = "pnbrqk";
            static constexpr int32_t kinds[6] = {Pawn, Knight, Bishop, Rook, Queen, King};
            const auto at = letters.find(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
            if (at == std::string_view::npos)
                return fail(std::string("FEN has a bad piece letter '") + c + "'");
            if (file >= 8)
                return fail("FEN rank " + std::to_string(rank + 1) + " does not add up to 8 squares");
            const bool white = std::isupper(static_cast<unsigned char>(c));
            if (kinds[at] == Pawn && (rank == 0 || rank == 7))
                return fail("FEN has a pawn on the first or last rank");
            if (kinds[at] == King)
                ++(white ? whiteKings : blackKings);
            s.At(file++, rank) = white ? kinds[at] : -kinds[at];
        }
    }
    if (rank != 0 || file != 8)
        return fail("FEN placement must have 8 ranks of 8 squares");
    if (whiteKings != 1 || blackKings != 1)
        return fail("FEN must have exactly one king of each colour");

    if (fields[1] != "w" && fields[1] != "b")
        return fail("FEN side to move must be 'w' or 'b'");
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
                return fail("FEN castling field must be '-' or letters of KQkq, each once");
            *right = true;
        }
    }

    if (fields[3] != "-") {
        const std::string_view ep = fields[3];
        const char expectedRank = s.WhiteToMove ? '6' : '3';
        if (ep.size() != 2 || ep[0] < 'a' || ep[0] > 'h' || ep[1] != expectedRank)
            return fail(std::string("FEN en-passant field must be '-' or a square on rank ") + expectedRank);
        const int epFile = ep[0] - 'a';
        // The pawn that has just stepped twice must stand in front of the square.
        const int32_t steppedPawn = s.WhiteToMove ? -Pawn : Pawn;
        if (s.At(epFile, s.WhiteToMove ? 4 : 3) != steppedPawn)
            return fail("FEN en-passant square has no pawn that has just stepped past it");
        // It stepped from the square behind across the target square, so both
        // are empty now; a record that says otherwise would let a capture
        // take a pawn that never passed.
        if (s.At(epFile, s.WhiteToMove ? 5 : 2) != Empty || s.At(epFile, s.WhiteToMove ? 6 : 1) != Empty)
            return fail("FEN en-passant square or the square behind it is not empty");
        if (s.WhiteToMove) {
            s.BlackDoubleStep = true;
            s.BlackDoubleStepFile = epFile;
        } else {
            s.WhiteDoubleStep = true;
            s.WhiteDoubleStepFile = epFile;
        }
    }

    for (std::size_t i = 4; i < fields.size(); ++i) {
        for (char c : fields[i])
            if (!std::isdigit(static_cast<unsigned char>(c)))
                return fail("FEN move counters must be whole numbers");
    }

    s.WhiteInCheck = WhiteKingCheckTest(s) != CheckVerdict::Neni;
    s.BlackInCheck = BlackKingCheckTest(s) != CheckVerdict::Neni;
    if (s.WhiteToMove ? s.BlackInCheck : s.WhiteInCheck)
        return fail("FEN position has the side not to move in check");
    // Kings side by side cannot arise in play either.
    for (int f = 0; f < 8; ++f)
        for (int rk = 0; rk < 8; ++rk)
            if (s.At(f, rk) == King)
                for (int df = -1; df <= 1; ++df)
                    for (int dr = -1; dr <= 1; ++dr)
                        if (OnBoard(f + df, rk + dr) && s.At(f + df, rk + dr) == -King)
                            return fail("FEN position has the kings next to each other");

    r.ok = true;
    return r;
}

}  // namespace chess
