#include "RecordController.h"

#include "AppPaths.h"
#include "AtomicFile.h"
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
const QString PgnFilter = QStringLiteral("PGN (*.pgn)");

std::string Bytes(const QString& text)
{
    return text.toUtf8().toStdString();
}

// Neither a failure (a full disk included) nor a killed program leaves half
// a file, or an empty one, in place of the old.
bool WriteAtomically(const QString& path, const std::string& text, std::string* error = nullptr)
{
    chess::WriteOptions options;
    options.maxBytes = MaxPgnFileSize;
    return chess::WriteFileAtomically(LocalPath(path), text, options, error);
}

// One line of six FEN fields, or at least its board: a position, not a game.
bool LooksLikeFen(const QString& text)
{
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('['))
           && text.section(QLatin1Char(' '), 0, 0).count(QLatin1Char('/')) == 7;
}

}  // namespace

namespace {

constexpr TextKey<RecordTexts> RecordTextKeys[] = {
    {"OtevritPartii", &RecordTexts::OtevritPartii},
    {"UlozitPartii", &RecordTexts::UlozitPartii},
    {"VyberPartie", &RecordTexts::VyberPartie},
    {"Cislo", &RecordTexts::Cislo},
    {"Bily", &RecordTexts::Bily},
    {"Cerny", &RecordTexts::Cerny},
    {"Vysledek", &RecordTexts::Vysledek},
    {"Tahy", &RecordTexts::Tahy},
    {"Storno", &RecordTexts::Storno},
    {"NelzeCist", &RecordTexts::NelzeCist},
    {"ZadnaPartie", &RecordTexts::ZadnaPartie},
    {"ChybnaPartie", &RecordTexts::ChybnaPartie},
    {"NelzeUlozit", &RecordTexts::NelzeUlozit},
    {"PrazdnaSchranka", &RecordTexts::PrazdnaSchranka},
    {"ChybnaPozice", &RecordTexts::ChybnaPozice},
    {"NelzeUkladat", &RecordTexts::NelzeUkladat},
    {"RozehranePartie", &RecordTexts::RozehranePartie},
    {"Ulozeno", &RecordTexts::Ulozeno},
    {"PosledniTah", &RecordTexts::PosledniTah},
    {"NaTahuBily", &RecordTexts::NaTahuBily},
    {"NaTahuCerny", &RecordTexts::NaTahuCerny},
    {"KonecMat", &RecordTexts::KonecMat},
    {"KonecPat", &RecordTexts::KonecPat},
    {"KonecMrtvaPozice", &RecordTexts::KonecMrtvaPozice},
    {"KonecPateOpakovani", &RecordTexts::KonecPateOpakovani},
    {"Konec75Tahu", &RecordTexts::Konec75Tahu},
    {"KonecTretiOpakovani", &RecordTexts::KonecTretiOpakovani},
    {"Konec50Tahu", &RecordTexts::Konec50Tahu},
    {"KonecPodleZapisu", &RecordTexts::KonecPodleZapisu},
    {"ChybaTahu", &RecordTexts::ChybaTahu},
    {"ChybaFen", &RecordTexts::ChybaFen},
    {"TahNecitelny", &RecordTexts::TahNecitelny},
    {"TahNejednoznacny", &RecordTexts::TahNejednoznacny},
    {"TahNepripustny", &RecordTexts::TahNepripustny},
    {"ChybnaFen", &RecordTexts::ChybnaFen},
    {"KomentarKTahu", &RecordTexts::KomentarKTahu},
    {"UdajeOPartii", &RecordTexts::UdajeOPartii},
    {"Turnaj", &RecordTexts::Turnaj},
    {"Misto", &RecordTexts::Misto},
    {"Datum", &RecordTexts::Datum},
    {"Kolo", &RecordTexts::Kolo},
    {"DatumVzor", &RecordTexts::DatumVzor},
};

}  // namespace

RecordTexts RecordTexts::Load(const LanguageFile& file)
{
    return LoadTexts(file, "Zapis", RecordTextKeys);
}

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

RecordController::RecordController(RecordHost& host, chess::Game& game, Presentation& look, const QString& dataDir)
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
    dock_ = new QDockWidget(host_.Window());
    dock_->setObjectName(QStringLiteral("ZapisPanel"));
    dock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock_->setTitleBarWidget(new QWidget(dock_));
    dock_->setWidget(panel_);
    dock_->setFixedWidth(MoveListWidth);
    host_.Window()->addDockWidget(Qt::RightDockWidgetArea, dock_);
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
    QMainWindow* window = host_.Window();
    return MoveListWidth + window->style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, window);
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
        list_->Show(game_.Record(), letters_, texts_.Ending(EndOfRecord(game_.Record())));
    else
        list_->Mark(game_.Record().Current());
    const chess::GameEnd end = game_.End();
    QString status = texts_.Ending(end);
    if (end == chess::GameEnd::None)
        status = game_.State().WhiteToMove ? texts_.NaTahuBily : texts_.NaTahuCerny;
    panel_->SetStatus(status, unfinished_->Problem());
}

std::string RecordController::GameText() const
{
    return WholeGameText(game_);
}

// One game is resumed at once; of several, the players choose.
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
    const QString before = QString::fromStdString(game_.Record()[ply - 1].note.comment);
    TCommentDialog dialog(texts_.KomentarKTahu.arg(MoveName(ply - 1)), before, QStringLiteral("OK"), texts_.Storno,
                          host_.Window());
    if (dialog.exec() == QDialog::Accepted && dialog.Comment() != before)
        game_.SetComment(ply - 1, Bytes(dialog.Comment()));
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

void RecordController::Warn(const QString& text, const std::string& detail)
{
    Warn(text, QString::fromStdString(detail));
}

void RecordController::Warn(const QString& text, const QString& detail)
{
    QString message = text;
    if (!detail.isEmpty())
        message += QStringLiteral("\n\n") + detail;
    QMessageBox box(QMessageBox::Warning, host_.Window()->windowTitle(), message, QMessageBox::Ok, host_.Window());
    box.exec();
}

// The folder a game was last opened from or saved to; before that, or when
// that folder is gone, the home folder, since the folder the program was
// started in is seldom where anyone keeps games.
QString RecordController::StartFolder() const
{
    return !lastFolder_.isEmpty() && QFileInfo(lastFolder_).isDir() ? lastFolder_ : QDir::homePath();
}

void RecordController::Open()
{
    const QString path = QFileDialog::getOpenFileName(host_.Window(), texts_.OtevritPartii, StartFolder(), PgnFilter,
                                                      nullptr);
    if (!path.isEmpty())
        OpenFile(path);
}

bool RecordController::OpenFile(const QString& path)
{
    lastFolder_ = QFileInfo(path).absolutePath();
    // Read like every other file of the program, so that a FIFO or a device
    // chosen by mistake is reported instead of hanging or filling memory.
    const chess::TextFile file = chess::ReadTextFile(LocalPath(path), MaxPgnFileSize);
    if (file.state != chess::FileState::Read) {
        Warn(texts_.NelzeCist.arg(QDir::toNativeSeparators(path)), file.error);
        return false;
    }
    return TakeGames(file.bytes, QDir::toNativeSeparators(path));
}

// Lets the players choose one game of several, replays it and puts it on
// the board; a game that cannot be replayed is reported and changes nothing.
bool RecordController::TakeGames(const std::string& bytes, const QString& source)
{
    const std::vector<chess::PgnGame> games = chess::ParsePgn(bytes);
    if (games.empty()) {
        Warn(source.isEmpty() ? texts_.PrazdnaSchranka : texts_.ZadnaPartie.arg(source));
        return false;
    }
    int chosen = 0;
    if (games.size() > 1) {
        const GameListTexts names{texts_.VyberPartie,   texts_.Cislo,    texts_.Bily,
                                  texts_.Cerny,         texts_.Vysledek, texts_.Tahy,
                                  QStringLiteral("OK"), texts_.Storno,   letters_};
        TGameList list(games, names, host_.Window());
        chosen = list.Choose();
        if (chosen < 0)
            return false;
    }
    chess::RecordedGame game = chess::ReplayPgnGame(games[std::size_t(chosen)], chosen + 1);
    if (!game.ok) {
        Warn(texts_.ChybnaPartie, texts_.Problem(game.problem));
        return false;
    }
    return Adopt(std::move(game));
}

void RecordController::Save()
{
    QString path = QFileDialog::getSaveFileName(host_.Window(), texts_.UlozitPartii,
                                                StartFolder() + QStringLiteral("/"), PgnFilter, nullptr);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pgn");
    SaveFile(path);
}

bool RecordController::SaveFile(const QString& path)
{
    lastFolder_ = QFileInfo(path).absolutePath();
    std::string error;
    if (WriteAtomically(path, GameText(), &error))
        return true;
    Warn(texts_.NelzeUlozit.arg(QDir::toNativeSeparators(path)), error);
    return false;
}

void RecordController::CopyFen()
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(game_.Record().Fen()));
}

void RecordController::CopyPgn()
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(GameText()));
}

void RecordController::Paste()
{
    PasteText(QGuiApplication::clipboard()->text());
}

bool RecordController::PasteText(const QString& clipboard)
{
    const QString text = clipboard.trimmed();
    if (text.isEmpty()) {
        Warn(texts_.PrazdnaSchranka);
        return false;
    }
    if (LooksLikeFen(text)) {
        const chess::FenReading reading = chess::ReadFen(Bytes(text));
        if (!reading.ok) {
            Warn(texts_.ChybnaPozice, reading.error);
            return false;
        }
        chess::RecordedGame game;
        game.history.Reset(reading.position.state, reading.position.halfmoveClock, reading.position.fullmoveNumber);
        return Adopt(std::move(game));
    }
    return TakeGames(Bytes(text), QString());
}

void RecordController::ShowMoveList(bool shown)
{
    if (shown)
        MakeMoveList();
    if (!dock_)
        return;
    dock_->setVisible(shown);
    ShowRecord();
    host_.SetSidePanelWidth(PanelWidth());
}

void RecordController::MarkLastMove(bool marked)
{
    look_.MarkLastMove = marked;
    for (const int cell : {look_.LastMoveFrom, look_.LastMoveTo})
        if (cell >= 0)
            host_.DrawSquare(cell / 8, cell % 8);
}
