#include "History.h"

#include "Fen.h"
#include "Rules.h"

#include <algorithm>
#include <cstdlib>

namespace chess {

namespace {

// Up to this clock a new position is compared with those before it.
constexpr int ComparedPlies = 24;
constexpr std::size_t UsualGamePlies = 128;

GameState NormalStart()
{
    GameState s;
    SetUpNewGame(s);
    return s;
}

}  // namespace

std::string CommentText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    bool blank = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
            blank = !out.empty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

std::string_view NagGlyph(int nag)
{
    static constexpr std::string_view glyphs[] = {"!", "?", "!!", "??", "!?", "?!"};
    return nag >= 1 && nag <= 6 ? glyphs[nag - 1] : std::string_view();
}

std::string SanWithGlyph(const HalfMove& move)
{
    for (int nag : move.note.nags)
        if (!NagGlyph(nag).empty())
            return move.san + std::string(NagGlyph(nag));
    return move.san;
}

History::History()
{
    Reset(NormalStart());
}

void History::Reset(const GameState& start, int halfmoveClock, int fullmoveNumber)
{
    start_ = start;
    start_.SelectedSquare = NoSelection;
    startClock_ = std::clamp(halfmoveClock, 0, MaxFenNumber);
    startMoveNumber_ = std::clamp(fullmoveNumber, 1, MaxFenNumber);
    startKey_ = KeyOf(start_);
    moves_.clear();
    current_ = 0;
    comment_.clear();
    firstEnd_ = 0;
    startEnd_ = GameEnd::None;
    ClearCounts();
}

bool History::StartsFromNormalPosition() const
{
    return startClock_ == 0 && startMoveNumber_ == 1 && startKey_ == KeyOf(NormalStart());
}

const GameState& History::StateAt(std::size_t ply) const
{
    return ply == 0 ? start_ : moves_[ply - 1].after;
}

bool History::WhiteMoved(std::size_t i) const
{
    return (i % 2 == 0) == start_.WhiteToMove;
}

int History::MoveNumber(std::size_t i) const
{
    return startMoveNumber_ + static_cast<int>((i + (start_.WhiteToMove ? 0 : 1)) / 2);
}

std::uint32_t& History::CountOf(std::size_t ply)
{
    if ((countedPositions_ + 1) * 2 > counted_.size()) {
        std::vector<Counted> old(std::max<std::size_t>(64, counted_.size() * 2));
        old.swap(counted_);
        for (const Counted& c : old) {
            if (c.count == 0)
                continue;
            std::size_t i = c.hash & (counted_.size() - 1);
            while (counted_[i].count != 0)
                i = (i + 1) & (counted_.size() - 1);
            counted_[i] = c;
        }
    }
    const PositionKey& key = KeyAt(ply);
    const std::uint64_t hash = PositionKeyHash{}(key);
    std::size_t i = hash & (counted_.size() - 1);
    for (; counted_[i].count != 0; i = (i + 1) & (counted_.size() - 1))
        if (counted_[i].hash == hash && KeyAt(counted_[i].ply) == key)
            return counted_[i].count;
    ++countedPositions_;
    counted_[i] = {hash, static_cast<std::uint32_t>(ply), 0};
    return counted_[i].count;
}

void History::ClearCounts()
{
    // In time proportional to what was counted, so that a table grown by
    // one long run does not cost every short one after it.
    if (counted_.size() > 8 * countedPositions_ + 256)
        counted_.clear();
    else
        std::fill(counted_.begin(), counted_.end(), Counted{});
    countedPositions_ = 0;
    countedPly_ = NotCounted;
}

void History::CountPositionsUpTo(std::size_t ply)
{
    // The positions a repetition can go back to: those since the last
    // capture or pawn move, which all have the clock of `ply` behind them.
    ClearCounts();
    const int clock = ply == 0 ? startClock_ : moves_[ply - 1].halfmoveClock;
    const std::size_t from = ply > static_cast<std::size_t>(clock) ? ply - static_cast<std::size_t>(clock) : 0;
    for (std::size_t p = from; p <= ply; ++p)
        ++CountOf(p);
    countedPly_ = ply;
}

const HalfMove& History::Record(const Move& move, const GameState& after)
{
    if (countedPly_ != NotCounted && countedPly_ > current_)
        countedPly_ = NotCounted;  // it counted a line now cut off
    moves_.resize(current_);
    firstEnd_ = std::min(firstEnd_, current_);
    if (current_ == 0)
        startEnd_ = GameEnd::None;
    const GameState& before = State();
    const int32_t piece = before.At(move.fromFile, move.fromRank);
    const bool capture = before.At(move.toFile, move.toRank) != Empty
                      || (std::abs(piece) == Pawn && move.toFile != move.fromFile);
    const int clock = capture || std::abs(piece) == Pawn ? 0 : HalfmoveClock() + 1;

    // Whether the side to move has any move left decides mate, stalemate and
    // the SAN's mark alike: it is asked once.
    const bool inCheck = after.WhiteToMove ? after.WhiteInCheck : after.BlackInCheck;
    const bool hasMove = HasLegalMove(after, after.WhiteToMove);
    std::string san = WriteSan(before, move, after, hasMove);

    // Made in place: a game state is large, and this runs for every move of
    // every game a file holds. `before` may move with the vector from here.
    // Room for a game of usual length at once: growing move by move, the
    // record of each game of a database would be moved over and over.
    if (moves_.capacity() == 0)
        moves_.reserve(UsualGamePlies);
    HalfMove& h = moves_.emplace_back();
    h.move = move;
    h.san = std::move(san);
    h.after = after;
    h.after.SelectedSquare = NoSelection;
    h.halfmoveClock = clock;
    h.key = KeyOf(h.after);
    // Positions before the last capture or pawn move cannot come again (a
    // position with the other side to move is another key). A few of them
    // are quicker compared than counted; a long run is counted, so that a
    // game of any length is recorded in linear time.
    if (h.halfmoveClock <= ComparedPlies) {
        for (std::size_t back = 2; back <= static_cast<std::size_t>(h.halfmoveClock) && back <= current_ + 1; back += 2)
            h.occurrence += KeyAt(current_ + 1 - back) == h.key;
        countedPly_ = NotCounted;  // the count, if any, is of another run
    } else {
        if (countedPly_ != current_)
            CountPositionsUpTo(current_);
        h.occurrence = static_cast<int>(++CountOf(current_ + 1));
        countedPly_ = current_ + 1;
    }

    if (!hasMove)
        h.end = !inCheck ? GameEnd::Stalemate : after.WhiteToMove ? GameEnd::BlackWins : GameEnd::WhiteWins;
    else if (InsufficientMaterial(after))
        h.end = GameEnd::DeadPosition;
    else if (h.occurrence >= FivefoldCount)
        h.end = GameEnd::FivefoldRepetition;
    else if (h.halfmoveClock >= SeventyFiveMovePlies)
        h.end = GameEnd::SeventyFiveMoves;

    current_ = moves_.size();
    if (firstEnd_ == current_ - 1 && moves_.back().end == GameEnd::None)
        firstEnd_ = current_;
    return moves_.back();
}

bool History::JumpTo(std::size_t ply, GameState& state)
{
    if (ply > moves_.size() || ply == current_)
        return false;
    current_ = ply;
    const bool touched = state.BoardTouched;
    state = StateAt(ply);
    state.BoardTouched = touched;
    return true;
}

bool History::TakeBack(GameState& state)
{
    return current_ > 0 && JumpTo(current_ - 1, state);
}

bool History::Replay(GameState& state)
{
    return JumpTo(current_ + 1, state);
}

std::optional<Move> History::LastMove() const
{
    if (current_ == 0)
        return std::nullopt;
    return moves_[current_ - 1].move;
}

int History::HalfmoveClock() const
{
    return current_ == 0 ? startClock_ : moves_[current_ - 1].halfmoveClock;
}

int History::FullmoveNumber() const
{
    return MoveNumber(current_);
}

std::string History::Fen() const
{
    return WriteFen(State(), HalfmoveClock(), FullmoveNumber());
}

GameEnd History::End() const
{
    if (startEnd_ != GameEnd::None)
        return startEnd_;
    if (firstEnd_ >= current_)
        return GameEnd::None;
    const HalfMove& ending = moves_[firstEnd_];
    return ending.end != GameEnd::None ? ending.end : ending.claim;
}

GameEnd History::ClaimableDraw() const
{
    if (current_ == 0 || Over())
        return GameEnd::None;
    const HalfMove& last = moves_[current_ - 1];
    if (last.occurrence >= ThreefoldCount)
        return GameEnd::ThreefoldClaimed;
    if (last.halfmoveClock >= FiftyMoveClaimPlies)
        return GameEnd::FiftyMovesClaimed;
    return GameEnd::None;
}

GameEnd History::ClaimOccasion() const
{
    if (current_ == 0 || Over())
        return GameEnd::None;
    // Each position is offered once, when it stands for the third time, and
    // the fifty-move count once, when it is reached; a player who declines
    // is not asked again at every move after.
    const HalfMove& last = moves_[current_ - 1];
    if (last.occurrence == ThreefoldCount)
        return GameEnd::ThreefoldClaimed;
    const int before = current_ >= 2 ? moves_[current_ - 2].halfmoveClock : startClock_;
    if (last.halfmoveClock >= FiftyMoveClaimPlies && before < FiftyMoveClaimPlies)
        return GameEnd::FiftyMovesClaimed;
    return GameEnd::None;
}

void History::ClaimDraw(GameEnd claim)
{
    if (current_ == 0 || (claim != GameEnd::ThreefoldClaimed && claim != GameEnd::FiftyMovesClaimed))
        return;
    moves_[current_ - 1].claim = claim;
    firstEnd_ = std::min(firstEnd_, current_ - 1);
}

bool History::DeclareEnd(GameEnd end)
{
    if (current_ == 0 || !IsDeclared(end) || Over())
        return false;
    moves_[current_ - 1].claim = end;
    firstEnd_ = std::min(firstEnd_, current_ - 1);
    return true;
}

bool History::DeclareStartEnd(GameEnd end)
{
    if (current_ != 0 || !IsDeclared(end) || Over())
        return false;
    startEnd_ = end;
    return true;
}

bool History::SetComment(std::size_t i, std::string_view comment)
{
    if (i >= moves_.size())
        return false;
    moves_[i].note.comment = CommentText(comment);
    return true;
}

bool History::Annotate(std::size_t i, Annotation note)
{
    if (i >= moves_.size())
        return false;
    note.comment = CommentText(note.comment);
    moves_[i].note = std::move(note);
    return true;
}

}  // namespace chess
