// Moves as text: SAN written for every kind of move, read back, read
// leniently as people and other programs write it, and shown with each
// language's piece letters; FEN read, refused and written.

#include "MoveInput.h"
#include "RecordTestHelpers.h"

namespace chess::test {
namespace {

struct SanRow {
    const char* fen;
    const char* move;  // long algebraic
    const char* san;
};

TEST(San, WrittenForEveryKindOfMoveAndReadBack)
{
    const SanRow rows[] = {
        {StartFen.data(), "e2e4", "e4"},
        {StartFen.data(), "g1f3", "Nf3"},
        // Disambiguation by file, by rank, by both; none for a pinned rival.
        {"4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1", "b1d2", "Nbd2"},
        {"4k3/8/8/R7/8/8/8/R3K3 w - - 0 1", "a1a3", "R1a3"},
        {"4k3/8/8/R7/8/8/8/R3K3 w - - 0 1", "a5a3", "R5a3"},
        {"4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "a1b2", "Qa1b2"},
        {"4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1", "c1b2", "Qcb2"},
        {"4r2k/8/8/8/4N3/1N6/8/4K3 w - - 0 1", "b3d2", "Nd2"},
        // Castling both ways, for both colours, and with check.
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", "O-O"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1", "O-O-O"},
        {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8", "O-O-O"},
        {"5k2/8/8/8/8/8/8/4K2R w K - 0 1", "e1g1", "O-O+"},
        // Captures, en passant, promotions with capture, check and mate.
        {"4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1", "e4d5", "exd5"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", "exd6"},
        {"3r3k/4P3/8/8/8/8/8/4K3 w - - 0 1", "e7d8q", "exd8=Q+"},
        {"3r3k/4P3/8/8/8/8/8/4K3 w - - 0 1", "e7e8n", "e8=N"},
        {"k7/4P3/1K6/8/8/8/8/8 w - - 0 1", "e7e8q", "e8=Q#"},
        {"4k3/8/8/8/8/8/1p6/R3K3 b Q - 0 1", "b2a1r", "bxa1=R+"},
        {"rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq - 0 2", "d8h4", "Qh4#"},
    };
    for (const SanRow& row : rows) {
        SCOPED_TRACE(std::string(row.fen) + " " + row.move);
        Played game(row.fen);
        ASSERT_EQ(game.Play(row.move), "");
        EXPECT_EQ(game.history[0].san, row.san);
        const SanReading back = ReadSan(game.history.Start(), row.san);
        ASSERT_TRUE(back.ok) << back.error;
        EXPECT_EQ(LongAlgebraic(back.move), row.move);
    }
}

struct ReadRow {
    const char* fen;
    const char* text;
    const char* move;  // long algebraic, or "" for an error
    const char* error = "";
    // Typed into the window's move field with these letters; the error is
    // then "unreadable", "illegal" or the candidates of an ambiguous move.
    const PieceLetters* typed = nullptr;
};

// The reasons a typed move gives, as the rows above spell them.
std::string TypedError(const TypedMove& m)
{
    if (m.fault == TypedMove::Ambiguous) {
        std::string text;
        for (const std::string& candidate : m.candidates)
            text += (text.empty() ? "" : " or ") + candidate;
        return text;
    }
    return m.fault == TypedMove::Illegal ? "illegal" : "unreadable";
}

TEST(San, ReadsWhatPeopleAndOtherProgramsWrite)
{
    const char* castle = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
    const char* promote = "3r3k/4P3/8/8/8/8/8/4K3 w - - 0 1";
    const char* passant = "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1";
    const char* knights = "4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1";
    const char* bishop = "4k3/8/8/1p6/8/8/8/4KB2 w - - 0 1";
    const char* pawnOrBishop = "4k3/8/8/8/8/2p5/1P1B4/4K3 w - - 0 1";
    const char* bishopOnly = "4k3/8/8/8/8/2p5/3B4/4K3 w - - 0 1";
    const char* pawnOnly = "4k3/8/8/8/8/2p5/1P6/4K3 w - - 0 1";
    const char* queenOrPawn = "4k3/8/8/8/3P4/8/Q7/4K3 w - - 0 1";
    const PieceLetters cs = PieceLetters::Czech(), de = PieceLetters::German(), en = PieceLetters::English();
    const ReadRow rows[] = {
        {StartFen.data(), "Pe4", "e2e4"},
        {StartFen.data(), "e2e4", "e2e4"},
        {StartFen.data(), "e2-e4", "e2e4"},
        {StartFen.data(), "Ng1-f3", "g1f3"},
        {StartFen.data(), " Nf3!? ", "g1f3"},
        {StartFen.data(), "e4?!", "e2e4"},
        {StartFen.data(), "Nf3+", "g1f3"},
        {StartFen.data(), "nf3", "g1f3"},
        {passant, "kd2", "e1d2"},
        {castle, "0-0", "e1g1"},
        {castle, "0-0-0", "e1c1"},
        {castle, "O-O-O+", "e1c1"},
        {castle, "e1g1", "e1g1"},
        {promote, "e8Q", "e7e8q"},
        {promote, "e8=Q", "e7e8q"},
        {promote, "e7e8q", "e7e8q"},
        {promote, "e8=n", "e7e8n"},
        {promote, "exd8Q", "e7d8q"},
        {promote, "ed8=R", "e7d8r"},
        {passant, "exd6 e.p.", "e5d6"},
        {passant, "exd6e.p.", "e5d6"},
        {passant, "ed6", "e5d6"},
        {knights, "Nbd2", "b1d2"},
        {knights, "N1d2", "b1d2"},
        {knights, "Nb1d2", "b1d2"},
        // Refused, each with a reason.
        {StartFen.data(), "Ke3", "", "the rules do not allow it"},
        {StartFen.data(), "e5", "", "the rules do not allow it"},
        {StartFen.data(), "Qh5", "", "the rules do not allow it"},
        {StartFen.data(), "e7e5", "", "no piece of the side to move on e7"},
        {StartFen.data(), "Nf3 Nf6", "", "not a move"},
        {StartFen.data(), "hello", "", "not a move"},
        {StartFen.data(), "", "", "no move"},
        {StartFen.data(), "Ng1g1", "", "the rules do not allow it"},
        {knights, "Nd2", "", "more than one piece can make that move"},
        {promote, "e8", "", "the piece the pawn becomes is missing"},
        {promote, "e8=K", "", "not a move"},
        {castle, "Ra1a2=Q", "", "only a pawn on the last rank is promoted"},
        // Typed in the move field: the language's letters and English, any case.
        {StartFen.data(), "Jf3", "g1f3", "", &cs},
        {StartFen.data(), "Sf3", "g1f3", "", &de},
        {StartFen.data(), "NF3", "g1f3", "", &de},
        {StartFen.data(), "jF3", "g1f3", "", &cs},
        {StartFen.data(), "G1F3", "g1f3", "", &cs},
        {StartFen.data(), "E4", "e2e4", "", &en},
        {bishop, "Sxb5", "f1b5", "", &cs},
        {bishop, "Lb5+", "f1b5", "", &de},
        {bishop, "sb5", "f1b5", "", &cs},
        {promote, "e8D", "e7e8q", "", &cs},
        {promote, "e8d", "e7e8q", "", &de},
        {promote, "e8=S", "e7e8b", "", &cs},
        {promote, "e8S", "e7e8n", "", &de},
        {promote, "e7e8q", "e7e8q", "", &cs},
        {promote, "exd8=T", "e7d8r", "", &de},
        {castle, "o-o", "e1g1", "", &en},
        {castle, "0-0-0", "e1c1", "", &cs},
        {castle, "Va1d1", "a1d1", "", &cs},
        // A small b is a pawn's file, a capital one a bishop, unless only
        // the other reading is a move; Czech and German d likewise.
        {pawnOrBishop, "bxc3", "b2c3", "", &en},
        {pawnOrBishop, "bc3", "b2c3", "", &en},
        {pawnOrBishop, "Bc3", "d2c3", "", &en},
        {bishopOnly, "bc3", "d2c3", "", &en},
        {pawnOnly, "Bc3", "b2c3", "", &en},
        {queenOrPawn, "dd5", "d4d5", "", &cs},
        {queenOrPawn, "Dd5", "a2d5", "", &cs},
        {knights, "Jd2", "", "Jbd2 or Jfd2", &cs},
        {knights, "Nd2", "", "Sbd2 or Sfd2", &de},
        {knights, "nd2", "", "Nbd2 or Nfd2", &en},
        {StartFen.data(), "Je3", "", "illegal", &cs},
        {StartFen.data(), "e5", "", "illegal", &de},
        {StartFen.data(), "zz", "", "unreadable", &en},
        {StartFen.data(), "", "", "unreadable", &cs},
    };
    for (const ReadRow& row : rows) {
        SCOPED_TRACE(std::string(row.fen) + " \"" + row.text + "\"");
        const FenReading position = ReadFen(row.fen);
        ASSERT_TRUE(position.ok);
        if (row.typed) {
            const TypedMove m = ReadTypedMove(position.position.state, row.text, *row.typed);
            EXPECT_EQ(m.ok() ? LongAlgebraic(m.move) : TypedError(m), *row.move ? row.move : row.error);
            continue;
        }
        const SanReading r = ReadSan(position.position.state, row.text);
        EXPECT_EQ(r.ok, *row.move != 0);
        if (r.ok)
            EXPECT_EQ(LongAlgebraic(r.move), row.move);
        else
            EXPECT_EQ(r.error, row.error);
    }
}

TEST(San, ShownWithEachLanguagesPieceLetters)
{
    struct Row {
        const char* san;
        const char* czech;
        const char* german;
    };
    const Row rows[] = {
        {"Nbd2", "Jbd2", "Sbd2"},       {"Qa1b2", "Da1b2", "Da1b2"},
        {"Bxb5+", "Sxb5+", "Lxb5+"},    {"exd8=Q+", "exd8=D+", "exd8=D+"},
        {"bxa1=R", "bxa1=V", "bxa1=T"}, {"O-O-O", "O-O-O", "O-O-O"},
        {"Kf1", "Kf1", "Kf1"},          {"b4", "b4", "b4"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DisplaySan(row.san, PieceLetters::Czech()), row.czech);
        EXPECT_EQ(DisplaySan(row.san, PieceLetters::German()), row.german);
        EXPECT_EQ(DisplaySan(row.san, PieceLetters::English()), row.san);
    }
}

TEST(Fen, RefusesPositionsThatCannotArise)
{
    const std::pair<const char*, const char*> rows[] = {
        {"8/8/8/8/8/8/8/8 w - - 0 1", "each side must have exactly one king"},
        {"4k3/8/8/8/8/8/8/3KK3 w - - 0 1", "each side must have exactly one king"},
        {"P3k3/8/8/8/8/8/8/4K3 w - - 0 1", "a pawn stands on the first or last rank"},
        {"4k3/8/8/8/8/8/8/p3K3 w - - 0 1", "a pawn stands on the first or last rank"},
        {"4k3/4R3/8/8/8/8/8/4K3 w - - 0 1", "the side not to move is in check"},
        {"4k3/8/8/8/8/8/8/4K3 w K - 0 1", "a castling right needs the king and that rook on their first squares"},
        {"4k3/8/8/8/8/8/8/3K3R w K - 0 1", "a castling right needs the king and that rook on their first squares"},
        {"r3k3/8/8/8/8/8/8/4K3 w k - 0 1", "a castling right needs the king and that rook on their first squares"},
        {"4k3/8/8/8/8/8/8/4K3 w - d6 0 1", "no pawn can just have stepped past d6"},
        {"4k3/3p4/8/3pP3/8/8/8/4K3 w - d6 0 1", "no pawn can just have stepped past d6"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d3 0 1", "the en passant field must be '-' or a square on rank 6"},
        {"4k3/8/8/8/8/8/8/4K3 w - - x 1", "the move clocks must be whole numbers"},
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 -3", "the move clocks must be whole numbers"},
        {"4k3/8/8/8/8/8/8/4K3 w - - 0", "a FEN has six fields (or four without the clocks), this one has 5"},
        {"4k3/8/8/8/8/8/8/4K3 x - - 0 1", "the side to move must be 'w' or 'b'"},
        {"4k3/8/8/8/8/8/8/4K3 w KK - 0 1", "the castling field must be '-' or letters of KQkq, each once"},
        {"4k3/8/8/8/8/8/8/4X3 w - - 0 1", "'X' is no piece letter"},
        {"4k3/8/8/8/8/8/4K3 w - - 0 1", "the board must have 8 ranks of 8 squares"},
        {"4k3/8/8/8/8/8/8/4K4 w - - 0 1", "rank 1 has more than 8 squares"},
        {"8/8/8/8/8/8/3k4/4K3 w - - 0 1", "the kings stand next to each other"},
    };
    for (const auto& [fen, reason] : rows) {
        SCOPED_TRACE(fen);
        const FenReading r = ReadFen(fen);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, reason);
    }
}

TEST(Fen, WritesWhatItReadsAndTheEnPassantSquareAfterEveryDoubleStep)
{
    const std::pair<const char*, const char*> rows[] = {
        {StartFen.data(), nullptr},
        {"r3k2r/8/8/8/8/8/8/R3K2R b Kq - 17 42", nullptr},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 9", nullptr},
        {"4k3/8/8/8/3Pp3/8/8/4K3 b - d3 0 9", nullptr},
        // Clocks no game can reach are held where counting on cannot overflow.
        {"4k3/8/8/8/8/8/8/4K3 w - - 2147483647 2147483647", "4k3/8/8/8/8/8/8/4K3 w - - 1000000 1000000"},
        {"4k3/8/8/8/8/8/8/4K3 b - - 99999999999999999999 12", "4k3/8/8/8/8/8/8/4K3 b - - 1000000 12"},
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 000000000000000000001000001", "4k3/8/8/8/8/8/8/4K3 w - - 0 1000000"},
    };
    for (const auto& [fen, written] : rows) {
        const FenReading r = ReadFen(fen);
        ASSERT_TRUE(r.ok) << fen << ": " << r.error;
        EXPECT_EQ(WriteFen(r.position.state, r.position.halfmoveClock, r.position.fullmoveNumber),
                  written ? written : fen);
    }
    // Played on from the largest move number, the record counts on without
    // wrapping round.
    Played far("4k3/8/8/8/8/8/8/R3K3 b - - 2147483647 2147483647");
    ASSERT_EQ(far.Play("Kd7 Ra7+ Kc6"), "");
    EXPECT_EQ(far.history.Fen(), "8/R7/2k5/8/8/8/8/4K3 w - - 1000003 1000002");
    EXPECT_EQ(far.history.MoveNumber(2), 1'000'001);
    Played game;
    ASSERT_EQ(game.Play("e4"), "");
    EXPECT_EQ(game.history.Fen(), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
    ASSERT_EQ(game.Play("Nf6 Nc3 d5"), "");
    EXPECT_EQ(game.history.Fen(), "rnbqkb1r/ppp1pppp/5n2/3p4/4P3/2N5/PPPP1PPP/R1BQKBNR w KQkq d6 0 3");
    ASSERT_EQ(game.Play("Nf3"), "");
    EXPECT_EQ(game.history.Fen(), "rnbqkb1r/ppp1pppp/5n2/3p4/4P3/2N2N2/PPPP1PPP/R1BQKB1R b KQkq - 1 3");
    // Four fields, and a move count from 0 as some programs write it.
    EXPECT_EQ(ReadFen("4k3/8/8/8/8/8/8/4K3 w - -").position.fullmoveNumber, 1);
    EXPECT_EQ(ReadFen("4k3/8/8/8/8/8/8/4K3 w - - 0 0").position.fullmoveNumber, 1);
}

}  // namespace
}  // namespace chess::test
