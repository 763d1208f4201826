#pragma once
// The main window: the board, the menu, the settings file, and the turn
// sequence's link to what the players see.

#include "GameState.h"
#include "History.h"
#include "HraciPole.h"
#include "Language.h"
#include "Presentation.h"
#include "Settings.h"
#include "TurnSequence.h"

#include <QMainWindow>

#include <memory>
#include <vector>

class BoardWidget;
class RecordController;
class TFormHlasky;
class QAction;
class QMenu;

// Where the program finds its files.
struct AppPaths {
    QString ProgramDir;    // the program's folder, with a trailing '/'
    QString SettingsFile;  // the settings file
    QString DataDir;       // the user's data folder, where the unfinished game is kept

    // Beside the program: its path with the extension replaced by ".ini"; in
    // the user's configuration folder when the program's folder is not
    // writable (an installed program).
    static AppPaths ForExecutable(const QString& executablePath);
};

inline const QString ApplicationTitle = QStringLiteral("Bodlany šachy");

class TForm1 : public QMainWindow, public chess::GameUi {
    Q_OBJECT
public:
    explicit TForm1(const AppPaths& paths, QWidget* parent = nullptr);
    ~TForm1() override;

    // The message dialog lives as long as the main window; the program entry
    // creates it right after the window.
    void CreateMessageDialog();

    // For tests and tools that look inside.
    chess::GameState& State() { return state_; }
    // The record of the game on the board; every move made on it is written in.
    chess::History& Record() { return record_; }
    const Presentation& Look() const { return look_; }
    BoardWidget* Board() const { return board_widget_; }
    THraciPole& HraciPole() { return *HraciPole_; }
    QAction* Item(const QString& name) const;
    const MessageTexts& Texts() const { return texts_; }
    const AppPaths& Paths() const { return paths_; }
    QString LanguageName() const { return LanguageName_; }
    // The record's menu commands, move list and unfinished-game file.
    RecordController& RecordUi() const { return *recordUi_; }

    // Menu items are named as the language files name them.
    QAction* AddItem(QMenu* menu, const char* name, const QString& caption, bool checkable = false);
    void AddSeparator(QMenu* menu, const char* name);
    // A panel beside the board widens the window by its width; the board
    // area keeps its size.
    void SetSidePanelWidth(int width);

    // chess::GameUi
    void Announce(chess::Message message) override;
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
    void ChooseLanguage(LanguageId id);
    void ChooseOrientation(bool whiteAtBottom);
    void FormMouseDown(QPoint position);
    bool FormCloseQuery();
    chess::Settings CurrentSettings() const;
    QString MessageText(chess::Message message) const;

    AppPaths paths_;
    chess::GameState state_;
    Presentation look_;
    MessageTexts texts_;
    QString LanguageName_;
    // Read once per load; the dialogs take their texts from it.
    LanguageFile language_;
    chess::History record_;
    chess::TurnSequence turns_;

    BoardWidget* board_widget_ = nullptr;
    std::unique_ptr<THraciPole> HraciPole_;
    std::unique_ptr<TFormHlasky> FormHlasky_;
    RecordController* recordUi_ = nullptr;  // a child of the window

    // Every menu item and submenu in creation order, as the language files
    // name them.
    std::vector<QAction*> components_;
    QAction* textureItems_[TextureCount] = {};
    QAction* pieceSetItems_[3] = {};

    int clientWidth_ = 612;     // the window's width inside its frame
    int boardAreaHeight_ = 612; // its height below the menu bar
    int sidePanelWidth_ = 0;    // the move list's, when it is shown
};
