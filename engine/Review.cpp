#include "Review.h"

#include "CommentCommands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace chess {

namespace {

constexpr double Slope = 0.00368208;
constexpr int CapCentipawns = 1000;

struct Threshold {
    double drop;
    Judgement judgement;
};
constexpr Threshold Thresholds[] = {
    {0.3, Judgement::Blunder},
    {0.2, Judgement::Mistake},
    {0.1, Judgement::Inaccuracy},
};

}  // namespace

double WhiteChances(uci::Score score, bool whiteToMove)
{
    double mover = 0;
    if (score.mate) {
        // "mate 0" is the side to move mated already.
        mover = score.value > 0 ? 1.0 : -1.0;
    } else {
        const int cp = std::clamp(score.value, -CapCentipawns, CapCentipawns);
        mover = 2.0 / (1.0 + std::exp(-Slope * cp)) - 1.0;
    }
    return whiteToMove ? mover : -mover;
}

Judgement Judge(double before, double after, bool whiteMoved)
{
    const double drop = whiteMoved ? before - after : after - before;
    // A hair below the threshold still counts: the chances are computed, and
    // 0.3 itself must not fall to rounding.
    for (const Threshold& t : Thresholds)
        if (drop >= t.drop - 1e-9)
            return t.judgement;
    return Judgement::Good;
}

int NagOf(Judgement judgement)
{
    switch (judgement) {
    case Judgement::Inaccuracy:
        return 6;
    case Judgement::Mistake:
        return 2;
    case Judgement::Blunder:
        return 4;
    case Judgement::Good:
        break;
    }
    return 0;
}

std::string EvalCommandValue(uci::Score score, bool whiteToMove)
{
    const uci::Score white = uci::ForWhite(score, whiteToMove);
    if (score.mate) {
        if (score.value == 0)
            return {};
        std::string text = "#";
        text += std::to_string(white.value);
        return text;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%s%d.%02d", white.value < 0 ? "-" : "", std::abs(white.value) / 100,
                  std::abs(white.value) % 100);
    return text;
}

void Review::Set(std::size_t ply, Evaluation evaluation)
{
    if (ply < evals_.size())
        evals_[ply] = std::move(evaluation);
}

bool Review::Complete() const
{
    return std::all_of(evals_.begin(), evals_.end(), [](const auto& e) { return e.has_value(); });
}

double Review::ChancesAt(std::size_t ply) const
{
    if (ply >= evals_.size() || !evals_[ply])
        return 0;
    return WhiteChances(evals_[ply]->score, evals_[ply]->whiteToMove);
}

Judgement Review::Of(std::size_t i) const
{
    if (i + 1 >= evals_.size() || !evals_[i] || !evals_[i + 1])
        return Judgement::Good;
    return Judge(ChancesAt(i), ChancesAt(i + 1), evals_[i]->whiteToMove);
}

Annotation Review::Annotated(const History& history, std::size_t i) const
{
    Annotation note = history[i].note;
    if (i + 1 < evals_.size() && evals_[i + 1]) {
        const std::string value = EvalCommandValue(evals_[i + 1]->score, evals_[i + 1]->whiteToMove);
        if (!value.empty())
            note.comment = WithCommentCommand(note.comment, "eval", value);
    }
    const Judgement judgement = Of(i);
    if (judgement == Judgement::Good)
        return note;
    // One glyph judges a move: the review's replaces any other.
    std::erase_if(note.nags, [](int nag) { return nag >= 1 && nag <= 6; });
    note.nags.insert(note.nags.begin(), NagOf(judgement));
    const std::string better = uci::PvText(history, i, evals_[i]->pv, PieceLetters::English());
    if (!better.empty()) {
        const std::string variation = "(" + better + ")";
        if (note.variations.find(variation) == std::string::npos)
            note.variations = note.variations.empty() ? variation : variation + " " + note.variations;
    }
    return note;
}

}  // namespace chess
