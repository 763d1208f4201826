#pragma once
// The surface the board is drawn on: it holds the board picture at the
// screen's full density and shows it. Squares drawn between two paints are
// shown as they are; any other paint request (the window uncovered, restored,
// shown for the first time) asks its owner to redraw the whole board first.

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <functional>

class BoardWidget : public QWidget {
    Q_OBJECT
public:
    explicit BoardWidget(QWidget* parent = nullptr);

    QImage& Canvas() { return canvas_; }

    // Called when a paint request needs the whole board drawn anew.
    void SetFullRedraw(std::function<void()> redraw) { fullRedraw_ = std::move(redraw); }

    // A part of the canvas has changed: show it at the next paint.
    void Changed(const QRect& rect);

    // The canvas follows the screen's density; true when it had to change.
    bool FitCanvasToScreen();

    QSize sizeHint() const override { return {612, 612}; }

    // How often the widget has painted; a board at rest paints no more.
    int PaintCount() const { return paintCount_; }

signals:
    void pressed(QPoint position, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage canvas_;
    QRegion drawnSincePaint_;
    bool wholeBoardPending_ = true;
    bool painting_ = false;
    int paintCount_ = 0;
    std::function<void()> fullRedraw_;
};
