#include "Pgn.h"

#include "PgnParser.h"
#include "PgnTokens.h"

#include <algorithm>

namespace chess {

namespace {

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

PgnReader::PgnReader(std::string_view text, std::size_t offset) : text_(text), pos_(std::min(offset, text.size())) {}

PgnReader::PgnReader(Source source) : source_(std::move(source)), complete_(false) {}

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
        while (source_ && buffer_.size() < pgn::ByteOrderMark.size() && !complete_)
            Fill();
        if ((source_ ? std::string_view(buffer_) : text_).starts_with(pgn::ByteOrderMark))
            textBegin_ = pgn::ByteOrderMark.size();
        pos_ = std::max(pos_, textBegin_);
        begun_ = true;
    }
    for (;;) {
        const std::string_view text = source_ ? std::string_view(buffer_) : text_;
        const std::size_t textBegin = textBegin_ >= base_ ? textBegin_ - base_ : std::string_view::npos;
        pgn::Parser parser(text, pos_, complete_, textBegin, skim, junk_);
        const pgn::Parser::Step step = parser.Next(game);
        if (step == pgn::Parser::Step::NeedMore) {
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
        if (step == pgn::Parser::Step::End)
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

}  // namespace chess
