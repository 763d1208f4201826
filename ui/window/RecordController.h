#pragma once
// The game record's side of the window: take-back and replay, opening and
// saving games, the clipboard, the move list, the tint of the last move, and
// the unfinished game kept between runs. The window constructs one, lets it
// add its menu items and tells it whenever a press or a new game may have
// changed the game; it reaches the window only through TForm1's public
// interface.

#include "GameRecord.h"
#include "History.h"
#include "Language.h"
#include "Notation.h"
#include "Pgn.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string>
#include <vector>

class TForm1;
class TMoveList;
class QAction;
class QDockWidget;
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

    static RecordTexts Load(const LanguageFile& file);
};

class RecordController : public QObject {
    Q_OBJECT
public:
    // The data folder holds the unfinished game; none is kept when it is empty.
    RecordController(TForm1& form, chess::GameState& state, chess::History& history, Presentation& look,
                     const QString& dataDir);
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

    // After a press on the board: records what it changed.
    void GameChanged();
    // After the new-game command: `started` tells whether a new game was set up.
    void NewGame(bool started);

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
    QString AutosavePath() const;
    // The move list, once it has been shown.
    TMoveList* MoveList() const { return list_; }
    const RecordTexts& Texts() const { return texts_; }

private:
    QAction* Add(QMenu* menu, const char* name, const QString& caption, bool checkable = false);
    void CheckForUnfinishedGame();
    void MakeMoveList();
    bool MoveListShown() const;
    bool Adopt(chess::RecordedGame&& game);
    bool TakeGames(const std::string& bytes, const QString& source);
    void AfterJump();
    void Refresh();
    void Autosave();
    void Warn(const QString& text, const std::string& detail = {});
    std::string GameText() const;

    TForm1& form_;
    chess::GameState& state_;
    chess::History& history_;
    Presentation& look_;
    QString dataDir_;
    RecordTexts texts_;
    chess::PieceLetters letters_ = chess::PieceLetters::Czech();
    std::vector<chess::PgnTag> tags_;  // of the game opened, kept when saving
    QString lastFolder_;

    // What the last refresh saw, so a press that changed nothing writes nothing.
    std::size_t seenSize_ = 0, seenCurrent_ = 0;
    bool seenOver_ = false;
    std::optional<chess::RecordedGame> unfinished_;

    QAction* takeBack_ = nullptr;
    QAction* replay_ = nullptr;
    QAction* resume_ = nullptr;
    QAction* moveListItem_ = nullptr;
    QAction* lastMoveItem_ = nullptr;
    QDockWidget* dock_ = nullptr;
    TMoveList* list_ = nullptr;
};
