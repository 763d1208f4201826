#include "About.h"

#include "Artwork.h"
#include "AuthorInfo.h"
#include "JpegImage.h"
#include "Mylabel.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>

namespace {

const QColor Maroon(128, 0, 0);

// Link captions longer than their box (a long web address, say) are shown
// smaller rather than cut off, but no smaller than this.
constexpr int MinimumCaptionPixels = 10;

// The gap kept between a widened label and the control to its right.
constexpr int Gap = 4;

constexpr TextKey<AboutTexts> AboutTextKeys[] = {
    {"Autor", &AboutTexts::Autor},
    {"myLabel3d1", &AboutTexts::myLabel3d1},
    {"myLabel3d2", &AboutTexts::myLabel3d2},
    {"Label1", &AboutTexts::Label1},
    {"Label4", &AboutTexts::Label4},
    {"Label8", &AboutTexts::Label8},
    {"myLabel3d3.Hint", &AboutTexts::myLabel3d3Hint},
    {"myLabel3d4.Hint", &AboutTexts::myLabel3d4Hint},
    {"TextChyba", &AboutTexts::TextChyba},
    {"TextNemohuProhlizec", &AboutTexts::TextNemohuProhlizec},
    {"TextNemohuPostu", &AboutTexts::TextNemohuPostu},
    {"TextPosliteUdaje", &AboutTexts::TextPosliteUdaje},
};

// The bottom edge a paragraph may reach before it would run into the next
// row; text beyond it is cut rather than drawn over that row.
constexpr int Label1Bottom = 87, Label4Bottom = 139, Label8Bottom = 183;

QFont PixelFont(const QFont& base, int pixelSize, bool bold)
{
    QFont font = base;
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void SetTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

TmyLabel3d* Make3dLabel(QWidget* parent, const char* name, const QString& caption, const QRect& place, int pixelSize,
                        TmyLabel3d::T3DEffect style)
{
    auto* label = new TmyLabel3d(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(PixelFont(parent->font(), pixelSize, true));
    SetTextColour(label, Maroon);
    label->setAStyle3D(style);
    label->setGeometry(place);
    return label;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QPoint at, bool bold)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(PixelFont(parent->font(), parent->font().pixelSize(), bold));
    label->setTextFormat(Qt::PlainText);
    label->move(at);
    label->adjustSize();
    return label;
}

// A word-wrapped paragraph; it grows downwards rather than lose a line.
QLabel* MakeParagraph(QWidget* parent, const char* name, const QString& text, const QRect& place, bool bold)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(PixelFont(parent->font(), parent->font().pixelSize(), bold));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(place.x(), place.y(), place.width(),
                       std::max(place.height(), label->heightForWidth(place.width())));
    return label;
}

// Keeps a 3-D caption on one line and whole: the label widens as far as
// `right` allows, and where even that is too narrow the font shrinks.
void FitOnOneLine(TmyLabel3d* label, int right)
{
    // One pixel more for the shade copy drawn below and to the right.
    const auto needed = [label] { return label->sizeHint().width() + 1; };
    const int room = right - label->x();
    QFont font = label->font();
    while (needed() > room && font.pixelSize() > MinimumCaptionPixels) {
        font.setPixelSize(font.pixelSize() - 1);
        label->setFont(font);
    }
    // Whatever still does not fit (a hostile language file) is cut at the
    // next control rather than drawn over it.
    if (needed() > label->width())
        label->resize(std::min(needed(), std::max(room, label->width())), label->height());
}

// A word-wrapped paragraph as tall as its text, from its design height down
// to `bottom` at most.
void FitParagraph(QLabel* label, int designHeight, int bottom)
{
    const int needed = label->heightForWidth(label->width());
    label->resize(label->width(), std::clamp(needed, designHeight, std::max(designHeight, bottom - label->y() + 1)));
}

// A one-line caption cut with an ellipsis where it would reach `right`.
void FitCaption(QLabel* label, int right)
{
    label->adjustSize();
    const int room = right - label->x();
    if (label->width() > room) {
        label->setText(label->fontMetrics().elidedText(label->text(), Qt::ElideRight, room - 2));
        label->resize(room, label->height());
    }
}

// A web address too wide for its column at full size is shown without
// "https://", which every browser adds by itself; the link still opens the
// whole address.
void DropSchemeIfTooWide(TmyLabel3d* label, int right)
{
    if (label->sizeHint().width() + 1 <= right - label->x())
        return;
    static const QRegularExpression scheme(QStringLiteral("^https?://"), QRegularExpression::CaseInsensitiveOption);
    label->setText(label->text().remove(scheme));
}

void SetLongHint(QWidget* widget, const QString& hint)
{
    // The short part is empty, so no tooltip; the long part goes where
    // help and status bars look for it.
    widget->setWhatsThis(hint);
    widget->setStatusTip(hint);
}

}  // namespace

QUrl InformationMailLink(const QString& email, const QString& title, const QString& text)
{
    const QByteArray subject = QUrl::toPercentEncoding(QStringLiteral("Informace o programu ") + title);
    const QByteArray body = QUrl::toPercentEncoding(text);
    return QUrl(QStringLiteral("mailto:") + email + QStringLiteral("?subject=") + QString::fromLatin1(subject)
                + QStringLiteral("&body=") + QString::fromLatin1(body));
}

TAutor::TAutor(const QString& programDir, const QString& languageName, const QString& executablePath, QWidget* owner)
    : TAutor(programDir, LanguageFile(LanguageFilePath(programDir, languageName)), executablePath, owner)
{
}

TAutor::TAutor(const QString& programDir, const LanguageFile& language, const QString& executablePath, QWidget* owner)
    : QDialog(owner), programDir_(programDir), executablePath_(executablePath),
      openUrl_([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("Autor"));
    setWindowTitle(texts_.Autor);
    setFixedSize(447, 307);
    setFont(PixelFont(QFont(QStringLiteral("Times New Roman")), 13, false));
    // The picture is light whatever the desktop's colours are.
    SetTextColour(this, Qt::black);

    facts_ = [this] {
        QWidget* main = parentWidget() ? parentWidget()->window() : this;
        return GatherSystemFacts(main, programDir_, executablePath_);
    };

    InitArtwork();
    QFile picture(QStringLiteral(":/about/background.jpg"));
    if (picture.open(QIODevice::ReadOnly))
        Image1 = DecodeJpeg(picture.readAll());

    myLabel3d1 = Make3dLabel(this, "myLabel3d1", texts_.myLabel3d1, QRect(8, 8, 324, 31), 27, TmyLabel3d::Raised3d);
    myLabel3d1->setAShadeLeftTop(Qt::yellow);
    myLabel3d2 = Make3dLabel(this, "myLabel3d2", texts_.myLabel3d2, QRect(384, 20, 48, 15), 13, TmyLabel3d::Resit3d);
    myLabel3d2->setAShadeLeftTop(Qt::yellow);

    Label1 = MakeParagraph(this, "Label1", texts_.Label1, QRect(8, 48, 433, 33), true);
    Label4 = MakeParagraph(this, "Label4", texts_.Label4, QRect(10, 88, 431, 33), false);
    Label8 = MakeParagraph(this, "Label8", texts_.Label8, QRect(8, 140, 433, 33), false);

    Label2 = MakeLabel(this, "Label2", QStringLiteral("Tato verze spatřila světlo světa:"), {8, 184}, false);
    Label5 = MakeLabel(this, "Label5", QStringLiteral("Internetová adresa:"), {8, 202}, true);
    Label3 = MakeLabel(this, "Label3", QStringLiteral("E-mailová adresa autora:"), {160, 202}, true);
    Label6 = MakeLabel(this, "Label6", QStringLiteral("Telefon:"), {320, 202}, true);

    myLabel3d3 = Make3dLabel(this, "myLabel3d3", QString::fromUtf8(author::Web), QRect(8, 216, 129, 19), 16,
                             TmyLabel3d::Raised3d);
    myLabel3d3->setCursor(Qt::PointingHandCursor);
    myLabel3d4 = Make3dLabel(this, "myLabel3d4", QString::fromUtf8(author::Email), QRect(160, 216, 143, 19), 16,
                             TmyLabel3d::Raised3d);
    myLabel3d4->setCursor(Qt::PointingHandCursor);
    myLabel3d5 = Make3dLabel(this, "myLabel3d5", QString::fromUtf8(author::Phone), QRect(320, 216, 117, 19), 16,
                             TmyLabel3d::Raised3d);
    myLabel3d5->setCursor(Qt::ArrowCursor);
    for (TmyLabel3d* label : {myLabel3d3, myLabel3d4, myLabel3d5})
        label->setShowAccelChar(false);

    Button1 = new QPushButton(QStringLiteral("Pošli informace"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(88, 272, 97, 25);
    OKButton = new QPushButton(QStringLiteral("Zavřít"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(278, 272, 67, 25);
    OKButton->setDefault(true);
    // Enter must close the dialog when it opens, so the default button also
    // holds the focus: a focused "Pošli informace" would take Enter itself.
    OKButton->setFocus();

    connect(myLabel3d3, &TmyLabel3d::clicked, this, &TAutor::myLabel3d3Click);
    connect(myLabel3d4, &TmyLabel3d::clicked, this, &TAutor::myLabel3d4Click);
    connect(Button1, &QPushButton::clicked, this, &TAutor::Button1Click);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate(language);
    if (owner)
        CentreOver(owner->window());
}

void TAutor::setUrlOpener(UrlOpener opener)
{
    openUrl_ = std::move(opener);
}

void TAutor::setFactsSource(FactsSource source)
{
    facts_ = std::move(source);
}

void TAutor::FormCreate(const LanguageFile& file)
{
    const auto text = [&file](const char* key, const QString& fallback) {
        return file.Text("Autor", QLatin1String(key), fallback);
    };
    Button1->setText(text("Button1", Button1->text()));
    OKButton->setText(text("OKButton", OKButton->text()));
    for (QLabel* label : {Label3, Label5, Label6, Label2})
        label->setText(text(label->objectName().toLatin1().constData(), label->text()));
    texts_ = AboutTexts::Load(file);

    setWindowTitle(texts_.Autor);
    myLabel3d1->setText(texts_.myLabel3d1);
    myLabel3d2->setText(texts_.myLabel3d2);
    Label1->setText(QString(texts_.Label1).replace(QStringLiteral("%1"), QString::fromUtf8(author::Name)));
    Label4->setText(texts_.Label4);
    Label8->setText(texts_.Label8);
    SetLongHint(myLabel3d3, texts_.myLabel3d3Hint);
    SetLongHint(myLabel3d4, texts_.myLabel3d4Hint);
    SetLongHint(myLabel3d5, texts_.myLabel3d4Hint);
    LayOut();
}

AboutTexts AboutTexts::Load(const LanguageFile& file)
{
    return LoadTexts(file, "Autor", AboutTextKeys);
}

void TAutor::LayOut()
{
    // The title is wider than its box in the fonts we ship with: it takes
    // the room up to "freeware". Each link may widen up to the next column.
    FitOnOneLine(myLabel3d1, myLabel3d2->x() - Gap);
    FitOnOneLine(myLabel3d2, width() - Gap);
    DropSchemeIfTooWide(myLabel3d3, myLabel3d4->x() - Gap);
    FitOnOneLine(myLabel3d3, myLabel3d4->x() - Gap);
    FitOnOneLine(myLabel3d4, myLabel3d5->x() - Gap);
    FitOnOneLine(myLabel3d5, width() - Gap);
    FitParagraph(Label1, 33, Label1Bottom);
    FitParagraph(Label4, 33, Label4Bottom);
    FitParagraph(Label8, 33, Label8Bottom);
    FitCaption(Label5, Label3->x() - Gap);
    FitCaption(Label3, Label6->x() - Gap);
    FitCaption(Label6, width() - Gap);
    FitCaption(Label2, width() - Gap);
}

void TAutor::CentreOver(const QWidget* owner)
{
    // Frame centre over frame centre. Our own frame is not known before the
    // window manager has put one around us, so the owner's is taken for it;
    // both have the same caption and border.
    const QRect ownerFrame = owner->frameGeometry();
    const QRect ownerClient = owner->geometry();
    const QSize frame(ownerFrame.width() - ownerClient.width(), ownerFrame.height() - ownerClient.height());
    QRect placed(QPoint(), size() + frame);
    placed.moveCenter(ownerFrame.center());
    if (const QScreen* screen = owner->screen()) {
        const QRect area = screen->availableGeometry();
        placed.moveLeft(
            std::clamp(placed.left(), area.left(), std::max(area.left(), area.right() + 1 - placed.width())));
        placed.moveTop(std::clamp(placed.top(), area.top(), std::max(area.top(), area.bottom() + 1 - placed.height())));
    }
    move(placed.topLeft());
}

void TAutor::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TAutor::FormActivate()
{
    // The dialog becomes active again whenever a message box over it closes;
    // the date goes on only the first time.
    if (dateShown_)
        return;
    dateShown_ = true;
    const QDate built = QFileInfo(executablePath_).lastModified().date();
    if (built.isValid())
        Label2->setText(Label2->text() + QStringLiteral(" ") + QLocale::system().toString(built, QLocale::ShortFormat));
    FitCaption(Label2, width() - Gap);
}

void TAutor::paintEvent(QPaintEvent*)
{
    // Drawn at its own size from the top-left corner: the picture is three
    // pixels taller than the dialog, and the bottom rows are simply cut.
    QPainter painter(this);
    painter.drawImage(0, 0, Image1);
}

void TAutor::ShowError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, texts_.TextChyba, text, QMessageBox::Ok, this);
    box.exec();
}

void TAutor::myLabel3d3Click()
{
    if (!openUrl_(QUrl(QString::fromUtf8(author::Web))))
        ShowError(texts_.TextNemohuProhlizec);
}

void TAutor::myLabel3d4Click()
{
    if (!openUrl_(QUrl(QStringLiteral("mailto:") + myLabel3d4->text())))
        ShowError(texts_.TextNemohuPostu);
}

void TAutor::Button1Click()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const SystemFacts facts = facts_();
    QApplication::restoreOverrideCursor();

    const QString text = InformationText(facts);
    if (openUrl_(InformationMailLink(QString::fromUtf8(author::Email), myLabel3d1->text(), text)))
        return;

    ShowError(QString(texts_.TextPosliteUdaje).replace(QStringLiteral("%1"), QString::fromUtf8(author::Email2)));
    // So that the user can copy the text and send it some other way.
    QMessageBox plain(QMessageBox::NoIcon, DefaultTitle, text, QMessageBox::Ok, this);
    plain.setTextInteractionFlags(Qt::TextSelectableByMouse);
    plain.exec();
}
