#include "PgnTokens.h"

#include "GameState.h"
#include "Notation.h"

#include <utility>

namespace chess::pgn {

bool IsResult(std::string_view t)
{
    return t == "1-0" || t == "0-1" || t == "1/2-1/2" || t == "*";
}

int GlyphNag(std::string_view glyph)
{
    static constexpr std::pair<std::string_view, int> glyphs[] = {
        {"!", 1},    {"?", 2},   {"!!", 3},   {"??", 4},   {"!?", 5},   {"?!", 6},  {"=", 10},  {"+=", 14},
        {"+/=", 14}, {"=+", 15}, {"=/+", 15}, {"+/-", 16}, {"-/+", 17}, {"+-", 18}, {"-+", 19},
    };
    for (const auto& [text, nag] : glyphs)
        if (glyph == text)
            return nag;
    return 0;
}

std::string NagText(int nag)
{
    std::string text = "$";
    text += std::to_string(nag);
    return text;
}

MoveNumberSplit SplitMoveNumber(std::string_view token)
{
    std::size_t k = 0;
    while (k < token.size() && IsDigit(token[k]))
        ++k;
    if (k < token.size() && token[k] != '.')
        return {{}, 0, token};  // "0-0", "1-0", "e4"
    MoveNumberSplit split;
    split.digits = token.substr(0, k);
    while (k < token.size() && token[k] == '.')
        ++k, ++split.periods;
    split.rest = token.substr(k);
    return split;
}

std::string_view WithoutMoveNumbers(std::string_view token)
{
    for (;;) {
        const MoveNumberSplit split = SplitMoveNumber(token);
        if (split.digits.empty() && split.periods == 0)
            return token;
        token = split.rest;
    }
}

bool LegalFirstMove(std::string_view text)
{
    static const GameState start = [] {
        GameState s;
        SetUpNewGame(s);
        return s;
    }();
    return ReadSan(start, text).ok;
}

}  // namespace chess::pgn
