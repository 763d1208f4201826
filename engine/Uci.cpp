#include "Uci.h"

#include "Fen.h"

#include <algorithm>
#include <charconv>

namespace chess::uci {

namespace {

// The words of a line, split at blanks and tabs (an engine may end its
// lines with "\r\n").
std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r' || line[i] == '\n'))
            ++i;
        std::size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r' && line[j] != '\n')
            ++j;
        if (j > i)
            words.push_back(line.substr(i, j - i));
        i = j;
    }
    return words;
}

std::optional<int> Number(std::string_view word)
{
    int value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size())
        return std::nullopt;
    return value;
}

// The state after `ply` half-moves; a ply past the record's end is its end.
const GameState& StateAt(const History& history, std::size_t ply)
{
    return history.StateAt(std::min(ply, history.Size()));
}

}  // namespace

Score ForWhite(Score score, bool whiteToMove)
{
    if (!whiteToMove)
        score.value = -score.value;
    return score;
}

std::optional<Info> ParseInfo(std::string_view line)
{
    const std::vector<std::string_view> words = Words(line);
    if (words.empty() || words[0] != "info")
        return std::nullopt;
    Info info;
    bool scored = false;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string_view word = words[i];
        const bool hasNext = i + 1 < words.size();
        if (word == "depth" && hasNext) {
            info.depth = Number(words[++i]).value_or(0);
        } else if (word == "multipv" && hasNext) {
            info.multipv = Number(words[++i]).value_or(1);
        } else if (word == "score" && i + 2 < words.size()) {
            const std::string_view kind = words[i + 1];
            const std::optional<int> value = Number(words[i + 2]);
            if ((kind != "cp" && kind != "mate") || !value)
                return std::nullopt;
            info.score = {kind == "mate", *value};
            scored = true;
            i += 2;
            // A bound says only that the score is at least or at most this;
            // the line that follows it gives the real one.
            if (i + 1 < words.size() && (words[i + 1] == "lowerbound" || words[i + 1] == "upperbound"))
                return std::nullopt;
        } else if (word == "pv") {
            for (++i; i < words.size(); ++i)
                info.pv.emplace_back(words[i]);
        } else if (word == "string") {
            break;  // the rest of the line is free text
        }
    }
    if (!scored || info.pv.empty() || info.multipv < 1)
        return std::nullopt;
    return info;
}

std::optional<std::string> ParseBestMove(std::string_view line)
{
    const std::vector<std::string_view> words = Words(line);
    if (words.empty() || words[0] != "bestmove")
        return std::nullopt;
    if (words.size() < 2 || words[1] == "(none)" || words[1] == "0000")
        return std::string();
    return std::string(words[1]);
}

std::optional<std::string> ParseName(std::string_view line)
{
    const std::vector<std::string_view> words = Words(line);
    if (words.size() < 3 || words[0] != "id" || words[1] != "name")
        return std::nullopt;
    const std::size_t from = std::size_t(words[2].data() - line.data());
    std::string_view name = line.substr(from);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\r' || name.back() == '\n' || name.back() == '\t'))
        name.remove_suffix(1);
    return std::string(name);
}

bool IsAnswer(std::string_view line, std::string_view answer)
{
    const std::vector<std::string_view> words = Words(line);
    return words.size() == 1 && words[0] == answer;
}

std::string PositionCommand(const History& history, std::size_t ply)
{
    ply = std::min(ply, history.Size());
    std::string command = "position ";
    if (history.StartsFromNormalPosition())
        command += "startpos";
    else
        command += "fen " + WriteFen(history.Start(), history.StartHalfmoveClock(), history.StartFullmoveNumber());
    if (ply > 0) {
        command += " moves";
        for (std::size_t i = 0; i < ply; ++i)
            command += ' ' + LongAlgebraic(history[i].move);
    }
    return command;
}

std::string GoCommand(Limit limit)
{
    if (limit.depth > 0)
        return "go depth " + std::to_string(limit.depth);
    if (limit.milliseconds > 0)
        return "go movetime " + std::to_string(limit.milliseconds);
    return "go infinite";
}

std::string PvText(const History& history, std::size_t ply, const std::vector<std::string>& pv,
                   const PieceLetters& letters, std::size_t maxMoves)
{
    GameState state = StateAt(history, ply);
    state.SelectedSquare = NoSelection;
    int number = history.MoveNumber(std::min(ply, history.Size()));
    std::string text;
    for (std::size_t i = 0; i < pv.size() && i < maxMoves; ++i) {
        const SanReading reading = ReadSan(state, pv[i]);
        if (!reading.ok)
            break;
        const GameState before = state;
        ApplyMove(state, reading.move);
        if (!text.empty())
            text += ' ';
        if (before.WhiteToMove)
            text += std::to_string(number) + ". ";
        else if (i == 0)
            text += std::to_string(number) + "... ";
        text += DisplaySan(WriteSan(before, reading.move, state), letters);
        if (!before.WhiteToMove)
            ++number;
    }
    return text;
}

std::optional<Move> FirstMove(const History& history, std::size_t ply, const std::vector<std::string>& pv)
{
    if (pv.empty())
        return std::nullopt;
    const SanReading reading = ReadSan(StateAt(history, ply), pv.front());
    if (!reading.ok)
        return std::nullopt;
    return reading.move;
}

}  // namespace chess::uci
