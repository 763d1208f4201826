#pragma once
// The game record's side of the window: take-back and replay, opening and
// saving games, the clipboard, the move list, the tint of the last move, and
// the unfinished game kept between runs. It follows the game's changes as a
// listener and reaches the window only through WindowHost.

#include "Game.h"
#include "GameRecord.h"
#include "History.h"
#include "Language.h"
#include "Notation.h"
#include "Pgn.h"
#include "UnfinishedGame.h"
#include "WindowHost.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string>
#include <vector>

class RecordPanel;
class TMoveList;
class UnfinishedGame;
class QAction;
class QDockWidget;
class QMainWindow;
class QMenu;
struct Presentation;

// The texts of the record's dialogs and messages, section "Zapis" of the
// language files, with their built-in Czech defaults.
struct RecordTexts {
    QString OtevritPartii = QStringLiteral("Otevřít partii");
    QString UlozitPartii = QStringLiteral("Uložit partii");
    QString VyberPartie = QStringLiteral("Vyberte partii");
    QString Cislo = QStringLiteral("Č.");
    QString Bily = QStringLiteral("Bílý");
    QString Cerny = QStringLiteral("Černý");
    QString Vysledek = QStringLiteral("Výsledek");
    QString Tahy = QStringLiteral("Tahy");
    QString Storno = QStringLiteral("Storno");
    QString NelzeCist = QStringLiteral("Soubor %1 nelze přečíst.");
    QString ZadnaPartie = QStringLiteral("V souboru %1 není žádná partie.");
    QString ChybnaPartie = QStringLiteral("Partii nelze otevřít; na šachovnici zůstává dosavadní hra.");
    QString NelzeUlozit = QStringLiteral("Partii nelze uložit do souboru %1.");
    QString PrazdnaSchranka = QStringLiteral("Ve schránce není partie ani pozice.");
    QString ChybnaPozice = QStringLiteral("Pozici nelze vložit; na šachovnici zůstává dosavadní hra.");
    QString NelzeUkladat = QStringLiteral("Rozehranou partii nelze průběžně ukládat do souboru %1.");
    QString RozehranePartie = QStringLiteral("Rozehrané partie");
    QString Ulozeno = QStringLiteral("Uloženo");
    QString PosledniTah = QStringLiteral("Poslední tah");
    // The move list's status line, and why a game ended, after its result.
    QString NaTahuBily = QStringLiteral("Na tahu je bílý.");
    QString NaTahuCerny = QStringLiteral("Na tahu je černý.");
    QString KonecMat = QStringLiteral("mat");
    QString KonecPat = QStringLiteral("pat");
    QString KonecMrtvaPozice = QStringLiteral("nikdo nemůže dát mat");
    QString KonecPateOpakovani = QStringLiteral("pětkrát stejná pozice");
    QString Konec75Tahu = QStringLiteral("75 tahů bez braní a tahu pěšcem");
    QString KonecTretiOpakovani = QStringLiteral("remíza na žádost: opakování pozice");
    QString Konec50Tahu = QStringLiteral("remíza na žádost: 50 tahů bez braní a tahu pěšcem");
    QString KonecPodleZapisu = QStringLiteral("podle zápisu");
    // A result the players declared, as the Termination tag tells it.
    QString KonecCas = QStringLiteral("čas vypršel");
    QString KonecVzdalBily = QStringLiteral("bílý se vzdal");
    QString KonecVzdalCerny = QStringLiteral("černý se vzdal");
    QString KonecDohodou = QStringLiteral("remíza dohodou");
    // What is wrong with a game that cannot be opened: where, and why.
    QString ChybaTahu = QStringLiteral("hra %1, tah %2 \"%3\": %4");
    QString ChybaFen = QStringLiteral("hra %1, FEN \"%2\": %3");
    QString TahNecitelny = QStringLiteral("to není zápis tahu");
    QString TahNejednoznacny = QStringLiteral("tak může táhnout víc kamenů");
    QString TahNepripustny = QStringLiteral("pravidla ho nepřipouštějí");
    QString ChybnaFen = QStringLiteral("taková pozice není možná");
    // The dialogs of a comment and of the game's details.
    QString KomentarKTahu = QStringLiteral("Komentář k tahu %1");
    QString UdajeOPartii = QStringLiteral("Údaje o partii");
    QString Turnaj = QStringLiteral("Turnaj");
    QString Misto = QStringLiteral("Místo");
    QString Datum = QStringLiteral("Datum");
    QString Kolo = QStringLiteral("Kolo");
    QString DatumVzor = QStringLiteral("RRRR.MM.DD");

    static RecordTexts Load(const LanguageFile& file);
    // "0-1 mat": the result and why; "" for a game still going.
    QString Ending(chess::GameEnd end) const;
    // The same, a declared result at the end of `game` told by its
    // Termination tag: "time forfeit" is a flag, "normal" a resignation, or
    // an agreed draw where no draw could have been claimed instead.
    QString Ending(chess::GameEnd end, const chess::Game& game) const;
    // "hra 25, tah 11 "Ke5": pravidla ho nepřipouštějí"
    QString Problem(const chess::PgnProblem& problem) const;
};

class RecordController : public QObject, public chess::GameListener {
    Q_OBJECT
public:
    // The data folder holds the unfinished game; none is kept when it is empty.
    RecordController(WindowHost& host, chess::Game& game, Presentation& look, const QString& dataDir);
    ~RecordController() override;

    void AddGameItems(QMenu* game);
    void AddBoardItems(QMenu* board);

    // Once the ticks of the settings file are on the items: shows the move
    // list and the tint as ticked; looks for an unfinished game once the
    // window is up.
    void Start();

    // The width the move list adds to the window, 0 while it is hidden.
    int PanelWidth() const;

    void LoadLanguage(const LanguageFile& file, const chess::PieceLetters& letters);

    void GameChanged(const chess::Game& game, const chess::GameChange& change) override;

    // Menu commands. Stepping only shows the positions of the record.
    void TakeBack();
    void Replay();
    void JumpTo(std::size_t plies);
    void StepToStart();
    void StepBack();
    void StepForward();
    void StepToEnd();
    void ClaimDraw();
    // The comment after the move shown, and the game's tags, in small dialogs.
    void EditComment();
    void EditTags();
    void Open();
    void Save();
    void Resume();
    void CopyFen();
    void CopyPgn();
    void Paste();
    void ShowMoveList(bool shown);
    void MarkLastMove(bool marked);
    // The marks of a review on the moves of the list (see TMoveList::SetMarks),
    // kept for a list shown later too.
    void SetMoveMarks(std::vector<int> levels, std::vector<QString> tips);

    // Opens a file without asking for its name; false when it was refused
    // (and reported). Saving likewise.
    bool OpenFile(const QString& path);
    bool SaveFile(const QString& path);
    // Takes a FEN or PGN text as the clipboard gives it.
    bool PasteText(const QString& text);

    // For tests and the README's reader: where the unfinished game is kept.
    QString AutosavePath() const { return unfinished_->Path(); }
    // The unfinished games: this copy's, and those of earlier runs.
    UnfinishedGame& Unfinished() const { return *unfinished_; }
    // The move list and the panel it stands in, once they have been shown.
    TMoveList* MoveList() const { return list_; }
    RecordPanel* Panel() const { return panel_; }
    const RecordTexts& Texts() const { return texts_; }

private:
    QAction* Add(QMenu* menu, const char* name, const QString& caption, bool checkable = false);
    void MakeMoveList();
    bool MoveListShown() const;
    bool Adopt(chess::RecordedGame&& game);
    bool TakeGames(const std::string& bytes, const QString& source);
    void Refresh(bool movesChanged = true);
    void ShowRecord(bool movesChanged = true);
    void Warn(const QString& text, const std::string& detail = {});
    void Warn(const QString& text, const QString& detail);
    QString StartFolder() const;
    QString MoveName(std::size_t i) const;
    std::string GameText() const;

    WindowHost& host_;
    chess::Game& game_;
    Presentation& look_;
    RecordTexts texts_;
    chess::PieceLetters letters_ = chess::PieceLetters::Czech();
    QString lastFolder_;
    UnfinishedGame* unfinished_;  // a child

    QAction* takeBack_ = nullptr;
    QAction* replay_ = nullptr;
    QAction* toStart_ = nullptr;
    QAction* stepBack_ = nullptr;
    QAction* stepForward_ = nullptr;
    QAction* toEnd_ = nullptr;
    QAction* claim_ = nullptr;
    QAction* comment_ = nullptr;
    QAction* resume_ = nullptr;
    QAction* moveListItem_ = nullptr;
    QAction* lastMoveItem_ = nullptr;
    QDockWidget* dock_ = nullptr;
    RecordPanel* panel_ = nullptr;
    TMoveList* list_ = nullptr;
    std::vector<int> marks_;
    std::vector<QString> markTips_;
};
