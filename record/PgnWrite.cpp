#include "Pgn.h"

#include "Fen.h"
#include "PgnTokens.h"

#include <algorithm>
#include <ctime>

namespace chess {

namespace {

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

}  // namespace

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
            out.Add(pgn::NagText(nag));
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
