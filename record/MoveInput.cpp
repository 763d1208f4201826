#include "MoveInput.h"

#include <cctype>
#include <cstdlib>

namespace chess {

namespace {

constexpr int32_t kKinds[5] = {King, Queen, Rook, Bishop, Knight};
constexpr char kEnglish[5] = {'K', 'Q', 'R', 'B', 'N'};

char Upper(char c)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// The kind a letter names in the language or in English, either case.
int32_t KindOf(char c, const PieceLetters& letters)
{
    const char u = Upper(c);
    for (int i = 0; i < 5; ++i)
        if (letters.letters[std::size_t(i)].size() == 1 && Upper(letters.letters[std::size_t(i)][0]) == u)
            return kKinds[i];
    for (int i = 0; i < 5; ++i)
        if (kEnglish[i] == u)
            return kKinds[i];
    return u == 'P' ? Pawn : Empty;
}

char EnglishOf(int32_t kind)
{
    for (int i = 0; i < 5; ++i)
        if (kKinds[i] == kind)
            return kEnglish[i];
    return 'P';
}

bool IsFileChar(char c)
{
    return c >= 'a' && c <= 'h';
}

// The text in English letters: a leading piece letter as `pieceFirst`
// says, and a promotion letter after the rank.
std::string ToEnglish(std::string_view text, const PieceLetters& letters, bool pieceFirst)
{
    std::string out(text);
    std::size_t first = 0;
    while (first < out.size() && std::isspace(static_cast<unsigned char>(out[first])))
        ++first;
    if (first < out.size()) {
        const char c = out[first];
        const int32_t kind = KindOf(c, letters);
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        // A file letter stays a file unless asked to be a piece; any other
        // piece letter is a piece.
        if (kind != Empty && (pieceFirst || !IsFileChar(lower)))
            out[first] = EnglishOf(kind);
        else if (IsFileChar(lower))
            out[first] = lower;
    }
    for (std::size_t i = first + 1; i < out.size(); ++i) {
        // Squares in capitals ("NF3") are squares all the same.
        if (out[i] >= 'A' && out[i] <= 'H' && i + 1 < out.size() && out[i + 1] >= '1' && out[i + 1] <= '8')
            out[i] = static_cast<char>(out[i] - 'A' + 'a');
    }
    // The piece a pawn becomes: the last letter, after the rank.
    std::size_t last = out.find_last_not_of(" \t+#!?");
    if (last != std::string::npos && last > first + 1) {
        std::size_t rank = last - 1;
        if (out[rank] == '=' && rank > first)
            --rank;
        const int32_t kind = KindOf(out[last], letters);
        if (out[rank] >= '1' && out[rank] <= '8' && kind != Empty && kind != King && kind != Pawn)
            out[last] = EnglishOf(kind);
    }
    return out;
}

}  // namespace

TypedMove ReadTypedMove(const GameState& state, std::string_view text, const PieceLetters& letters)
{
    TypedMove result;
    std::size_t first = text.find_first_not_of(" \t");
    const bool capital = first != std::string_view::npos && std::isupper(static_cast<unsigned char>(text[first]));
    // A letter that is both a file and a piece is read the way its case
    // suggests first, and the other way when that gives no move.
    SanReading readings[2] = {ReadSan(state, ToEnglish(text, letters, capital)),
                              ReadSan(state, ToEnglish(text, letters, !capital))};
    for (const SanReading& r : readings) {
        if (r.ok) {
            result.fault = TypedMove::None;
            result.move = r.move;
            return result;
        }
    }
    const SanReading& r = readings[0];
    // ReadSan's reason for a move that fits several pieces.
    if (r.error == "more than one piece can make that move") {
        result.fault = TypedMove::Ambiguous;
        // The moves of that kind to that square; their SAN tells them apart.
        const std::string english = ToEnglish(text, letters, capital);
        const int32_t kind = KindOf(english[english.find_first_not_of(" \t")], letters);
        std::string squares;
        for (char c : english)
            if (IsFileChar(c) || (c >= '1' && c <= '8'))
                squares += c;
        const int toFile = squares.size() >= 2 ? squares[squares.size() - 2] - 'a' : -1;
        const int toRank = squares.size() >= 2 ? squares.back() - '1' : -1;
        for (const Move& m : LegalMoves(state)) {
            if (m.toFile != toFile || m.toRank != toRank || std::abs(state.At(m.fromFile, m.fromRank)) != kind)
                continue;
            GameState after = state;
            ApplyMove(after, m);
            result.candidates.push_back(DisplaySan(WriteSan(state, m, after), letters));
        }
        return result;
    }
    result.fault = r.error == "not a move" || r.error == "no move" ? TypedMove::Unreadable : TypedMove::Illegal;
    return result;
}

BoardCommand ReadBoardCommand(std::string_view text, const PieceLetters& letters)
{
    std::string words;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            words += c;
    BoardCommand command;
    if (words.empty())
        return command;
    const char verb = static_cast<char>(std::tolower(static_cast<unsigned char>(words[0])));
    const std::string_view argument = std::string_view(words).substr(1);
    // A command is a letter alone or a letter, a blank and one character:
    // "b4" and "c3" stay moves.
    const bool spaced = text.find_first_of(" \t") != std::string_view::npos;
    if (argument.empty()) {
        switch (verb) {
        case 'l':
            command.kind = BoardCommand::LastMove;
            break;
        case 'c':
            command.kind = BoardCommand::Turn;
            break;
        case 'b':
            command.kind = BoardCommand::Board;
            break;
        case 'p':
        case 's':
            command.malformed = true;
            command.kind = verb == 'p' ? BoardCommand::Pieces : BoardCommand::File;
            break;
        default:
            break;
        }
        return command;
    }
    if (!spaced || (verb != 'p' && verb != 's'))
        return command;
    command.kind = verb == 'p' ? BoardCommand::Pieces : BoardCommand::File;
    if (argument.size() != 1) {
        command.malformed = true;
        return command;
    }
    const char a = argument[0];
    if (verb == 'p') {
        const int32_t kind = KindOf(a, letters);
        if (kind == Empty)
            command.malformed = true;
        command.piece = std::isupper(static_cast<unsigned char>(a)) ? kind : -kind;
    } else if (a >= '1' && a <= '8') {
        command.kind = BoardCommand::Rank;
        command.line = a - '1';
    } else if (IsFileChar(static_cast<char>(std::tolower(static_cast<unsigned char>(a))))) {
        command.line = std::tolower(static_cast<unsigned char>(a)) - 'a';
    } else {
        command.malformed = true;
    }
    return command;
}

std::vector<int> SquaresOf(const GameState& state, int32_t piece)
{
    std::vector<int> squares;
    for (int rank = 0; rank < 8; ++rank)
        for (int file = 0; file < 8; ++file)
            if (state.At(file, rank) == piece)
                squares.push_back(file * 8 + rank);
    return squares;
}

SpokenMove DescribeMove(const GameState& before, const Move& m, const GameState& after)
{
    SpokenMove s;
    s.piece = before.At(m.fromFile, m.fromRank);
    s.fromFile = m.fromFile;
    s.fromRank = m.fromRank;
    s.toFile = m.toFile;
    s.toRank = m.toRank;
    const int kind = std::abs(s.piece);
    if (kind == King && std::abs(m.toFile - m.fromFile) == 2)
        s.castling = m.toFile > m.fromFile ? 1 : 2;
    s.enPassant = kind == Pawn && m.toFile != m.fromFile && before.At(m.toFile, m.toRank) == Empty;
    s.capture = before.At(m.toFile, m.toRank) != Empty || s.enPassant;
    s.promotion = m.promotion;
    s.check = after.WhiteToMove ? after.WhiteInCheck : after.BlackInCheck;
    return s;
}

}  // namespace chess
