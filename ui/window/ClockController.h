#pragma once
// The clock's side of the window: the time control's dialog, starting and
// pausing, resignation and the offer of a draw, and the two clock faces
// beside the board. The clock itself (chess::GameClock) follows the game;
// this shows it, drives its timer and announces how a game ended. It reaches
// the window only through WindowHost.

#include "Game.h"
#include "GameClock.h"
#include "Language.h"
#include "TimeControlDialog.h"
#include "WindowHost.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

class ClockPanel;
class QAction;
class QDockWidget;
class QMenu;
struct Presentation;

// Section "Hodiny" of the language files, with the Czech defaults.
struct ClockTexts {
    QString CasovaKontrola = QStringLiteral("Časová kontrola");
    QString BezHodin = QStringLiteral("bez hodin");
    QString Vlastni = QStringLiteral("vlastní");
    QString Predvolba = QStringLiteral("Kontrola");
    QString Bily = QStringLiteral("Bílý");
    QString Cerny = QStringLiteral("Černý");
    QString CernyJinak = QStringLiteral("Černý má jinou kontrolu (handicap, armageddon)");
    QString Rezim = QStringLiteral("Režim");
    QString RezimNaDohrani = QStringLiteral("na dohrání");
    QString RezimPridavek = QStringLiteral("s přídavkem (Fischer)");
    QString RezimBronstein = QStringLiteral("Bronsteinova prodleva");
    QString RezimProdleva = QStringLiteral("prostá prodleva");
    QString RezimPresypaci = QStringLiteral("přesýpací hodiny");
    QString Minuty = QStringLiteral("Minuty");
    QString Sekundy = QStringLiteral("Sekundy");
    QString Pridavek = QStringLiteral("Přídavek či prodleva (s)");
    QString TahuDoKontroly = QStringLiteral("Tahů v první periodě");
    QString DruhaPerioda = QStringLiteral("Další perioda (min)");
    QString Storno = QStringLiteral("Storno");
    QString CasBilyVyhral = QStringLiteral("Čas vypršel. Bílý vyhrál.");
    QString CasCernyVyhral = QStringLiteral("Čas vypršel. Černý vyhrál.");
    QString CasRemiza = QStringLiteral("Čas vypršel. Soupeř nemůže dát mat: remíza.");
    QString VzdatBily = QStringLiteral("Opravdu se bílý vzdává?");
    QString VzdatCerny = QStringLiteral("Opravdu se černý vzdává?");
    QString BilyVzdal = QStringLiteral("Bílý se vzdal. Černý vyhrál.");
    QString CernyVzdal = QStringLiteral("Černý se vzdal. Bílý vyhrál.");
    QString NabidkaBily = QStringLiteral("Bílý nabízí remízu. Přijímá ji černý?");
    QString NabidkaCerny = QStringLiteral("Černý nabízí remízu. Přijímá ji bílý?");
    QString RemizaDohodou = QStringLiteral("Remíza dohodou.");
    QString Pozastaveno = QStringLiteral("Hodiny stojí");
    QString Perioda = QStringLiteral("%1. perioda, %2 tahů");
    QString PeriodaPosledni = QStringLiteral("%1. perioda");
    QString HodinyBily = QStringLiteral("Bílý %1");
    QString HodinyCerny = QStringLiteral("Černý %1");

    static ClockTexts Load(const LanguageFile& file);
    friend bool operator==(const ClockTexts&, const ClockTexts&) = default;
    // The clock's dialog in these words.
    TimeControlTexts ForDialog() const;
};

class ClockController : public QObject, public chess::GameListener {
    Q_OBJECT
public:
    ClockController(WindowHost& host, chess::Game& game, Presentation& look);
    ~ClockController() override;

    void AddGameItems(QMenu* game);
    void LoadLanguage(const LanguageFile& file, const QString& languageName);
    // The face of the side at the bottom of the board stands at the bottom.
    void SetWhiteAtBottom(bool whiteAtBottom);

    // The control as the settings file keeps it ("3+2", "" for none); a
    // text that is no control leaves none.
    void SetControlText(const QString& text);
    QString ControlText() const;

    // For the other parts of the window: whether a clock runs in a game in
    // progress, and the two times as a screen reader says them
    // ("Bílý 0:02:58, Černý 0:03:00"; "" without a clock).
    bool ClockRunning() const;
    QString SpokenTimes() const;

    // The clock's state for the unfinished game's file ("" for none), and a
    // resumed game's state: the clocks as they stood, stopped.
    std::string KeptState() const { return clock_.KeptState(); }
    void ResumeKept(const std::string& state);

    // Menu commands.
    void ChooseControl();
    void StartClock();
    void PauseClock();
    void Resign();
    void OfferDraw();
    // Space on the board without its keyboard cursor starts the clock.
    bool eventFilter(QObject* watched, QEvent* event) override;

    void GameChanged(const chess::Game& game, const chess::GameChange& change) override;

signals:
    // KeptState() has changed: after each change of the game, a start or a
    // pause, and while the clock runs, once a second of its time.
    void timesToKeep();

public:
    // For tests: a fake time source (nullptr: the real one again), and a
    // look at the clock and the panel.
    void SetTimeSource(const chess::TimeSource* source);
    chess::GameClock& Clock() { return clock_; }
    ClockPanel* Panel() const { return panel_; }
    const ClockTexts& Texts() const { return texts_; }
    // What the timer does when it fires: the faces brought up to date, the
    // flag looked at, the next firing set.
    void Tick();

private:
    void ShowPanel();
    void Refresh();
    void TrySwitch();
    void Announce(const QString& text);
    bool Ask(const QString& text);

    WindowHost& host_;
    chess::Game& game_;
    Presentation& look_;
    chess::SteadyTimeSource steady_;
    chess::GameClock clock_;
    ClockTexts texts_;
    QString languageName_;
    QTimer timer_;
    QAction* start_ = nullptr;
    QAction* pause_ = nullptr;
    QDockWidget* dock_ = nullptr;
    ClockPanel* panel_ = nullptr;
    QWidget* waitingFor_ = nullptr;               // the dialog after a move that holds the switch
    std::pair<bool, std::int64_t> keptSecond_{};  // the running side and its second last told
};
