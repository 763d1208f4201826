#include "BoardWidget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

BoardWidget::BoardWidget(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(612, 612);
    FitCanvasToScreen();
}

bool BoardWidget::FitCanvasToScreen()
{
    const qreal dpr = devicePixelRatioF();
    if (!canvas_.isNull() && qFuzzyCompare(canvas_.devicePixelRatio(), dpr))
        return false;
    canvas_ = QImage(qRound(612 * dpr), qRound(612 * dpr), QImage::Format_ARGB32_Premultiplied);
    canvas_.setDevicePixelRatio(dpr);
    canvas_.fill(palette().color(QPalette::Window));
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
    // Beside and below the board the window shows its background.
    const QRegion rest = event->region() - QRect(0, 0, 612, 612);
    for (const QRect& r : rest)
        p.fillRect(r, palette().color(QPalette::Window));
}

void BoardWidget::mousePressEvent(QMouseEvent* event)
{
    emit pressed(event->position().toPoint(), event->button());
}

void BoardWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double-click is a press like any other.
    emit pressed(event->position().toPoint(), event->button());
}
