#pragma once
// The main window: the board, the menu, the settings file, and the turn
// sequence's link to what the players see.

#include "AccessController.h"
#include "AppPaths.h"
#include "ClockController.h"
#include "EngineController.h"
#include "Game.h"
#include "HraciPole.h"
#include "Language.h"
#include "Presentation.h"
#include "RecordController.h"
#include "Settings.h"
#include "SetupController.h"
#include "TurnSequence.h"

#include <QMainWindow>

#include <array>
#include <map>
#include <memory>
#include <vector>

class BoardWidget;
class TFormHlasky;
class QAction;
class QMenu;

class TForm1 : public QMainWindow, public chess::GameUi, public WindowHost, public chess::GameListener {
    Q_OBJECT
public:
    explicit TForm1(const AppPaths& paths, QWidget* parent = nullptr);
    ~TForm1() override;

    // The message dialog lives as long as the main window; the program entry
    // creates it right after the window.
    void CreateMessageDialog();

    // For tests and tools that look inside.
    chess::GameState& State() { return state_; }
    chess::Game& Game() { return game_; }
    // The record of the game on the board; every move made on it is written in.
    const chess::History& Record() const { return game_.Record(); }
    const Presentation& Look() const { return look_; }
    BoardWidget* Board() const { return board_widget_; }
    THraciPole& HraciPole() { return *HraciPole_; }
    QAction* Item(const QString& name) const;
    const MessageTexts& Texts() const { return texts_; }
    const AppPaths& Paths() const { return paths_; }
    QString LanguageName() const { return LanguageName_; }
    // The record's menu commands, move list and unfinished-game file.
    RecordController& RecordUi() const { return *recordUi_; }
    // Setting up a position, and the board turned to the side to move.
    SetupController& SetupUi() const { return *setupUi_; }
    // The engine's analysis and review of the game.
    EngineController& EngineUi() const { return *engineUi_; }
    // The clock, resignation and the offer of a draw.
    ClockController& ClockUi() const { return *clockUi_; }

    // WindowHost. Menu items are named as the language files name them; a
    // panel beside the board widens the window by its width, and the board
    // area keeps its size.
    QMainWindow* Window() override { return this; }
    QAction* AddItem(QMenu* menu, const char* name, const QString& caption, bool checkable = false) override;
    void AddSeparator(QMenu* menu, const char* name) override;
    void SetSidePanelWidth(const void* panel, int width) override;
    void ShowWhiteAtBottom(bool whiteAtBottom) override { ChooseOrientation(whiteAtBottom); }
    void SetArrow(int fromCell, int toCell) override;
    void SetBottomPanelHeight(const void* panel, int height) override;
    void PlayMove(const chess::Move& move) override;
    // Typed moves and what the screen reader is told.
    AccessController& AccessUi() const { return *accessUi_; }

    // chess::GameListener: a position restored or opened redraws the squares
    // that show something else now.
    void GameChanged(const chess::Game& game, const chess::GameChange& change) override;

    // chess::GameUi
    void Announce(chess::Message message) override;
    void AnnounceText(const QString& text) override;
    bool AskYesNo(chess::Question question) override;
    void RunPromotion(chess::GameState& state) override;
    void DrawBoard() override;
    void DrawSquare(int file, int rank) override;

    // Menu commands.
    void Novpartie1Click();
    void Konec1Click() { close(); }
    void esky1Click() { ChooseLanguage(LanguageId::Czech); }
    void nmecky1Click() { ChooseLanguage(LanguageId::German); }
    void anglicky1Click() { ChooseLanguage(LanguageId::English); }
    void ChooseTexture(int n);
    void ChoosePieceSet(PieceSetId id);
    void Popisky1Click();
    void bldole1Click() { ChooseOrientation(true); }
    void erndole1Click() { ChooseOrientation(false); }
    void Autor1Click();

    void LoadLanguage();

    // Writes the window's bounds and the option ticks to the settings file;
    // a failure is shown to the user. Returns whether the file was written.
    bool SaveSettings();
    // The same without a word to the user: for when nobody may be there.
    bool WriteSettingsFile();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void BuildMenu();
    void CheckLanguageFiles();
    void ApplyAppearance();
    void ApplyGeometry(const chess::Settings& settings);
    void KeepRightEdgeOnScreen();
    void ChooseLanguage(LanguageId id);
    void ChooseOrientation(bool whiteAtBottom);
    void SetupShown(bool active);
    void FormMouseDown(QPoint position);
    bool FormCloseQuery();
    chess::Settings CurrentSettings() const;
    void NoteDrawn(int file, int rank);
    void NoteBoardDrawn();
    void DrawChangedSquares();

    AppPaths paths_;
    chess::Game game_;
    chess::GameState& state_;
    Presentation look_;
    MessageTexts texts_;
    QString LanguageName_;
    // Read once per load; the dialogs take their texts from it.
    LanguageFile language_;
    chess::TurnSequence turns_;

    BoardWidget* board_widget_ = nullptr;
    std::unique_ptr<THraciPole> HraciPole_;
    std::unique_ptr<TFormHlasky> FormHlasky_;
    RecordController* recordUi_ = nullptr;  // a child of the window
    EngineController* engineUi_ = nullptr;  // a child of the window
    AccessController* accessUi_ = nullptr;  // a child of the window
    // The piece a typed move promotes to, while it is played.
    int32_t typedPromotion_ = chess::Empty;
    ClockController* clockUi_ = nullptr;  // a child of the window

    // What each square shows on screen: its piece, and which one carries the
    // mark of a pick-up (-1 for none). A take-back then redraws only the
    // squares it changed, and the board shows it sooner.
    std::array<int, 64> shownPieces_{};
    int shownMark_ = -1;

    // Every menu item and submenu in creation order, as the language files
    // name them.
    std::vector<QAction*> components_;
    QAction* textureItems_[TextureCount] = {};
    QAction* pieceSetItems_[3] = {};

    int clientWidth_ = 612;      // the window's width inside its frame
    int boardAreaHeight_ = 612;  // its height below the menu bar
    // The panels shown beside the board, each with its width.
    std::map<const void*, int> sidePanels_;
    int SidePanelsWidth() const;

    // Listens to the game, so it goes before the game does.
    std::unique_ptr<SetupController> setupUi_;
    bool analysisBeforeSetup_ = false;
    bool clockBeforeSetup_ = false;
    // The panels shown below the board, each with its height.
    std::map<const void*, int> bottomPanels_;
    int BottomPanelsHeight() const;
};

// The program's arguments as QCoreApplication::arguments() gives them: a
// PGN file named after the program's own name (a path or a file: URL, as a
// desktop passes it) is opened as "Otevřít partii" opens one, once the
// event loop runs and the window is up; a file that cannot be opened is
// reported the same way. Further arguments are left alone.
void OpenFileOfArguments(TForm1& form, const QStringList& arguments);
