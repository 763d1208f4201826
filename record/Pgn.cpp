#include "Pgn.h"

#include "Fen.h"

#include <algorithm>
#include <array>
#include <ctime>

namespace chess {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// Character classes by ASCII alone: the program may run in any locale, and
// a file's other bytes are never letters or blanks to PGN. Looked up in a
// table, since every byte of a large file passes through them.
enum CharClass : unsigned char { Blank = 1, Digit = 2, Letter = 4, SymbolMark = 8 };

constexpr std::array<unsigned char, 256> CharClasses = [] {
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

bool Is(char c, unsigned char classes)
{
    return (CharClasses[static_cast<unsigned char>(c)] & classes) != 0;
}

bool IsBlank(char c)
{
    return Is(c, Blank);
}

bool IsDigit(char c)
{
    return Is(c, Digit);
}

bool IsAlnum(char c)
{
    return Is(c, Digit | Letter);
}

bool IsSymbolChar(char c)
{
    return Is(c, Digit | Letter | SymbolMark);
}

bool IsResult(std::string_view t)
{
    return t == "1-0" || t == "0-1" || t == "1/2-1/2" || t == "*";
}

// The glyph of a suffix annotation or an assessment as people type them,
// as its NAG; 0 for none.
int GlyphNag(std::string_view glyph)
{
    static constexpr std::pair<std::string_view, int> glyphs[] = {
        {"!", 1},   {"?", 2},    {"!!", 3},   {"??", 4},   {"!?", 5},   {"?!", 6},   {"=", 10},   {"+=", 14},
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

// A move number with its periods, glued to what follows or not: "12.",
// "12...Nf3", "12" and "..." (a period is a token of its own, so "1 . e4"
// and "1. ... e5" come in pieces).
struct MoveNumberSplit {
    std::string_view digits;
    std::size_t periods = 0;
    std::string_view rest;
};

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

// The token without the move numbers and periods glued to its front.
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

// Reads one game from a text that may be only the beginning of a stream:
// whenever it runs into the end of what it has before the game is over, it
// answers NeedMore, and is run again from ResumePos() once more has come.
class Parser {
public:
    enum class Step { Game, End, NeedMore };

    // `textBegin` is where the text proper begins in `text` (after a
    // byte-order mark; npos when that lies before it): a line starts there.
    Parser(std::string_view text, std::size_t pos, bool complete, std::size_t textBegin, bool skim, bool junk)
        : t_(text), i_(pos), complete_(complete), textBegin_(textBegin), skim_(skim), junk_(junk)
    {
    }

    Step Next(PgnGame& g)
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

    std::size_t Pos() const { return i_; }
    std::size_t GameStart() const { return start_; }
    std::size_t ResumePos() const { return resume_; }
    bool ResumeInJunk() const { return resumeJunk_; }
    std::size_t MoveCount() const { return moveCount_; }

private:
    void Begin(PgnGame& g, bool junk)
    {
        g = PgnGame{};
        tagged_ = inMoves_ = false;
        moveCount_ = 0;
        junk_ = resumeJunk_ = junk;
        start_ = resume_ = i_;
    }

    bool Real() const { return !junk_ && (tagged_ || moveCount_ > 0); }

    Annotation& LastNote(PgnGame& g)
    {
        if (g.annotations.size() < g.moves.size())
            g.annotations.resize(g.moves.size());
        return g.annotations.back();
    }

    void AddComment(PgnGame& g, std::string_view raw)
    {
        const std::string text = CommentText(raw);
        if (text.empty())
            return;
        std::string& to = moveCount_ == 0 ? g.comment : LastNote(g).comment;
        to += to.empty() ? "" : " ";
        to += text;
    }

    void Symbol(PgnGame& g, std::string_view token)
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

    // Whether position `j` is past what there is; when more may come, the
    // game under way has to wait for it.
    bool AtEnd(std::size_t j)
    {
        if (j < t_.size())
            return false;
        if (!complete_)
            starved_ = true;
        return true;
    }

    bool AtLineStart(std::size_t j) const
    {
        return j == textBegin_ || (j > 0 && (t_[j - 1] == '\n' || t_[j - 1] == '\r'));
    }

    // Skips blanks and escape lines; false at the end of the text (or of
    // what has come of it).
    bool SkipBlanks()
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

    // To the start of the next line; false when the line does not end in
    // what there is yet.
    bool SkipLine()
    {
        const std::size_t end = t_.find('\n', i_);
        if (end == std::string_view::npos) {
            i_ = t_.size();
            return !AtEnd(i_) || complete_;
        }
        i_ = end + 1;
        return true;
    }

    std::string_view ReadBraceComment()
    {
        const std::size_t end = t_.find('}', i_ + 1);
        const std::size_t stop = end == std::string_view::npos ? t_.size() : end;
        const std::string_view text = t_.substr(i_ + 1, stop - i_ - 1);
        i_ = stop;
        if (!AtEnd(i_))
            ++i_;
        return text;
    }

    std::string_view ReadLineComment()
    {
        const std::size_t end = t_.find('\n', i_ + 1);
        const std::size_t stop = end == std::string_view::npos ? t_.size() : end;
        const std::string_view text = t_.substr(i_ + 1, stop - i_ - 1);
        i_ = stop;
        AtEnd(i_);  // a line not ended yet may go on
        return text;
    }

    // "$" and its digits; -1 for no NAG (no digits, or more than 255).
    int ReadNag()
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

    // A variation and those nested in it, with their comments, as export
    // text (or only passed over, unless `keep`). A tag at the start of a
    // line ends one never closed: it is the next game's.
    std::string ReadVariation(bool keep)
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

    std::string_view ReadSymbol()
    {
        const std::size_t start = i_;
        while (!AtEnd(i_) && IsSymbolChar(t_[i_]))
            ++i_;
        return t_.substr(start, i_ - start);
    }

    // A quoted string from the opening quote; backslash escapes quote and backslash.
    void ReadString()
    {
        ++i_;
        while (!AtEnd(i_) && t_[i_] != '"' && t_[i_] != '\n')
            i_ += t_[i_] == '\\' && i_ + 1 < t_.size() ? 2 : 1;
        if (!AtEnd(i_) && t_[i_] == '"')
            ++i_;
    }

    // Like a string, but some programs leave quotes inside a value
    // unescaped: only a quote followed by the closing bracket ends it.
    std::string ReadTagValue()
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

    // True for a tag pair: a name and a quoted value (the closing bracket
    // may be missing). Anything else in brackets is passed over.
    bool ReadTag(PgnTag& tag)
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

    std::string_view t_;
    std::size_t i_ = 0;
    bool complete_ = true;
    std::size_t textBegin_ = 0;
    bool skim_ = false;
    bool starved_ = false;

    bool junk_ = false;  // in a stretch that is no game, up to its result token or a tag
    bool tagged_ = false;
    bool inMoves_ = false;
    std::size_t moveCount_ = 0;
    std::size_t start_ = 0;
    std::size_t resume_ = 0;
    bool resumeJunk_ = false;
};

std::string Escaped(std::string_view value)
{
    std::string out;
    for (char c : value) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c == '\n' || c == '\r' ? ' ' : c;
    }
    return out;
}

// Fills lines of at most 79 characters, as the export format asks.
class LineWriter {
public:
    static constexpr std::size_t Width = 79;

    void Add(std::string_view token)
    {
        if (!line_.empty() && line_.size() + 1 + token.size() > Width)
            Flush();
        if (!line_.empty())
            line_ += ' ';
        else if (token.starts_with('%'))
            line_ += ' ';  // a line starting with '%' is an escape line, which readers skip
        line_ += token;
    }

    // A comment to the end of the line, over as many lines as it needs:
    // a reader joins the comments after one move again.
    void AddLineComment(std::string_view text)
    {
        std::size_t i = 0;
        bool opened = false;
        while (i < text.size()) {
            if (text[i] == ' ') {
                ++i;
                continue;
            }
            std::size_t end = text.find(' ', i);
            end = end == std::string_view::npos ? text.size() : end;
            const std::string_view word = text.substr(i, end - i);
            i = end;
            if (opened && line_.size() + 1 + word.size() > Width) {
                Flush();
                opened = false;
            }
            if (!opened) {
                if (!line_.empty() && line_.size() + 3 + word.size() > Width)
                    Flush();
                line_ += line_.empty() ? ";" : " ;";
                opened = true;
            }
            line_ += ' ';
            line_ += word;
        }
        Flush();
    }

    std::string Finish()
    {
        Flush();
        return std::move(text_);
    }

private:
    void Flush()
    {
        if (line_.empty())
            return;
        text_ += line_;
        text_ += '\n';
        line_.clear();
    }

    std::string text_, line_;
};

// The words of a comment as tokens the line filler may break between.
void WriteComment(LineWriter& out, std::string_view comment)
{
    if (comment.find('}') != std::string_view::npos) {
        out.AddLineComment(comment);
        return;
    }
    std::string token = "{";
    for (std::size_t i = 0; i < comment.size();) {
        std::size_t end = comment.find(' ', i);
        end = end == std::string_view::npos ? comment.size() : end;
        token += comment.substr(i, end - i);
        i = end + 1;
        if (i < comment.size()) {
            out.Add(token);
            token.clear();
        }
    }
    out.Add(token + "}");
}

// A variation text as the reader made it: words apart, and the comments
// to the end of a line it holds (";...\n") each ending its line.
void WriteVariations(LineWriter& out, std::string_view text)
{
    bool inBrace = false;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ' || text[i] == '\n') {
            ++i;
            continue;
        }
        if (!inBrace && text[i] == ';') {
            std::size_t end = text.find('\n', i);
            end = end == std::string_view::npos ? text.size() : end;
            out.AddLineComment(text.substr(i + 1, end - i - 1));
            i = end;
            continue;
        }
        std::size_t end = i;
        for (; end < text.size() && text[end] != ' ' && text[end] != '\n'; ++end) {
            if (text[end] == '{')
                inBrace = true;
            else if (text[end] == '}')
                inBrace = false;
        }
        out.Add(text.substr(i, end - i));
        i = end;
    }
}

PgnFault FaultOf(const SanReading& reading)
{
    if (reading.ok)
        return PgnFault::IllegalMove;  // read, but the turn sequence refused it
    if (reading.error == "not a move" || reading.error == "no move")
        return PgnFault::UnreadableMove;
    if (reading.error == "more than one piece can make that move")
        return PgnFault::AmbiguousMove;
    return PgnFault::IllegalMove;
}

}  // namespace

std::string TagValue(const std::vector<PgnTag>& tags, std::string_view name)
{
    for (const PgnTag& tag : tags)
        if (tag.name == name)
            return tag.value;
    return {};
}

const Annotation& PgnGame::Note(std::size_t i) const
{
    static const Annotation none;
    return i < annotations.size() ? annotations[i] : none;
}

PgnReader::PgnReader(std::string_view text, std::size_t offset)
    : text_(text), pos_(std::min(offset, text.size()))
{
}

PgnReader::PgnReader(Source source) : source_(std::move(source)), complete_(false)
{
}

void PgnReader::Fill()
{
    // Pieces grow with what a game needs, so that one far larger than a
    // piece is read again only a few times over.
    const std::size_t piece = std::max<std::size_t>(std::size_t{1} << 16, buffer_.size());
    const std::size_t had = buffer_.size();
    buffer_.resize(had + piece);
    const std::size_t got = source_(buffer_.data() + had, piece);
    buffer_.resize(had + std::min(got, piece));
    if (got == 0)
        complete_ = true;
}

bool PgnReader::Read(PgnGame& game, bool skim, std::size_t& moves)
{
    if (!begun_) {
        while (source_ && buffer_.size() < ByteOrderMark.size() && !complete_)
            Fill();
        if ((source_ ? std::string_view(buffer_) : text_).starts_with(ByteOrderMark))
            textBegin_ = ByteOrderMark.size();
        pos_ = std::max(pos_, textBegin_);
        begun_ = true;
    }
    for (;;) {
        const std::string_view text = source_ ? std::string_view(buffer_) : text_;
        const std::size_t textBegin = textBegin_ >= base_ ? textBegin_ - base_ : std::string_view::npos;
        Parser parser(text, pos_, complete_, textBegin, skim, junk_);
        const Parser::Step step = parser.Next(game);
        if (step == Parser::Step::NeedMore) {
            // Keep what the game under way needs, and the byte before it
            // (whether a line starts there), then read on.
            const std::size_t keep = parser.ResumePos();
            const std::size_t drop = keep > 0 ? keep - 1 : 0;
            buffer_.erase(0, drop);
            base_ += drop;
            pos_ = keep - drop;
            junk_ = parser.ResumeInJunk();
            Fill();
            continue;
        }
        pos_ = parser.Pos();
        junk_ = false;
        if (step == Parser::Step::End)
            return false;
        offset_ = base_ + parser.GameStart();
        moves = parser.MoveCount();
        ++count_;
        return true;
    }
}

bool PgnReader::Next(PgnGame& game)
{
    std::size_t moves = 0;
    return Read(game, false, moves);
}

bool PgnReader::Skim(PgnListing& listing)
{
    PgnGame game;
    std::size_t moves = 0;
    if (!Read(game, true, moves))
        return false;
    listing.number = count_;
    listing.white = game.Tag("White");
    listing.black = game.Tag("Black");
    listing.result = std::move(game.result);
    listing.moves = moves;
    listing.offset = offset_;
    return true;
}

std::vector<PgnGame> ParsePgn(std::string_view text)
{
    std::vector<PgnGame> games;
    PgnReader reader(text);
    for (PgnGame game; reader.Next(game);)
        games.push_back(std::move(game));
    return games;
}

std::vector<PgnListing> ListPgnGames(std::string_view text)
{
    std::vector<PgnListing> list;
    PgnReader reader(text);
    for (PgnListing listing; reader.Skim(listing);)
        list.push_back(std::move(listing));
    return list;
}

std::optional<PgnGame> PgnGameAt(std::string_view text, std::size_t offset)
{
    PgnReader reader(text, offset);
    PgnGame game;
    if (!reader.Next(game))
        return std::nullopt;
    return game;
}

std::optional<PgnGame> ParsePgnGame(std::string_view text, int number)
{
    PgnReader reader(text);
    PgnListing skipped;
    while (reader.Count() < number - 1)
        if (!reader.Skim(skipped))
            return std::nullopt;
    PgnGame game;
    if (number < 1 || !reader.Next(game))
        return std::nullopt;
    return game;
}

std::string CutText(std::string_view text, std::size_t maxChars)
{
    auto isLead = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; };
    std::size_t chars = 0, cut = text.size();
    const std::size_t room = maxChars > 3 ? maxChars - 3 : 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isLead(text[i]))
            continue;
        if (chars == room)
            cut = std::min(cut, i);
        if (++chars > maxChars)
            return std::string(text.substr(0, cut)) + "...";
    }
    return std::string(text);
}

std::string PgnProblem::Line() const
{
    std::string line = "game " + std::to_string(game);
    if (fault == PgnFault::BadFen)
        line += ", FEN \"";
    else
        line += ", move " + std::to_string(move) + " \"";
    return line + text + "\": " + reason;
}

PgnProblem MoveProblem(int game, int move, std::string_view text, const SanReading& reading)
{
    PgnProblem problem;
    problem.fault = FaultOf(reading);
    problem.game = game;
    problem.move = move;
    problem.text = CutText(text, MaxReportedMoveText);
    problem.reason = reading.ok ? "the rules do not allow it" : reading.error;
    return problem;
}

PgnProblem FenProblem(int game, std::string_view fen, std::string_view reason)
{
    PgnProblem problem;
    problem.fault = PgnFault::BadFen;
    problem.game = game;
    problem.text = CutText(fen, MaxReportedFenText);
    problem.reason = std::string(reason);
    return problem;
}

void ApplyPgnNotes(const PgnGame& pgn, History& history)
{
    history.SetGameComment(pgn.comment);
    const std::size_t replayed = std::min(history.Size(), pgn.annotations.size());
    for (std::size_t i = 0; i < replayed; ++i)
        if (!pgn.annotations[i].Empty())
            history.Annotate(i, pgn.annotations[i]);
    // A game cut short by a bad move has no result of its own to keep.
    if (history.Size() == pgn.moves.size() && history.Current() == history.Size())
        history.DeclareEnd(DeclaredEnd(pgn.result));
}

std::string PgnToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char date[16];
    std::strftime(date, sizeof date, "%Y.%m.%d", &local);
    return date;
}

std::string PgnMoveSection(const History& history, std::string_view result)
{
    LineWriter out;
    if (!history.GameComment().empty())
        WriteComment(out, history.GameComment());
    // Black's move carries its number at the start, and after a variation
    // of the white move before it.
    bool blackNumber = true;
    for (std::size_t i = 0; i < history.Current(); ++i) {
        const HalfMove& h = history[i];
        const bool white = history.WhiteMoved(i);
        if (white)
            out.Add(std::to_string(history.MoveNumber(i)) + ".");
        else if (blackNumber)
            out.Add(std::to_string(history.MoveNumber(i)) + "...");
        out.Add(h.san);
        for (int nag : h.note.nags)
            out.Add(NagText(nag));
        if (!h.note.comment.empty())
            WriteComment(out, h.note.comment);
        if (!h.note.variations.empty())
            WriteVariations(out, h.note.variations);
        blackNumber = white && !h.note.variations.empty();
    }
    out.Add(result);
    return out.Finish();
}

std::string WritePgn(const History& history, const std::vector<PgnTag>& tags, std::string_view result)
{
    static constexpr std::string_view roster[7] = {"Event", "Site", "Date", "Round", "White", "Black", "Result"};
    const std::string defaults[7] = {"?", "?", PgnToday(), "-", "?", "?", std::string(result)};

    std::string text;
    auto line = [&](std::string_view name, std::string_view value) {
        text += '[' + std::string(name) + " \"" + Escaped(value) + "\"]\n";
    };
    for (int k = 0; k < 7; ++k) {
        const PgnTag* given = nullptr;
        for (const PgnTag& tag : tags)
            if (k < 6 && !given && tag.name == roster[k])
                given = &tag;
        line(roster[k], given ? std::string_view(given->value) : std::string_view(defaults[k]));
    }
    std::vector<PgnTag> more;
    if (!history.StartsFromNormalPosition()) {
        more.push_back({"SetUp", "1"});
        more.push_back({"FEN", WriteFen(history.Start(), history.StartHalfmoveClock(), history.StartFullmoveNumber())});
    }
    for (const PgnTag& tag : tags) {
        const bool known = tag.name == "SetUp" || tag.name == "FEN"
                        || std::find(std::begin(roster), std::end(roster), tag.name) != std::end(roster);
        if (!known)
            more.push_back(tag);
    }
    std::stable_sort(more.begin(), more.end(), [](const PgnTag& a, const PgnTag& b) { return a.name < b.name; });
    for (const PgnTag& tag : more)
        line(tag.name, tag.value);
    text += '\n';
    text += PgnMoveSection(history, result);
    text += '\n';
    return text;
}

}  // namespace chess
