// Checks the compiled-in pictures the way the board and the dialogs use
// them: pieces rendered onto a 68 x 68 square (and its double for
// high-density screens), texture halves cut out by position, frame colours
// read back from fixed pixels, and the About picture decoded as a JPEG.

#include "Artwork.h"

#include <QtCore/QFile>
#include <QtGui/QImage>
#include <QtGui/QImageReader>
#include <QtGui/QPainter>
#include <QtSvg/QSvgRenderer>
#include <QtTest/QtTest>

namespace {

const QStringList kSets{"Klas", "Klub", "Umel"};
const QStringList kPieces{"Pes", "Vez", "Jez", "Str", "Dam", "Kra"};

QString piecePath(const QString& set, const QString& piece, const QString& colour)
{
    return QStringLiteral(":/pieces/%1_%2_%3.svg").arg(set, piece, colour);
}

QImage renderPiece(const QString& path, int size)
{
    QSvgRenderer renderer(path);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    return image;
}

// Box around every pixel that is not fully transparent; null if none.
QRect opaqueBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                box |= QRect(x, y, 1, 1);
    return box;
}

int opaqueCount(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) >= 128;
    return n;
}

// Mean grey level of the solid pixels, what the eye takes as the piece's colour.
double meanGrey(const QImage& image)
{
    double sum = 0;
    int n = 0;
    const QImage plain = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) {
            const QRgb p = plain.pixel(x, y);
            if (qAlpha(p) == 255) {
                sum += qGray(p);
                ++n;
            }
        }
    return n ? sum / n : -1;
}

double meanGrey(const QImage& image, const QRect& area)
{
    return meanGrey(image.copy(area).convertToFormat(QImage::Format_ARGB32));
}

int differingPixels(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += qAbs(qAlpha(a.pixel(x, y)) - qAlpha(b.pixel(x, y))) > 64;
    return n;
}

// The first start-of-frame marker of a JPEG, walking its segments up to the
// scan data; 0 if there is none.
int startOfFrameMarker(const QByteArray& jpeg)
{
    if (!jpeg.startsWith("\xFF\xD8"))
        return 0;
    int i = 2;
    while (i + 4 <= jpeg.size()) {
        if (uchar(jpeg[i]) != 0xFF)
            return 0;
        const int marker = uchar(jpeg[i + 1]);
        if (marker == 0xFF) {  // fill byte
            ++i;
            continue;
        }
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return 0xFF00 | marker;
        if (marker == 0xDA)
            return 0;
        const int length = (uchar(jpeg[i + 2]) << 8) | uchar(jpeg[i + 3]);
        i += 2 + length;
    }
    return 0;
}

}  // namespace

class TestArtwork : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Linking the library must be enough to register the pictures;
        // InitArtwork() is only the safety net for unusual linkers.
        QVERIFY(QFile::exists(QStringLiteral(":/pieces/Klas_Pes_B.svg")));
        InitArtwork();
    }

    void pieceFitsItsSquare_data();
    void pieceFitsItsSquare();
    void whiteAndBlackPiecesDiffer_data();
    void whiteAndBlackPiecesDiffer();
    void setsLookDifferent_data();
    void setsLookDifferent();

    void textureHalves_data();
    void textureHalves();
    void texturesAreDistinct();
    void walnutFrameAndLabelsContrast();
    void slateSuitsABlackFrame();
    void menuPictures_data();
    void menuPictures();

    void aboutBackground();
    void programIcon();

    void prerenderedMatchesSource_data();
    void prerenderedMatchesSource();
};

void TestArtwork::pieceFitsItsSquare_data()
{
    QTest::addColumn<QString>("path");
    for (const QString& set : kSets)
        for (const QString& piece : kPieces)
            for (const QString& colour : {QStringLiteral("B"), QStringLiteral("C")}) {
                const QString path = piecePath(set, piece, colour);
                QTest::newRow(qPrintable(path.mid(9))) << path;
            }
}

// The board draws a piece at (0,0) of a 68 x 68 square over the texture;
// its frame colours are read from pixels the pieces must never cover.
void TestArtwork::pieceFitsItsSquare()
{
    QFETCH(QString, path);
    QSvgRenderer renderer(path);
    QVERIFY2(renderer.isValid(), qPrintable(path + " does not load"));
    QCOMPARE(renderer.viewBoxF(), QRectF(0, 0, 68, 68));

    for (int scale : {1, 2}) {
        const QImage image = renderPiece(path, 68 * scale);
        const int last = 68 * scale - 1;
        for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
            QCOMPARE(qAlpha(image.pixel(corner)), 0);

        const QRect box = opaqueBox(image);
        const QRect allowed(QPoint(3 * scale, 1 * scale), QPoint(65 * scale - 1, 67 * scale - 1));
        QVERIFY2(allowed.contains(box), qPrintable(QStringLiteral("%1 at x%2 paints %3,%4..%5,%6")
                                                       .arg(path)
                                                       .arg(scale)
                                                       .arg(box.left())
                                                       .arg(box.top())
                                                       .arg(box.right())
                                                       .arg(box.bottom())));
        // Even a pawn covers a good part of its square.
        QVERIFY2(opaqueCount(image) > 400 * scale * scale, qPrintable(path + " is nearly empty"));
        // Standing pieces are centred and rest near the bottom of the square.
        QVERIFY(qAbs(box.center().x() - 34 * scale) <= 4 * scale);
        QVERIFY(box.bottom() >= 60 * scale);
    }
}

void TestArtwork::whiteAndBlackPiecesDiffer_data()
{
    QTest::addColumn<QString>("set");
    QTest::addColumn<QString>("piece");
    for (const QString& set : kSets)
        for (const QString& piece : kPieces)
            QTest::newRow(qPrintable(set + "_" + piece)) << set << piece;
}

// A white piece must read as light and a black one as dark; a mixed-up
// file name would put a black king among the white pieces.
void TestArtwork::whiteAndBlackPiecesDiffer()
{
    QFETCH(QString, set);
    QFETCH(QString, piece);
    const double white = meanGrey(renderPiece(piecePath(set, piece, "B"), 68));
    const double black = meanGrey(renderPiece(piecePath(set, piece, "C"), 68));
    QVERIFY2(white > 100 && black < 90 && white - black > 50,
             qPrintable(QStringLiteral("white %1, black %2").arg(white).arg(black)));
}

void TestArtwork::setsLookDifferent_data()
{
    QTest::addColumn<QString>("piece");
    for (const QString& piece : kPieces)
        QTest::newRow(qPrintable(piece)) << piece;
}

void TestArtwork::setsLookDifferent()
{
    QFETCH(QString, piece);
    QList<QImage> images;
    for (const QString& set : kSets)
        images << renderPiece(piecePath(set, piece, "B"), 68);
    for (int a = 0; a < images.size(); ++a)
        for (int b = a + 1; b < images.size(); ++b)
            QVERIFY2(differingPixels(images[a], images[b]) > 150,
                     qPrintable(kSets[a] + " and " + kSets[b] + " share a " + piece));
}

void TestArtwork::textureHalves_data()
{
    QTest::addColumn<int>("n");
    for (int n = 1; n <= 5; ++n)
        QTest::newRow(qPrintable(QStringLiteral("textura%1").arg(n))) << n;
}

// Light square on the left half, dark on the right, at both densities.
void TestArtwork::textureHalves()
{
    QFETCH(int, n);
    const QImage normal(QStringLiteral(":/textures/textura%1.png").arg(n));
    const QImage dense(QStringLiteral(":/textures/textura%1@2x.png").arg(n));
    QCOMPARE(normal.size(), QSize(136, 68));
    QCOMPARE(dense.size(), QSize(272, 136));
    QVERIFY(!normal.hasAlphaChannel());
    QVERIFY(!dense.hasAlphaChannel());

    const double light = meanGrey(normal, QRect(0, 0, 68, 68));
    const double dark = meanGrey(normal, QRect(68, 0, 68, 68));
    QVERIFY2(light - dark > 50, qPrintable(QStringLiteral("%1 vs %2").arg(light).arg(dark)));
    // The double-size picture is the same material, not another one.
    QVERIFY(qAbs(meanGrey(dense, QRect(0, 0, 136, 136)) - light) < 6);
    QVERIFY(qAbs(meanGrey(dense, QRect(136, 0, 136, 136)) - dark) < 6);
}

void TestArtwork::texturesAreDistinct()
{
    QList<QColor> darkSquares;
    for (int n = 1; n <= 5; ++n) {
        const QImage dark = QImage(QStringLiteral(":/textures/textura%1.png").arg(n))
                                .copy(68, 0, 68, 68)
                                .scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        darkSquares << QColor(dark.pixel(0, 0));
    }
    for (int a = 0; a < 5; ++a)
        for (int b = a + 1; b < 5; ++b) {
            const QColor &p = darkSquares[a], &q = darkSquares[b];
            const int distance = qAbs(p.red() - q.red()) + qAbs(p.green() - q.green()) + qAbs(p.blue() - q.blue());
            QVERIFY2(distance > 30, qPrintable(QStringLiteral("textures %1 and %2").arg(a + 1).arg(b + 1)));
        }
}

// With the walnut texture the frame is painted in the colour of the dark
// square's pixel (133,27) and the labels in that of the light square's
// pixel (0,0): the labels must stand out on the frame.
void TestArtwork::walnutFrameAndLabelsContrast()
{
    const QImage walnut(QStringLiteral(":/textures/textura4.png"));
    const int frame = qGray(walnut.pixel(133, 27));
    const int label = qGray(walnut.pixel(0, 0));
    QVERIFY2(label - frame >= 100, qPrintable(QStringLiteral("label %1, frame %2").arg(label).arg(frame)));
}

// Texture 5 sits in a black frame with white labels and a white outline.
void TestArtwork::slateSuitsABlackFrame()
{
    const QImage slate(QStringLiteral(":/textures/textura5.png"));
    QVERIFY(meanGrey(slate, QRect(68, 0, 68, 68)) < 110);
    QVERIFY(meanGrey(slate, QRect(0, 0, 68, 68)) < 200);
}

void TestArtwork::menuPictures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("size");
    for (int n = 1; n <= 5; ++n) {
        QTest::newRow(qPrintable(QStringLiteral("textura%1").arg(n)))
            << QStringLiteral(":/menu/textura%1.png").arg(n) << 16;
        QTest::newRow(qPrintable(QStringLiteral("textura%1@2x").arg(n)))
            << QStringLiteral(":/menu/textura%1@2x.png").arg(n) << 32;
    }
}

// A 2 x 2 patch of the board: dark squares top-left and bottom-right.
void TestArtwork::menuPictures()
{
    QFETCH(QString, path);
    QFETCH(int, size);
    const QImage image(path);
    QCOMPARE(image.size(), QSize(size, size));
    const int q = size / 2;
    const double topLeft = meanGrey(image, QRect(0, 0, q, q));
    const double topRight = meanGrey(image, QRect(q, 0, q, q));
    const double bottomLeft = meanGrey(image, QRect(0, q, q, q));
    const double bottomRight = meanGrey(image, QRect(q, q, q, q));
    QVERIFY(topLeft < topRight - 30);
    QVERIFY(bottomRight < bottomLeft - 30);
}

void TestArtwork::aboutBackground()
{
    QFile file(QStringLiteral(":/about/background.jpg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // Baseline: the frame header is SOF0, not the progressive SOF2.
    QCOMPARE(startOfFrameMarker(bytes), 0xFFC0);

    QImage image;
    QVERIFY(image.loadFromData(bytes, "JPEG"));
    QCOMPARE(image.size(), QSize(447, 310));
    // Dark red and black text goes over all of it.
    QVERIFY(meanGrey(image, image.rect()) > 200);
    QVERIFY(meanGrey(image, QRect(0, 0, 447, 60)) > 200);
}

void TestArtwork::programIcon()
{
    QSvgRenderer renderer(QStringLiteral(":/icons/bodlany-sachy.svg"));
    QVERIFY(renderer.isValid());
    QCOMPARE(renderer.viewBoxF().width(), renderer.viewBoxF().height());
    const QImage png(QStringLiteral(":/icons/bodlany-sachy-256.png"));
    QCOMPARE(png.size(), QSize(256, 256));
}

// The build renders what the first frame shows into raw pixels; they must be
// the very pixels the program gets from the pictures themselves.
void TestArtwork::prerenderedMatchesSource_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("format");
    const int premultiplied = QImage::Format_ARGB32_Premultiplied;
    for (const QString& set : kSets)
        for (const QString& piece : kPieces)
            for (const QString& colour : {QStringLiteral("B"), QStringLiteral("C")})
                for (const int side : {68, 136}) {
                    const QString name = QStringLiteral("%1_%2_%3@%4").arg(set, piece, colour).arg(side);
                    QTest::newRow(qPrintable(name)) << name << piecePath(set, piece, colour) << side << premultiplied;
                }
    for (int n = 1; n <= 5; ++n)
        for (const QString& scale : {QString(), QStringLiteral("@2x")}) {
            const QString name = QStringLiteral("textura%1%2").arg(n).arg(scale);
            QTest::newRow(qPrintable(name))
                << name << QStringLiteral(":/textures/%1.png").arg(name) << 0 << int(QImage::Format_RGB32);
        }
    for (const int size : {16, 32, 48, 64, 128}) {
        const QString name = QStringLiteral("bodlany-sachy-%1").arg(size);
        QTest::newRow(qPrintable(name)) << name << QStringLiteral(ICONS_DIR "/%1.png").arg(name) << 0
                                        << int(QImage::Format_ARGB32);
    }
}

void TestArtwork::prerenderedMatchesSource()
{
    QFETCH(QString, name);
    QFETCH(QString, source);
    QFETCH(int, side);
    QFETCH(int, format);
    QImageReader reader(source);
    if (side > 0)
        reader.setScaledSize(QSize(side, side));
    QImage expected = reader.read().convertToFormat(QImage::Format(format));
    QVERIFY(!expected.isNull());
    expected.setDevicePixelRatio(1.0);  // an "@2x" file name sets it; the caller does that here
    QCOMPARE(PrerenderedPicture(name, QImage::Format(format)), expected);
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
