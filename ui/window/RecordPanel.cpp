#include "RecordPanel.h"

#include "MoveList.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

RecordPanel::RecordPanel(const QList<QAction*>& steps, QWidget* parent)
    : QWidget(parent), list_(new TMoveList(this)), status_(new QLabel(this)), problem_(new QLabel(this))
{
    setObjectName(QStringLiteral("RecordPanel"));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    const QStyle::StandardPixmap pictures[] = {QStyle::SP_MediaSkipBackward, QStyle::SP_MediaSeekBackward,
                                               QStyle::SP_MediaSeekForward, QStyle::SP_MediaSkipForward};
    for (int i = 0; i < steps.size() && i < 4; ++i) {
        // The picture is the button's; the menu items keep their plain look.
        QAction* step = steps[i];
        step->setIcon(style()->standardIcon(pictures[i], nullptr, this));
        step->setIconVisibleInMenu(false);
        auto* button = new QToolButton(this);
        button->setObjectName(step->objectName() + QStringLiteral("Button"));
        button->setDefaultAction(step);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);  // the keyboard stays with the board
        buttons->addWidget(button);
    }
    status_->setObjectName(QStringLiteral("Status"));
    status_->setWordWrap(true);
    status_->setTextFormat(Qt::PlainText);
    problem_->setObjectName(QStringLiteral("AutosaveProblem"));
    problem_->setWordWrap(true);
    problem_->setTextFormat(Qt::PlainText);
    problem_->setStyleSheet(QStringLiteral("color: #b00000"));
    problem_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(4);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    layout->addWidget(status_);
    layout->addWidget(problem_);
}

void RecordPanel::SetStatus(const QString& status, const QString& problem)
{
    if (status_->text() != status)
        status_->setText(status);
    if (problem_->text() != problem)
        problem_->setText(problem);
    problem_->setVisible(!problem.isEmpty());
}

QString RecordPanel::Status() const
{
    return status_->text();
}

QString RecordPanel::Problem() const
{
    return problem_->text();
}
