#pragma once
// The reader's state machine: one game at a time out of a text that may be
// only what has come so far of a stream. PgnReader drives it.

#include "PgnGame.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace chess::pgn {

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

    Step Next(PgnGame& g);

    std::size_t Pos() const { return i_; }
    std::size_t GameStart() const { return start_; }
    std::size_t ResumePos() const { return resume_; }
    bool ResumeInJunk() const { return resumeJunk_; }
    std::size_t MoveCount() const { return moveCount_; }

private:
    void Begin(PgnGame& g, bool junk);
    bool Real() const { return !junk_ && (tagged_ || moveCount_ > 0); }
    Annotation& LastNote(PgnGame& g);
    void AddComment(PgnGame& g, std::string_view raw);
    void Symbol(PgnGame& g, std::string_view token);

    // Whether position `j` is past what there is; when more may come, the
    // game under way has to wait for it.
    bool AtEnd(std::size_t j);
    bool AtLineStart(std::size_t j) const;

    // Skips blanks and escape lines; false at the end of the text (or of
    // what has come of it).
    bool SkipBlanks();

    // To the start of the next line; false when the line does not end in
    // what there is yet.
    bool SkipLine();

    std::string_view ReadBraceComment();
    std::string_view ReadLineComment();

    // "$" and its digits; -1 for no NAG (no digits, or more than 255).
    int ReadNag();

    // A variation and those nested in it, with their comments, as export
    // text (or only passed over, unless `keep`). A tag at the start of a
    // line ends one never closed: it is the next game's.
    std::string ReadVariation(bool keep);

    std::string_view ReadSymbol();

    // A quoted string from the opening quote; backslash escapes quote and backslash.
    void ReadString();

    // Like a string, but some programs leave quotes inside a value
    // unescaped: only a quote followed by the closing bracket ends it.
    std::string ReadTagValue();

    // True for a tag pair: a name and a quoted value (the closing bracket
    // may be missing). Anything else in brackets is passed over.
    bool ReadTag(PgnTag& tag);

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

}  // namespace chess::pgn
