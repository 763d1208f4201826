#pragma once
// The two clock faces beside the board, one above the other as the sides
// stand on the board. A face repaints only when what it shows has changed.

#include <QString>
#include <QWidget>

class QLabel;

class ClockFace : public QWidget {
    Q_OBJECT
public:
    struct Look {
        QString name, time, detail;
        bool running = false, low = false, paused = false;
        friend bool operator==(const Look&, const Look&) = default;
    };
    explicit ClockFace(QWidget* parent = nullptr);
    void Show(const Look& look);
    const Look& Shown() const { return look_; }
    int Paints() const { return paints_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Look look_;
    int paints_ = 0;
};

class ClockPanel : public QWidget {
    Q_OBJECT
public:
    explicit ClockPanel(QWidget* parent = nullptr);
    ClockFace* Face(bool white) const { return white ? white_ : black_; }
    void SetWhiteAtBottom(bool whiteAtBottom);
    void SetStatus(const QString& text);
    QString Status() const;
    bool WhiteAtBottom() const { return whiteAtBottom_; }

private:
    void Place();
    ClockFace* white_;
    ClockFace* black_;
    QLabel* status_;
    bool whiteAtBottom_ = true;
};
