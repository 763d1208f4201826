#include "AccessBoard.h"

#include "AccessController.h"
#include "BoardWidget.h"
#include "Presentation.h"
#include "TurnSequence.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHeaderView>
#include <QTableWidget>

#include <array>
#include <vector>

namespace {

AccessController* controller_ = nullptr;

// The square of a cell as the board shows it.
chess::Square SquareOfCell(int row, int column)
{
    return chess::SquareAt(chess::FrameWidth + column * chess::SquareSize, chess::FrameWidth + row * chess::SquareSize,
                           !controller_ || controller_->Look().WhiteAtBottom);
}

// A square or a line of the move list: no widget and no children of its
// own, and nothing a reader may change.
class LeafAccessible : public QAccessibleInterface {
public:
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
};

class BoardAccessible;

class CellAccessible : public LeafAccessible, public QAccessibleTableCellInterface {
public:
    CellAccessible(BoardAccessible* table, int row, int column) : table_(table), row_(row), column_(column) {}

    bool isValid() const override { return controller_ != nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !controller_)
            return {};
        const chess::Square s = SquareOfCell(row_, column_);
        return controller_->SquareName(s.file, s.rank);
    }
    QRect rect() const override
    {
        if (!controller_)
            return {};
        BoardWidget& board = controller_->Board();
        const QPoint corner = board.mapToGlobal(
            QPoint(chess::FrameWidth + column_ * chess::SquareSize, chess::FrameWidth + row_ * chess::SquareSize));
        return {corner, QSize(chess::SquareSize, chess::SquareSize)};
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!controller_) {
            s.invalid = true;
            return s;
        }
        s.focusable = true;
        s.selectable = true;
        BoardWidget& board = controller_->Board();
        s.focused = board.hasFocus() && board.CursorShown() && board.CursorCell() == QPoint(column_, row_);
        s.selected = isSelected();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override
    {
        if (!controller_)
            return false;
        const int selected = controller_->Game().State().SelectedSquare;
        const chess::Square s = SquareOfCell(row_, column_);
        return selected != chess::NoSelection && selected == chess::SelectionOf(s.file, s.rank);
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override;

private:
    BoardAccessible* table_;
    int row_, column_;
};

class BoardAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit BoardAccessible(QWidget* board) : QAccessibleWidget(board, QAccessible::Table) {}
    ~BoardAccessible() override
    {
        for (QAccessible::Id id : ids_)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && controller_)
            return controller_->Texts().Sachovnice;
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 64; }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= 64)
            return nullptr;
        QAccessible::Id& id = ids_[std::size_t(index)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(
                new CellAccessible(const_cast<BoardAccessible*>(this), index / 8, index % 8));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < 64; ++i)
            if (ids_[std::size_t(i)] && QAccessible::accessibleInterface(ids_[std::size_t(i)]) == child)
                return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint at = widget()->mapFromGlobal(QPoint(x, y));
        if (!chess::InsidePlayingArea(at.x(), at.y()))
            return nullptr;
        return child(((at.y() - chess::FrameWidth) / chess::SquareSize) * 8
                     + (at.x() - chess::FrameWidth) / chess::SquareSize);
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        return row >= 0 && row < 8 && column >= 0 && column < 8 ? child(row * 8 + column) : nullptr;
    }
    int selectedCellCount() const override { return int(selectedCells().size()); }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> cells;
        for (int i = 0; i < 64; ++i)
            if (auto* cell = static_cast<CellAccessible*>(child(i)); cell->isSelected())
                cells.append(cell);
        return cells;
    }
    QString columnDescription(int column) const override { return QString(QChar('a' + SquareOfCell(0, column).file)); }
    QString rowDescription(int row) const override { return QString::number(SquareOfCell(row, 0).rank + 1); }
    int columnCount() const override { return 8; }
    int rowCount() const override { return 8; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    mutable std::array<QAccessible::Id, 64> ids_{};
};

QWindow* CellAccessible::window() const
{
    return table_->window();
}
QAccessibleInterface* CellAccessible::parent() const
{
    return table_;
}
QAccessibleInterface* CellAccessible::table() const
{
    return table_;
}

// The move list as a list: one item a line, as it is read aloud ("1. Jf3
// Jf6", a comment, the result). The table it is on the screen would make a
// screen reader read numbers, moves and empty cells one by one.
class MoveListAccessible;

class MoveLineAccessible : public LeafAccessible {
public:
    MoveLineAccessible(MoveListAccessible* list, int row) : list_(list), row_(row) {}
    bool isValid() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

private:
    MoveListAccessible* list_;
    int row_;
};

class MoveListAccessible : public QAccessibleWidget {
public:
    explicit MoveListAccessible(QTableWidget* list) : QAccessibleWidget(list, QAccessible::List) {}
    ~MoveListAccessible() override
    {
        for (QAccessible::Id id : ids_)
            QAccessible::deleteAccessibleInterface(id);
    }
    QTableWidget* Table() const { return static_cast<QTableWidget*>(widget()); }
    int childCount() const override { return Table()->rowCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        while (int(ids_.size()) <= index)
            ids_.push_back(QAccessible::registerAccessibleInterface(
                new MoveLineAccessible(const_cast<MoveListAccessible*>(this), int(ids_.size()))));
        return QAccessible::accessibleInterface(ids_[std::size_t(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (std::size_t i = 0; i < ids_.size(); ++i)
            if (QAccessible::accessibleInterface(ids_[i]) == child)
                return int(i);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        QTableWidget* table = Table();
        const QModelIndex at = table->indexAt(table->viewport()->mapFromGlobal(QPoint(x, y)));
        return at.isValid() ? child(at.row()) : nullptr;
    }

private:
    mutable std::vector<QAccessible::Id> ids_;
};

bool MoveLineAccessible::isValid() const
{
    return row_ < list_->childCount();
}
QWindow* MoveLineAccessible::window() const
{
    return list_->window();
}
QAccessibleInterface* MoveLineAccessible::parent() const
{
    return list_;
}
QString MoveLineAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name || !isValid())
        return {};
    QTableWidget* table = list_->Table();
    QStringList parts;
    if (const QTableWidgetItem* number = table->verticalHeaderItem(row_); number && !number->text().isEmpty())
        parts << number->text();
    for (int column = 0; column < table->columnCount(); ++column)
        if (const QTableWidgetItem* cell = table->item(row_, column); cell && !cell->text().isEmpty())
            parts << cell->text();
    return parts.join(QLatin1Char(' '));
}
QRect MoveLineAccessible::rect() const
{
    if (!isValid())
        return {};
    QTableWidget* table = list_->Table();
    const QRect line = table->visualRect(table->model()->index(row_, 0))
                           .united(table->visualRect(table->model()->index(row_, table->columnCount() - 1)));
    return {table->viewport()->mapToGlobal(line.topLeft()), line.size()};
}
QAccessible::State MoveLineAccessible::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    s.selectable = true;
    // The line of the move whose position the board shows.
    for (const QModelIndex& index : list_->Table()->selectionModel()->selectedIndexes())
        s.selected |= index.row() == row_;
    return s;
}

// Read as a notification: the role screen readers speak when it changes.
class StatusAccessible : public QAccessibleWidget {
public:
    explicit StatusAccessible(QWidget* label) : QAccessibleWidget(label, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* Factory(const QString& className, QObject* object)
{
    if (!controller_ || !object || !object->isWidgetType())
        return nullptr;
    if (object == &controller_->Board())
        return new BoardAccessible(static_cast<QWidget*>(object));
    if (className == QLatin1String("TMoveList"))
        return new MoveListAccessible(static_cast<QTableWidget*>(object));
    if (className == QLatin1String("AccessStatus"))
        return new StatusAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

}  // namespace

AccessStatus::AccessStatus(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("Hlaseni"));
    setGeometry(0, 0, 0, 0);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void AccessStatus::Say(const QString& text)
{
    setText(text);
    // Screen readers speak a notification when it is shown: Orca reads one
    // on its "showing" state turning on, and takes no notice of its name
    // changing. So each announcement shows it anew, also the same words
    // twice (a second check is news).
    QAccessibleEvent hidden(this, QAccessible::ObjectHide);
    QAccessible::updateAccessibility(&hidden);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

namespace screenreader {

void InstallFactory(AccessController* controller)
{
    static bool installed = false;
    controller_ = controller;
    if (!installed)
        QAccessible::installFactory(Factory);
    installed = true;
}

void BoardChanged(QObject* board)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(board);
    if (!table)
        return;
    for (int i = 0; i < 64; ++i) {
        QAccessibleEvent event(table->child(i), QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    QAccessibleEvent selection(board, QAccessible::SelectionWithin);
    QAccessible::updateAccessibility(&selection);
}

void CursorMoved(QObject* board)
{
    if (!QAccessible::isActive())
        return;
    const auto* widget = static_cast<BoardWidget*>(board);
    QAccessibleEvent focus(board, QAccessible::Focus);
    focus.setChild(widget->CursorCell().y() * 8 + widget->CursorCell().x());
    QAccessible::updateAccessibility(&focus);
}

}  // namespace screenreader
