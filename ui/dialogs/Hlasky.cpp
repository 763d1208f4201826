#include "Hlasky.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTextLayout>

#include <algorithm>

namespace {

// The design: a 195 x 105 client area, 13 pixels of space above and below
// the message line, the 75 x 25 button at y = 61 and 19 pixels under it.
constexpr int DesignWidth = 195;
constexpr int DesignLineHeight = 13;
constexpr int Spacing = 13;
constexpr int ButtonLeft = 64;
constexpr int ButtonTop = 61;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int BelowButton = 19;
constexpr int SideMargin = 8;
// What the window manager's frame may take around the client area: the
// caption above, this much across.
constexpr int FrameAllowance = 32;

// The message, centred line by line. A message too wide for the screen is
// broken between words, or inside a word that alone is too wide, so that
// no text is ever lost beyond the window's edge.
class MessageLabel final : public QLabel {
public:
    using QLabel::QLabel;

    // The lines the text takes at `width`, each as [start, length).
    QList<QPair<int, int>> Lines(int width) const
    {
        QTextLayout layout(text(), font());
        QTextOption option(Qt::AlignHCenter);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setFlags(QTextOption::IncludeTrailingSpaces);
        layout.setTextOption(option);
        QList<QPair<int, int>> lines;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines.append({line.textStart(), line.textLength()});
        }
        layout.endLayout();
        return lines;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        const int lineHeight = fontMetrics().lineSpacing();
        const auto lines = Lines(width());
        // A single line sits in the middle of its box, as a label centres it.
        int y = lines.size() == 1 ? (height() - lineHeight) / 2 : 0;
        for (const auto& [start, length] : lines) {
            painter.drawText(QRect(0, y, width(), lineHeight), Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine,
                             text().mid(start, length));
            y += lineHeight;
        }
    }
};

QLabel* Spacer(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFixedHeight(Spacing);
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

    Spacer(this)->setObjectName(QStringLiteral("Label2"));
    Label1 = new MessageLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setTextFormat(Qt::PlainText);  // keeps the blanks around "ŠACH!"
    Spacer(this)->setObjectName(QStringLiteral("Label3"));

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    // Laid out for its first message: measuring text here would load the
    // dialog's font while the main window is still on its way to the screen.
}

void TFormHlasky::FitToMessage()
{
    const QScreen* screen = titleSource_ ? titleSource_->screen() : QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->availableGeometry().width() : 640;
    const int room = std::max(DesignWidth, screenWidth - FrameAllowance) - 2 * SideMargin;
    const int natural = Label1->fontMetrics().horizontalAdvance(Label1->text()) + 1;
    const int labelWidth = std::clamp(natural, DesignWidth - 2 * SideMargin, room);
    const auto lines = static_cast<MessageLabel*>(Label1)->Lines(labelWidth);
    const int labelHeight = std::max<int>(DesignLineHeight, int(std::max<qsizetype>(1, lines.size()))
                                                                * Label1->fontMetrics().lineSpacing());

    const int width = labelWidth + 2 * SideMargin;
    const int buttonTop = ButtonTop + labelHeight - DesignLineHeight;
    Label1->setGeometry(SideMargin, Spacing, labelWidth, labelHeight);
    findChild<QLabel*>(QStringLiteral("Label2"))->setGeometry(0, 0, width, Spacing);
    findChild<QLabel*>(QStringLiteral("Label3"))->setGeometry(0, Spacing + labelHeight, width, Spacing);
    // The button keeps its place relative to the middle as the dialog widens.
    Button1->setGeometry(ButtonLeft + (width - DesignWidth) / 2, buttonTop, ButtonWidth, ButtonHeight);
    setFixedSize(width, buttonTop + ButtonHeight + BelowButton);
}

void TFormHlasky::Announce(const QString& text)
{
    MessageText_ = text;
    FormActivate();
    if (titleSource_) {
        // Centred over the main window, and kept on the screen when the main
        // window stands partly off it.
        const QRect owner = titleSource_->frameGeometry();
        QRect placed(QPoint(), size());
        placed.moveCenter(owner.center());
        if (const QScreen* screen = titleSource_->screen()) {
            const int side = FrameAllowance / 2;
            const QRect area = screen->availableGeometry().adjusted(side, FrameAllowance, -side, -side);
            placed.moveLeft(
                std::clamp(placed.left(), area.left(), std::max(area.left(), area.right() + 1 - placed.width())));
            placed.moveTop(
                std::clamp(placed.top(), area.top(), std::max(area.top(), area.bottom() + 1 - placed.height())));
        }
        move(placed.topLeft());
    }
    exec();
}

void TFormHlasky::FormActivate()
{
    if (titleSource_)
        setWindowTitle(titleSource_->windowTitle());
    if (!fitted_ || Label1->text() != MessageText_) {
        Label1->setText(MessageText_);
        FitToMessage();
        fitted_ = true;
    }
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

void TFormHlasky::keyPressEvent(QKeyEvent* event)
{
    // There is nothing to cancel: only OK (Enter, the space bar) and the
    // close box end the dialog.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
