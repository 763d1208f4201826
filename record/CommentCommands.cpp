#include "CommentCommands.h"

#include "History.h"

#include <vector>

namespace chess {

namespace {

struct Command {
    std::size_t begin = 0, end = 0;  // "[%" up to and including "]"
    std::string_view name, value;
};

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\n' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Every well-formed command in order. A "[%" without its "]" is prose.
std::vector<Command> Commands(std::string_view comment)
{
    std::vector<Command> found;
    std::size_t at = 0;
    while ((at = comment.find("[%", at)) != std::string_view::npos) {
        const std::size_t close = comment.find(']', at);
        if (close == std::string_view::npos)
            break;
        std::string_view body = comment.substr(at + 2, close - at - 2);
        std::size_t nameEnd = 0;
        while (nameEnd < body.size() && body[nameEnd] != ' ' && body[nameEnd] != '\t')
            ++nameEnd;
        if (nameEnd > 0)
            found.push_back({at, close + 1, body.substr(0, nameEnd), Trimmed(body.substr(nameEnd))});
        at = close + 1;
    }
    return found;
}

// `comment` with the commands for which `drop` holds taken out.
template <typename Drop>
std::string Without(std::string_view comment, Drop drop)
{
    std::string out;
    std::size_t from = 0;
    for (const Command& c : Commands(comment)) {
        if (!drop(c))
            continue;
        out.append(comment.substr(from, c.begin - from));
        out += ' ';
        from = c.end;
    }
    out.append(comment.substr(from));
    return CommentText(out);
}

}  // namespace

std::optional<std::string> CommentCommand(std::string_view comment, std::string_view name)
{
    for (const Command& c : Commands(comment))
        if (c.name == name)
            return std::string(c.value);
    return std::nullopt;
}

std::string WithCommentCommand(std::string_view comment, std::string_view name, std::string_view value)
{
    const std::string command = "[%" + std::string(name) + " " + std::string(Trimmed(value)) + "]";
    for (const Command& c : Commands(comment))
        if (c.name == name) {
            std::string out(comment.substr(0, c.begin));
            out += command;
            out += WithoutCommentCommand(comment.substr(c.end), name).insert(0, " ");
            return CommentText(out);
        }
    return CommentText(command + " " + std::string(comment));
}

std::string WithoutCommentCommand(std::string_view comment, std::string_view name)
{
    return Without(comment, [name](const Command& c) { return c.name == name; });
}

std::string CommentProse(std::string_view comment)
{
    return Without(comment, [](const Command&) { return true; });
}

std::string WithProse(std::string_view old, std::string_view prose)
{
    std::string out;
    for (const Command& c : Commands(old)) {
        out.append(old.substr(c.begin, c.end - c.begin));
        out += ' ';
    }
    out.append(prose);
    return CommentText(out);
}

}  // namespace chess
