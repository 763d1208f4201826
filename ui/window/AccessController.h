#pragma once
// Playing without seeing the board: moves and reading commands typed into a
// field below the board, every change of the game said aloud through the
// screen reader, and the board itself readable as a table of 64 squares.
// It follows the game as a listener, so a clicked move and a typed one are
// told alike, and reaches the window only through WindowHost.

#include "Game.h"
#include "Language.h"
#include "MoveInput.h"
#include "RecordController.h"
#include "WindowHost.h"

#include <QObject>
#include <QString>

#include <functional>

class AccessStatus;
class BoardWidget;
class QAction;
class QDockWidget;
class QLabel;
class QLineEdit;
class QMenu;
struct Presentation;

// Section "Pristupnost" of the language files, with the built-in Czech.
struct AccessTexts {
    QString Pole = QStringLiteral("Tah nebo příkaz");
    QString Odpoved = QStringLiteral("Odpověď");
    QString Panel = QStringLiteral("Zadání tahu");
    QString Sachovnice = QStringLiteral("Šachovnice");
    QString ZapisPartie = QStringLiteral("Zápis partie");
    // The pieces as nouns, and with their colour as the squares name them.
    QString Kral = QStringLiteral("král");
    QString Dama = QStringLiteral("dáma");
    QString Vez = QStringLiteral("věž");
    QString Strelec = QStringLiteral("střelec");
    QString Jezdec = QStringLiteral("jezdec");
    QString Pesec = QStringLiteral("pěšec");
    QString BilyKral = QStringLiteral("bílý král");
    QString BilaDama = QStringLiteral("bílá dáma");
    QString BilaVez = QStringLiteral("bílá věž");
    QString BilyStrelec = QStringLiteral("bílý střelec");
    QString BilyJezdec = QStringLiteral("bílý jezdec");
    QString BilyPesec = QStringLiteral("bílý pěšec");
    QString CernyKral = QStringLiteral("černý král");
    QString CernaDama = QStringLiteral("černá dáma");
    QString CernaVez = QStringLiteral("černá věž");
    QString CernyStrelec = QStringLiteral("černý střelec");
    QString CernyJezdec = QStringLiteral("černý jezdec");
    QString CernyPesec = QStringLiteral("černý pěšec");
    QString Prazdne = QStringLiteral("prázdné");
    // "e4, bílý jezdec"
    QString NazevPole = QStringLiteral("%1, %2");
    // A move said aloud: the piece, from, to.
    QString Tah = QStringLiteral("%1 %2 %3");
    QString Bere = QStringLiteral("%1 %2 bere na %3");
    QString BereMimochodem = QStringLiteral("%1 %2 bere mimochodem na %3");
    QString MalaRosada = QStringLiteral("malá rošáda");
    QString VelkaRosada = QStringLiteral("velká rošáda");
    // %1: what the pawn becomes, as the following four say it.
    QString Promena = QStringLiteral("%1, proměna v %2");
    QString NaDamu = QStringLiteral("dámu");
    QString NaVez = QStringLiteral("věž");
    QString NaStrelce = QStringLiteral("střelce");
    QString NaJezdce = QStringLiteral("jezdce");
    QString Sach = QStringLiteral("%1, šach");
    QString MatBily = QStringLiteral("Mat. Bílý vyhrál.");
    QString MatCerny = QStringLiteral("Mat. Černý vyhrál.");
    QString Pat = QStringLiteral("Pat. Remíza.");
    QString Konec = QStringLiteral("Partie skončila: %1.");
    // Changes of the game other than a move.
    QString NovaPartie = QStringLiteral("Nová partie.");
    QString Vraceno = QStringLiteral("Vrácen tah: %1.");
    QString Znovu = QStringLiteral("Znovu: %1.");
    QString PoTahu = QStringLiteral("Pozice po tahu %1: %2.");
    QString Vychozi = QStringLiteral("Výchozí pozice.");
    QString Otevreno = QStringLiteral("Partie otevřena.");
    // The answers of the reading commands.
    QString ZadnyTah = QStringLiteral("Zatím nebyl zahrán žádný tah.");
    QString PosledniTah = QStringLiteral("Poslední tah: %1.");
    QString NaTahuBily = QStringLiteral("Na tahu je bílý.");
    QString NaTahuCerny = QStringLiteral("Na tahu je černý.");
    QString Kameny = QStringLiteral("%1: %2.");
    QString Zadny = QStringLiteral("žádný");
    QString Sloupec = QStringLiteral("Sloupec %1: %2.");
    QString Rada = QStringLiteral("Řada %1: %2.");
    QString Bily = QStringLiteral("Bílý");
    QString Cerny = QStringLiteral("Černý");
    // Refusals.
    QString Nejednoznacny = QStringLiteral("Nejednoznačné: %1.");
    QString Nebo = QStringLiteral(" nebo ");
    QString Nepripustny = QStringLiteral("Tah %1 není možný.");
    QString Necitelny = QStringLiteral("Nerozumím „%1“. Tah pište jako Jf3 nebo g1f3; příkazy: l poslední tah, "
                                       "c kdo je na tahu, p J kde stojí kameny, s e sloupec, s 4 řada, b celá pozice.");

    static AccessTexts Load(const LanguageFile& file);
    friend bool operator==(const AccessTexts&, const AccessTexts&) = default;
    // "bílý jezdec", "prázdné" for the piece as the board holds it.
    const QString& PieceName(int32_t piece) const;
    // "jezdec", without its colour.
    const QString& Noun(int32_t piece) const;
};

class AccessController : public QObject, public chess::GameListener {
    Q_OBJECT
public:
    AccessController(WindowHost& host, chess::Game& game, Presentation& look, BoardWidget& board);
    ~AccessController() override;

    // "Zadat tah" (Ctrl+L) in the game menu.
    void AddGameItems(QMenu* game);
    void LoadLanguage(const LanguageFile& file, const chess::PieceLetters& letters);

    // Who is to move and the clocks, when a clock runs: "" while none does.
    // The clock's side of the window sets it.
    void SetClockReader(std::function<QString()> reader) { clockReader_ = std::move(reader); }
    // While this answers true the board's keys belong to someone else (a
    // position being set up takes piece letters), and typing opens no field.
    void SetBoardTaken(std::function<bool()> taken) { boardTaken_ = std::move(taken); }

    void GameChanged(const chess::Game& game, const chess::GameChange& change) override;
    // The squares may read otherwise: the board was turned, a piece picked
    // up. Whatever turns the board calls it; the screen reader is told once
    // the event is over.
    void BoardTurned();

    // Opens the field (with `typed` in it) and gives it the keyboard.
    void OpenField(const QString& typed = {});
    void CloseField();
    // What Enter in the field does: plays a move or answers a command.
    // Returns the answer, which is also said aloud.
    QString Submit(const QString& text);
    // Says `text` through the screen reader and shows it in the answer line.
    void Say(const QString& text);

    // The spoken forms, for the board's table and for tests.
    QString SquareName(int file, int rank) const;
    QString SpokenMove(std::size_t ply) const;
    QString Answer(const chess::BoardCommand& command) const;
    const AccessTexts& Texts() const { return texts_; }

    QLineEdit* Field() const { return field_; }
    QLabel* AnswerLine() const { return answer_; }
    QDockWidget* Panel() const { return dock_; }
    BoardWidget& Board() const { return board_; }
    const Presentation& Look() const { return look_; }
    const chess::Game& Game() const { return game_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void NameWidgets();
    void NamePanel(QWidget* panel);
    QString EndText(chess::GameEnd end) const;
    QString Squares(const std::vector<int>& squares) const;
    QString Line(bool file, int index) const;

    WindowHost& host_;
    chess::Game& game_;
    Presentation& look_;
    BoardWidget& board_;
    AccessTexts texts_;
    RecordTexts record_;  // how a game ended, as the move list says it
    chess::PieceLetters letters_ = chess::PieceLetters::Czech();
    std::function<QString()> clockReader_;
    std::function<bool()> boardTaken_;

    QAction* item_ = nullptr;
    bool orientationWatched_ = false;
    bool boardPending_ = false;
    QDockWidget* dock_ = nullptr;
    QLineEdit* field_ = nullptr;
    QLabel* answer_ = nullptr;        // in the field's panel
    AccessStatus* status_ = nullptr;  // always there, for the screen reader
};
