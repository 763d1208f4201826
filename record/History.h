#pragma once
// The record of one game: where it started and every half-move played since,
// each with the whole game state after it, so that going back restores
// exactly what the rules need. The turn sequence tells it each move it has
// carried out; it never moves a piece itself.

#include "DrawRules.h"
#include "GameState.h"
#include "Notation.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chess {

// What an annotator wrote about a half-move besides the move itself. Kept
// so that a game read from a file is written back with it.
struct Annotation {
    std::vector<int> nags;  // Numeric Annotation Glyphs ($1 ... $255), in the order written
    std::string comment;    // the comments after the move, one blank between words
    // The variations that follow the move, in the export form the PGN
    // reader makes of them: "(1... c5 2. Nf3) (1... e6)". Written back as
    // they are; nothing checks them against the rules.
    std::string variations;

    bool Empty() const { return nags.empty() && comment.empty() && variations.empty(); }
    friend bool operator==(const Annotation&, const Annotation&) = default;
};

// A comment as the record keeps it: runs of blanks and line ends made one
// blank, none at either end. Line breaks do not survive the export format's
// line filling anyway.
std::string CommentText(std::string_view text);

// "!", "?", "!!", "??", "!?" or "?!" for the glyphs $1 to $6; "" for others.
std::string_view NagGlyph(int nag);

struct HalfMove {
    Move move;
    std::string san;              // English letters, with "+" or "#"
    GameState after;              // nothing picked up
    int halfmoveClock = 0;        // after the move
    PositionKey key;              // of the position after the move
    int occurrence = 1;           // how often that position has stood since the clock was last reset
    GameEnd end = GameEnd::None;  // the game ended with this move (mate, stalemate, a draw)
    // A draw the player to move claimed here, or a result declared here.
    GameEnd claim = GameEnd::None;
    Annotation note;
};

// The move as the move list shows it: its SAN with the glyph of its first
// annotation $1 to $6 ("Nf3!"). English letters; DisplaySan swaps them.
std::string SanWithGlyph(const HalfMove& move);

class History {
public:
    History();  // the normal starting position

    // Starts a new record from `start` (a new game, or a position set up).
    void Reset(const GameState& start, int halfmoveClock = 0, int fullmoveNumber = 1);

    const GameState& Start() const { return start_; }
    int StartHalfmoveClock() const { return startClock_; }
    int StartFullmoveNumber() const { return startMoveNumber_; }
    // Whether the game began from the normal starting position (no SetUp
    // needed in PGN).
    bool StartsFromNormalPosition() const;

    // All half-moves recorded, including those taken back and not yet replayed.
    std::size_t Size() const { return moves_.size(); }
    // How many half-moves are on the board now.
    std::size_t Current() const { return current_; }
    const HalfMove& operator[](std::size_t i) const { return moves_[i]; }
    const std::vector<HalfMove>& Moves() const { return moves_; }

    // The state after `ply` half-moves (0 = the start).
    const GameState& StateAt(std::size_t ply) const;
    const GameState& State() const { return StateAt(current_); }

    // The move number and side of half-move `i`, as "12." or "12...".
    int MoveNumber(std::size_t i) const;
    bool WhiteMoved(std::size_t i) const;

    // A move the turn sequence has just carried out, from the current state
    // to `after`; the half-moves taken back are cut off first.
    const HalfMove& Record(const Move& move, const GameState& after);

    // Going back and forth: each puts the recorded state into `state`
    // (keeping its BoardTouched) and answers false, changing nothing, at an end.
    bool TakeBack(GameState& state);
    bool Replay(GameState& state);
    bool JumpTo(std::size_t ply, GameState& state);

    // The move that led to the current state.
    std::optional<Move> LastMove() const;

    int HalfmoveClock() const;
    int FullmoveNumber() const;
    std::string Fen() const;

    // How the game stands at the current half-move: the first end reached up
    // to it, or None.
    GameEnd End() const;
    bool Over() const { return End() != GameEnd::None; }
    // The draw the player to move may claim now (ThreefoldClaimed or
    // FiftyMovesClaimed), or None.
    GameEnd ClaimableDraw() const;
    // The claim that the last move has just made possible, to be offered
    // once: a position standing for the third time, or the fifty-move count
    // just reached. None when nothing new may be claimed.
    GameEnd ClaimOccasion() const;
    // Records the claim of the player to move; the game is then over. Needs a
    // half-move on the board.
    void ClaimDraw(GameEnd claim);
    // Records a result no rule has brought about (WhiteWinsDeclared,
    // BlackWinsDeclared or DrawDeclared) at the current half-move: End()
    // reports it while that half-move is on the board, and a move played
    // after taking it back cuts it off. False, changing nothing, with no
    // half-move on the board or a game already over there.
    bool DeclareEnd(GameEnd end);
    // The same before the first move (a flag before White has moved): the
    // game then ended at the start, whichever half-move is shown. A move
    // recorded from the start cuts it off. False with a move on the board.
    bool DeclareStartEnd(GameEnd end);

    // The comment before the first move, and the annotations of half-move
    // `i`. A move played after a take-back cuts off the annotations of the
    // moves it replaces, as it cuts off the moves. The setters answer false,
    // changing nothing, when there is no half-move `i`.
    const std::string& GameComment() const { return comment_; }
    void SetGameComment(std::string_view comment) { comment_ = CommentText(comment); }
    bool SetComment(std::size_t i, std::string_view comment);
    bool Annotate(std::size_t i, Annotation note);

private:
    const PositionKey& KeyAt(std::size_t ply) const { return ply == 0 ? startKey_ : moves_[ply - 1].key; }
    void CountPositionsUpTo(std::size_t ply);

    GameState start_;
    int startClock_ = 0;
    int startMoveNumber_ = 1;
    PositionKey startKey_;
    std::vector<HalfMove> moves_;
    std::size_t current_ = 0;
    std::string comment_;
    // The first half-move that ended the game (by a rule or a claim), or
    // moves_.size() when none has: End() is asked after every move.
    std::size_t firstEnd_ = 0;
    GameEnd startEnd_ = GameEnd::None;
    // How often each position has stood since the last capture or pawn move,
    // up to and including ply `countedPly_`, once that run grows long. Kept
    // up as moves are recorded, so that a long game is recorded in linear
    // time; made afresh after a jump, when the next move may branch off
    // elsewhere.
    // An open-addressed table, at most half full, of the positions by their
    // hash, each with a ply where it stood (where its key is compared) and
    // its count; a hash table of its own because a game without captures
    // puts a million positions in it.
    struct Counted {
        std::uint64_t hash = 0;
        std::uint32_t ply = 0;
        std::uint32_t count = 0;  // 0: a free slot
    };
    static constexpr std::size_t NotCounted = static_cast<std::size_t>(-1);
    std::uint32_t& CountOf(std::size_t ply);
    void ClearCounts();
    std::vector<Counted> counted_;
    std::size_t countedPositions_ = 0;
    std::size_t countedPly_ = NotCounted;
};

}  // namespace chess
