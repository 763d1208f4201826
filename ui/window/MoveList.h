#pragma once
// The move list beside the board: the moves as numbered pairs in the current
// language's piece letters, each with the glyph of its annotation ("Jf3!"),
// the comments in lines of their own, the move that led to the position on
// the board marked, and how the game ended as its last line. Clicking a move
// asks for the position after it.

#include "History.h"
#include "Notation.h"

#include <QTableWidget>

#include <cstddef>
#include <vector>

class TMoveList : public QTableWidget {
    Q_OBJECT
public:
    explicit TMoveList(QWidget* parent = nullptr);

    // Fills the list anew when the record, its annotations, the letters or
    // the ending (a line after the moves, none when empty) have changed, and
    // moves the mark to the current half-move.
    void Show(const chess::History& history, const chess::PieceLetters& letters, const QString& ending = {});
    // Only moves the mark: for a record whose moves are the ones shown, with
    // `plies` of them on the board.
    void Mark(std::size_t plies);

    // Marks half-moves as a review judged them: `levels` holds 0 for a good
    // move and 1 to 3 for an inaccuracy, a mistake and a blunder, one a
    // half-move, and `tips` what the mark means. A marked move without a
    // glyph of its own shows the mark's ("?!", "?", "??"). Empty: no marks.
    void SetMarks(std::vector<int> levels, std::vector<QString> tips);

    // The text of one cell, "" for none: for tests that read what is shown.
    QString Cell(int row, int column) const;

signals:
    // The position after `plies` half-moves was asked for.
    void chosen(std::size_t plies);

private:
    // One row as it is shown: a pair of moves, or a line across both columns
    // (a comment, the ending).
    struct Row {
        QString number;  // "12." beside a pair, "" beside a line
        QString white, black;
        int whiteMove = -1, blackMove = -1;  // the half-moves shown, -1 for none
        QString line;
        bool comment = false;
        friend bool operator==(const Row&, const Row&) = default;
    };
    static std::vector<Row> RowsOf(const chess::History& history, const chess::PieceLetters& letters,
                                   const QString& ending);
    void Fill(std::vector<Row> rows);
    // The lines as high as their text wrapped to the list's width.
    void FitLines();

    std::vector<Row> shown_;
    std::vector<QPoint> placeOf_;  // of each half-move shown: column, row
    std::vector<int> marks_;
    std::vector<QString> tips_;
    void ApplyMarks();
};
