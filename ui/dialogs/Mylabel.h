#pragma once

#include <QColor>
#include <QLabel>

// A text label that draws its caption embossed: raised, recessed or with a
// drop shadow. It draws plain text only (no rich text, no pixmap) and is
// transparent unless told otherwise, so it sits on a dialog's picture.
//
// The caption is always word-wrapped at the label's width and starts at the
// top; only the horizontal part of alignment() is used. With ShowAccelChar
// (the default) "&x" underlines x and "&&" shows one ampersand; without it
// every "&" is shown as it is.
class TmyLabel3d : public QLabel {
    Q_OBJECT
    Q_PROPERTY(T3DEffect AStyle3D READ AStyle3D WRITE setAStyle3D)
    Q_PROPERTY(QColor AShadeLeftTop READ AShadeLeftTop WRITE setAShadeLeftTop)
    Q_PROPERTY(QColor AShadeRightBottom READ AShadeRightBottom WRITE setAShadeRightBottom)
    Q_PROPERTY(int AHShadeOffSet READ AHShadeOffSet WRITE setAHShadeOffSet)
    Q_PROPERTY(int AVShadeOffSet READ AVShadeOffSet WRITE setAVShadeOffSet)
    Q_PROPERTY(bool AShadeLTSet READ AShadeLTSet WRITE setAShadeLTSet)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE setShowAccelChar)

public:
    enum T3DEffect { Normal3d, Resit3d, Raised3d, Shadowed3d };
    Q_ENUM(T3DEffect)

    explicit TmyLabel3d(QWidget* parent = nullptr);
    explicit TmyLabel3d(const QString& text, QWidget* parent = nullptr);

    T3DEffect AStyle3D() const { return style_; }
    void setAStyle3D(T3DEffect style);

    // Colour of the copy up and to the left (raised) or down and to the
    // right (recessed). Ignored while AShadeLTSet holds it at white.
    QColor AShadeLeftTop() const { return shadeLeftTop_; }
    void setAShadeLeftTop(const QColor& colour);

    // Colour of the other copy, and of the drop shadow.
    QColor AShadeRightBottom() const { return shadeRightBottom_; }
    void setAShadeRightBottom(const QColor& colour);

    // Offset of the drop shadow in pixels; a negative vertical offset is up.
    int AHShadeOffSet() const { return hShadeOffset_; }
    void setAHShadeOffSet(int offset);
    int AVShadeOffSet() const { return vShadeOffset_; }
    void setAVShadeOffSet(int offset);

    // True holds AShadeLeftTop at white and remembers the colour it had;
    // false gives that colour back.
    bool AShadeLTSet() const { return shadeLTSet_; }
    void setAShadeLTSet(bool set);

    // When false, the label fills its rectangle with the Window colour of
    // its own palette. That colour is not inherited from the parent.
    bool Transparent() const { return transparent_; }
    void setTransparent(bool transparent);

    bool ShowAccelChar() const { return showAccelChar_; }
    void setShowAccelChar(bool show);

    // Measure the caption alone (unwrapped, or wrapped at width), plus the
    // contents margins; the shade copies are not counted.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

signals:
    // The pointer has left the label.
    void OnMouseOut();
    // The left button was pressed and released inside the label.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int textFlags() const;
    QRect textRect() const;
    QSize captionSize(int width) const;

    T3DEffect style_ = Normal3d;
    QColor shadeLeftTop_ = Qt::white;
    QColor shadeRightBottom_ = QColor(128, 128, 128);
    QColor savedShadeLeftTop_ = Qt::white;
    int hShadeOffset_ = 5;
    int vShadeOffset_ = -5;
    bool shadeLTSet_ = false;
    bool transparent_ = true;
    bool showAccelChar_ = true;
    bool pressed_ = false;
};
