#include "Mylabel.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <functional>

namespace {

// Solid colours that nothing else in a rendering uses, so a pixel's colour
// tells which copy of the caption it belongs to.
const QColor Background(0, 128, 0);
const QColor Face(Qt::black);
const QColor Grey(128, 128, 128);
const QColor Yellow(255, 255, 0);
const QColor Red(200, 0, 0);
const QColor Blue(0, 0, 200);

// Big bold letters without anti-aliasing: every drawn pixel has exactly
// the pen's colour, and strokes are thick enough to survive the overdraw.
QFont testFont(int pixelSize = 40)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// A green host with one label in it, the way a dialog holds its labels.
struct Scene {
    QWidget host;
    TmyLabel3d* label;

    explicit Scene(const QString& text, QSize hostSize = QSize(320, 140), QRect labelRect = QRect(20, 20, 280, 100))
    {
        QPalette pal = host.palette();
        pal.setColor(QPalette::Window, Background);
        host.setPalette(pal);
        host.setAutoFillBackground(true);
        host.resize(hostSize);
        label = new TmyLabel3d(text, &host);
        label->setGeometry(labelRect);
        label->setFont(testFont());
        // Room for shades that reach out of the text rectangle.
        label->setContentsMargins(10, 10, 10, 10);
        QPalette lp = label->palette();
        lp.setColor(QPalette::WindowText, Face);
        label->setPalette(lp);
    }

    QImage render()
    {
        QImage image(host.size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        host.render(&image);
        return image;
    }
};

QRect inkBounds(const QImage& image, const QColor& colour)
{
    const QRgb wanted = colour.rgb();
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == wanted) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

int pixelCount(const QImage& image, const QColor& colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour.rgb();
    return n;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

using Setter = std::function<void(TmyLabel3d&)>;

}  // namespace

Q_DECLARE_METATYPE(Setter)

class TestMyLabel : public QObject {
    Q_OBJECT

private slots:
    void initialValues();
    void shadeLTSetHoldsWhite();
    void repaintOnlyOnChange_data();
    void repaintOnlyOnChange();
    void embossedEdges_data();
    void embossedEdges();
    void dropShadowOffset_data();
    void dropShadowOffset();
    void disabledFaceIsGrey();
    void background_data();
    void background();
    void alignmentAndTop_data();
    void alignmentAndTop();
    void wordsAlwaysWrap_data();
    void wordsAlwaysWrap();
    void longCaptionDrawnWhole();
    void ampersand();
    void sizeMeasuresCaptionAlone();
    void mouseOutAndClick();
};

void TestMyLabel::initialValues()
{
    QWidget parent;
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, Background);
    parent.setPalette(pal);
    TmyLabel3d label(&parent);

    QCOMPARE(label.AStyle3D(), TmyLabel3d::Normal3d);
    QCOMPARE(label.AShadeLeftTop(), QColor(255, 255, 255));
    QCOMPARE(label.AShadeRightBottom(), QColor(128, 128, 128));
    QCOMPARE(label.AHShadeOffSet(), 5);
    QCOMPARE(label.AVShadeOffSet(), -5);
    QCOMPARE(label.AShadeLTSet(), false);
    QVERIFY(label.Transparent());
    QVERIFY(label.ShowAccelChar());
    QVERIFY(!label.autoFillBackground());
    // Its own colour, not the parent's, even when the parent's was set first.
    QCOMPARE(label.palette().color(QPalette::Window), QApplication::palette(&label).color(QPalette::Window));

    // Form data sets the properties by name.
    QVERIFY(label.setProperty("AStyle3D", QVariant::fromValue(TmyLabel3d::Raised3d)));
    QCOMPARE(label.AStyle3D(), TmyLabel3d::Raised3d);
    QVERIFY(label.setProperty("AShadeLeftTop", Yellow));
    QCOMPARE(label.property("AShadeLeftTop").value<QColor>(), Yellow);
}

void TestMyLabel::shadeLTSetHoldsWhite()
{
    TmyLabel3d label;
    label.setAShadeLeftTop(Yellow);

    label.setAShadeLTSet(true);
    QCOMPARE(label.AShadeLeftTop(), QColor(Qt::white));
    label.setAShadeLeftTop(Red);  // ignored while held
    QCOMPARE(label.AShadeLeftTop(), QColor(Qt::white));
    label.setAShadeLTSet(true);  // setting it again must not save the white
    label.setAShadeLTSet(false);
    QCOMPARE(label.AShadeLeftTop(), Yellow);

    label.setAShadeLeftTop(Red);  // accepted again once released
    QCOMPARE(label.AShadeLeftTop(), Red);
}

void TestMyLabel::repaintOnlyOnChange_data()
{
    QTest::addColumn<Setter>("setter");
    QTest::addColumn<int>("paints");

    QTest::newRow("style changed") << Setter([](TmyLabel3d& l) { l.setAStyle3D(TmyLabel3d::Raised3d); }) << 1;
    QTest::newRow("style same") << Setter([](TmyLabel3d& l) { l.setAStyle3D(TmyLabel3d::Normal3d); }) << 0;
    QTest::newRow("left-top changed") << Setter([](TmyLabel3d& l) { l.setAShadeLeftTop(Yellow); }) << 1;
    QTest::newRow("left-top same") << Setter([](TmyLabel3d& l) { l.setAShadeLeftTop(Qt::white); }) << 0;
    QTest::newRow("left-top while held") << Setter([](TmyLabel3d& l) {
        l.setAShadeLTSet(true);
        QTest::qWait(20);
        l.setAShadeLeftTop(Yellow);
    }) << 1;
    QTest::newRow("right-bottom changed") << Setter([](TmyLabel3d& l) { l.setAShadeRightBottom(Blue); }) << 1;
    QTest::newRow("right-bottom same") << Setter([](TmyLabel3d& l) { l.setAShadeRightBottom(Grey); }) << 0;
    QTest::newRow("h offset changed") << Setter([](TmyLabel3d& l) { l.setAHShadeOffSet(3); }) << 1;
    QTest::newRow("h offset same") << Setter([](TmyLabel3d& l) { l.setAHShadeOffSet(5); }) << 0;
    QTest::newRow("v offset changed") << Setter([](TmyLabel3d& l) { l.setAVShadeOffSet(3); }) << 1;
    QTest::newRow("v offset same") << Setter([](TmyLabel3d& l) { l.setAVShadeOffSet(-5); }) << 0;
    QTest::newRow("LT set changed") << Setter([](TmyLabel3d& l) { l.setAShadeLTSet(true); }) << 1;
    QTest::newRow("LT set same") << Setter([](TmyLabel3d& l) { l.setAShadeLTSet(false); }) << 1;
    QTest::newRow("transparent same") << Setter([](TmyLabel3d& l) { l.setTransparent(true); }) << 0;
    QTest::newRow("transparent changed") << Setter([](TmyLabel3d& l) { l.setTransparent(false); }) << 1;
}

void TestMyLabel::repaintOnlyOnChange()
{
    QFETCH(Setter, setter);
    QFETCH(int, paints);

    Scene scene(QStringLiteral("Ab"));
    PaintCounter counter;
    scene.label->installEventFilter(&counter);
    scene.host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&scene.host));
    QTRY_VERIFY(counter.paints > 0);
    QTest::qWait(20);

    counter.paints = 0;
    setter(*scene.label);
    QTest::qWait(50);
    QCOMPARE(counter.paints, paints);
}

void TestMyLabel::embossedEdges_data()
{
    QTest::addColumn<TmyLabel3d::T3DEffect>("style");
    QTest::addColumn<QColor>("leftTopShade");
    QTest::addColumn<QColor>("upperLeftColour");
    QTest::addColumn<QColor>("lowerRightColour");

    QTest::newRow("raised") << TmyLabel3d::Raised3d << QColor(Qt::white) << QColor(Qt::white) << Grey;
    QTest::newRow("raised, yellow highlight") << TmyLabel3d::Raised3d << Yellow << Yellow << Grey;
    QTest::newRow("recessed") << TmyLabel3d::Resit3d << QColor(Qt::white) << Grey << QColor(Qt::white);
    QTest::newRow("recessed, yellow") << TmyLabel3d::Resit3d << Yellow << Grey << Yellow;
}

// The copy up and left shows one pixel beyond the face's top-left corner,
// the copy down and right one pixel beyond its bottom-right corner.
void TestMyLabel::embossedEdges()
{
    QFETCH(TmyLabel3d::T3DEffect, style);
    QFETCH(QColor, leftTopShade);
    QFETCH(QColor, upperLeftColour);
    QFETCH(QColor, lowerRightColour);

    Scene scene(QStringLiteral("HW"));
    scene.label->setAStyle3D(style);
    scene.label->setAShadeLeftTop(leftTopShade);
    const QImage image = scene.render();

    const QRect face = inkBounds(image, Face);
    const QRect upperLeft = inkBounds(image, upperLeftColour);
    const QRect lowerRight = inkBounds(image, lowerRightColour);
    QVERIFY(!face.isNull());
    QVERIFY(!upperLeft.isNull());
    QVERIFY(!lowerRight.isNull());

    QCOMPARE(upperLeft.topLeft(), face.topLeft() - QPoint(1, 1));
    QVERIFY(upperLeft.right() < face.right());
    QVERIFY(upperLeft.bottom() < face.bottom());
    QCOMPARE(lowerRight.bottomRight(), face.bottomRight() + QPoint(1, 1));
    QVERIFY(lowerRight.left() > face.left());
    QVERIFY(lowerRight.top() > face.top());
}

void TestMyLabel::dropShadowOffset_data()
{
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");

    QTest::newRow("initial: right and up") << 5 << -5;
    QTest::newRow("left and down") << -3 << 4;
}

void TestMyLabel::dropShadowOffset()
{
    QFETCH(int, dx);
    QFETCH(int, dy);

    Scene scene(QStringLiteral("HW"));
    scene.label->setAStyle3D(TmyLabel3d::Shadowed3d);
    scene.label->setAHShadeOffSet(dx);
    scene.label->setAVShadeOffSet(dy);
    // The drop shadow uses the dark colour only.
    scene.label->setAShadeLeftTop(Yellow);
    const QImage image = scene.render();

    const QRect face = inkBounds(image, Face);
    const QRect shadow = inkBounds(image, Grey);
    QVERIFY(!face.isNull());
    QVERIFY(!shadow.isNull());
    QCOMPARE(pixelCount(image, Yellow), 0);

    // The shadow's extremes on the sides it sticks out of are not covered.
    if (dx > 0)
        QCOMPARE(shadow.right(), face.right() + dx);
    else
        QCOMPARE(shadow.left(), face.left() + dx);
    if (dy < 0)
        QCOMPARE(shadow.top(), face.top() + dy);
    else
        QCOMPARE(shadow.bottom(), face.bottom() + dy);
}

void TestMyLabel::disabledFaceIsGrey()
{
    Scene scene(QStringLiteral("HW"));
    scene.label->setAStyle3D(TmyLabel3d::Raised3d);
    scene.label->setAShadeLeftTop(Red);
    scene.label->setAShadeRightBottom(Blue);
    scene.label->setEnabled(false);
    const QImage image = scene.render();

    const QColor greyText = QApplication::palette().color(QPalette::Disabled, QPalette::WindowText);
    QVERIFY(greyText != Face && greyText != Red && greyText != Blue && greyText != Background);
    QCOMPARE(pixelCount(image, Face), 0);
    const QRect face = inkBounds(image, greyText);
    QVERIFY(!face.isNull());
    QCOMPARE(inkBounds(image, Red).topLeft(), face.topLeft() - QPoint(1, 1));
    QCOMPARE(inkBounds(image, Blue).bottomRight(), face.bottomRight() + QPoint(1, 1));
}

void TestMyLabel::background_data()
{
    QTest::addColumn<bool>("transparent");
    QTest::addColumn<QColor>("ownColour");  // invalid: leave the palette alone
    QTest::addColumn<QColor>("expected");   // invalid: the application's colour

    QTest::newRow("transparent") << true << QColor() << Background;
    QTest::newRow("transparent with own colour") << true << Red << Background;
    QTest::newRow("opaque, not the parent's colour") << false << QColor() << QColor();
    QTest::newRow("opaque with own colour") << false << Red << Red;
}

void TestMyLabel::background()
{
    QFETCH(bool, transparent);
    QFETCH(QColor, ownColour);
    QFETCH(QColor, expected);
    if (!expected.isValid())
        expected = QApplication::palette().color(QPalette::Window);
    QVERIFY(QApplication::palette().color(QPalette::Window) != Background);

    Scene scene(QStringLiteral("HW"));
    scene.label->setTransparent(transparent);
    if (ownColour.isValid()) {
        QPalette pal = scene.label->palette();
        pal.setColor(QPalette::Window, ownColour);
        scene.label->setPalette(pal);
    }
    const QImage image = scene.render();

    const QRect r = scene.label->geometry();
    QCOMPARE(QColor(image.pixel(r.topLeft())), expected);
    QCOMPARE(QColor(image.pixel(r.bottomRight())), expected);
    QCOMPARE(QColor(image.pixel(r.topLeft() - QPoint(1, 1))), Background);
    QVERIFY(pixelCount(image, Face) > 0);  // the text is drawn over the fill
}

void TestMyLabel::alignmentAndTop_data()
{
    QTest::addColumn<Qt::Alignment>("alignment");

    QTest::newRow("left, vcentre") << Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter);
    QTest::newRow("centre, bottom") << Qt::Alignment(Qt::AlignHCenter | Qt::AlignBottom);
    QTest::newRow("right, vcentre") << Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter);
}

void TestMyLabel::alignmentAndTop()
{
    QFETCH(Qt::Alignment, alignment);

    Scene scene(QStringLiteral("HW"), QSize(320, 240), QRect(20, 20, 280, 200));
    scene.label->setAlignment(alignment);
    const QImage image = scene.render();
    const QRect face = inkBounds(image, Face);
    const QRect text = scene.label->geometry().adjusted(10, 10, -10, -10);
    QVERIFY(!face.isNull());

    // Whatever the vertical alignment, the caption starts at the top.
    QVERIFY(face.bottom() < text.top() + QFontMetrics(testFont()).height());

    const int leftGap = face.left() - text.left();
    const int rightGap = text.right() - face.right();
    if (alignment & Qt::AlignLeft)
        QVERIFY(leftGap < 6 && rightGap > 100);
    else if (alignment & Qt::AlignRight)
        QVERIFY(rightGap < 6 && leftGap > 100);
    else
        QVERIFY2(std::abs(leftGap - rightGap) < 6,
                 qPrintable(QStringLiteral("gaps %1 and %2").arg(leftGap).arg(rightGap)));
}

void TestMyLabel::wordsAlwaysWrap_data()
{
    QTest::addColumn<bool>("wordWrap");
    QTest::newRow("word wrap off") << false;
    QTest::newRow("word wrap on") << true;
}

void TestMyLabel::wordsAlwaysWrap()
{
    QFETCH(bool, wordWrap);

    Scene scene(QStringLiteral("one two three four"), QSize(320, 300), QRect(20, 20, 200, 260));
    scene.label->setWordWrap(wordWrap);
    const QImage image = scene.render();
    const QRect face = inkBounds(image, Face);
    const QRect text = scene.label->geometry().adjusted(10, 10, -10, -10);

    QVERIFY(face.right() <= text.right());
    QVERIFY(face.height() > 2 * QFontMetrics(testFont()).lineSpacing());
}

void TestMyLabel::longCaptionDrawnWhole()
{
    QString caption;
    for (int i = 0; caption.size() < 300; ++i)
        caption += QStringLiteral("word%1 ").arg(i);
    caption = caption.left(300);

    Scene scene(caption, QSize(440, 700), QRect(20, 20, 400, 660));
    scene.label->setFont(testFont(16));
    scene.label->setAStyle3D(TmyLabel3d::Raised3d);
    const QImage image = scene.render();

    const QRect text = scene.label->geometry().adjusted(10, 10, -10, -10);
    const int flags = Qt::TextWordWrap | Qt::AlignTop;
    const QFontMetrics fm(testFont(16));
    const int headHeight = fm.boundingRect(text, flags, caption.left(254)).height();
    const int wholeHeight = fm.boundingRect(text, flags, caption).height();
    QVERIFY(wholeHeight > headHeight);  // the tail needs lines of its own
    QVERIFY(wholeHeight < text.height());

    const QRect face = inkBounds(image, Face);
    QVERIFY2(face.bottom() > text.top() + headHeight,
             qPrintable(QStringLiteral("ink ends at %1, first 254 characters end at %2")
                            .arg(face.bottom())
                            .arg(text.top() + headHeight)));
    QVERIFY(face.right() <= text.right());
}

// "&&" shows one ampersand with accelerator handling on; off, "&" shows
// as it is. On, "&B" underlines B, which reaches below the letters.
void TestMyLabel::ampersand()
{
    auto renderCaption = [](const QString& caption, bool showAccel) {
        Scene scene(caption);
        scene.label->setShowAccelChar(showAccel);
        return scene.render();
    };

    QCOMPARE(renderCaption(QStringLiteral("A&B"), false), renderCaption(QStringLiteral("A&&B"), true));
    QVERIFY(renderCaption(QStringLiteral("A&B"), false) != renderCaption(QStringLiteral("AB"), false));

    const QRect plain = inkBounds(renderCaption(QStringLiteral("AB"), true), Face);
    const QRect underlined = inkBounds(renderCaption(QStringLiteral("A&B"), true), Face);
    QCOMPARE(underlined.left(), plain.left());
    QCOMPARE(underlined.top(), plain.top());
    QVERIFY(underlined.bottom() > plain.bottom());
}

void TestMyLabel::sizeMeasuresCaptionAlone()
{
    TmyLabel3d label(QStringLiteral("Jakou figurku chcete postavit  do hry?"));
    label.setFont(testFont(21));
    const QFontMetrics fm(label.font());
    const QSize caption = fm.size(Qt::TextShowMnemonic, label.text());

    QCOMPARE(label.sizeHint(), caption);
    label.setAStyle3D(TmyLabel3d::Shadowed3d);  // shades are not measured
    QCOMPARE(label.sizeHint(), caption);
    label.setContentsMargins(3, 4, 5, 6);
    QCOMPARE(label.sizeHint(), caption + QSize(8, 10));
    label.adjustSize();
    QCOMPARE(label.size(), caption + QSize(8, 10));

    // At a smaller width the caption wraps to more lines.
    QVERIFY(label.hasHeightForWidth());
    QVERIFY(label.heightForWidth(150) >= 3 * fm.height());
    QVERIFY(label.minimumSizeHint().width() < caption.width());
    QVERIFY(label.minimumSizeHint().width() >= fm.horizontalAdvance(QStringLiteral("figurku")));

    label.setText(QStringLiteral("A&B"));
    const int withAccel = label.sizeHint().width();
    label.setShowAccelChar(false);
    QVERIFY(label.sizeHint().width() > withAccel);
}

void TestMyLabel::mouseOutAndClick()
{
    Scene scene(QStringLiteral("link"));
    scene.host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&scene.host));
    QWindow* window = scene.host.windowHandle();
    QSignalSpy out(scene.label, &TmyLabel3d::OnMouseOut);
    QSignalSpy clicked(scene.label, &TmyLabel3d::clicked);
    const QPoint inside = scene.label->geometry().center();
    const QPoint outside(5, 5);

    QTest::mouseMove(window, outside);
    QTest::mouseMove(window, inside);
    QTest::mouseMove(window, inside + QPoint(3, 1));
    QCOMPARE(out.size(), 0);
    QTest::mouseMove(window, outside);
    QTRY_COMPARE(out.size(), 1);

    QTest::mouseClick(window, Qt::LeftButton, {}, inside);
    QTRY_COMPARE(clicked.size(), 1);

    // Other buttons do not click, and letting go outside cancels.
    QTest::mouseClick(window, Qt::RightButton, {}, inside);
    QTest::mousePress(window, Qt::LeftButton, {}, inside);
    QTest::mouseRelease(window, Qt::LeftButton, {}, outside);
    QTest::qWait(20);
    QCOMPARE(clicked.size(), 1);
}

QTEST_MAIN(TestMyLabel)
#include "tst_mylabel.moc"
