#include "ClockController.h"

#include "BoardPanel.h"

#include "BoardWidget.h"
#include "ClockPanel.h"
#include "Presentation.h"
#include "TimeControlDialog.h"
#include "YesNoBox.h"

#include <QApplication>
#include <QDockWidget>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QStyle>

namespace {

constexpr int PanelWidth = 150;

constexpr TextKey<ClockTexts> ClockTextKeys[] = {
    {"CasovaKontrola", &ClockTexts::CasovaKontrola},
    {"BezHodin", &ClockTexts::BezHodin},
    {"Vlastni", &ClockTexts::Vlastni},
    {"Predvolba", &ClockTexts::Predvolba},
    {"Bily", &ClockTexts::Bily},
    {"Cerny", &ClockTexts::Cerny},
    {"CernyJinak", &ClockTexts::CernyJinak},
    {"Rezim", &ClockTexts::Rezim},
    {"RezimNaDohrani", &ClockTexts::RezimNaDohrani},
    {"RezimPridavek", &ClockTexts::RezimPridavek},
    {"RezimBronstein", &ClockTexts::RezimBronstein},
    {"RezimProdleva", &ClockTexts::RezimProdleva},
    {"RezimPresypaci", &ClockTexts::RezimPresypaci},
    {"Minuty", &ClockTexts::Minuty},
    {"Sekundy", &ClockTexts::Sekundy},
    {"Pridavek", &ClockTexts::Pridavek},
    {"TahuDoKontroly", &ClockTexts::TahuDoKontroly},
    {"DruhaPerioda", &ClockTexts::DruhaPerioda},
    {"Storno", &ClockTexts::Storno},
    {"CasBilyVyhral", &ClockTexts::CasBilyVyhral},
    {"CasCernyVyhral", &ClockTexts::CasCernyVyhral},
    {"CasRemiza", &ClockTexts::CasRemiza},
    {"VzdatBily", &ClockTexts::VzdatBily},
    {"VzdatCerny", &ClockTexts::VzdatCerny},
    {"BilyVzdal", &ClockTexts::BilyVzdal},
    {"CernyVzdal", &ClockTexts::CernyVzdal},
    {"NabidkaBily", &ClockTexts::NabidkaBily},
    {"NabidkaCerny", &ClockTexts::NabidkaCerny},
    {"RemizaDohodou", &ClockTexts::RemizaDohodou},
    {"Pozastaveno", &ClockTexts::Pozastaveno},
    {"Perioda", &ClockTexts::Perioda},
    {"PeriodaPosledni", &ClockTexts::PeriodaPosledni},
    {"HodinyBily", &ClockTexts::HodinyBily},
    {"HodinyCerny", &ClockTexts::HodinyCerny},
};

// A face turns red when little time is left: under the tenths' threshold.
constexpr std::int64_t LowMs = chess::TenthsBelowMs;

}  // namespace

ClockTexts ClockTexts::Load(const LanguageFile& file)
{
    return LoadTexts(file, "Hodiny", ClockTextKeys);
}

ClockController::ClockController(WindowHost& host, chess::Game& game, Presentation& look)
    : QObject(host.Window()), host_(host), game_(game), look_(look), clock_(game, steady_)
{
    // The game tells the clock first, then this, so the faces show the clock's new state.
    game_.AddListener(this);
    clock_.holdSwitch = true;
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ClockController::Tick);
}

ClockController::~ClockController()
{
    game_.RemoveListener(this);
    if (waitingFor_)
        waitingFor_->removeEventFilter(this);
}

void ClockController::AddGameItems(QMenu* menu)
{
    host_.AddSeparator(menu, "N17");
    connect(host_.AddItem(menu, "Casovakontrola1", QStringLiteral("Časová kontro&la…")), &QAction::triggered, this,
            &ClockController::ChooseControl);
    start_ = host_.AddItem(menu, "Spustithodiny1", QStringLiteral("Spustit hodin&y"));
    connect(start_, &QAction::triggered, this, &ClockController::StartClock);
    pause_ = host_.AddItem(menu, "Pozastavithodiny1", QStringLiteral("Pozastavit &hodiny"), true);
    pause_->setShortcut(QKeySequence(Qt::Key_P));
    connect(pause_, &QAction::triggered, this, &ClockController::PauseClock);
    connect(host_.AddItem(menu, "Vzdatpartii1", QStringLiteral("Vzdát p&artii")), &QAction::triggered, this,
            &ClockController::Resign);
    connect(host_.AddItem(menu, "Nabidnoutremizu1", QStringLiteral("Na&bídnout remízu")), &QAction::triggered, this,
            &ClockController::OfferDraw);
    // Space starts the clock where the board does not take it for its cursor.
    host_.Window()->installEventFilter(this);
    if (QWidget* board = host_.Window()->centralWidget())
        board->installEventFilter(this);
    Refresh();
}

void ClockController::LoadLanguage(const LanguageFile& file, const QString& languageName)
{
    texts_ = ClockTexts::Load(file);
    languageName_ = languageName;
    Refresh();
}

void ClockController::SetWhiteAtBottom(bool whiteAtBottom)
{
    if (panel_)
        panel_->SetWhiteAtBottom(whiteAtBottom);
}

void ClockController::SetControlText(const QString& text)
{
    const auto control = chess::ParseTimeControl(text.toStdString());
    clock_.Choose(control.value_or(chess::TimeControl{}));
    Refresh();
}

QString ClockController::ControlText() const
{
    return QString::fromStdString(chess::TimeControlText(clock_.Chosen()));
}

bool ClockController::ClockRunning() const
{
    return clock_.Times().Running() && !game_.Over();
}

QString ClockController::SpokenTimes() const
{
    const chess::Clock& times = clock_.Times();
    if (!times.Active())
        return {};
    return texts_.HodinyBily.arg(QString::fromStdString(chess::FaceText(times.Remaining(true)))) + QStringLiteral(", ")
         + texts_.HodinyCerny.arg(QString::fromStdString(chess::FaceText(times.Remaining(false))));
}

void ClockController::SetTimeSource(const chess::TimeSource* source)
{
    clock_.SetTimeSource(source ? *source : steady_);
    Refresh();
}

TimeControlTexts ClockTexts::ForDialog() const
{
    return {CasovaKontrola,
            BezHodin,
            Vlastni,
            Predvolba,
            Bily,
            Cerny,
            CernyJinak,
            {RezimNaDohrani, RezimPridavek, RezimBronstein, RezimProdleva, RezimPresypaci},
            Rezim,
            Minuty,
            Sekundy,
            Pridavek,
            TahuDoKontroly,
            DruhaPerioda,
            QStringLiteral("OK"),
            Storno};
}

void ClockController::ChooseControl()
{
    TTimeControlDialog dialog(clock_.Chosen(), texts_.ForDialog(), host_.Window());
    dialog.setObjectName(QStringLiteral("CasovaKontrola"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    clock_.Choose(dialog.Control());
    Refresh();
}

void ClockController::StartClock()
{
    clock_.Start();
    Refresh();
    emit timesToKeep();
}

void ClockController::PauseClock()
{
    if (clock_.Times().Started())
        clock_.TogglePause();
    Refresh();
    emit timesToKeep();
}

void ClockController::ResumeKept(const std::string& state)
{
    clock_.ResumeFrom(state);
    Refresh();
    emit timesToKeep();
}

void ClockController::Announce(const QString& text)
{
    host_.AnnounceText(text);
}

bool ClockController::Ask(const QString& text)
{
    return AskYesNoBox(host_.Window(), host_.Window()->windowTitle(), text, languageName_);
}

void ClockController::Resign()
{
    if (game_.Over())
        return;
    const bool white = game_.State().WhiteToMove;
    if (!Ask(white ? texts_.VzdatBily : texts_.VzdatCerny))
        return;
    if (clock_.Resign() != chess::GameEnd::None)
        Announce(white ? texts_.BilyVzdal : texts_.CernyVzdal);
}

void ClockController::OfferDraw()
{
    if (game_.Over())
        return;
    if (!Ask(game_.State().WhiteToMove ? texts_.NabidkaBily : texts_.NabidkaCerny))
        return;
    if (clock_.AgreeDraw() != chess::GameEnd::None)
        Announce(texts_.RemizaDohodou);
}

bool ClockController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == waitingFor_ && event->type() == QEvent::Hide) {
        waitingFor_->removeEventFilter(this);
        waitingFor_ = nullptr;
        // Another dialog may follow at once (check, then a claim): looked at
        // once this one has gone.
        QTimer::singleShot(0, this, &ClockController::TrySwitch);
        return false;
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space
        && static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier && clock_.Times().Active()
        && !clock_.Times().Started() && !game_.Over()) {
        auto* board = qobject_cast<BoardWidget*>(host_.Window()->centralWidget());
        const bool cursor = board && board->CursorShown();
        if (!cursor && (watched == board || watched == host_.Window())) {
            StartClock();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ClockController::TrySwitch()
{
    if (!clock_.SwitchPending() || waitingFor_)
        return;
    if (QWidget* dialog = QApplication::activeModalWidget()) {
        waitingFor_ = dialog;
        dialog->installEventFilter(this);
        return;
    }
    clock_.SwitchNow();
    Refresh();
}

void ClockController::GameChanged(const chess::Game&, const chess::GameChange& change)
{
    if (change.kind == chess::GameChange::Moved && clock_.SwitchPending())
        QTimer::singleShot(0, this, &ClockController::TrySwitch);
    Refresh();
    // The file's writer heard of the change before the clock had followed it.
    if (clock_.Times().Active())
        emit timesToKeep();
}

void ClockController::ShowPanel()
{
    const bool shown = clock_.Times().Active();
    if (shown && !dock_) {
        panel_ = new ClockPanel;
        panel_->SetWhiteAtBottom(look_.WhiteAtBottom);
        dock_ = MakeBoardPanel(host_.Window(), "HodinyPanel", panel_, Qt::RightDockWidgetArea, PanelWidth);
    }
    if (!dock_ || dock_->isVisible() == shown)
        return;
    dock_->setVisible(shown);
    host_.SetSidePanelWidth(this, shown ? BoardPanelExtent(host_.Window(), PanelWidth) : 0);
}

void ClockController::Tick()
{
    if (clock_.CheckFlag() != chess::GameEnd::None) {
        const chess::GameEnd end = game_.End();
        Announce(end == chess::GameEnd::WhiteWinsDeclared   ? texts_.CasBilyVyhral
                 : end == chess::GameEnd::BlackWinsDeclared ? texts_.CasCernyVyhral
                                                            : texts_.CasRemiza);
        return;  // the end has brought the faces up to date
    }
    Refresh();
    // The unfinished game keeps the running time once a second, and only
    // while a face changes: a pause or a delay writes nothing.
    const chess::Clock& times = clock_.Times();
    if (!times.Running())
        return;
    const std::pair key{times.WhiteToMove(), times.Remaining(times.WhiteToMove()) / 1000};
    if (key != keptSecond_) {
        keptSecond_ = key;
        emit timesToKeep();
    }
}

// The faces, the items and the timer brought in line with the clock.
void ClockController::Refresh()
{
    const chess::Clock& times = clock_.Times();
    const bool active = times.Active();
    const bool over = game_.Over();
    if (start_) {
        start_->setEnabled(active && !over && (!times.Started() || times.Paused()));
        pause_->setEnabled(active && !over && times.Started());
        pause_->setChecked(times.Paused());
    }
    ShowPanel();
    if (panel_ && active) {
        for (const bool white : {true, false}) {
            const chess::SideControl& side = times.Control().Of(white);
            const std::int64_t left = times.Remaining(white);
            ClockFace::Look face;
            face.name = white ? texts_.Bily : texts_.Cerny;
            face.time = QString::fromStdString(chess::FaceText(left));
            face.running = times.Started() && times.WhiteToMove() == white;
            face.paused = times.Paused();
            face.low = left < LowMs;
            if (side.periods.size() > 1 || (!side.periods.empty() && side.periods.front().moves > 0)) {
                const int made = times.MovesMade(white);
                const int toControl = side.MovesToControl(made);
                face.detail = toControl > 0 ? texts_.Perioda.arg(side.PeriodAt(made) + 1).arg(toControl)
                                            : texts_.PeriodaPosledni.arg(side.PeriodAt(made) + 1);
            }
            panel_->Face(white)->Show(face);
        }
        panel_->SetStatus(times.Paused() || (!times.Started() && !over) ? texts_.Pozastaveno : QString());
    }
    const std::int64_t wait = over ? -1 : times.UntilDisplayChange();
    if (wait < 0)
        timer_.stop();
    else
        timer_.start(int(std::min<std::int64_t>(wait, 60'000)));
}
