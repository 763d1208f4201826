// The board as it comes out of THraciPole, read pixel by pixel: which texture
// half each square shows under either orientation, the pieces over it, the
// mark of a picked-up piece, and the frame with its lines and labels for every
// texture, at the ordinary and at double screen density.

#include "Artwork.h"
#include "HraciPole.h"
#include "Presentation.h"

#include <QFont>
#include <QPainter>
#include <QTest>

#include <memory>

using chess::CellIndex;
using chess::SelectionOf;

namespace {

// Nothing the board draws is this colour, so any such pixel left after a full
// redraw was never painted.
const QColor Unpainted(255, 0, 255);
const QColor Silver(192, 192, 192);

// One board object with everything it draws from, at the given density.
struct Scene {
    chess::GameState state;
    Presentation look;
    QImage canvas;
    std::unique_ptr<THraciPole> board;

    explicit Scene(int texture, PieceSetId set = PieceSetId::Klasicke, qreal dpr = 1.0)
    {
        state.SelectedSquare = chess::NoSelection;  // an empty board
        look.BoardTexture = texture;
        look.TextureImage = LoadTexture(texture, dpr);
        look.Pieces = &PieceSetFor(set);
        canvas = QImage(qRound(612 * dpr), qRound(612 * dpr), QImage::Format_ARGB32_Premultiplied);
        canvas.setDevicePixelRatio(dpr);
        canvas.fill(Unpainted);
        board = std::make_unique<THraciPole>(state, look, canvas);
    }
    void StartPosition() { chess::SetUpNewGame(state); }
    // What the square shows on the canvas, in device pixels.
    QImage SquareOnScreen(int file, int rank) const
    {
        const QRect r = THraciPole::SquareRect(file, rank, look.WhiteAtBottom);
        const qreal dpr = canvas.devicePixelRatio();
        return Plain(canvas.copy(QRect(r.topLeft() * dpr, r.size() * dpr)));
    }
    QColor At(int x, int y) const { return canvas.pixelColor(x, y); }

    static QImage Plain(const QImage& image)
    {
        QImage plain = image.convertToFormat(QImage::Format_ARGB32);
        plain.setDevicePixelRatio(1.0);
        return plain;
    }
};

// One half of a texture picture as the board should show it.
QImage TextureHalf(int texture, bool light, qreal dpr = 1.0)
{
    const QImage t = LoadTexture(texture, dpr);
    const int side = qRound(68 * dpr);
    return Scene::Plain(t.copy(light ? 0 : side, 0, side, side));
}

// Pixels of `shown` that differ from `bare` where the piece picture is fully
// transparent: the texture must show through there untouched.
int TextureDisturbedUnderTransparency(const QImage& shown, const QImage& bare, const QImage& piece)
{
    const QImage alpha = piece.convertToFormat(QImage::Format_ARGB32);
    int n = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (qAlpha(alpha.pixel(x, y)) == 0 && shown.pixel(x, y) != bare.pixel(x, y))
                ++n;
    return n;
}

int DifferingPixels(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// Aligned 2 x 2 blocks whose four device pixels are not all alike: zero for a
// picture drawn at the ordinary density and merely scaled up.
int FineBlocks(const QImage& image, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y + 1 <= area.bottom(); y += 2)
        for (int x = area.left(); x + 1 <= area.right(); x += 2) {
            const QRgb p = image.pixel(x, y);
            n += image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p || image.pixel(x + 1, y + 1) != p;
        }
    return n;
}

// Where the labels stand: the top-left corner of each text, in the frame's
// four bands, and a box big enough for one 12-point character.
enum class Band { Top, Bottom, Left, Right };
QPoint LabelCorner(Band band, int i)
{
    switch (band) {
    case Band::Top:
        return {62 + 68 * i, 10};
    case Band::Bottom:
        return {62 + 68 * i, 583};
    case Band::Left:
        return {12, 62 + 68 * i};
    case Band::Right:
        break;
    }
    return {586, 62 + 68 * i};
}
const QSize LabelBox(16, 22);

QFont LabelFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(16);
    return font;
}

// The label character a box is most alike, compared with each candidate
// written in the label font on the frame colour: reads the board's labels.
QChar ReadLabel(const QImage& box, const QString& candidates, const QColor& fill, const QColor& ink)
{
    QChar best;
    qint64 bestDistance = -1;
    for (const QChar c : candidates) {
        QImage ref(LabelBox, QImage::Format_ARGB32);
        ref.fill(fill);
        QPainter p(&ref);
        p.setFont(LabelFont());
        p.setPen(ink);
        p.drawText(QRect(QPoint(0, 0), QSize(40, 40)), Qt::AlignLeft | Qt::AlignTop, QString(c));
        p.end();
        qint64 distance = 0;
        for (int y = 0; y < ref.height(); ++y)
            for (int x = 0; x < ref.width(); ++x)
                distance += qAbs(qGray(ref.pixel(x, y)) - qGray(box.pixel(x, y)));
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = c;
        }
    }
    return best;
}

const int AllCodes[12] = {1, 2, 3, 4, 5, 6, -1, -2, -3, -4, -5, -6};

}  // namespace

class TestBoardDrawing : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void squaresFollowOrientation_data();
    void squaresFollowOrientation();
    void onlyThePickedUpSquareIsMarked();
    void codesWithoutPictureShowBareTexture_data();
    void codesWithoutPictureShowBareTexture();
    void everySetDrawsOnEveryTexture_data();
    void everySetDrawsOnEveryTexture();

    void frameFillAndEdgeLines_data();
    void frameFillAndEdgeLines();
    void labelsReadInBoardOrder_data();
    void labelsReadInBoardOrder();

    void doubleDensityDrawsAtFullResolution();
};

void TestBoardDrawing::initTestCase()
{
    InitArtwork();
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QVERIFY(!LoadTexture(1).isNull());
}

void TestBoardDrawing::squaresFollowOrientation_data()
{
    QTest::addColumn<bool>("whiteAtBottom");
    QTest::addColumn<QPoint>("a1");
    QTest::addColumn<QPoint>("h8");
    QTest::newRow("white at bottom") << true << QPoint(34, 510) << QPoint(510, 34);
    QTest::newRow("black at bottom") << false << QPoint(510, 34) << QPoint(34, 510);
}

// The pattern on screen is the same either way, a dark square at the bottom
// left; only which square stands where changes.
void TestBoardDrawing::squaresFollowOrientation()
{
    QFETCH(bool, whiteAtBottom);
    QFETCH(QPoint, a1);
    QFETCH(QPoint, h8);
    QCOMPARE(THraciPole::SquareRect(0, 0, whiteAtBottom), QRect(a1, QSize(68, 68)));
    QCOMPARE(THraciPole::SquareRect(7, 7, whiteAtBottom), QRect(h8, QSize(68, 68)));

    Scene s(2);
    s.look.WhiteAtBottom = whiteAtBottom;
    s.board->DrawBoard();
    const QImage dark = TextureHalf(2, false), light = TextureHalf(2, true);
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column) {
            const QImage shown = Scene::Plain(s.canvas.copy(34 + 68 * column, 34 + 68 * row, 68, 68));
            const bool darkOnScreen = (row + column) % 2 == 1;
            QVERIFY2(shown == (darkOnScreen ? dark : light),
                     qPrintable(QStringLiteral("screen column %1 row %2").arg(column).arg(row)));
        }
    QVERIFY(s.canvas.copy(34, 510, 68, 68).convertToFormat(QImage::Format_ARGB32) == dark);

    // A rook on a1 turns up where a1 belongs, and h8 stays bare.
    s.state.Board[CellIndex(0, 0)] = chess::Rook;
    s.board->DrawSquare(0, 0);
    s.board->DrawSquare(7, 7);
    QVERIFY(Scene::Plain(s.canvas.copy(QRect(a1, QSize(68, 68)))) != dark);
    QVERIFY(Scene::Plain(s.canvas.copy(QRect(h8, QSize(68, 68)))) == dark);
    QVERIFY(s.canvas.pixelColor(a1) == dark.pixelColor(0, 0));  // the piece leaves the corner free
}

// The mark is red with a one-pixel black border and hides the texture; every
// other square, also in a full redraw in the middle of a move, shows its
// texture. After the move the origin shows its texture again.
void TestBoardDrawing::onlyThePickedUpSquareIsMarked()
{
    Scene s(3);
    s.StartPosition();
    s.state.SelectedSquare = SelectionOf(4, 1);  // e2
    s.board->DrawBoard();

    const QImage pawn = *s.board->PieceImage(chess::Pawn);
    const QImage marked = s.SquareOnScreen(4, 1);
    for (int i = 0; i < 68; ++i)
        for (const QPoint p : {QPoint(i, 0), QPoint(i, 67), QPoint(0, i), QPoint(67, i)})
            QCOMPARE(marked.pixelColor(p), QColor(Qt::black));
    const QImage alpha = pawn.convertToFormat(QImage::Format_ARGB32);
    int red = 0;
    for (int y = 1; y < 67; ++y)
        for (int x = 1; x < 67; ++x)
            if (qAlpha(alpha.pixel(x, y)) == 0) {
                QCOMPARE(marked.pixelColor(x, y), QColor(Qt::red));
                ++red;
            }
    QVERIFY(red > 1000);

    for (int file = 0; file < 8; ++file)
        for (int rank = 0; rank < 8; ++rank) {
            if (file == 4 && rank == 1)
                continue;
            const int code = s.state.Board[CellIndex(file, rank)];
            const QImage bare = TextureHalf(3, (file + rank) % 2 == 1);
            const QImage shown = s.SquareOnScreen(file, rank);
            if (code == 0)
                QVERIFY2(shown == bare, qPrintable(QStringLiteral("square %1%2").arg(QChar('a' + file)).arg(rank + 1)));
            else
                QCOMPARE(TextureDisturbedUnderTransparency(shown, bare, *s.board->PieceImage(code)), 0);
        }

    // The pawn moves to e4: origin and target are drawn without the mark.
    s.state.SelectedSquare = chess::NoSelection;
    s.state.Board[CellIndex(4, 1)] = 0;
    s.state.Board[CellIndex(4, 3)] = chess::Pawn;
    s.board->DrawSquare(4, 1);
    s.board->DrawSquare(4, 3);
    QVERIFY(s.SquareOnScreen(4, 1) == TextureHalf(3, true));
    QCOMPARE(TextureDisturbedUnderTransparency(s.SquareOnScreen(4, 3), TextureHalf(3, true), pawn), 0);
}

void TestBoardDrawing::codesWithoutPictureShowBareTexture_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("knownFault");
    QTest::newRow("empty") << 0 << QString();
    QTest::newRow("9") << 9 << QString();
    QTest::newRow("-7") << -7 << QString();
    QTest::newRow("most negative") << int(INT32_MIN) << QString();
}

void TestBoardDrawing::codesWithoutPictureShowBareTexture()
{
    QFETCH(int, code);
    QFETCH(QString, knownFault);
    if (!knownFault.isEmpty())
        QSKIP(qPrintable(knownFault));
    Scene s(5, PieceSetId::Umelecke);
    QVERIFY(s.board->PieceImage(code) == nullptr);
    s.state.Board[CellIndex(3, 3)] = code;  // d4, dark
    s.state.Board[CellIndex(3, 4)] = code;  // d5, light
    s.board->DrawSquare(3, 3);
    s.board->DrawSquare(3, 4);
    QVERIFY(s.SquareOnScreen(3, 3) == TextureHalf(5, false));
    QVERIFY(s.SquareOnScreen(3, 4) == TextureHalf(5, true));
}

void TestBoardDrawing::everySetDrawsOnEveryTexture_data()
{
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("texture");
    const char* names[3] = {"classic", "club", "artistic"};
    for (int set = 0; set < 3; ++set)
        for (int texture = 1; texture <= TextureCount; ++texture)
            QTest::addRow("%s on %d", names[set], texture) << set << texture;
}

// Each piece shows, its transparent parts leave the texture as it is, and the
// white and black pieces of a kind are told apart.
void TestBoardDrawing::everySetDrawsOnEveryTexture()
{
    QFETCH(int, set);
    QFETCH(int, texture);
    Scene s(texture, PieceSetId(set));
    for (const int code : AllCodes) {
        const QImage* picture = s.board->PieceImage(code);
        QVERIFY2(picture && !picture->isNull(), qPrintable(QString::number(code)));
        QCOMPARE(picture->size(), QSize(68, 68));
        // Every piece once on a dark and once on a light square.
        for (const bool light : {false, true}) {
            const int rank = light ? 1 : 0;  // a1 dark, a2 light
            s.state.Board[CellIndex(0, rank)] = code;
            s.board->DrawSquare(0, rank);
            const QImage shown = s.SquareOnScreen(0, rank);
            const QImage bare = TextureHalf(texture, light);
            QVERIFY2(DifferingPixels(shown, bare) > 400, qPrintable(QStringLiteral("code %1 barely shows").arg(code)));
            QCOMPARE(TextureDisturbedUnderTransparency(shown, bare, *picture), 0);
            for (const QPoint corner : {QPoint(0, 0), QPoint(67, 0), QPoint(0, 67), QPoint(67, 67)})
                QCOMPARE(shown.pixelColor(corner), bare.pixelColor(corner));
        }
    }
    for (int kind = 1; kind <= 6; ++kind)
        QVERIFY(*s.board->PieceImage(kind) != *s.board->PieceImage(-kind));
}

void TestBoardDrawing::frameFillAndEdgeLines_data()
{
    QTest::addColumn<int>("texture");
    QTest::addColumn<bool>("labels");
    for (int texture = 1; texture <= TextureCount; ++texture)
        for (const bool labels : {true, false})
            QTest::addRow("texture %d, labels %s", texture, labels ? "on" : "off") << texture << labels;
}

// The frame is filled in the texture's colour whether labels are shown or
// not, and only the lines of its texture cross it.
void TestBoardDrawing::frameFillAndEdgeLines()
{
    QFETCH(int, texture);
    QFETCH(bool, labels);
    Scene s(texture);
    s.look.ShowLabels = labels;
    s.StartPosition();
    // A piece picked up on the square the frame colour was once read from
    // must not tint the frame.
    s.state.SelectedSquare = SelectionOf(0, 6);
    s.board->DrawBoard();

    // Texture 4 takes its colours from its own picture: the dark half for
    // the frame, the light half's corner for the labels.
    QColor fill = Silver, ink = Qt::black;
    if (texture == 4) {
        fill = LoadTexture(4).pixelColor(133, 27);
        ink = LoadTexture(4).pixelColor(0, 0);
    }
    if (texture == 5) {
        fill = Qt::black;
        ink = Qt::white;
    }
    QCOMPARE(s.board->FrameColoursFor(texture).fill, fill);
    QCOMPARE(s.board->FrameColoursFor(texture).label, ink);

    // Outer rows and columns carry no labels: all frame colour.
    for (int i = 0; i < 612; ++i)
        for (const QPoint p : {QPoint(i, 1), QPoint(i, 610), QPoint(1, i), QPoint(610, i)})
            QVERIFY2(s.At(p.x(), p.y()) == fill, qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));

    QColor lineTopLeft = fill, lineBottomRight = fill;
    if (texture >= 2 && texture <= 4)
        lineTopLeft = Qt::black;
    if (texture == 5)
        lineTopLeft = lineBottomRight = Qt::white;
    for (int i = 34; i <= 577; ++i) {
        QCOMPARE(s.At(i, 33), lineTopLeft);
        QCOMPARE(s.At(33, i), lineTopLeft);
        QCOMPARE(s.At(i, 578), lineBottomRight);
        QCOMPARE(s.At(578, i), lineBottomRight);
        QCOMPARE(s.At(i, 32), fill);
        QCOMPARE(s.At(32, i), fill);
        QCOMPARE(s.At(i, 579), fill);
        QCOMPARE(s.At(579, i), fill);
    }
    // Corners: the shadow of 2..4 runs from (577,33) to (33,577) only; the
    // outline of 5 is closed.
    QCOMPARE(s.At(33, 33), lineTopLeft);
    QCOMPARE(s.At(578, 33), texture == 5 ? QColor(Qt::white) : fill);
    QCOMPARE(s.At(33, 578), texture == 5 ? QColor(Qt::white) : fill);
    QCOMPARE(s.At(578, 578), lineBottomRight);

    // Labels or not, the whole board is painted over.
    for (int y = 0; y < 612; ++y)
        for (int x = 0; x < 612; ++x)
            if (s.At(x, y) == Unpainted)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 never painted").arg(x).arg(y)));

    // Each of the 32 label boxes is bare frame colour exactly when labels are
    // off; shown, the strokes are drawn in the label colour itself.
    int inkPixels = 0;
    for (const Band band : {Band::Top, Band::Bottom, Band::Left, Band::Right})
        for (int i = 0; i < 8; ++i) {
            const QImage box = Scene::Plain(s.canvas.copy(QRect(LabelCorner(band, i), LabelBox)));
            int drawn = 0;
            for (int y = 0; y < box.height(); ++y)
                for (int x = 0; x < box.width(); ++x) {
                    drawn += box.pixelColor(x, y) != fill;
                    inkPixels += box.pixelColor(x, y) == ink;
                }
            if (labels)
                QVERIFY2(drawn > 15, qPrintable(QStringLiteral("label %1 of band %2 missing").arg(i).arg(int(band))));
            else
                QCOMPARE(drawn, 0);
        }
    QVERIFY2(labels ? inkPixels > 100 : inkPixels == 0, qPrintable(QString::number(inkPixels)));
}

void TestBoardDrawing::labelsReadInBoardOrder_data()
{
    QTest::addColumn<bool>("whiteAtBottom");
    QTest::addColumn<QString>("acrossTop");
    QTest::addColumn<QString>("downLeft");
    QTest::newRow("white at bottom") << true << "ABCDEFGH"
                                     << "87654321";
    QTest::newRow("black at bottom") << false << "HGFEDCBA"
                                     << "12345678";
}

// Files across the top and bottom, ranks down both sides, each label the
// same in its two places and turned round with the board.
void TestBoardDrawing::labelsReadInBoardOrder()
{
    QFETCH(bool, whiteAtBottom);
    QFETCH(QString, acrossTop);
    QFETCH(QString, downLeft);
    Scene s(1);
    s.look.WhiteAtBottom = whiteAtBottom;
    s.board->DrawBoard();
    auto box = [&](Band band, int i) { return Scene::Plain(s.canvas.copy(QRect(LabelCorner(band, i), LabelBox))); };
    QString top, bottom, left, right;
    for (int i = 0; i < 8; ++i) {
        top += ReadLabel(box(Band::Top, i), "ABCDEFGH12345678", Silver, Qt::black);
        bottom += ReadLabel(box(Band::Bottom, i), "ABCDEFGH12345678", Silver, Qt::black);
        left += ReadLabel(box(Band::Left, i), "ABCDEFGH12345678", Silver, Qt::black);
        right += ReadLabel(box(Band::Right, i), "ABCDEFGH12345678", Silver, Qt::black);
        QVERIFY(box(Band::Top, i) == box(Band::Bottom, i));
        QVERIFY(box(Band::Left, i) == box(Band::Right, i));
    }
    QCOMPARE(top, acrossTop);
    QCOMPARE(bottom, acrossTop);
    QCOMPARE(left, downLeft);
    QCOMPARE(right, downLeft);

    // The same glyph, pixel for pixel, at the mirrored place of the turned board.
    Scene turned(1);
    turned.look.WhiteAtBottom = !whiteAtBottom;
    turned.board->DrawBoard();
    for (int i = 0; i < 8; ++i) {
        QVERIFY(box(Band::Top, i) == Scene::Plain(turned.canvas.copy(QRect(LabelCorner(Band::Top, 7 - i), LabelBox))));
        QVERIFY(box(Band::Left, i)
                == Scene::Plain(turned.canvas.copy(QRect(LabelCorner(Band::Left, 7 - i), LabelBox))));
    }
}

// On a screen with two device pixels per pixel the canvas is 1224 x 1224:
// pieces, texture and labels are drawn from their finer pictures, and the
// one-pixel lines and borders become two device pixels wide.
void TestBoardDrawing::doubleDensityDrawsAtFullResolution()
{
    Scene s(2, PieceSetId::Klubovky, 2.0);
    s.StartPosition();
    s.state.SelectedSquare = SelectionOf(4, 1);
    s.board->DrawBoard();
    QCOMPARE(s.canvas.size(), QSize(1224, 1224));

    for (const int code : AllCodes) {
        QCOMPARE(s.board->PieceImage(code)->size(), QSize(136, 136));
        QCOMPARE(s.board->PieceImage(code)->devicePixelRatio(), 2.0);
    }
    // An empty square is the fine texture, pixel for pixel.
    QVERIFY(s.SquareOnScreen(3, 3) == TextureHalf(2, false, 2.0));
    QVERIFY(s.SquareOnScreen(3, 4) == TextureHalf(2, true, 2.0));
    // Pieces and labels show detail no scaled-up picture has.
    const QRect king = QRect(THraciPole::SquareRect(4, 0, true).topLeft() * 2, QSize(136, 136));
    QVERIFY2(FineBlocks(s.canvas, king) > 200, "the king looks scaled up");
    QCOMPARE(TextureDisturbedUnderTransparency(s.SquareOnScreen(4, 0), TextureHalf(2, false, 2.0),
                                               *s.board->PieceImage(chess::King)),
             0);
    const QRect label(LabelCorner(Band::Top, 0) * 2, LabelBox * 2);
    QVERIFY2(FineBlocks(s.canvas, label) > 5, "the labels look scaled up");

    // The mark's border and the frame's shadow: two device pixels.
    const QImage marked = s.SquareOnScreen(4, 1);
    QCOMPARE(marked.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(marked.pixelColor(1, 1), QColor(Qt::black));
    QCOMPARE(marked.pixelColor(2, 2), QColor(Qt::red));
    QCOMPARE(marked.pixelColor(134, 134), QColor(Qt::black));
    QCOMPARE(marked.pixelColor(133, 133), QColor(Qt::red));
    for (int x = 66; x < 1156; ++x) {
        QCOMPARE(s.At(x, 65), Silver);
        QCOMPARE(s.At(x, 66), QColor(Qt::black));
        QCOMPARE(s.At(x, 67), QColor(Qt::black));
    }
    for (int y = 0; y < 1224; ++y)
        for (int x = 0; x < 1224; ++x)
            if (s.At(x, y) == Unpainted)
                QFAIL(qPrintable(QStringLiteral("device pixel %1,%2 never painted").arg(x).arg(y)));
}

QTEST_MAIN(TestBoardDrawing)
#include "tst_board_drawing.moc"
