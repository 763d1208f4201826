#include "PgnParser.h"

#include "PgnTokens.h"

#include <algorithm>

namespace chess::pgn {

Parser::Step Parser::Next(PgnGame& g)
{
    Begin(g, junk_);
    for (;;) {
        if (junk_) {
            resume_ = i_;
            resumeJunk_ = true;
        }
        if (!SkipBlanks())
            return starved_ ? Step::NeedMore : Real() ? Step::Game : Step::End;
        const std::size_t at = i_;
        const char c = t_[i_];
        if (c == '[') {
            PgnTag tag;
            const bool pair = ReadTag(tag);
            if (starved_)
                return Step::NeedMore;
            if (!pair)
                continue;  // a stray bracket
            if (inMoves_ || junk_) {
                // A tag after movetext begins the next game.
                if (Real()) {
                    i_ = at;
                    return Step::Game;
                }
                Begin(g, false);
                start_ = resume_ = at;
            }
            tagged_ = true;
            g.tags.push_back(std::move(tag));
            continue;
        }
        const bool keep = !skim_ && !junk_;
        if (c == '{' || c == ';') {
            const std::string_view text = c == '{' ? ReadBraceComment() : ReadLineComment();
            if (starved_)
                return Step::NeedMore;
            if (keep)
                AddComment(g, text);
        } else if (c == '(') {
            std::string text = ReadVariation(keep);
            if (starved_)
                return Step::NeedMore;
            if (keep && moveCount_ > 0) {
                std::string& to = LastNote(g).variations;
                to += to.empty() ? "" : " ";
                to += text;
            }
        } else if (c == '$') {
            const int nag = ReadNag();
            if (starved_)
                return Step::NeedMore;
            if (keep && moveCount_ > 0 && nag >= 0)
                LastNote(g).nags.push_back(nag);
        } else if (c == '"') {
            ReadString();  // a string where none belongs
            if (starved_)
                return Step::NeedMore;
        } else if (c == '*' || IsSymbolChar(c)) {
            std::string_view token = c == '*' ? t_.substr(i_++, 1) : ReadSymbol();
            if (starved_)
                return Step::NeedMore;
            if (IsResult(token)) {
                if (Real()) {
                    g.result = std::string(token);
                    return Step::Game;
                }
                Begin(g, false);  // the end of something that was no game
                continue;
            }
            if (!junk_)
                Symbol(g, token);
        } else {
            ++i_;  // ')' without '(', '<', '>' and bytes that mean nothing here
        }
    }
}

void Parser::Begin(PgnGame& g, bool junk)
{
    g = PgnGame{};
    tagged_ = inMoves_ = false;
    moveCount_ = 0;
    junk_ = resumeJunk_ = junk;
    start_ = resume_ = i_;
}

Annotation& Parser::LastNote(PgnGame& g)
{
    if (g.annotations.size() < g.moves.size())
        g.annotations.resize(g.moves.size());
    return g.annotations.back();
}

void Parser::AddComment(PgnGame& g, std::string_view raw)
{
    const std::string text = CommentText(raw);
    if (text.empty())
        return;
    std::string& to = moveCount_ == 0 ? g.comment : LastNote(g).comment;
    to += to.empty() ? "" : " ";
    to += text;
}

void Parser::Symbol(PgnGame& g, std::string_view token)
{
    inMoves_ = true;
    const std::string_view text = WithoutMoveNumbers(token);
    if (text.empty())
        return;  // a move number, or periods
    const bool keep = !skim_;
    if (const int nag = GlyphNag(text)) {  // a glyph written apart
        if (keep && moveCount_ > 0)
            LastNote(g).nags.push_back(nag);
        return;
    }
    if (text.find_first_not_of("!?") == std::string_view::npos
        || (text.find_first_not_of("+-=/") == std::string_view::npos && text.find_first_of("+=") != text.npos))
        return;  // glyphs and assessments no one agrees on
    if ((text == "e.p." || text == "ep") && moveCount_ > 0)
        return;
    if (!tagged_ && moveCount_ == 0 && !LegalFirstMove(text)) {
        // Neither tags nor a first move: whatever this is, it is no game.
        junk_ = true;
        g.comment.clear();
        return;
    }
    ++moveCount_;
    if (!keep)
        return;
    g.moves.emplace_back(text);
    const std::size_t glyph = text.find_last_not_of("!?") + 1;
    if (const int nag = glyph < text.size() ? GlyphNag(text.substr(glyph)) : 0)
        LastNote(g).nags.push_back(nag);
}

bool Parser::AtEnd(std::size_t j)
{
    if (j < t_.size())
        return false;
    if (!complete_)
        starved_ = true;
    return true;
}

bool Parser::AtLineStart(std::size_t j) const
{
    return j == textBegin_ || (j > 0 && (t_[j - 1] == '\n' || t_[j - 1] == '\r'));
}

bool Parser::SkipBlanks()
{
    while (!AtEnd(i_)) {
        const char c = t_[i_];
        if (c == '%' && AtLineStart(i_)) {
            if (!SkipLine())
                return false;
        } else if (IsBlank(c)) {
            ++i_;
        } else {
            return true;
        }
    }
    return false;
}

bool Parser::SkipLine()
{
    const std::size_t end = t_.find('\n', i_);
    if (end == std::string_view::npos) {
        i_ = t_.size();
        return !AtEnd(i_) || complete_;
    }
    i_ = end + 1;
    return true;
}

std::string_view Parser::ReadBraceComment()
{
    const std::size_t end = t_.find('}', i_ + 1);
    const std::size_t stop = end == std::string_view::npos ? t_.size() : end;
    const std::string_view text = t_.substr(i_ + 1, stop - i_ - 1);
    i_ = stop;
    if (!AtEnd(i_))
        ++i_;
    return text;
}

std::string_view Parser::ReadLineComment()
{
    const std::size_t end = t_.find('\n', i_ + 1);
    const std::size_t stop = end == std::string_view::npos ? t_.size() : end;
    const std::string_view text = t_.substr(i_ + 1, stop - i_ - 1);
    i_ = stop;
    AtEnd(i_);  // a line not ended yet may go on
    return text;
}

int Parser::ReadNag()
{
    ++i_;
    int nag = 0;
    std::size_t digits = 0;
    while (!AtEnd(i_) && IsDigit(t_[i_])) {
        nag = std::min(nag * 10 + (t_[i_++] - '0'), 1000);
        ++digits;
    }
    return digits > 0 && nag <= 255 ? nag : -1;
}

std::string Parser::ReadVariation(bool keep)
{
    VariationText out;
    int depth = 0;
    while (SkipBlanks()) {
        const char c = t_[i_];
        if (c == '[' && AtLineStart(i_))
            break;
        if (c == '(') {
            ++i_, ++depth;
            if (keep)
                out.Open();
        } else if (c == ')') {
            ++i_;
            if (keep)
                out.Close();
            if (--depth == 0)
                return out.Take();
        } else if (c == '{' || c == ';') {
            const std::string_view text = c == '{' ? ReadBraceComment() : ReadLineComment();
            if (keep && !starved_)
                out.Comment(text);
        } else if (c == '$') {
            const int nag = ReadNag();
            if (keep && nag >= 0)
                out.Word(NagText(nag));
        } else if (c == '"') {
            ReadString();
        } else if (c == '*') {
            ++i_;
            if (keep)
                out.Word("*");
        } else if (IsSymbolChar(c)) {
            const std::string_view token = ReadSymbol();
            if (keep && !starved_)
                out.Symbol(token);
        } else {
            ++i_;
        }
        if (starved_)
            return {};
    }
    for (; depth > 0 && keep; --depth)
        out.Close();
    return out.Take();
}

std::string_view Parser::ReadSymbol()
{
    const std::size_t start = i_;
    while (!AtEnd(i_) && IsSymbolChar(t_[i_]))
        ++i_;
    return t_.substr(start, i_ - start);
}

void Parser::ReadString()
{
    ++i_;
    while (!AtEnd(i_) && t_[i_] != '"' && t_[i_] != '\n')
        i_ += t_[i_] == '\\' && i_ + 1 < t_.size() ? 2 : 1;
    if (!AtEnd(i_) && t_[i_] == '"')
        ++i_;
}

std::string Parser::ReadTagValue()
{
    std::string value;
    ++i_;
    while (!AtEnd(i_) && t_[i_] != '\n') {
        const char c = t_[i_];
        if (c == '\\' && !AtEnd(i_ + 1) && (t_[i_ + 1] == '"' || t_[i_ + 1] == '\\')) {
            value += t_[i_ + 1];
            i_ += 2;
            continue;
        }
        if (c == '"') {
            std::size_t next = i_ + 1;
            while (!AtEnd(next) && (t_[next] == ' ' || t_[next] == '\t'))
                ++next;
            if (AtEnd(next) || t_[next] == ']' || t_[next] == '\n' || t_[next] == '\r') {
                ++i_;
                return value;
            }
        }
        value += c;
        ++i_;
    }
    return value;
}

bool Parser::ReadTag(PgnTag& tag)
{
    ++i_;  // '['
    while (!AtEnd(i_) && (t_[i_] == ' ' || t_[i_] == '\t'))
        ++i_;
    const std::size_t start = i_;
    while (!AtEnd(i_) && (IsAlnum(t_[i_]) || t_[i_] == '_'))
        ++i_;
    tag.name = std::string(t_.substr(start, i_ - start));
    while (!AtEnd(i_) && t_[i_] != '"' && t_[i_] != ']' && t_[i_] != '\n')
        ++i_;
    const bool quoted = !AtEnd(i_) && t_[i_] == '"';
    if (quoted)
        tag.value = ReadTagValue();
    while (!AtEnd(i_) && t_[i_] != ']' && t_[i_] != '\n')
        ++i_;
    if (!AtEnd(i_) && t_[i_] == ']')
        ++i_;
    return quoted && !tag.name.empty();
}

}  // namespace chess::pgn
