#include "EnginePanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The colours of an inaccuracy, a mistake and a blunder, as the move list
// tints them.
const QColor MarkColours[4] = {QColor(), QColor(0xd8, 0xb4, 0x00), QColor(0xe0, 0x70, 0x10), QColor(0xd0, 0x20, 0x20)};

QLabel* WrappingLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

EvalGraph::EvalGraph(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("EvalGraph"));
    setMinimumHeight(60);
    setCursor(Qt::PointingHandCursor);
}

void EvalGraph::Show(std::vector<double> chances, std::vector<int> marks, std::size_t current)
{
    chances_ = std::move(chances);
    marks_ = std::move(marks);
    current_ = current;
    update();
}

void EvalGraph::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.fillRect(area, QColor(0x40, 0x40, 0x40));
    if (chances_.size() < 2)
        return;
    const double step = area.width() / double(chances_.size() - 1);
    auto at = [&](std::size_t ply) {
        return QPointF(area.left() + step * double(ply), area.center().y() - chances_[ply] * area.height() / 2);
    };
    // White's share of the graph is white, as on a score sheet of an engine.
    QPainterPath white;
    white.moveTo(area.left(), area.bottom());
    for (std::size_t ply = 0; ply < chances_.size(); ++ply)
        white.lineTo(at(ply));
    white.lineTo(area.right(), area.bottom());
    white.closeSubpath();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(white, QColor(0xf0, 0xf0, 0xf0));
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1, Qt::DotLine));
    p.drawLine(QPointF(area.left(), area.center().y()), QPointF(area.right(), area.center().y()));
    for (std::size_t i = 0; i < marks_.size() && i + 1 < chances_.size(); ++i)
        if (marks_[i] > 0) {
            p.setPen(Qt::NoPen);
            p.setBrush(MarkColours[std::min(marks_[i], 3)]);
            p.drawEllipse(at(i + 1), 2.5, 2.5);
        }
    if (current_ < chances_.size()) {
        p.setPen(QPen(QColor(0x30, 0x80, 0xe0), 1.5));
        p.drawLine(QPointF(at(current_).x(), area.top()), QPointF(at(current_).x(), area.bottom()));
    }
}

void EvalGraph::mousePressEvent(QMouseEvent* event)
{
    if (chances_.size() < 2 || width() <= 1)
        return;
    const double step = double(width() - 1) / double(chances_.size() - 1);
    const long ply = std::lround(event->position().x() / step);
    emit chosen(std::size_t(std::clamp(ply, 0L, long(chances_.size() - 1))));
}

EnginePanel::EnginePanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("EnginePanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    engine_ = WrappingLabel(this);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    engine_->setFont(small);
    evaluation_ = new QLabel(this);
    evaluation_->setObjectName(QStringLiteral("Evaluation"));
    QFont big = font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.5);
    evaluation_->setFont(big);
    depth_ = new QLabel(this);
    depth_->setFont(small);
    lines_ = WrappingLabel(this);
    lines_->setObjectName(QStringLiteral("Lines"));
    status_ = WrappingLabel(this);
    QPalette warning = status_->palette();
    warning.setColor(QPalette::WindowText, QColor(0xa0, 0x10, 0x10));
    status_->setPalette(warning);
    progress_ = new QProgressBar(this);
    progress_->setTextVisible(true);
    cancel_ = new QPushButton(this);
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(progress_, 1);
    progressRow->addWidget(cancel_);
    graph_ = new EvalGraph(this);
    judgement_ = WrappingLabel(this);
    judgement_->setObjectName(QStringLiteral("Judgement"));
    save_ = new QPushButton(this);
    layout->addWidget(engine_);
    layout->addWidget(evaluation_);
    layout->addWidget(depth_);
    layout->addWidget(lines_);
    layout->addWidget(status_);
    layout->addLayout(progressRow);
    layout->addWidget(graph_);
    layout->addWidget(judgement_);
    layout->addWidget(save_);
    layout->addStretch(1);
    connect(cancel_, &QPushButton::clicked, this, &EnginePanel::cancelled);
    connect(save_, &QPushButton::clicked, this, &EnginePanel::saveRequested);
    SetProgress(-1, 0, {});
    SetReview({}, false);
    status_->hide();
}

void EnginePanel::SetTexts(const QString& cancel, const QString& save)
{
    cancel_->setText(cancel);
    save_->setText(save);
}

void EnginePanel::SetEngine(const QString& name)
{
    engine_->setText(name);
}

void EnginePanel::SetAnalysis(const QString& evaluation, const QString& depth, const QString& lines)
{
    evaluation_->setText(evaluation);
    depth_->setText(depth);
    lines_->setText(lines);
}

void EnginePanel::SetStatus(const QString& status)
{
    status_->setText(status);
    status_->setVisible(!status.isEmpty());
}

void EnginePanel::SetProgress(int done, int total, const QString& text)
{
    const bool shown = done >= 0;
    progress_->setVisible(shown);
    cancel_->setVisible(shown);
    if (shown) {
        progress_->setRange(0, std::max(total, 1));
        progress_->setValue(done);
        progress_->setFormat(text);
    }
}

void EnginePanel::SetReview(const QString& judgement, bool saveable)
{
    graph_->setVisible(saveable);
    judgement_->setText(judgement);
    judgement_->setVisible(saveable && !judgement.isEmpty());
    save_->setVisible(saveable);
}

QString EnginePanel::Evaluation() const
{
    return evaluation_->text();
}

QString EnginePanel::Lines() const
{
    return lines_->text();
}

QString EnginePanel::Status() const
{
    return status_->text();
}

QString EnginePanel::Judgement() const
{
    return judgement_->isVisible() || !judgement_->text().isEmpty() ? judgement_->text() : QString();
}
