#include "ClockPanel.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

ClockFace::ClockFace(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize ClockFace::sizeHint() const
{
    return {140, 96};
}

void ClockFace::Show(const Look& look)
{
    if (look == look_)
        return;
    // A screen reader reads the face by its name: who, the time, the period.
    if (look.name != look_.name || look.time != look_.time || look.detail != look_.detail)
        setAccessibleName(look.detail.isEmpty()
                              ? look.name + QStringLiteral(" ") + look.time
                              : look.name + QStringLiteral(" ") + look.time + QStringLiteral(", ") + look.detail);
    look_ = look;
    update();
}

void ClockFace::paintEvent(QPaintEvent*)
{
    ++paints_;
    QPainter p(this);
    const QRect all = rect();
    // The running side's face is lit and framed; the other stays grey.
    const QColor back = look_.running && !look_.paused ? QColor(255, 250, 215) : QColor(222, 222, 222);
    p.fillRect(all, back);
    p.setPen(QPen(look_.running ? QColor(30, 90, 30) : QColor(160, 160, 160), look_.running ? 4 : 1));
    p.drawRect(all.adjusted(2, 2, -2, -2));
    QFont font = p.font();
    font.setPointSizeF(font.pointSizeF() * 1.05);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(all.adjusted(8, 6, -8, 0), Qt::AlignLeft | Qt::AlignTop, look_.name);
    QFont big = font;
    big.setBold(true);
    big.setPointSizeF(font.pointSizeF() * 1.9);
    p.setFont(big);
    p.setPen(look_.low ? QColor(200, 0, 0) : look_.paused ? QColor(110, 110, 110) : QColor(0, 0, 0));
    p.drawText(all, Qt::AlignCenter, look_.time);
    QFont small = font;
    small.setPointSizeF(font.pointSizeF() * 0.8);
    p.setFont(small);
    p.setPen(QColor(60, 60, 60));
    p.drawText(all.adjusted(6, 0, -6, -6), Qt::AlignHCenter | Qt::AlignBottom | Qt::TextWordWrap, look_.detail);
}

ClockPanel::ClockPanel(QWidget* parent)
    : QWidget(parent), white_(new ClockFace), black_(new ClockFace), status_(new QLabel)
{
    white_->setObjectName(QStringLiteral("bily"));
    black_->setObjectName(QStringLiteral("cerny"));
    status_->setAlignment(Qt::AlignCenter);
    status_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 34, 4, 34);  // level with the board's playing area
    Place();
}

void ClockPanel::SetWhiteAtBottom(bool whiteAtBottom)
{
    if (whiteAtBottom == whiteAtBottom_)
        return;
    whiteAtBottom_ = whiteAtBottom;
    Place();
}

void ClockPanel::Place()
{
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    for (QWidget* w : {static_cast<QWidget*>(white_), static_cast<QWidget*>(black_), static_cast<QWidget*>(status_)})
        layout->removeWidget(w);
    while (layout->count() > 0)
        delete layout->takeAt(0);
    layout->addWidget(whiteAtBottom_ ? black_ : white_);
    layout->addStretch(1);
    layout->addWidget(status_);
    layout->addStretch(1);
    layout->addWidget(whiteAtBottom_ ? white_ : black_);
}

void ClockPanel::SetStatus(const QString& text)
{
    if (status_->text() != text)
        status_->setText(text);
}

QString ClockPanel::Status() const
{
    return status_->text();
}
