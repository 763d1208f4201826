#include "EngineController.h"

#include "BoardPanel.h"

#include "EnginePanel.h"
#include "Presentation.h"
#include "RecordController.h"

#include <QAction>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>

namespace {

constexpr int PanelBaseWidth = 230;
// The position on the board is searched this deep: enough for a sound
// view, and the engine then rests instead of taking a core for ever.
constexpr int LiveDepth = 22;
constexpr int ShowEveryMs = 100;

QString Pawns(int centipawns)
{
    return QStringLiteral("%1%2.%3")
        .arg(centipawns < 0 ? QStringLiteral("-") : QStringLiteral("+"))
        .arg(std::abs(centipawns) / 100)
        .arg(std::abs(centipawns) % 100, 2, 10, QLatin1Char('0'));
}

// "+0.31" or "#-3", from White's side: the short form before each line.
QString ShortScore(chess::uci::Score score, bool whiteToMove)
{
    const chess::uci::Score white = chess::uci::ForWhite(score, whiteToMove);
    return white.mate ? QStringLiteral("#%1").arg(white.value) : Pawns(white.value);
}

}  // namespace

QString EngineTexts::Score(chess::uci::Score score, bool whiteToMove) const
{
    const chess::uci::Score white = chess::uci::ForWhite(score, whiteToMove);
    if (!white.mate)
        return Pawns(white.value);
    if (score.value == 0)
        return whiteToMove ? BilyDostalMat : CernyDostalMat;
    return (white.value > 0 ? MatBily : MatCerny).arg(std::abs(white.value));
}

EngineController::EngineController(WindowHost& host, chess::Game& game, Presentation& look, RecordController& record)
    : QObject(host.Window()), host_(host), game_(game), look_(look), record_(record)
{
    game_.AddListener(this);
    connect(&client_, &EngineClient::ready, this, [this](const QString& name) {
        if (panel_) {
            panel_->SetEngine(name);
            panel_->SetStatus({});
        }
    });
    connect(&client_, &EngineClient::line, this, &EngineController::Line);
    connect(&client_, &EngineClient::bestMove, this, &EngineController::BestMove);
    connect(&client_, &EngineClient::failed, this, &EngineController::Failed);
    showTimer_.setSingleShot(true);
    connect(&showTimer_, &QTimer::timeout, this, &EngineController::ShowLines);
}

EngineController::~EngineController()
{
    game_.RemoveListener(this);
}

void EngineController::AddGameItems(QMenu* game)
{
    host_.AddSeparator(game, "N20");
    analysisItem_ = host_.AddItem(game, "Rozborpozice1", QStringLiteral("Rozbor pozice"), true);
    analysisItem_->setShortcut(QKeySequence(Qt::Key_F5));
    connect(analysisItem_, &QAction::triggered, this, &EngineController::ShowAnalysis);
    reviewItem_ = host_.AddItem(game, "Rozborcelpartie1", QStringLiteral("Rozbor celé partie"));
    connect(reviewItem_, &QAction::triggered, this, &EngineController::ReviewGame);
}

void EngineController::AddSettingsItems(QMenu* settings)
{
    host_.AddSeparator(settings, "N22");
    connect(host_.AddItem(settings, "achovprogram1", QStringLiteral("Šachový program…")), &QAction::triggered, this,
            &EngineController::ChooseProgram);
}

void EngineController::LoadLanguage(const LanguageFile& file, const chess::PieceLetters& letters)
{
    texts_ = EngineTexts::Load(file);
    letters_ = letters;
    if (panel_) {
        panel_->SetTexts(texts_.Zrusit, texts_.UlozitRozbor);
        ShowLines();
        ShowReview();
    }
}

void EngineController::SetProgramSetting(const std::string& path)
{
    programSetting_ = path;
}

QString EngineController::Program() const
{
    if (!programSetting_.empty())
        return QString::fromStdString(programSetting_);
    const QString debian = QStringLiteral("/usr/games/stockfish");
    if (QFileInfo(debian).isExecutable())
        return debian;
    return QStandardPaths::findExecutable(QStringLiteral("stockfish"));
}

bool EngineController::AnalysisShown() const
{
    return dock_ && !dock_->isHidden();
}

void EngineController::MakePanel()
{
    if (dock_)
        return;
    panel_ = new EnginePanel;
    panel_->SetTexts(texts_.Zrusit, texts_.UlozitRozbor);
    connect(panel_, &EnginePanel::cancelled, this, &EngineController::CancelReview);
    connect(panel_, &EnginePanel::saveRequested, this, &EngineController::SaveReview);
    connect(panel_->Graph(), &EvalGraph::chosen, this, [this](std::size_t ply) { game_.JumpTo(ply); });
    dock_ = MakeBoardPanel(host_.Window(), "RozborPanel", panel_, Qt::RightDockWidgetArea, PanelBaseWidth);
}

void EngineController::ShowAnalysis(bool shown)
{
    if (shown && clockRunning_ && clockRunning_()) {
        analysisItem_->setChecked(false);
        QMessageBox::information(host_.Window(), host_.Window()->windowTitle(), texts_.HodinyBezi);
        return;
    }
    analysisItem_->setChecked(shown);
    if (!shown) {
        ClosePanel();
        return;
    }
    unusable_ = false;
    MakePanel();
    dock_->show();
    reportedWidth_ = BoardPanelExtent(host_.Window(), PanelBaseWidth);
    host_.SetSidePanelWidth(this, reportedWidth_);
    AnalyseShown();
}

void EngineController::ClosePanel()
{
    reviewing_ = false;
    reviewSearch_ = liveSearch_ = shownSearch_ = 0;
    DropReview();
    showTimer_.stop();
    client_.Shutdown();
    host_.SetArrow(-1, -1);
    if (dock_) {
        panel_->SetProgress(-1, 0, {});
        panel_->SetStatus({});
        dock_->hide();
    }
    reportedWidth_ = 0;
    host_.SetSidePanelWidth(this, 0);
}

bool EngineController::AskEngine()
{
    if (unusable_)
        return false;
    const QString program = Program();
    if (program.isEmpty()) {
        panel_->SetStatus(texts_.NeniProgram);
        return false;
    }
    client_.SetProgram(program);
    if (!client_.Running()) {
        panel_->SetEngine(QFileInfo(program).fileName());
        panel_->SetStatus(texts_.Spoustim);
    }
    return true;
}

void EngineController::AnalyseShown()
{
    if (!AnalysisShown() || reviewing_)
        return;
    lines_ = {};
    liveSearch_ = shownSearch_ = 0;
    showTimer_.stop();
    host_.SetArrow(-1, -1);
    // Nothing of the position before stays on show, not even for the
    // moment the engine needs.
    panel_->SetAnalysis(QStringLiteral("…"), {}, {});
    const chess::GameState& state = game_.State();
    if (!chess::HasLegalMove(state, state.WhiteToMove)) {
        ShowEnd();
        client_.Cancel();
        return;
    }
    if (!AskEngine())
        return;
    const chess::History& history = game_.Record();
    liveSearch_ = client_.Analyse({chess::uci::PositionCommand(history, history.Current()), {LiveDepth, 0}, 3});
}

void EngineController::ShowEnd()
{
    const chess::GameState& state = game_.State();
    const bool mated = state.WhiteToMove ? state.WhiteInCheck : state.BlackInCheck;
    QString text = texts_.KonecPartie;
    if (mated)
        text = state.WhiteToMove ? texts_.BilyDostalMat : texts_.CernyDostalMat;
    panel_->SetAnalysis(
        mated ? (state.WhiteToMove ? QStringLiteral("0-1") : QStringLiteral("1-0")) : QStringLiteral("½-½"), {}, text);
}

void EngineController::Line(std::uint64_t search, const chess::uci::Info& info)
{
    if (reviewing_ && search == reviewSearch_) {
        if (info.multipv == 1)
            reviewLine_ = info;
        return;
    }
    if (search == 0 || search != liveSearch_ || info.multipv > int(lines_.size()))
        return;
    // A line whose first move cannot be played here is of another position,
    // whatever the engine thinks.
    const chess::History& history = game_.Record();
    if (!chess::uci::FirstMove(history, history.Current(), info.pv))
        return;
    lines_[std::size_t(info.multipv - 1)] = info;
    // The first evaluation shows at once; later ones at most every 0.1 s,
    // however fast the engine writes.
    if (shownSearch_ != liveSearch_)
        ShowLines();
    else if (!showTimer_.isActive())
        showTimer_.start(ShowEveryMs);
}

void EngineController::ShowLines()
{
    if (!panel_ || liveSearch_ == 0 || !lines_[0])
        return;
    shownSearch_ = liveSearch_;
    const chess::History& history = game_.Record();
    const std::size_t ply = history.Current();
    const bool whiteToMove = game_.State().WhiteToMove;
    QStringList shown;
    for (const auto& line : lines_)
        if (line)
            shown << ShortScore(line->score, whiteToMove) + QStringLiteral("  ")
                         + QString::fromStdString(chess::uci::PvText(history, ply, line->pv, letters_, 6));
    panel_->SetAnalysis(texts_.Score(lines_[0]->score, whiteToMove), texts_.Hloubka.arg(lines_[0]->depth),
                        shown.join(QLatin1Char('\n')));
    if (const auto move = chess::uci::FirstMove(history, ply, lines_[0]->pv))
        host_.SetArrow(chess::CellIndex(move->fromFile, move->fromRank), chess::CellIndex(move->toFile, move->toRank));
}

void EngineController::BestMove(std::uint64_t search, const QString&)
{
    if (reviewing_ && search == reviewSearch_) {
        const chess::GameState& state = reviewed_.StateAt(reviewPly_);
        if (reviewLine_)
            review_->Set(reviewPly_, {reviewLine_->score, state.WhiteToMove, reviewLine_->pv});
        ++reviewPly_;
        NextReviewPosition();
    } else if (search == liveSearch_ && showTimer_.isActive()) {
        showTimer_.stop();
        ShowLines();
    }
}

void EngineController::Failed(EngineClient::Failure failure)
{
    const QString program = QFileInfo(client_.Program()).fileName();
    QString text;
    switch (failure) {
    case EngineClient::Failure::NotStarted:
        text = texts_.NelzeSpustit.arg(client_.Program());
        unusable_ = true;
        break;
    case EngineClient::Failure::NoAnswer:
        text = texts_.Neodpovida.arg(program);
        unusable_ = true;
        break;
    case EngineClient::Failure::Crashed:
        text = texts_.Spadl;
        break;
    case EngineClient::Failure::Hung:
        text = texts_.Zasekl;
        break;
    }
    liveSearch_ = shownSearch_ = 0;
    host_.SetArrow(-1, -1);
    if (reviewing_) {
        reviewing_ = false;
        reviewSearch_ = 0;
        review_.reset();
    }
    if (panel_) {
        panel_->SetProgress(-1, 0, {});
        panel_->SetAnalysis({}, {}, {});
        panel_->SetStatus(text);
    }
}

void EngineController::ReviewGame()
{
    if (clockRunning_ && clockRunning_()) {
        QMessageBox::information(host_.Window(), host_.Window()->windowTitle(), texts_.HodinyBezi);
        return;
    }
    if (game_.Record().Size() == 0)
        return;
    if (!AnalysisShown())
        ShowAnalysis(true);
    if (!AnalysisShown())
        return;
    DropReview();
    unusable_ = false;
    if (!AskEngine())
        return;
    reviewed_ = game_.Record();
    review_.emplace(reviewed_.Size());
    reviewSaved_ = false;
    reviewing_ = true;
    reviewPly_ = 0;
    liveSearch_ = shownSearch_ = 0;
    showTimer_.stop();
    host_.SetArrow(-1, -1);
    panel_->SetAnalysis({}, {}, {});
    NextReviewPosition();
}

void EngineController::NextReviewPosition()
{
    const std::size_t positions = review_->Positions();
    // A mated or stalemated position needs no engine.
    for (; reviewPly_ < positions; ++reviewPly_) {
        const chess::GameState& state = reviewed_.StateAt(reviewPly_);
        if (chess::HasLegalMove(state, state.WhiteToMove))
            break;
        const bool mated = state.WhiteToMove ? state.WhiteInCheck : state.BlackInCheck;
        review_->Set(reviewPly_, {{mated, 0}, state.WhiteToMove, {}});
    }
    if (reviewPly_ >= positions) {
        reviewing_ = false;
        reviewSearch_ = 0;
        panel_->SetProgress(-1, 0, {});
        ShowReview();
        AnalyseShown();
        return;
    }
    panel_->SetProgress(int(reviewPly_), int(positions), texts_.PrubehRozboru.arg(reviewPly_ + 1).arg(positions));
    reviewLine_.reset();
    reviewSearch_ = client_.Analyse({chess::uci::PositionCommand(reviewed_, reviewPly_), reviewLimit_, 1});
}

void EngineController::CancelReview()
{
    if (!reviewing_)
        return;
    reviewing_ = false;
    reviewSearch_ = 0;
    review_.reset();
    client_.Cancel();
    panel_->SetProgress(-1, 0, {});
    AnalyseShown();
}

void EngineController::DropReview()
{
    if (!review_ && !reviewing_)
        return;
    review_.reset();
    record_.SetMoveMarks({}, {});
    if (panel_)
        panel_->SetReview({}, false);
}

QString EngineController::MoveName(const chess::History& history, std::size_t i) const
{
    return QStringLiteral("%1%2 %3")
        .arg(history.MoveNumber(i))
        .arg(history.WhiteMoved(i) ? QStringLiteral(".") : QStringLiteral("..."))
        .arg(QString::fromStdString(chess::DisplaySan(chess::SanWithGlyph(history[i]), letters_)));
}

QString EngineController::JudgementText(chess::Judgement judgement) const
{
    switch (judgement) {
    case chess::Judgement::Inaccuracy:
        return texts_.Nepresnost;
    case chess::Judgement::Mistake:
        return texts_.Chyba;
    case chess::Judgement::Blunder:
        return texts_.HrubaChyba;
    case chess::Judgement::Good:
        break;
    }
    return {};
}

void EngineController::ShowReview()
{
    if (!review_ || reviewing_ || !panel_)
        return;
    const std::size_t plies = reviewed_.Size();
    std::vector<int> levels(plies);
    std::vector<QString> tips(plies);
    for (std::size_t i = 0; i < plies; ++i) {
        const chess::Judgement judgement = review_->Of(i);
        levels[i] = int(judgement);
        if (judgement == chess::Judgement::Good)
            continue;
        const std::string better = chess::uci::PvText(reviewed_, i, review_->At(i)->pv, letters_, 4);
        QString name = MoveName(reviewed_, i);
        if (!name.endsWith(QLatin1Char('!')) && !name.endsWith(QLatin1Char('?')))
            name += QString::fromLatin1(chess::NagGlyph(chess::NagOf(judgement)).data());
        tips[i] = texts_.LepsiBylo.arg(name, JudgementText(judgement), QString::fromStdString(better));
    }
    std::vector<double> chances(review_->Positions());
    for (std::size_t ply = 0; ply < chances.size(); ++ply)
        chances[ply] = review_->ChancesAt(ply);
    const std::size_t current = game_.Record().Current();
    panel_->Graph()->Show(std::move(chances), levels, current);
    panel_->SetReview(current > 0 && current <= plies ? tips[current - 1] : QString(), true);
    // Written once is enough: a second time would change nothing.
    panel_->SaveButton()->setEnabled(!reviewSaved_);
    record_.SetMoveMarks(std::move(levels), std::move(tips));
}

void EngineController::SaveReview()
{
    if (!review_ || reviewing_ || game_.Record().Size() != reviewed_.Size())
        return;
    std::vector<chess::Annotation> notes;
    for (std::size_t i = 0; i < reviewed_.Size(); ++i)
        notes.push_back(review_->Annotated(game_.Record(), i));
    reviewSaved_ = game_.Annotate(notes);
    panel_->SaveButton()->setEnabled(!reviewSaved_);
}

void EngineController::ChooseProgram()
{
    const QString current = Program();
    const QString path = QFileDialog::getOpenFileName(host_.Window(), texts_.VyberProgram,
                                                      current.isEmpty() ? QStringLiteral("/usr/games")
                                                                        : QFileInfo(current).absolutePath());
    if (path.isEmpty())
        return;
    programSetting_ = path.toStdString();
    client_.SetProgram(path);
    unusable_ = false;
    AnalyseShown();
}

void EngineController::GameChanged(const chess::Game&, const chess::GameChange& change)
{
    switch (change.kind) {
    case chess::GameChange::Annotated:
    case chess::GameChange::DrawClaimed:
    case chess::GameChange::Declared:
        return;  // the position stays
    case chess::GameChange::Moved:
    case chess::GameChange::NewGame:
    case chess::GameChange::Opened:
        // Another record: the review was of the one before.
        CancelReview();
        DropReview();
        break;
    case chess::GameChange::TakenBack:
    case chess::GameChange::Replayed:
    case chess::GameChange::Jumped:
        break;
    }
    if (!AnalysisShown())
        return;
    AnalyseShown();
    ShowReview();
}
