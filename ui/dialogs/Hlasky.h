#pragma once
// The message dialog: every announcement of the game (a refused move, check,
// mate, stalemate) appears here, one line centred over an "OK" button. One
// instance lives for the whole run and is shown again for each message.

#include <QDialog>

class QLabel;
class QPushButton;

class TFormHlasky : public QDialog {
    Q_OBJECT
public:
    // `titleSource` lends the dialog its title each time it becomes active,
    // so a change of language shows in the next message.
    explicit TFormHlasky(QWidget* titleSource);

    // Shows the text and returns once the player has closed the dialog, by
    // the button or by the close box.
    void Announce(const QString& text);

    QString MessageText() const { return MessageText_; }

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormActivate();
    // Sizes the dialog to the message: the design size for a short one,
    // wider for a longer line, and wrapped within the screen beyond that.
    void FitToMessage();

    QWidget* titleSource_;
    QString MessageText_;
    bool fitted_ = false;  // laid out for a message yet
    QLabel* Label1;
    QPushButton* Button1;
};
