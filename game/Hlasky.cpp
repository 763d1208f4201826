#include "Hlasky.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* Spacer(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFixedHeight(13);
    return label;
}

}  // namespace

TFormHlasky::TFormHlasky(QWidget* titleSource)
    : QDialog(titleSource, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      titleSource_(titleSource)
{
    setObjectName(QStringLiteral("FormHlasky"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setTextFormat(Qt::PlainText);  // keeps the blanks around "ŠACH!"

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setFixedSize(75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 0, 8, 0);
    layout->setSpacing(0);
    layout->addWidget(Spacer(this));
    layout->addWidget(Label1);
    layout->addWidget(Spacer(this));
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
    layout->addWidget(Spacer(this));
    // The window fits its contents but is never narrower than its design size.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // A fixed-size layout pins the window to its size hint, so the design
    // width has to come from the contents.
    Label1->setMinimumWidth(195 - 16);
}

void TFormHlasky::Announce(const QString& text)
{
    MessageText_ = text;
    FormActivate();
    adjustSize();
    if (titleSource_) {
        const QRect owner = titleSource_->frameGeometry();
        move(owner.center() - rect().center());
    }
    exec();
}

void TFormHlasky::FormActivate()
{
    if (titleSource_)
        setWindowTitle(titleSource_->windowTitle());
    Label1->setText(MessageText_);
}

void TFormHlasky::showEvent(QShowEvent* event)
{
    FormActivate();
    QDialog::showEvent(event);
}

void TFormHlasky::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    QDialog::changeEvent(event);
}
