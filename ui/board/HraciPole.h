#pragma once
// Draws the board: 64 squares cut from the texture, the pieces on them, the
// mark of a picked-up piece, and the frame with its coordinate labels.
// It draws into an image its owner hands over (the window shows that image;
// tests read its pixels), one whole square at a time.

#include "GameState.h"
#include "Presentation.h"
#include "Rules.h"

#include <QColor>
#include <QImage>
#include <QRect>

#include <functional>

class QPainter;

class THraciPole : public chess::SquareListener {
public:
    // Called with the logical rectangle of every change, so the window can
    // show it without redrawing anything else.
    using ChangeNotice = std::function<void(const QRect&)>;

    THraciPole(const chess::GameState& state, const Presentation& look, QImage& boardCanvas, ChangeNotice changed = {});

    void DrawBoard();
    void DrawSquare(int file, int rank) override;
    void DrawFrame();

    void CopySquareTexture(bool light, QImage& target) const;
    void DrawPiece(int code, QImage& target) const;
    const QImage* PieceImage(int code) const;

    // Where a square lies in the window under the given orientation.
    static QRect SquareRect(int file, int rank, bool whiteAtBottom);
    // The arrow of `look` (none when it has none), drawn over the board
    // picture as the window shows it, and the rectangle it covers.
    static void DrawArrow(QPainter& painter, const Presentation& look);
    static QRect ArrowRect(const Presentation& look);

    struct FrameColours {
        QColor fill, label;
    };
    FrameColours FrameColoursFor(int texture) const;

private:
    qreal Dpr() const { return BoardCanvas.devicePixelRatio(); }

    const chess::GameState& state_;
    const Presentation& look_;
    QImage& BoardCanvas;
    ChangeNotice changed_;
};
