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
class TmyLabel3d : public QLabel
{
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

    explicit TmyLabel3d(QWidget *parent = nullptr);
    explicit TmyLabel3d(const QString &text, QWidget *parent = nullptr);

    T3DEffect AStyle3D() const { return m_style; }
    void setAStyle3D(T3DEffect style);

    // Colour of the copy up and to the left (raised) or down and to the
    // right (recessed). Ignored while AShadeLTSet holds it at white.
    QColor AShadeLeftTop() const { return m_shadeLeftTop; }
    void setAShadeLeftTop(const QColor &colour);

    // Colour of the other copy, and of the drop shadow.
    QColor AShadeRightBottom() const { return m_shadeRightBottom; }
    void setAShadeRightBottom(const QColor &colour);

    // Offset of the drop shadow in pixels; a negative vertical offset is up.
    int AHShadeOffSet() const { return m_hShadeOffset; }
    void setAHShadeOffSet(int offset);
    int AVShadeOffSet() const { return m_vShadeOffset; }
    void setAVShadeOffSet(int offset);

    // True holds AShadeLeftTop at white and remembers the colour it had;
    // false gives that colour back.
    bool AShadeLTSet() const { return m_shadeLTSet; }
    void setAShadeLTSet(bool set);

    // When false, the label fills its rectangle with the Window colour of
    // its own palette. That colour is not inherited from the parent.
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool transparent);

    bool ShowAccelChar() const { return m_showAccelChar; }
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
    void paintEvent(QPaintEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int textFlags() const;
    QRect textRect() const;
    QSize captionSize(int width) const;

    T3DEffect m_style = Normal3d;
    QColor m_shadeLeftTop = Qt::white;
    QColor m_shadeRightBottom = QColor(128, 128, 128);
    QColor m_savedShadeLeftTop = Qt::white;
    int m_hShadeOffset = 5;
    int m_vShadeOffset = -5;
    bool m_shadeLTSet = false;
    bool m_transparent = true;
    bool m_showAccelChar = true;
    bool m_pressed = false;
};
