#include "Pgn.h"

#include "Fen.h"

#include <cctype>
#include <ctime>

namespace chess {

namespace {

bool IsResult(std::string_view t)
{
    return t == "1-0" || t == "0-1" || t == "1/2-1/2" || t == "*";
}

bool IsSymbolChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '+' || c == '#' || c == '=' || c == ':'
        || c == '-' || c == '/' || c == '.' || c == '!' || c == '?';
}

// Reads the text token by token, keeping only what the main line needs.
class Parser {
public:
    explicit Parser(std::string_view text) : t_(text)
    {
        if (t_.substr(0, 3) == "\xEF\xBB\xBF")
            t_.remove_prefix(3);
    }

    std::vector<PgnGame> Run()
    {
        std::vector<PgnGame> games;
        PgnGame game;
        bool started = false;  // the game has a tag or a move
        bool inMoves = false;  // its movetext has begun
        auto finish = [&] {
            if (started)
                games.push_back(std::move(game));
            game = PgnGame{};
            started = inMoves = false;
        };
        while (SkipToToken()) {
            const char c = t_[i_];
            if (c == '[') {
                if (inMoves)
                    finish();
                ReadTag(game);
                started = true;
                continue;
            }
            if (c == '(') {
                SkipVariation();
                continue;
            }
            if (c == ')' || c == '<' || c == '>' || c == '*') {
                ++i_;
                if (c == '*') {  // the result of a game still going, as each game starts
                    started = true;
                    finish();
                }
                continue;
            }
            if (c == '$') {
                ++i_;
                while (i_ < t_.size() && std::isdigit(static_cast<unsigned char>(t_[i_])))
                    ++i_;
                continue;
            }
            if (c == '"') {  // a string where none belongs: skip it
                ReadString();
                continue;
            }
            if (!IsSymbolChar(c)) {
                ++i_;
                continue;
            }
            std::string_view token = ReadSymbol();
            started = inMoves = true;
            if (IsResult(token)) {
                game.result = std::string(token);
                finish();
                continue;
            }
            // A move number, with or without its dots, may be glued to the move.
            std::size_t k = 0;
            while (k < token.size() && std::isdigit(static_cast<unsigned char>(token[k])))
                ++k;
            if (k > 0 && k < token.size() && token[k] == '.') {
                while (k < token.size() && token[k] == '.')
                    ++k;
                token.remove_prefix(k);
            } else if (k == token.size()) {
                continue;  // a bare move number
            }
            if (token.empty() || token.find_first_not_of("!?") == std::string_view::npos)
                continue;  // a suffix annotation written apart
            if (token.find_first_not_of("+-=/") == std::string_view::npos && token.find_first_of("+=") != token.npos)
                continue;  // an assessment ("+-", "=", "+/="), as some programs write them
            if ((token == "e.p." || token == "ep") && !game.moves.empty())
                continue;
            game.moves.emplace_back(token);
        }
        finish();
        return games;
    }

private:
    // Skips blanks, comments and escape lines; false at the end of the text.
    bool SkipToToken()
    {
        while (i_ < t_.size()) {
            const char c = t_[i_];
            if (c == '%' && (i_ == 0 || t_[i_ - 1] == '\n' || t_[i_ - 1] == '\r')) {
                SkipLine();
            } else if (c == ';') {
                SkipLine();
            } else if (c == '{') {
                const std::size_t end = t_.find('}', i_);
                i_ = end == std::string_view::npos ? t_.size() : end + 1;
            } else if (std::isspace(static_cast<unsigned char>(c)) || c == '\0') {
                ++i_;
            } else {
                return true;
            }
        }
        return false;
    }

    void SkipLine()
    {
        const std::size_t end = t_.find('\n', i_);
        i_ = end == std::string_view::npos ? t_.size() : end + 1;
    }

    // A variation and those nested in it, with their comments.
    void SkipVariation()
    {
        int depth = 0;
        while (SkipToToken()) {
            const char c = t_[i_++];
            if (c == '(')
                ++depth;
            else if (c == ')' && --depth == 0)
                return;
            else if (c == '"')
                --i_, ReadString();
        }
    }

    std::string_view ReadSymbol()
    {
        const std::size_t start = i_;
        while (i_ < t_.size() && IsSymbolChar(t_[i_]))
            ++i_;
        return t_.substr(start, i_ - start);
    }

    // A quoted string from the opening quote; backslash escapes quote and backslash.
    std::string ReadString()
    {
        std::string value;
        ++i_;
        while (i_ < t_.size() && t_[i_] != '"' && t_[i_] != '\n') {
            if (t_[i_] == '\\' && i_ + 1 < t_.size() && (t_[i_ + 1] == '"' || t_[i_ + 1] == '\\'))
                ++i_;
            value += t_[i_++];
        }
        if (i_ < t_.size() && t_[i_] == '"')
            ++i_;
        return value;
    }

    // Like a string, but some programs leave quotes inside a value
    // unescaped: only a quote followed by the closing bracket ends it.
    std::string ReadTagValue()
    {
        std::string value;
        ++i_;
        while (i_ < t_.size() && t_[i_] != '\n') {
            const char c = t_[i_];
            if (c == '\\' && i_ + 1 < t_.size() && (t_[i_ + 1] == '"' || t_[i_ + 1] == '\\')) {
                value += t_[i_ + 1];
                i_ += 2;
                continue;
            }
            if (c == '"') {
                std::size_t next = i_ + 1;
                while (next < t_.size() && (t_[next] == ' ' || t_[next] == '\t'))
                    ++next;
                if (next >= t_.size() || t_[next] == ']' || t_[next] == '\n' || t_[next] == '\r') {
                    ++i_;
                    return value;
                }
            }
            value += c;
            ++i_;
        }
        return value;
    }

    void ReadTag(PgnGame& game)
    {
        ++i_;  // '['
        while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\t'))
            ++i_;
        const std::size_t start = i_;
        while (i_ < t_.size() && (std::isalnum(static_cast<unsigned char>(t_[i_])) || t_[i_] == '_'))
            ++i_;
        PgnTag tag;
        tag.name = std::string(t_.substr(start, i_ - start));
        while (i_ < t_.size() && t_[i_] != '"' && t_[i_] != ']' && t_[i_] != '\n')
            ++i_;
        if (i_ < t_.size() && t_[i_] == '"')
            tag.value = ReadTagValue();
        while (i_ < t_.size() && t_[i_] != ']' && t_[i_] != '\n')
            ++i_;
        if (i_ < t_.size() && t_[i_] == ']')
            ++i_;
        if (!tag.name.empty())
            game.tags.push_back(std::move(tag));
    }

    std::string_view t_;
    std::size_t i_ = 0;
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

// Adds tokens to lines of at most 80 characters.
class LineWriter {
public:
    void Add(std::string_view token)
    {
        if (!line_.empty() && line_.size() + 1 + token.size() > 80) {
            text_ += line_ + '\n';
            line_.clear();
        }
        if (!line_.empty())
            line_ += ' ';
        line_ += token;
    }
    std::string Finish()
    {
        if (!line_.empty())
            text_ += line_ + '\n';
        line_.clear();
        return std::move(text_);
    }

private:
    std::string text_, line_;
};

}  // namespace

std::string TagValue(const std::vector<PgnTag>& tags, std::string_view name)
{
    for (const PgnTag& tag : tags)
        if (tag.name == name)
            return tag.value;
    return {};
}

std::vector<PgnGame> ParsePgn(std::string_view text)
{
    return Parser(text).Run();
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
    for (std::size_t i = 0; i < history.Current(); ++i) {
        const bool white = history.WhiteMoved(i);
        if (white)
            out.Add(std::to_string(history.MoveNumber(i)) + ".");
        else if (i == 0)
            out.Add(std::to_string(history.MoveNumber(i)) + "...");
        out.Add(history[i].san);
    }
    out.Add(result);
    return out.Finish();
}

std::string WritePgn(const History& history, const std::vector<PgnTag>& tags, std::string_view result)
{
    static constexpr std::string_view roster[7] = {"Event", "Site", "Date", "Round", "White", "Black", "Result"};
    const std::string defaults[7] = {"Bodlany šachy game", "?", PgnToday(), "-", "?", "?", std::string(result)};
    auto given = [&](std::string_view name) -> const PgnTag* {
        for (const PgnTag& tag : tags)
            if (tag.name == name)
                return &tag;
        return nullptr;
    };

    std::string text;
    auto line = [&](std::string_view name, std::string_view value) {
        text += '[' + std::string(name) + " \"" + Escaped(value) + "\"]\n";
    };
    for (int k = 0; k < 7; ++k) {
        const PgnTag* tag = k < 6 ? given(roster[k]) : nullptr;
        line(roster[k], tag ? std::string_view(tag->value) : std::string_view(defaults[k]));
    }
    if (!history.StartsFromNormalPosition()) {
        line("SetUp", "1");
        line("FEN", WriteFen(history.Start(), history.StartHalfmoveClock(), history.StartFullmoveNumber()));
    }
    for (const PgnTag& tag : tags) {
        bool known = tag.name == "SetUp" || tag.name == "FEN";
        for (std::string_view name : roster)
            known |= tag.name == name;
        if (!known)
            line(tag.name, tag.value);
    }
    text += '\n';
    text += PgnMoveSection(history, result);
    text += '\n';
    return text;
}

}  // namespace chess
