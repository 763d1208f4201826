#pragma once
// Setting up a position on the board itself, and a board that turns to the
// side to move. While a position is set up, presses and keys on the board
// edit it instead of playing, the game's menu commands wait, and the game
// itself is left untouched until "Hrát z této pozice" starts a new one from
// the position; "Zrušit" shows the game again as it was. It reaches the
// window only through WindowHost and the board widget.

#include "Fen.h"
#include "Game.h"
#include "Language.h"
#include "Notation.h"
#include "PositionCheck.h"
#include "WindowHost.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <map>
#include <optional>

class BoardWidget;
class QAction;
class QDockWidget;
class QMenu;
class SetupPanel;
struct Presentation;

// The texts of the set-up panel and its problems, section "Pozice" of the
// language files, with their built-in Czech defaults.
struct SetupTexts {
    QString Guma = QStringLiteral("Guma");
    QString PrazdnaSachovnice = QStringLiteral("Prázdná šachovnice");
    QString ZakladniPostaveni = QStringLiteral("Základní postavení");
    QString ProhoditBarvy = QStringLiteral("Prohodit barvy");
    QString VlozitFen = QStringLiteral("Vložit FEN");
    QString NaTahu = QStringLiteral("Na tahu:");
    QString Bily = QStringLiteral("Bílý");
    QString Cerny = QStringLiteral("Černý");
    QString Rosada = QStringLiteral("Rošáda:");
    QString Mimochodem = QStringLiteral("Braní mimochodem:");
    QString CisloTahu = QStringLiteral("Číslo tahu:");
    QString Hrat = QStringLiteral("Hrát z této pozice");
    QString Zrusit = QStringLiteral("Zrušit");
    // The pawn's letter for typing pieces; the others are the move list's.
    QString PismenoPesec = QStringLiteral("P");
    QString ChybnaFen = QStringLiteral("Zápis FEN nelze přečíst.");
    // What keeps a position from being played; %1 is Bily or Cerny, %2 the square.
    QString ProblemKral = QStringLiteral("%1 musí mít právě jednoho krále.");
    QString ProblemPesecNaKraji = QStringLiteral("%1 má pěšce na první nebo poslední řadě.");
    QString ProblemKamenu = QStringLiteral("%1 má víc než 16 kamenů.");
    QString ProblemPescu = QStringLiteral("%1 má víc než 8 pěšců.");
    QString ProblemPromenenych = QStringLiteral("%1 má víc proměněných kamenů, než kolik mu chybí pěšců.");
    QString ProblemRosada = QStringLiteral("%1 smí mít rošádu, jen když král i věž stojí na svých polích.");
    QString ProblemMimochodem = QStringLiteral("Na poli %2 nelze brát mimochodem.");
    QString ProblemSach = QStringLiteral("%1 není na tahu, a přesto je v šachu.");
    QString ProblemKralove = QStringLiteral("Králové nesmějí stát vedle sebe.");

    static SetupTexts Load(const LanguageFile& file);
    friend bool operator==(const SetupTexts&, const SetupTexts&) = default;
    QString Problem(const chess::PositionProblem& problem) const;
};

class SetupController : public QObject, public chess::GameListener {
    Q_OBJECT
public:
    SetupController(WindowHost& host, chess::Game& game, Presentation& look, BoardWidget& board);
    ~SetupController() override;

    void AddGameItems(QMenu* game);
    void AddBoardItems(QMenu* board);
    // Once the settings' ticks are on the items: turns the board if asked to.
    void Start();
    void LoadLanguage(const LanguageFile& file, const chess::PieceLetters& letters);

    void GameChanged(const chess::Game& game, const chess::GameChange& change) override;

    // Set-up mode: begun from the game's current position; left by playing
    // from the position (false, and still setting up, while it has problems
    // or the player keeps the game) or by cancelling.
    void Begin();
    bool PlayFromHere();
    void Cancel();
    bool Active() const { return active_; }

    // A press on the board, as the board widget reports it: true when set-up
    // mode has taken it, and the turn sequence must not see it.
    bool Press(QPoint at, Qt::MouseButton button);

    // What the panel's controls do.
    static constexpr int NoTool = 99;
    void ChooseTool(int piece);  // a piece code, 0 for the eraser, NoTool for none
    int Tool() const { return tool_; }
    void Put(int file, int rank, int32_t piece);
    void EmptyBoard();
    void StartPosition();
    void FlipColours();
    bool TakeFen(const QString& fen);  // false, nothing changed, for a line that cannot be read
    void PasteFen();
    void SetWhiteToMove(bool white);
    void SetCastling(bool white, bool shortSide, bool allowed);
    void SetEnPassant(int file);  // -1 for none
    void SetMoveNumber(int number);

    // What is set up, and what keeps it from being played.
    const chess::GameState& Position() const { return edited_; }
    QString Fen() const;
    QStringList Problems() const;
    // The panel beside the board, once it has been shown, and the width it
    // adds to the window now (0 while it is hidden).
    QWidget* Panel() const;
    int PanelWidthShown() const { return panelWidth_; }
    const SetupTexts& Texts() const { return texts_; }

    // The board turned after every change of the game so that the side to
    // move is at the bottom.
    void SetTurning(bool on);

signals:
    // Set-up mode begun or left: whatever runs with the game (a clock) may
    // hold still meanwhile.
    void activeChanged(bool active);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class SetupPanel;
    void MakePanel();
    void Leave();
    void Edited(bool byHand = true, bool fromFenLine = false);
    void Show();
    void ApplyTool(int file, int rank);
    std::optional<std::pair<int, int>> SquareAt(QPoint at) const;
    bool TypePiece(const QString& text);
    void TurnToSideToMove();

    WindowHost& host_;
    chess::Game& game_;
    Presentation& look_;
    BoardWidget& board_;
    SetupTexts texts_;
    chess::PieceLetters letters_ = chess::PieceLetters::Czech();

    QAction* setupItem_ = nullptr;
    QAction* turnItem_ = nullptr;
    QMenu* gameMenu_ = nullptr;
    QDockWidget* dock_ = nullptr;
    SetupPanel* panel_ = nullptr;

    int panelWidth_ = 0;
    bool active_ = false;
    bool turning_ = false;
    chess::GameState edited_{};
    int halfmoveClock_ = 0;
    int fullmoveNumber_ = 1;
    int tool_ = NoTool;
    // The square a press on a piece has taken it from, until the release
    // says whether it was dragged away or only clicked.
    std::optional<std::pair<int, int>> dragFrom_;
    // What set-up mode covers while it lasts.
    chess::GameState saved_{};
    int savedTint_[2] = {-1, -1};
    std::map<QAction*, bool> savedEnabled_;
};
