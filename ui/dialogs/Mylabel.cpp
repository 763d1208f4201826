#include "Mylabel.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QRegularExpression>

#include <algorithm>
#include <climits>

TmyLabel3d::TmyLabel3d(QWidget* parent) : TmyLabel3d(QString(), parent) {}

TmyLabel3d::TmyLabel3d(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    // The background colour is the label's own: pin the Window role to the
    // application's colour so that a parent's palette does not flow into it.
    // Only that role is pinned; the text colour still comes from the parent.
    QPalette own;
    own.setColor(QPalette::Window, QApplication::palette(this).color(QPalette::Window));
    setPalette(own);
    setAutoFillBackground(false);
}

void TmyLabel3d::setAStyle3D(T3DEffect style)
{
    if (style == style_)
        return;
    style_ = style;
    update();
}

void TmyLabel3d::setAShadeLeftTop(const QColor& colour)
{
    if (colour == shadeLeftTop_ || shadeLTSet_)
        return;
    shadeLeftTop_ = colour;
    update();
}

void TmyLabel3d::setAShadeRightBottom(const QColor& colour)
{
    if (colour == shadeRightBottom_)
        return;
    shadeRightBottom_ = colour;
    update();
}

void TmyLabel3d::setAHShadeOffSet(int offset)
{
    if (offset == hShadeOffset_)
        return;
    hShadeOffset_ = offset;
    update();
}

void TmyLabel3d::setAVShadeOffSet(int offset)
{
    if (offset == vShadeOffset_)
        return;
    vShadeOffset_ = offset;
    update();
}

void TmyLabel3d::setAShadeLTSet(bool set)
{
    if (set != shadeLTSet_) {
        shadeLTSet_ = set;
        if (set) {
            savedShadeLeftTop_ = shadeLeftTop_;
            shadeLeftTop_ = Qt::white;
        } else {
            shadeLeftTop_ = savedShadeLeftTop_;
        }
    }
    // Always repaints, so setting it also serves to refresh the shades.
    update();
}

void TmyLabel3d::setTransparent(bool transparent)
{
    if (transparent == transparent_)
        return;
    transparent_ = transparent;
    update();
}

void TmyLabel3d::setShowAccelChar(bool show)
{
    if (show == showAccelChar_)
        return;
    showAccelChar_ = show;
    updateGeometry();
    update();
}

int TmyLabel3d::textFlags() const
{
    int flags = Qt::TextWordWrap | Qt::TextExpandTabs | Qt::AlignTop | int(alignment() & Qt::AlignHorizontal_Mask);
    // Without TextShowMnemonic QPainter shows "&" as it is.
    if (showAccelChar_)
        flags |= Qt::TextShowMnemonic;
    return flags;
}

QRect TmyLabel3d::textRect() const
{
    const int m = margin();
    return contentsRect().adjusted(m, m, -m, -m);
}

void TmyLabel3d::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!transparent_)
        painter.fillRect(rect(), palette().color(QPalette::Window));

    const QRect r = textRect();
    const int flags = textFlags();
    const QString caption = text();
    painter.setFont(font());

    // Recessed swaps the two colours so that the light edge falls below and
    // to the right, as if lit from the top left.
    const bool recessed = style_ == Resit3d;
    const QColor lowerRight = recessed ? shadeLeftTop_ : shadeRightBottom_;
    const QColor upperLeft = recessed ? shadeRightBottom_ : shadeLeftTop_;

    switch (style_) {
    case Resit3d:
    case Raised3d:
        painter.setPen(lowerRight);
        painter.drawText(r.translated(1, 1), flags, caption);
        painter.setPen(upperLeft);
        painter.drawText(r.translated(-1, -1), flags, caption);
        break;
    case Shadowed3d:
        painter.setPen(shadeRightBottom_);
        painter.drawText(r.translated(hShadeOffset_, vShadeOffset_), flags, caption);
        break;
    case Normal3d:
        break;
    }

    // A disabled face takes the system's grey text, whatever colour the
    // label's text was given; the shades stay as they are.
    const QColor face = isEnabled() ? palette().color(QPalette::Active, foregroundRole())
                                    : QApplication::palette(this).color(QPalette::Disabled, QPalette::WindowText);
    painter.setPen(face);
    painter.drawText(r, flags, caption);
}

void TmyLabel3d::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    emit OnMouseOut();
}

void TmyLabel3d::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    pressed_ = true;
    event->accept();
}

void TmyLabel3d::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !pressed_) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    pressed_ = false;
    event->accept();
    // Dragging off the label before letting go cancels the click.
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

// The caption's size without margins: on one line (explicit line breaks
// aside) when width is negative, else wrapped at that width.
QSize TmyLabel3d::captionSize(int width) const
{
    const QFontMetrics fm(font());
    if (width < 0)
        return fm.size(textFlags() & ~Qt::TextWordWrap, text());
    return fm.boundingRect(QRect(0, 0, std::max(width, 1), INT_MAX / 4), textFlags(), text()).size();
}

static QSize marginSize(const QWidget* w, int margin)
{
    const QMargins cm = w->contentsMargins();
    return QSize(cm.left() + cm.right() + 2 * margin, cm.top() + cm.bottom() + 2 * margin);
}

QSize TmyLabel3d::sizeHint() const
{
    return captionSize(-1) + marginSize(this, margin());
}

QSize TmyLabel3d::minimumSizeHint() const
{
    // Narrow enough for the widest word, so that a layout can make the
    // label wrap; the height is what the caption needs at that width.
    const QFontMetrics fm(font());
    const int oneLine = textFlags() & ~Qt::TextWordWrap;
    int widest = 0;
    const QStringList words = text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (const QString& word : words)
        widest = std::max(widest, fm.size(oneLine, word).width());
    const QSize extra = marginSize(this, margin());
    return QSize(widest + extra.width(), captionSize(widest).height() + extra.height());
}

bool TmyLabel3d::hasHeightForWidth() const
{
    return true;
}

int TmyLabel3d::heightForWidth(int width) const
{
    const QSize extra = marginSize(this, margin());
    return captionSize(width - extra.width()).height() + extra.height();
}
