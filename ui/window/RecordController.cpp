#include "RecordController.h"

#include "BoardPanel.h"

#include "AppPaths.h"
#include "AtomicFile.h"
#include "CommentCommands.h"
#include "Fen.h"
#include "GameList.h"
#include "GameRecord.h"
#include "MoveList.h"
#include "Presentation.h"
#include "RecordDialogs.h"
#include "RecordPanel.h"
#include "TextFile.h"
#include "UnfinishedGame.h"

#include <QClipboard>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>

namespace {

constexpr int MoveListWidth = 200;
}  // namespace

QString RecordTexts::Ending(chess::GameEnd end) const
{
    const QString* why = nullptr;
    switch (end) {
    case chess::GameEnd::None:
        return {};
    case chess::GameEnd::WhiteWins:
    case chess::GameEnd::BlackWins:
        why = &KonecMat;
        break;
    case chess::GameEnd::Stalemate:
        why = &KonecPat;
        break;
    case chess::GameEnd::DeadPosition:
        why = &KonecMrtvaPozice;
        break;
    case chess::GameEnd::FivefoldRepetition:
        why = &KonecPateOpakovani;
        break;
    case chess::GameEnd::SeventyFiveMoves:
        why = &Konec75Tahu;
        break;
    case chess::GameEnd::ThreefoldClaimed:
        why = &KonecTretiOpakovani;
        break;
    case chess::GameEnd::FiftyMovesClaimed:
        why = &Konec50Tahu;
        break;
    case chess::GameEnd::WhiteWinsDeclared:
    case chess::GameEnd::BlackWinsDeclared:
    case chess::GameEnd::DrawDeclared:
        why = &KonecPodleZapisu;
        break;
    }
    return QString::fromLatin1(chess::ResultText(end)) + (why ? QLatin1Char(' ') + *why : QString());
}

QString RecordTexts::Ending(chess::GameEnd end, const chess::Game& game) const
{
    const bool declared = end == chess::GameEnd::WhiteWinsDeclared || end == chess::GameEnd::BlackWinsDeclared
                       || end == chess::GameEnd::DrawDeclared;
    const std::string termination = chess::TagValue(game.Tags(), "Termination");
    // A file's draw "normal"ly ended where a repetition or fifty moves could
    // be claimed may well be that claim: it stays "as recorded".
    const chess::History& record = game.Record();
    const bool claimOpen = record.Size() > 0
                        && (record[record.Size() - 1].occurrence >= chess::ThreefoldCount
                            || record[record.Size() - 1].halfmoveClock >= chess::FiftyMoveClaimPlies);
    const QString* why = nullptr;
    if (declared && termination == "time forfeit")
        why = &KonecCas;
    else if (declared && termination == "normal" && end != chess::GameEnd::DrawDeclared)
        why = end == chess::GameEnd::WhiteWinsDeclared ? &KonecVzdalCerny : &KonecVzdalBily;
    else if (declared && termination == "normal" && !claimOpen)
        why = &KonecDohodou;
    if (!why)
        return Ending(end);
    return QString::fromLatin1(chess::ResultText(end)) + QLatin1Char(' ') + *why;
}

QString RecordTexts::Problem(const chess::PgnProblem& problem) const
{
    const QString game = QString::number(problem.game);
    const QString text = QString::fromStdString(problem.text);
    switch (problem.fault) {
    case chess::PgnFault::None:
        return {};
    case chess::PgnFault::BadFen:
        return ChybaFen.arg(game, text, ChybnaFen);
    case chess::PgnFault::UnreadableMove:
        return ChybaTahu.arg(game, QString::number(problem.move), text, TahNecitelny);
    case chess::PgnFault::AmbiguousMove:
        return ChybaTahu.arg(game, QString::number(problem.move), text, TahNejednoznacny);
    case chess::PgnFault::IllegalMove:
        break;
    }
    return ChybaTahu.arg(game, QString::number(problem.move), text, TahNepripustny);
}

RecordController::RecordController(WindowHost& host, chess::Game& game, Presentation& look, const QString& dataDir)
    : QObject(host.Window()), host_(host), game_(game), look_(look),
      unfinished_(new UnfinishedGame(game, dataDir, this))
{
    game_.AddListener(this);
    // The problem goes under the move list, never into a box: the players
    // are in the middle of a game.
    connect(unfinished_, &UnfinishedGame::problemChanged, this, [this] { ShowRecord(false); });
}

// Made when first shown: a start without the list pays nothing for it.
void RecordController::MakeMoveList()
{
    if (dock_)
        return;
    panel_ = new RecordPanel({toStart_, stepBack_, stepForward_, toEnd_});
    list_ = panel_->List();
    connect(list_, &TMoveList::chosen, this, &RecordController::JumpTo);
    list_->SetMarks(marks_, markTips_);
    dock_ = MakeBoardPanel(host_.Window(), "ZapisPanel", panel_, Qt::RightDockWidgetArea, MoveListWidth);
}

void RecordController::SetMoveMarks(std::vector<int> levels, std::vector<QString> tips)
{
    marks_ = std::move(levels);
    markTips_ = std::move(tips);
    if (list_)
        list_->SetMarks(marks_, markTips_);
}

bool RecordController::MoveListShown() const
{
    return dock_ && !dock_->isHidden();
}

RecordController::~RecordController()
{
    game_.RemoveListener(this);
}

QAction* RecordController::Add(QMenu* menu, const char* name, const QString& caption, bool checkable)
{
    return host_.AddItem(menu, name, caption, checkable);
}

void RecordController::AddGameItems(QMenu* game)
{
    host_.AddSeparator(game, "N6");
    takeBack_ = Add(game, "Vrtittah1", QStringLiteral("&Vrátit tah"));
    takeBack_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(takeBack_, &QAction::triggered, this, &RecordController::TakeBack);
    replay_ = Add(game, "Znovu1", QStringLiteral("&Znovu"));
    replay_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(replay_, &QAction::triggered, this, &RecordController::Replay);
    host_.AddSeparator(game, "N10");
    toStart_ = Add(game, "Nazatek1", QStringLiteral("&Na začátek"));
    toStart_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    connect(toStart_, &QAction::triggered, this, &RecordController::StepToStart);
    stepBack_ = Add(game, "Otahzpt1", QStringLiteral("O &tah zpět"));
    stepBack_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    connect(stepBack_, &QAction::triggered, this, &RecordController::StepBack);
    stepForward_ = Add(game, "Otahvped1", QStringLiteral("O tah vpř&ed"));
    stepForward_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    connect(stepForward_, &QAction::triggered, this, &RecordController::StepForward);
    toEnd_ = Add(game, "Nakonec1", QStringLiteral("Na kone&c"));
    toEnd_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_End));
    connect(toEnd_, &QAction::triggered, this, &RecordController::StepToEnd);
    host_.AddSeparator(game, "N12");
    claim_ = Add(game, "Podatoremzu1", QStringLiteral("Požádat o &remízu"));
    connect(claim_, &QAction::triggered, this, &RecordController::ClaimDraw);
    comment_ = Add(game, "Komentktahu1", QStringLiteral("Ko&mentář k tahu…"));
    connect(comment_, &QAction::triggered, this, &RecordController::EditComment);
    connect(Add(game, "dajeopartii1", QStringLiteral("Ú&daje o partii…")), &QAction::triggered, this,
            &RecordController::EditTags);
    host_.AddSeparator(game, "N7");
    QAction* open = Add(game, "Otevtpartii1", QStringLiteral("&Otevřít partii…"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(open, &QAction::triggered, this, &RecordController::Open);
    QAction* save = Add(game, "Uloitpartii1", QStringLiteral("&Uložit partii…"));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(save, &QAction::triggered, this, &RecordController::Save);
    resume_ = Add(game, "Pokraovatvrozehranpartii1", QStringLiteral("&Pokračovat v rozehrané partii"));
    resume_->setEnabled(false);
    connect(resume_, &QAction::triggered, this, &RecordController::Resume);
    connect(unfinished_, &UnfinishedGame::available, resume_, &QAction::setEnabled);
    // Another copy that has ended since leaves its game to this one.
    connect(game, &QMenu::aboutToShow, unfinished_, [this] { unfinished_->Look(); });
    host_.AddSeparator(game, "N8");
    connect(Add(game, "KoprovatpoziciFEN1", QStringLiteral("Kopírovat pozici (&FEN)")), &QAction::triggered, this,
            &RecordController::CopyFen);
    connect(Add(game, "KoprovatpartiiPGN1", QStringLiteral("Kopírovat partii (P&GN)")), &QAction::triggered, this,
            &RecordController::CopyPgn);
    QAction* paste = Add(game, "Vloitpartiinebopozici1", QStringLiteral("Vlož&it partii nebo pozici"));
    paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    connect(paste, &QAction::triggered, this, &RecordController::Paste);
    for (QAction* item : {takeBack_, replay_, toStart_, stepBack_, stepForward_, toEnd_, claim_, comment_})
        item->setEnabled(false);
}

void RecordController::AddBoardItems(QMenu* board)
{
    host_.AddSeparator(board, "N9");
    moveListItem_ = Add(board, "Zpispartie1", QStringLiteral("&Zápis partie"), true);
    connect(moveListItem_, &QAction::triggered, this, &RecordController::ShowMoveList);
    lastMoveItem_ = Add(board, "Oznaitposledntah1", QStringLiteral("Označit &poslední tah"), true);
    connect(lastMoveItem_, &QAction::triggered, this, &RecordController::MarkLastMove);
}

void RecordController::Start()
{
    look_.MarkLastMove = lastMoveItem_->isChecked();
    if (moveListItem_->isChecked())
        ShowMoveList(true);
    Refresh();
    // Reading the file waits until the window is up, so the start is no slower.
    QTimer::singleShot(0, unfinished_, [this] { unfinished_->Look(); });
}

int RecordController::PanelWidth() const
{
    if (!moveListItem_ || !moveListItem_->isChecked())
        return 0;
    return BoardPanelExtent(host_.Window(), MoveListWidth);
}

void RecordController::LoadLanguage(const LanguageFile& file, const chess::PieceLetters& letters)
{
    texts_ = RecordTexts::Load(file);
    letters_ = letters;
    unfinished_->SetProblemText(texts_.NelzeUkladat);
    ShowRecord();
}

void RecordController::GameChanged(const chess::Game&, const chess::GameChange& change)
{
    // Going back and forth changes nothing but the half-move shown: the
    // list need not be built again, which in a long game costs more than
    // the rest of a step.
    const bool sameRecord = change.kind == chess::GameChange::TakenBack || change.kind == chess::GameChange::Replayed
                         || change.kind == chess::GameChange::Jumped;
    Refresh(!sameRecord);
}

// Brings everything that shows the record in line with it.
void RecordController::Refresh(bool movesChanged)
{
    const chess::History& history = game_.Record();
    if (takeBack_) {
        const bool back = history.Current() > 0, forward = history.Current() < history.Size();
        for (QAction* item : {takeBack_, toStart_, stepBack_, comment_})
            item->setEnabled(back);
        for (QAction* item : {replay_, stepForward_, toEnd_})
            item->setEnabled(forward);
        claim_->setEnabled(game_.ClaimableDraw() != chess::GameEnd::None);
    }
    int from = -1, to = -1;
    if (const auto last = history.LastMove()) {
        from = chess::CellIndex(last->fromFile, last->fromRank);
        to = chess::CellIndex(last->toFile, last->toRank);
    }
    if (from != look_.LastMoveFrom || to != look_.LastMoveTo) {
        const int before[2] = {look_.LastMoveFrom, look_.LastMoveTo};
        look_.LastMoveFrom = from;
        look_.LastMoveTo = to;
        if (look_.MarkLastMove)
            for (const int cell : {before[0], before[1], from, to})
                if (cell >= 0)
                    host_.DrawSquare(cell / 8, cell % 8);
    }
    ShowRecord(movesChanged);
}

namespace {

// How the whole record ends, whichever of its positions is on the board.
chess::GameEnd EndOfRecord(const chess::History& history)
{
    for (const chess::HalfMove& move : history.Moves()) {
        if (move.end != chess::GameEnd::None)
            return move.end;
        if (move.claim != chess::GameEnd::None)
            return move.claim;
    }
    return chess::GameEnd::None;
}

}  // namespace

void RecordController::ShowRecord(bool movesChanged)
{
    if (!MoveListShown())
        return;
    if (movesChanged)
        list_->Show(game_.Record(), letters_, texts_.Ending(EndOfRecord(game_.Record()), game_));
    else
        list_->Mark(game_.Record().Current());
    const chess::GameEnd end = game_.End();
    QString status = texts_.Ending(end, game_);
    if (end == chess::GameEnd::None)
        status = game_.State().WhiteToMove ? texts_.NaTahuBily : texts_.NaTahuCerny;
    panel_->SetStatus(status, unfinished_->Problem());
}

void RecordController::Resume()
{
    const std::vector<UnfinishedGame::Found>& games = unfinished_->Look();
    if (games.empty())
        return;
    int chosen = 0;
    if (games.size() > 1) {
        std::vector<QStringList> rows;
        for (const UnfinishedGame::Found& game : games)
            rows.push_back({QLocale().toString(game.written, QLocale::ShortFormat), QString::number(game.moves),
                            game.lastMove.empty()
                                ? QString()
                                : game.lastMoveNumber + QLatin1Char(' ')
                                      + QString::fromStdString(chess::DisplaySan(game.lastMove, letters_))});
        const GameListTexts names{texts_.RozehranePartie, {},      {}, {}, {}, {}, QStringLiteral("OK"),
                                  texts_.Storno,          letters_};
        TGameList list({texts_.Ulozeno, texts_.Tahy, texts_.PosledniTah}, rows, names, host_.Window());
        chosen = list.Choose();
        if (chosen < 0)
            return;
    }
    unfinished_->Resume(std::size_t(chosen), [this](chess::RecordedGame&& game) { return Adopt(std::move(game)); });
}

bool RecordController::Adopt(chess::RecordedGame&& game)
{
    // The game on the board has no other copy once it is replaced: ask, as
    // a new game does.
    if (game_.Record().Size() > 0 && !host_.AskYesNo(chess::Question::NovaPartie))
        return false;
    game_.Open(std::move(game.history), std::move(game.tags));
    return true;
}

void RecordController::TakeBack()
{
    game_.TakeBack();
}

void RecordController::Replay()
{
    game_.Replay();
}

void RecordController::JumpTo(std::size_t plies)
{
    if (!game_.JumpTo(plies))
        Refresh();  // a click on the current move: the mark stays where it was
}

void RecordController::StepToStart()
{
    game_.JumpTo(0);
}

void RecordController::StepBack()
{
    if (game_.Record().Current() > 0)
        game_.JumpTo(game_.Record().Current() - 1);
}

void RecordController::StepForward()
{
    game_.JumpTo(game_.Record().Current() + 1);
}

void RecordController::StepToEnd()
{
    game_.JumpTo(game_.Record().Size());
}

// "12. Jf3" or "12... Jf6", as the move list shows the move.
QString RecordController::MoveName(std::size_t i) const
{
    const chess::History& history = game_.Record();
    return QStringLiteral("%1%2 %3")
        .arg(history.MoveNumber(i))
        .arg(history.WhiteMoved(i) ? QStringLiteral(".") : QStringLiteral("..."))
        .arg(QString::fromStdString(chess::DisplaySan(chess::SanWithGlyph(history[i]), letters_)));
}

void RecordController::EditComment()
{
    const std::size_t ply = game_.Record().Current();
    if (ply == 0)
        return;
    // Only the prose: the commands in the comment ("[%clk 0:02:58]") are
    // the program's, kept as they are and never shown to be broken.
    const std::string old = game_.Record()[ply - 1].note.comment;
    const QString before = QString::fromStdString(chess::CommentProse(old));
    TCommentDialog dialog(texts_.KomentarKTahu.arg(MoveName(ply - 1)), before, QStringLiteral("OK"), texts_.Storno,
                          host_.Window());
    if (dialog.exec() == QDialog::Accepted && dialog.Comment() != before)
        game_.SetComment(ply - 1, chess::WithProse(old, dialog.Comment().toUtf8().toStdString()));
}

void RecordController::EditTags()
{
    const GameTagsTexts names{texts_.UdajeOPartii, texts_.Bily, texts_.Cerny,     texts_.Turnaj,        texts_.Misto,
                              texts_.Datum,        texts_.Kolo, texts_.DatumVzor, QStringLiteral("OK"), texts_.Storno};
    TGameTagsDialog dialog(game_.Tags(), names, host_.Window());
    if (dialog.exec() == QDialog::Accepted)
        game_.SetTags(dialog.Tags());
}

void RecordController::ClaimDraw()
{
    const chess::GameEnd claim = game_.ClaimableDraw();
    if (claim == chess::GameEnd::None)
        return;
    // A piece picked up has nowhere to go once the game is over.
    chess::GameState& state = game_.State();
    if (state.SelectedSquare != chess::NoSelection) {
        const int file = chess::SelectionFile(state.SelectedSquare), rank = chess::SelectionRank(state.SelectedSquare);
        state.SelectedSquare = chess::NoSelection;
        host_.DrawSquare(file, rank);
    }
    game_.ClaimDraw(claim);
    host_.Announce(chess::Message::KonecRemizou);
}

void RecordController::ShowMoveList(bool shown)
{
    if (shown)
        MakeMoveList();
    if (!dock_)
        return;
    dock_->setVisible(shown);
    ShowRecord();
    host_.SetSidePanelWidth(this, PanelWidth());
}

void RecordController::MarkLastMove(bool marked)
{
    look_.MarkLastMove = marked;
    for (const int cell : {look_.LastMoveFrom, look_.LastMoveTo})
        if (cell >= 0)
            host_.DrawSquare(cell / 8, cell % 8);
}
