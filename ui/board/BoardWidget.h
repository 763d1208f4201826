#pragma once
// The surface the board is drawn on: it holds the board picture at the
// screen's full density and shows it. Squares drawn between two paints are
// shown as they are; any other paint request (the window uncovered, restored,
// shown for the first time) asks its owner to redraw the whole board first.
//
// Two things are shown over the board picture rather than drawn into it: the
// piece a player drags with the button held, and the keyboard's cursor frame.
// Both only ever produce presses, exactly like the mouse, so the turn
// sequence knows nothing of them.

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <functional>

class QPainter;

class BoardWidget : public QWidget {
    Q_OBJECT
public:
    explicit BoardWidget(QWidget* parent = nullptr);

    QImage& Canvas() { return canvas_; }

    // Called when a paint request needs the whole board drawn anew.
    void SetFullRedraw(std::function<void()> redraw) { fullRedraw_ = std::move(redraw); }
    // Draws what lies over the board picture (an arrow) at every paint.
    void SetOverlay(std::function<void(QPainter&)> overlay) { overlay_ = std::move(overlay); }

    // A part of the canvas has changed: show it at the next paint.
    void Changed(const QRect& rect);

    // The canvas follows the screen's density; true when it had to change.
    bool FitCanvasToScreen();

    QSize sizeHint() const override { return {612, 612}; }

    // How often the widget has painted; a board at rest paints no more.
    int PaintCount() const { return paintCount_; }

    // The press being handled picked up this piece: it follows the pointer
    // while the button is held, and releasing it on another square is the
    // second press.
    void StartDrag(const QImage& piece);
    bool Dragging() const { return dragging_; }

    // The keyboard cursor: a column and row on screen (0..7 from the top
    // left), shown only once an arrow key has been used.
    bool CursorShown() const { return cursorShown_; }
    QPoint CursorCell() const { return cursor_; }

signals:
    void pressed(QPoint position, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QImage canvas_;
    QRegion drawnSincePaint_;
    bool wholeBoardPending_ = true;
    bool painting_ = false;
    int paintCount_ = 0;
    std::function<void()> fullRedraw_;
    std::function<void(QPainter&)> overlay_;

    void Press(QPoint at, Qt::MouseButton button);
    QRect DragRect() const;
    QRect CursorRect() const;

    // The drag under way: armed by a pick-up, dragging once the pointer has
    // moved far enough.
    QImage dragPiece_;
    QPoint pressAt_, dragAt_;
    bool dragging_ = false;

    QPoint cursor_{4, 6};
    bool cursorShown_ = false;
};
