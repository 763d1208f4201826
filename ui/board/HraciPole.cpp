#include "HraciPole.h"

#include <QFont>
#include <QLineF>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>

namespace {

constexpr int Frame = 34;
constexpr int Square = 68;
constexpr int Whole = 612;

const char* const FileLabels[8] = {"A", "B", "C", "D", "E", "F", "G", "H"};
const char* const RankLabels[8] = {"1", "2", "3", "4", "5", "6", "7", "8"};

}  // namespace

THraciPole::THraciPole(const chess::GameState& state, const Presentation& look, QImage& boardCanvas,
                       ChangeNotice changed)
    : state_(state), look_(look), BoardCanvas(boardCanvas), changed_(std::move(changed))
{
}

QRect THraciPole::SquareRect(int file, int rank, bool whiteAtBottom)
{
    if (whiteAtBottom)
        return {Frame + Square * file, Frame + Square * (7 - rank), Square, Square};
    return {Frame + Square * (7 - file), Frame + Square * rank, Square, Square};
}

namespace {

QPointF CellCentre(int cell, bool whiteAtBottom)
{
    return QRectF(THraciPole::SquareRect(cell / 8, cell % 8, whiteAtBottom)).center();
}

bool HasArrow(const Presentation& look)
{
    return look.ArrowFrom >= 0 && look.ArrowFrom < 64 && look.ArrowTo >= 0 && look.ArrowTo < 64
        && look.ArrowFrom != look.ArrowTo;
}

}  // namespace

void THraciPole::DrawArrow(QPainter& painter, const Presentation& look)
{
    if (!HasArrow(look))
        return;
    const QPointF from = CellCentre(look.ArrowFrom, look.WhiteAtBottom);
    const QPointF to = CellCentre(look.ArrowTo, look.WhiteAtBottom);
    const QLineF line(from, to);
    const qreal head = 22;
    // The shaft stops where the head begins, so the two never overlap in
    // the translucent colour.
    QLineF shaft(from, to);
    shaft.setLength(std::max<qreal>(0, line.length() - head * 0.8));
    const QColor colour(0x20, 0x90, 0x30, 170);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 9, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(shaft);
    QLineF back = QLineF(to, from);
    back.setLength(head);
    QLineF left = back, right = back;
    left.setAngle(back.angle() + 28);
    right.setAngle(back.angle() - 28);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(QPolygonF({to, left.p2(), right.p2()}));
    painter.restore();
}

QRect THraciPole::ArrowRect(const Presentation& look)
{
    if (!HasArrow(look))
        return {};
    return SquareRect(look.ArrowFrom / 8, look.ArrowFrom % 8, look.WhiteAtBottom)
        .united(SquareRect(look.ArrowTo / 8, look.ArrowTo % 8, look.WhiteAtBottom));
}

void THraciPole::DrawBoard()
{
    for (int file = 0; file < 8; ++file)
        for (int rank = 0; rank < 8; ++rank)
            DrawSquare(file, rank);
    DrawFrame();
}

void THraciPole::CopySquareTexture(bool light, QImage& target) const
{
    const QImage& texture = look_.TextureImage;
    if (texture.isNull())
        return;
    const qreal dpr = texture.devicePixelRatio();
    const QRect half(light ? 0 : qRound(Square * dpr), 0, qRound(Square * dpr), qRound(Square * dpr));
    QPainter p(&target);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QRectF(0, 0, Square, Square), texture, half);
}

const QImage* THraciPole::PieceImage(int code) const
{
    if (!look_.Pieces)
        return nullptr;
    const QImage& picture = look_.Pieces->Picture(code, Dpr());
    return picture.isNull() ? nullptr : &picture;
}

void THraciPole::DrawPiece(int code, QImage& target) const
{
    if (code == chess::Empty)
        return;
    if (const QImage* picture = PieceImage(code)) {
        QPainter p(&target);
        p.drawImage(QRectF(0, 0, Square, Square), *picture);
    }
}

void THraciPole::DrawSquare(int file, int rank)
{
    // Built off-screen and put on the board in one piece, so a square is
    // never seen half drawn.
    const qreal dpr = Dpr();
    QImage square(qRound(Square * dpr), qRound(Square * dpr), QImage::Format_ARGB32_Premultiplied);
    square.setDevicePixelRatio(dpr);
    square.fill(Qt::red);

    CopySquareTexture((file + rank) % 2 == 1, square);

    const int cell = chess::CellIndex(file, rank);
    if (look_.MarkLastMove && (cell == look_.LastMoveFrom || cell == look_.LastMoveTo)) {
        // A light wash and a stronger edge: the pieces stay readable on the
        // dark textures and the edge still shows on the yellowish ones.
        QPainter p(&square);
        p.fillRect(QRect(0, 0, Square, Square), QColor(255, 214, 0, 80));
        p.setPen(QPen(QColor(255, 170, 0, 230), 4));
        p.drawRect(QRectF(2, 2, Square - 4, Square - 4));
    }

    // Only the picked-up square carries the mark, also when the whole board
    // is redrawn in the middle of a move.
    if (state_.SelectedSquare >= 0 && state_.SelectedSquare == chess::SelectionOf(file, rank)) {
        QPainter p(&square);
        p.fillRect(QRect(0, 0, Square, Square), Qt::black);
        p.fillRect(QRect(1, 1, Square - 2, Square - 2), Qt::red);
    }

    DrawPiece(state_.Board[chess::CellIndex(file, rank)], square);

    const QRect where = SquareRect(file, rank, look_.WhiteAtBottom);
    {
        QPainter p(&BoardCanvas);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(where.topLeft(), square);
    }
    if (changed_)
        changed_(where);
}

THraciPole::FrameColours THraciPole::FrameColoursFor(int texture) const
{
    const QColor silver(192, 192, 192);
    switch (texture) {
    case 4: {
        // The dark texture's colour for the frame and the light one's for the
        // labels, taken from the picture itself rather than read back from
        // the window, which may be covered.
        const QImage& t = look_.TextureImage;
        if (t.isNull())
            break;
        const qreal dpr = t.devicePixelRatio();
        return {t.pixelColor(int(133 * dpr), int(27 * dpr)), t.pixelColor(0, 0)};
    }
    case 5:
        return {Qt::black, Qt::white};
    default:
        break;
    }
    return {silver, Qt::black};
}

void THraciPole::DrawFrame()
{
    const int texture = look_.BoardTexture;
    const FrameColours colours = FrameColoursFor(texture);
    QPainter p(&BoardCanvas);

    p.fillRect(QRect(0, 0, Whole, Frame), colours.fill);
    p.fillRect(QRect(0, 578, Whole, Frame), colours.fill);
    p.fillRect(QRect(0, Frame, Frame, 544), colours.fill);
    p.fillRect(QRect(578, Frame, Frame, 544), colours.fill);

    // A 1-pixel line on the logical grid: a rectangle, so it stays exactly one
    // logical pixel wide at every screen density.
    auto line = [&](int x1, int y1, int x2, int y2, const QColor& c) {
        p.fillRect(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2))), c);
    };
    if (texture >= 2 && texture <= 4) {
        line(577, 33, 33, 33, Qt::black);  // shadow on the upper and left inner edge
        line(33, 33, 33, 577, Qt::black);
    } else if (texture == 5) {
        line(33, 33, 578, 33, Qt::white);
        line(578, 33, 578, 578, Qt::white);
        line(578, 578, 33, 578, Qt::white);
        line(33, 578, 33, 33, Qt::white);
    }

    if (look_.ShowLabels) {
        QFont font(QStringLiteral("Times New Roman"));
        font.setPixelSize(16);  // 12 points on the 96-dpi grid the board is laid out on
        // The labels are plain letters and digits that any font has: no list
        // of fallback fonts is needed, and building one costs the first paint
        // a couple of milliseconds.
        font.setStyleStrategy(QFont::NoFontMerging);
        p.setFont(font);
        p.setPen(colours.label);
        p.setBackgroundMode(Qt::TransparentMode);
        auto text = [&](int x, int y, const char* label) {
            p.drawText(QRect(x, y, 40, 40), Qt::AlignLeft | Qt::AlignTop, QString::fromLatin1(label));
        };
        for (int i = 0; i < 8; ++i) {
            const char* column = look_.WhiteAtBottom ? FileLabels[i] : FileLabels[7 - i];
            const char* row = look_.WhiteAtBottom ? RankLabels[7 - i] : RankLabels[i];
            text(62 + 68 * i, 10, column);
            text(62 + 68 * i, 583, column);
            text(12, 62 + 68 * i, row);
            text(586, 62 + 68 * i, row);
        }
    }
    p.end();
    if (changed_)
        changed_(QRect(0, 0, Whole, Whole));
}
