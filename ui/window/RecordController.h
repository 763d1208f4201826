#pragma once
// The game record's side of the window: take-back and replay, opening and
// saving games, the clipboard, the move list, the tint of the last move, and
// the unfinished game kept between runs. It follows the game's changes as a
// listener and reaches the window only through RecordHost.

#include "Game.h"
#include "GameRecord.h"
#include "History.h"
#include "Language.h"
#include "Notation.h"
#include "Pgn.h"
#include "UnfinishedGame.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string>
#include <vector>

class TMoveList;
class UnfinishedGame;
class QAction;
class QDockWidget;
class QMainWindow;
class QMenu;
struct Presentation;

// What the record's side needs of the window it lives in.
class RecordHost {
public:
    virtual QMainWindow* Window() = 0;
    // Menu items named as the language files name them.
    virtual QAction* AddItem(QMenu* menu, const char* name, const QString& caption, bool checkable = false) = 0;
    virtual void AddSeparator(QMenu* menu, const char* name) = 0;
    virtual bool AskYesNo(chess::Question question) = 0;
    virtual void DrawSquare(int file, int rank) = 0;
    // A panel beside the board widens the window by its width.
    virtual void SetSidePanelWidth(int width) = 0;

protected:
    ~RecordHost() = default;
};

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

    static RecordTexts Load(const LanguageFile& file);
};

class RecordController : public QObject, public chess::GameListener {
    Q_OBJECT
public:
    // The data folder holds the unfinished game; none is kept when it is empty.
    RecordController(RecordHost& host, chess::Game& game, Presentation& look, const QString& dataDir);
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

    // Menu commands.
    void TakeBack();
    void Replay();
    void JumpTo(std::size_t plies);
    void Open();
    void Save();
    void Resume();
    void CopyFen();
    void CopyPgn();
    void Paste();
    void ShowMoveList(bool shown);
    void MarkLastMove(bool marked);

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
    // The move list, once it has been shown.
    TMoveList* MoveList() const { return list_; }
    const RecordTexts& Texts() const { return texts_; }

private:
    QAction* Add(QMenu* menu, const char* name, const QString& caption, bool checkable = false);
    void MakeMoveList();
    bool MoveListShown() const;
    bool Adopt(chess::RecordedGame&& game);
    bool TakeGames(const std::string& bytes, const QString& source);
    void Refresh();
    void Warn(const QString& text, const std::string& detail = {});
    std::string GameText() const;

    RecordHost& host_;
    chess::Game& game_;
    Presentation& look_;
    RecordTexts texts_;
    chess::PieceLetters letters_ = chess::PieceLetters::Czech();
    QString lastFolder_;
    UnfinishedGame* unfinished_;  // a child

    QAction* takeBack_ = nullptr;
    QAction* replay_ = nullptr;
    QAction* resume_ = nullptr;
    QAction* moveListItem_ = nullptr;
    QAction* lastMoveItem_ = nullptr;
    QDockWidget* dock_ = nullptr;
    TMoveList* list_ = nullptr;
};
