#pragma once
// The review of a whole game: an engine's evaluation of every position of
// the record, and each move judged by how much it lowered its side's
// winning chances. No Qt.
//
// The winning chances and the thresholds are those lichess.org uses for
// its computer analysis (its open-source server, "lila": WinPercent and
// Advice in the analysis module): chances = 2 / (1 + e^(-0.00368208 * cp))
// - 1, from -1 (lost) to +1 (won), the centipawns capped at ±1000; a move
// that lowers its side's chances by 0.1 or more is an inaccuracy, by 0.2 a
// mistake, by 0.3 a blunder. A mate found counts as a game won (+1) or
// lost (-1).

#include "History.h"
#include "Uci.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace chess {

// The engine's view of one position: the score from the side to move, and
// its best line in long algebraic notation.
struct Evaluation {
    uci::Score score;
    bool whiteToMove = true;
    std::vector<std::string> pv;
};

// Winning chances from White's side, -1 to +1.
double WhiteChances(uci::Score score, bool whiteToMove);

enum class Judgement { Good, Inaccuracy, Mistake, Blunder };

// The move of White (or Black) from a position whose White's chances were
// `before` to one where they are `after`.
Judgement Judge(double before, double after, bool whiteMoved);

// $6 (?!), $2 (?), $4 (??); 0 for a good move.
int NagOf(Judgement judgement);

// The value of a "[%eval ...]" command, from White's side as other programs
// write it: "0.31", "-1.50", "#3", "#-2"; "" for a side already mated.
std::string EvalCommandValue(uci::Score score, bool whiteToMove);

class Review {
public:
    // For a record of `plies` half-moves: plies + 1 positions.
    explicit Review(std::size_t plies = 0) : evals_(plies + 1) {}

    std::size_t Positions() const { return evals_.size(); }
    void Set(std::size_t ply, Evaluation evaluation);
    const std::optional<Evaluation>& At(std::size_t ply) const { return evals_[ply]; }
    bool Complete() const;

    // The judgement of half-move `i` (from position i to i + 1); Good while
    // either evaluation is missing.
    Judgement Of(std::size_t i) const;
    // White's chances after `ply` half-moves, 0 while unknown: the graph.
    double ChancesAt(std::size_t ply) const;

    // The annotations of half-move `i` of `history` with the review written
    // in: "[%eval]" in the comment, and for a judged move its glyph (in
    // place of any other move glyph $1 to $6) and the engine's better line
    // as a variation. Writing it twice changes nothing more.
    Annotation Annotated(const History& history, std::size_t i) const;

private:
    std::vector<std::optional<Evaluation>> evals_;
};

}  // namespace chess
