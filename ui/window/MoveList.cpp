#include "MoveList.h"

#include <QHeaderView>

#include <algorithm>

TMoveList::TMoveList(QWidget* parent) : QTableWidget(0, 2, parent)
{
    setObjectName(QStringLiteral("MoveList"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    horizontalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setShowGrid(false);
    setFocusPolicy(Qt::NoFocus);  // the keyboard stays with the board
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &TMoveList::FitEndingRow);
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int column) {
        // Half-moves before the first one of the record are empty cells.
        const int index = 2 * row + column - (startsWithBlack_ ? 1 : 0);
        if (index >= 0 && std::size_t(index) < shownSize_)
            emit chosen(std::size_t(index) + 1);
    });
}

QPoint TMoveList::PlaceOf(const chess::History&, std::size_t i) const
{
    const int index = int(i) + (startsWithBlack_ ? 1 : 0);
    return {index % 2, index / 2};
}

QString TMoveList::Cell(int row, int column) const
{
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void TMoveList::Show(const chess::History& history, const chess::PieceLetters& letters, const QString& ending)
{
    bool same = filled_ && history.Size() == shownSize_ && letters.letters == shownLetters_ && ending == shownEnding_;
    for (std::size_t i = 0; same && i < history.Size(); ++i)
        same = history[i].san == shownSans_[i];
    if (!same) {
        filled_ = true;
        shownSize_ = history.Size();
        shownLetters_ = letters.letters;
        shownSans_.clear();
        startsWithBlack_ = !history.Start().WhiteToMove;
        firstMoveNumber_ = history.StartFullmoveNumber();
        shownEnding_ = ending;
        const int cells = int(history.Size()) + (startsWithBlack_ ? 1 : 0);
        const int moveRows = (cells + 1) / 2;
        clearSpans();
        setRowCount(moveRows + (ending.isEmpty() ? 0 : 1));
        QStringList numbers;
        for (int row = 0; row < moveRows; ++row)
            numbers << QStringLiteral("%1.").arg(firstMoveNumber_ + row);
        if (!ending.isEmpty())
            numbers << QString();
        setVerticalHeaderLabels(numbers);
        clearContents();
        if (!ending.isEmpty()) {
            // Not a move: no click lands on it, and it is never marked.
            auto* line = new QTableWidgetItem(ending);
            line->setFlags(Qt::ItemIsEnabled);
            line->setTextAlignment(Qt::AlignCenter);
            setItem(moveRows, 0, line);
            setSpan(moveRows, 0, 1, 2);
            FitEndingRow();
        }
        for (std::size_t i = 0; i < history.Size(); ++i) {
            shownSans_.push_back(history[i].san);
            const QPoint at = PlaceOf(history, i);
            setItem(at.y(), at.x(),
                    new QTableWidgetItem(QString::fromStdString(chess::DisplaySan(history[i].san, letters))));
        }
        if (startsWithBlack_ && rowCount() > 0)
            setItem(0, 0, new QTableWidgetItem(QStringLiteral("…")));
    }
    shownCurrent_ = history.Current();
    setCurrentItem(nullptr);
    clearSelection();
    if (shownCurrent_ > 0) {
        const QPoint at = PlaceOf(history, shownCurrent_ - 1);
        setCurrentCell(at.y(), at.x());
        scrollToItem(item(at.y(), at.x()));
    }
    if (shownCurrent_ == shownSize_ && !shownEnding_.isEmpty())
        scrollToBottom();
}

void TMoveList::FitEndingRow()
{
    if (shownEnding_.isEmpty() || rowCount() == 0)
        return;
    const int width = std::max(columnWidth(0) + columnWidth(1), 40) - 6;
    const QRect text = fontMetrics().boundingRect(QRect(0, 0, width, 1000), Qt::TextWordWrap, shownEnding_);
    setRowHeight(rowCount() - 1, std::max(text.height() + 6, verticalHeader()->defaultSectionSize()));
}
