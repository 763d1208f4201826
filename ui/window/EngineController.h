#pragma once
// The engine's side of the window: "Rozbor pozice" shows an engine's view
// of the position on the board and follows every change of it; "Rozbor
// celé partie" has the engine evaluate every position of the record, marks
// the moves that lost ground and can write the review into the record;
// "Šachový program…" chooses the engine. No engine process runs while the
// panel is closed. It follows the game as a listener and reaches the window
// only through WindowHost.

#include "EngineClient.h"
#include "Game.h"
#include "Language.h"
#include "Notation.h"
#include "Review.h"
#include "WindowHost.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>
#include <optional>
#include <string>

class EnginePanel;
class RecordController;
class QAction;
class QDockWidget;
class QMenu;
struct Presentation;

// The texts of the engine's panel and messages, section "Rozbor" of the
// language files, with their built-in Czech defaults.
struct EngineTexts {
    QString Hloubka = QStringLiteral("Hloubka %1");
    QString MatBily = QStringLiteral("Bílý dá mat %1. tahem");
    QString MatCerny = QStringLiteral("Černý dá mat %1. tahem");
    QString BilyDostalMat = QStringLiteral("Bílý dostal mat.");
    QString CernyDostalMat = QStringLiteral("Černý dostal mat.");
    QString KonecPartie = QStringLiteral("Partie skončila.");
    QString Spoustim = QStringLiteral("Spouštím šachový program…");
    QString NeniProgram = QStringLiteral(
        "Šachový program není nainstalován. Nainstalujte balíček stockfish, nebo program vyberte v nabídce Nastavení.");
    QString NelzeSpustit = QStringLiteral("Šachový program %1 nelze spustit.");
    QString Neodpovida = QStringLiteral("Program %1 neodpověděl jako šachový program (UCI) a nebude použit.");
    QString Spadl = QStringLiteral("Šachový program skončil. Při dalším požadavku se spustí znovu.");
    QString Zasekl = QStringLiteral("Šachový program přestal odpovídat. Při dalším požadavku se spustí znovu.");
    QString HodinyBezi = QStringLiteral("Rozbor nelze zapnout, dokud běží hodiny rozehrané partie.");
    QString PrubehRozboru = QStringLiteral("Pozice %1 z %2");
    QString Zrusit = QStringLiteral("Zrušit");
    QString UlozitRozbor = QStringLiteral("Uložit rozbor do partie");
    QString Nepresnost = QStringLiteral("nepřesnost");
    QString Chyba = QStringLiteral("chyba");
    QString HrubaChyba = QStringLiteral("hrubá chyba");
    // "12... Jf6?: chyba. Lepší bylo 12... Jd7 13. Sc4."
    QString LepsiBylo = QStringLiteral("%1: %2. Lepší bylo %3.");
    QString VyberProgram = QStringLiteral("Vyberte šachový program");

    static EngineTexts Load(const LanguageFile& file);
    friend bool operator==(const EngineTexts&, const EngineTexts&) = default;
    // "+0.31", "−1.50", or the mate in words; from White's side.
    QString Score(chess::uci::Score score, bool whiteToMove) const;
};

class EngineController : public QObject, public chess::GameListener {
    Q_OBJECT
public:
    EngineController(WindowHost& host, chess::Game& game, Presentation& look, RecordController& record);
    ~EngineController() override;

    // "Rozbor pozice" and "Rozbor celé partie" after the record's items of
    // the game menu, "Šachový program…" in the settings menu.
    void AddGameItems(QMenu* game);
    void AddSettingsItems(QMenu* settings);
    void LoadLanguage(const LanguageFile& file, const chess::PieceLetters& letters);

    // Whether a clock runs in a game in progress: the analysis cannot be
    // switched on then. Unset, no clock runs.
    void SetClockRunning(std::function<bool()> running) { clockRunning_ = std::move(running); }

    // The engine chosen in the settings file ("" for the one installed).
    void SetProgramSetting(const std::string& path);
    const std::string& ProgramSetting() const { return programSetting_; }
    // The program that runs: the one chosen, else /usr/games/stockfish,
    // else stockfish on PATH; "" when there is none.
    QString Program() const;

    void GameChanged(const chess::Game& game, const chess::GameChange& change) override;

    // Menu commands.
    void ShowAnalysis(bool shown);
    void ReviewGame();
    void CancelReview();
    void SaveReview();
    void ChooseProgram();

    // For tests and measurements.
    EngineClient& Client() { return client_; }
    EnginePanel* Panel() const { return panel_; }
    bool AnalysisShown() const;
    // The width the panel adds to the window, 0 while it is closed.
    int PanelWidth() const { return reportedWidth_; }
    bool Reviewing() const { return reviewing_; }
    const std::optional<chess::Review>& Review() const { return review_; }
    // How long the review gives each position (0.2 s).
    void SetReviewLimit(chess::uci::Limit limit) { reviewLimit_ = limit; }
    const EngineTexts& Texts() const { return texts_; }

private:
    void MakePanel();
    void ClosePanel();
    void AnalyseShown();
    void Line(std::uint64_t search, const chess::uci::Info& info);
    void BestMove(std::uint64_t search, const QString& move);
    void Failed(EngineClient::Failure failure);
    void ShowLines();
    void ShowEnd();
    bool AskEngine();
    void NextReviewPosition();
    void DropReview();
    void ShowReview();
    QString MoveName(const chess::History& history, std::size_t i) const;
    QString JudgementText(chess::Judgement judgement) const;

    WindowHost& host_;
    chess::Game& game_;
    Presentation& look_;
    RecordController& record_;
    EngineTexts texts_;
    chess::PieceLetters letters_ = chess::PieceLetters::Czech();
    std::function<bool()> clockRunning_;
    std::string programSetting_;
    EngineClient client_;
    // An engine that did not answer is not asked again until the panel is
    // opened again or another engine is chosen.
    bool unusable_ = false;

    QAction* analysisItem_ = nullptr;
    QAction* reviewItem_ = nullptr;
    QDockWidget* dock_ = nullptr;
    int reportedWidth_ = 0;
    EnginePanel* panel_ = nullptr;

    // The search for the position on the board, and its best lines so far.
    std::uint64_t liveSearch_ = 0;
    std::uint64_t shownSearch_ = 0;  // the search whose lines the panel shows
    std::array<std::optional<chess::uci::Info>, 3> lines_;
    QTimer showTimer_;  // gathers the engine's many lines into a few repaints

    // The review: the record as it was when it began, the position asked
    // about, the last line for it, and what is known so far.
    bool reviewing_ = false;
    chess::History reviewed_;
    std::size_t reviewPly_ = 0;
    std::uint64_t reviewSearch_ = 0;
    std::optional<chess::uci::Info> reviewLine_;
    std::optional<chess::Review> review_;
    bool reviewSaved_ = false;  // written into the record
    chess::uci::Limit reviewLimit_{0, 200};
};
