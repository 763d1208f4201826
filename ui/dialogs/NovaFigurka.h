#pragma once
// The dialog in which a player chooses what a pawn on the last rank becomes.
// It cannot be dismissed without a choice: only its OK button (or Enter)
// closes it, and closing puts the chosen piece on the board and redraws the
// square before exec() returns.

#include "Language.h"
#include "Rules.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class TmyLabel3d;

class TNasadit : public QDialog {
    Q_OBJECT

public:
    // The pawn to promote is state.MovingPiece on file state.ToFile; it must
    // already stand on its last rank. Texts come from `language` (section
    // "NovaFigurka", title from "Form1"), with the Czech texts where a key
    // is missing. A fresh dialog opens with the queen chosen.
    TNasadit(chess::GameState& state, chess::SquareListener& board, const LanguageFile& language, QWidget* owner);

    // Index of the chosen item, 0 queen, 1 rook, 2 bishop, 3 knight; -1 when
    // none is chosen.
    int ChosenIndex() const;

public slots:
    void accept() override;
    // Escape lands here; the player has to choose, so it does nothing.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    chess::GameState& state_;
    chess::SquareListener& board_;
    TmyLabel3d* question_;
    QPushButton* ok_;
    QGroupBox* group_;
    QButtonGroup* choices_;
    bool promoted_ = false;
};
