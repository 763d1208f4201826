#include "AccessBoard.h"

#include "AccessController.h"
#include "BoardWidget.h"
#include "Presentation.h"
#include "TurnSequence.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <array>

namespace {

AccessController* controller_ = nullptr;

// The square of a cell as the board shows it.
chess::Square SquareOfCell(int row, int column)
{
    return chess::SquareAt(chess::FrameWidth + column * chess::SquareSize, chess::FrameWidth + row * chess::SquareSize,
                           !controller_ || controller_->Look().WhiteAtBottom);
}

class BoardAccessible;

class CellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    CellAccessible(BoardAccessible* table, int row, int column) : table_(table), row_(row), column_(column) {}

    bool isValid() const override { return controller_ != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !controller_)
            return {};
        const chess::Square s = SquareOfCell(row_, column_);
        return controller_->SquareName(s.file, s.rank);
    }
    void setText(QAccessible::Text, const QString&) override {}
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
