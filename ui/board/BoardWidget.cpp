#include "BoardWidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

BoardWidget::BoardWidget(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(612, 612);
    setFocusPolicy(Qt::StrongFocus);
    FitCanvasToScreen();
}

bool BoardWidget::FitCanvasToScreen()
{
    const qreal dpr = devicePixelRatioF();
    if (!canvas_.isNull() && qFuzzyCompare(canvas_.devicePixelRatio(), dpr))
        return false;
    // Not filled: the whole board is drawn over every pixel before it is
    // first shown, and leaving the fresh memory untouched until then keeps
    // a megabyte and a half of page faults out of the way to the window.
    canvas_ = QImage(qRound(612 * dpr), qRound(612 * dpr), QImage::Format_ARGB32_Premultiplied);
    canvas_.setDevicePixelRatio(dpr);
    wholeBoardPending_ = true;
    return true;
}

void BoardWidget::Changed(const QRect& rect)
{
    // Squares drawn by the paint handler itself are shown by that very
    // paint; asking for another would paint again, and again.
    if (painting_)
        return;
    drawnSincePaint_ += rect;
    update(rect);
}

void BoardWidget::paintEvent(QPaintEvent* event)
{
    ++paintCount_;
    FitCanvasToScreen();
    // A request that only covers squares we drew ourselves shows them; any
    // other request comes from the window system and redraws everything.
    if (wholeBoardPending_ || !(event->region() - drawnSincePaint_).isEmpty()) {
        wholeBoardPending_ = false;
        if (fullRedraw_) {
            painting_ = true;
            fullRedraw_();
            painting_ = false;
        }
    }
    drawnSincePaint_ = QRegion();
    QPainter p(this);
    p.drawImage(QPoint(0, 0), canvas_);
    if (overlay_)
        overlay_(p);
    if (cursorShown_) {
        // Black and white together stay visible on every texture and over
        // the red mark of a picked-up piece.
        const QRect r = CursorRect();
        p.setPen(QPen(Qt::black, 1));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.drawRect(r.adjusted(4, 4, -5, -5));
        p.setPen(QPen(Qt::white, 3));
        p.drawRect(r.adjusted(2, 2, -3, -3));
    }
    if (dragging_ && !dragPiece_.isNull())
        p.drawImage(DragRect(), dragPiece_);
    // Beside and below the board the window shows its background.
    const QRegion rest = event->region() - QRect(0, 0, 612, 612);
    for (const QRect& r : rest)
        p.fillRect(r, palette().color(QPalette::Window));
}

void BoardWidget::Press(QPoint at, Qt::MouseButton button)
{
    if (dragging_)
        Changed(DragRect());
    dragPiece_ = QImage();
    dragging_ = false;
    pressAt_ = at;
    emit pressed(at, button);
}

void BoardWidget::mousePressEvent(QMouseEvent* event)
{
    Press(event->position().toPoint(), event->button());
}

void BoardWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double-click is a press like any other.
    Press(event->position().toPoint(), event->button());
}

void BoardWidget::StartDrag(const QImage& piece)
{
    dragPiece_ = piece;
    dragging_ = false;
    dragAt_ = pressAt_;
}

QRect BoardWidget::DragRect() const
{
    return {dragAt_.x() - 34, dragAt_.y() - 34, 68, 68};
}

void BoardWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (dragPiece_.isNull() || event->buttons() == Qt::NoButton)
        return;
    const QPoint at = event->position().toPoint();
    if (!dragging_ && (at - pressAt_).manhattanLength() < QApplication::startDragDistance())
        return;
    if (dragging_)
        Changed(DragRect());
    dragging_ = true;
    dragAt_ = at;
    Changed(DragRect());
}

void BoardWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (dragPiece_.isNull())
        return;
    if (dragging_)
        Changed(DragRect());
    dragPiece_ = QImage();
    dragging_ = false;
    // A release on the square it was pressed on is the end of a plain click.
    const QPoint at = event->position().toPoint();
    auto cell = [](QPoint p) {
        return QPoint(p.x() < 34 ? -1 : (p.x() - 34) / 68, p.y() < 34 ? -1 : (p.y() - 34) / 68);
    };
    if (cell(at) != cell(pressAt_))
        emit pressed(at, event->button());
}

QRect BoardWidget::CursorRect() const
{
    return {34 + 68 * cursor_.x(), 34 + 68 * cursor_.y(), 68, 68};
}

void BoardWidget::keyPressEvent(QKeyEvent* event)
{
    QPoint step;
    switch (event->key()) {
    case Qt::Key_Left:
        step = {-1, 0};
        break;
    case Qt::Key_Right:
        step = {1, 0};
        break;
    case Qt::Key_Up:
        step = {0, -1};
        break;
    case Qt::Key_Down:
        step = {0, 1};
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (cursorShown_)
            Press(CursorRect().center(), Qt::NoButton);
        else
            QWidget::keyPressEvent(event);
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    Changed(CursorRect());
    // The first arrow only shows where the cursor is.
    if (cursorShown_)
        cursor_ = QPoint(std::clamp(cursor_.x() + step.x(), 0, 7), std::clamp(cursor_.y() + step.y(), 0, 7));
    cursorShown_ = true;
    Changed(CursorRect());
}
