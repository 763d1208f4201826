#include "MoveList.h"

#include "CommentCommands.h"

#include <QHeaderView>

#include <algorithm>

namespace {

// Where a cell keeps the half-move it shows.
constexpr int HalfMoveRole = Qt::UserRole;

QString TextOf(const chess::HalfMove& move, const chess::PieceLetters& letters)
{
    return QString::fromStdString(chess::DisplaySan(chess::SanWithGlyph(move), letters));
}

}  // namespace

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
    setWordWrap(true);
    setFocusPolicy(Qt::NoFocus);  // the keyboard stays with the board
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &TMoveList::FitLines);
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int column) {
        // Lines, and the cell before the first move of a record that starts
        // with black, are no moves.
        const QTableWidgetItem* it = item(row, column);
        const QVariant move = it ? it->data(HalfMoveRole) : QVariant();
        if (move.isValid())
            emit chosen(std::size_t(move.toInt()) + 1);
    });
}

QString TMoveList::Cell(int row, int column) const
{
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

// A white move with a comment ends its row, so that the comment stands right
// under it and black's answer starts the next row, as books print it.
std::vector<TMoveList::Row> TMoveList::RowsOf(const chess::History& history, const chess::PieceLetters& letters,
                                              const QString& ending)
{
    std::vector<Row> rows;
    // Commands for programs ("[%eval 0.31]") are no reading for players.
    auto comment = [&rows](const std::string& withCommands) {
        const std::string text = chess::CommentProse(withCommands);
        if (!text.empty())
            rows.push_back({{}, {}, {}, -1, -1, QString::fromStdString(text), true});
    };
    comment(history.GameComment());
    const std::size_t size = history.Size();
    for (std::size_t i = 0; i < size;) {
        Row row;
        row.number = QStringLiteral("%1.").arg(history.MoveNumber(i));
        if (history.WhiteMoved(i)) {
            row.white = TextOf(history[i], letters);
            row.whiteMove = int(i);
            if (chess::CommentProse(history[i].note.comment).empty() && i + 1 < size) {
                row.black = TextOf(history[i + 1], letters);
                row.blackMove = int(i + 1);
                ++i;
            }
        } else {
            row.white = QStringLiteral("…");
            row.black = TextOf(history[i], letters);
            row.blackMove = int(i);
        }
        rows.push_back(row);
        comment(history[i].note.comment);
        ++i;
    }
    if (!ending.isEmpty())
        rows.push_back({{}, {}, {}, -1, -1, ending, false});
    return rows;
}

void TMoveList::Fill(std::vector<Row> rows)
{
    shown_ = std::move(rows);
    placeOf_.clear();
    clearSpans();
    clearContents();
    setRowCount(int(shown_.size()));
    QStringList numbers;
    for (const Row& row : shown_)
        numbers << row.number;
    setVerticalHeaderLabels(numbers);
    QFont small = font();
    small.setItalic(true);
    small.setPointSizeF(small.pointSizeF() * 0.9);
    for (int r = 0; r < int(shown_.size()); ++r) {
        const Row& row = shown_[std::size_t(r)];
        if (!row.line.isEmpty()) {
            // Not a move: no click lands on it, and it is never marked.
            auto* line = new QTableWidgetItem(row.line);
            line->setFlags(Qt::ItemIsEnabled);
            if (row.comment) {
                line->setFont(small);
                line->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            } else {
                line->setTextAlignment(Qt::AlignCenter);
            }
            setItem(r, 0, line);
            setSpan(r, 0, 1, 2);
            continue;
        }
        const struct {
            const QString& text;
            int move;
        } cells[2] = {{row.white, row.whiteMove}, {row.black, row.blackMove}};
        for (int column = 0; column < 2; ++column) {
            if (cells[column].text.isEmpty())
                continue;
            auto* cell = new QTableWidgetItem(cells[column].text);
            if (cells[column].move >= 0) {
                cell->setData(HalfMoveRole, cells[column].move);
                if (placeOf_.size() <= std::size_t(cells[column].move))
                    placeOf_.resize(std::size_t(cells[column].move) + 1);
                placeOf_[std::size_t(cells[column].move)] = {column, r};
            }
            setItem(r, column, cell);
        }
    }
    FitLines();
    ApplyMarks();
}

void TMoveList::SetMarks(std::vector<int> levels, std::vector<QString> tips)
{
    marks_ = std::move(levels);
    tips_ = std::move(tips);
    ApplyMarks();
}

void TMoveList::ApplyMarks()
{
    static const QColor tints[4] = {QColor(), QColor(0xff, 0xf0, 0xa0), QColor(0xff, 0xc8, 0x90),
                                    QColor(0xff, 0x98, 0x98)};
    static const QString glyphs[4] = {{}, QStringLiteral("?!"), QStringLiteral("?"), QStringLiteral("??")};
    for (std::size_t i = 0; i < placeOf_.size(); ++i) {
        QTableWidgetItem* cell = item(placeOf_[i].y(), placeOf_[i].x());
        if (!cell)
            continue;
        const Row& row = shown_[std::size_t(placeOf_[i].y())];
        const QString& text = placeOf_[i].x() == 0 ? row.white : row.black;
        const int level = i < marks_.size() ? std::clamp(marks_[i], 0, 3) : 0;
        const bool ownGlyph = text.endsWith(QLatin1Char('!')) || text.endsWith(QLatin1Char('?'));
        cell->setText(level > 0 && !ownGlyph ? text + glyphs[level] : text);
        cell->setBackground(level > 0 ? QBrush(tints[level]) : QBrush());
        cell->setToolTip(level > 0 && i < tips_.size() ? tips_[i] : QString());
    }
}

void TMoveList::Show(const chess::History& history, const chess::PieceLetters& letters, const QString& ending)
{
    std::vector<Row> rows = RowsOf(history, letters, ending);
    if (rows != shown_ || rowCount() != int(rows.size()))
        Fill(std::move(rows));
    Mark(history.Current());
}

void TMoveList::Mark(std::size_t plies)
{
    setCurrentItem(nullptr);
    clearSelection();
    if (plies > 0 && plies <= placeOf_.size()) {
        const QPoint at = placeOf_[plies - 1];
        setCurrentCell(at.y(), at.x());
        scrollToItem(item(at.y(), at.x()));
    }
    // At the end, the ending (or the last comment) comes into view too.
    if (plies == placeOf_.size())
        scrollToBottom();
}

void TMoveList::FitLines()
{
    const int width = std::max(columnWidth(0) + columnWidth(1), 40) - 6;
    for (int r = 0; r < int(shown_.size()) && r < rowCount(); ++r) {
        const Row& row = shown_[std::size_t(r)];
        if (row.line.isEmpty())
            continue;
        const QTableWidgetItem* it = item(r, 0);
        const QFontMetrics metrics(it ? it->font() : font());
        const QRect text = metrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, row.line);
        setRowHeight(r, std::max(text.height() + 6, verticalHeader()->defaultSectionSize()));
    }
}
