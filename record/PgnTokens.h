#pragma once
// The small pieces of reading PGN: which bytes are what, glyphs and NAGs,
// move numbers glued to moves, and the export text of a variation.

#include "History.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace chess::pgn {

inline constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// Character classes by ASCII alone: the program may run in any locale, and
// a file's other bytes are never letters or blanks to PGN. Looked up in a
// table, since every byte of a large file passes through them.
enum CharClass : unsigned char { Blank = 1, Digit = 2, Letter = 4, SymbolMark = 8 };

inline constexpr std::array<unsigned char, 256> CharClasses = [] {
    std::array<unsigned char, 256> classes{};
    for (unsigned char c : std::string_view(" \t\n\r\v\f\0", 7))
        classes[c] = Blank;
    for (int c = '0'; c <= '9'; ++c)
        classes[c] = Digit;
    for (int c = 'a'; c <= 'z'; ++c)
        classes[c] = classes[c - 'a' + 'A'] = Letter;
    for (unsigned char c : std::string_view("_+#=:-/.!?"))
        classes[c] = SymbolMark;
    return classes;
}();

inline bool Is(char c, unsigned char classes)
{
    return (CharClasses[static_cast<unsigned char>(c)] & classes) != 0;
}

inline bool IsBlank(char c)
{
    return Is(c, Blank);
}

inline bool IsDigit(char c)
{
    return Is(c, Digit);
}

inline bool IsAlnum(char c)
{
    return Is(c, Digit | Letter);
}

inline bool IsSymbolChar(char c)
{
    return Is(c, Digit | Letter | SymbolMark);
}

bool IsResult(std::string_view t);

// The glyph of a suffix annotation or an assessment as people type them,
// as its NAG; 0 for none.
int GlyphNag(std::string_view glyph);
std::string NagText(int nag);

// A move number with its periods, glued to what follows or not: "12.",
// "12...Nf3", "12" and "..." (a period is a token of its own, so "1 . e4"
// and "1. ... e5" come in pieces).
struct MoveNumberSplit {
    std::string_view digits;
    std::size_t periods = 0;
    std::string_view rest;
};

MoveNumberSplit SplitMoveNumber(std::string_view token);

// The token without the move numbers and periods glued to its front.
std::string_view WithoutMoveNumbers(std::string_view token);

// Whether `text` is a move White may make from the starting position.
bool LegalFirstMove(std::string_view text);

// A variation in export form as it is read: single blanks between tokens,
// none inside the parentheses, comments in braces (those next to each
// other made one, as after a move of the main line), move numbers apart
// from their moves. Reading the text written from it gives it back
// unchanged.
class VariationText {
public:
    void Open()
    {
        Put("(");
        glue_ = true;
    }
    void Close()
    {
        FlushNumber();
        FlushComment();
        text_ += ')';
        glue_ = false;
    }
    void Comment(std::string_view raw)
    {
        const std::string text = CommentText(raw);
        if (text.empty())
            return;
        FlushNumber();
        comment_ += comment_.empty() ? "" : " ";
        comment_ += text;
    }
    void Word(std::string_view word) { Put(word); }
    void Symbol(std::string_view token)
    {
        // As many numbers and periods as are glued together ("12.", ".1"),
        // then whatever is left is a word.
        for (;;) {
            const MoveNumberSplit split = SplitMoveNumber(token);
            if (!split.digits.empty()) {
                FlushNumber();
                number_ = std::string(split.digits);
                periods_ = split.periods;
            } else if (!number_.empty()) {
                periods_ += split.periods;
            }
            token = split.rest;
            if (token.empty())
                return;
            if (split.digits.empty() && split.periods == 0)
                break;
        }
        Put(token);
    }
    std::string Take()
    {
        FlushNumber();
        FlushComment();
        return std::move(text_);
    }

private:
    void Put(std::string_view word)
    {
        FlushNumber();
        FlushComment();
        Append(word);
    }
    void Append(std::string_view word)
    {
        if (!text_.empty() && !glue_)
            text_ += ' ';
        text_ += word;
        glue_ = false;
    }
    void FlushNumber()
    {
        if (number_.empty())
            return;
        FlushComment();
        Append(number_ + (periods_ >= 2 ? "..." : "."));
        number_.clear();
        periods_ = 0;
    }
    void FlushComment()
    {
        if (comment_.empty())
            return;
        if (comment_.find('}') == std::string::npos) {
            Append("{" + comment_ + "}");
        } else {
            // Braces cannot hold it: a comment to the end of the line,
            // which no parenthesis may be glued to.
            glue_ = false;
            Append(";" + comment_ + "\n");
        }
        comment_.clear();
    }

    std::string text_;
    bool glue_ = false;
    std::string number_;
    std::size_t periods_ = 0;
    std::string comment_;
};

}  // namespace chess::pgn
