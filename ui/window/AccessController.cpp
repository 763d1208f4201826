#include "AccessController.h"

#include "BoardPanel.h"

#include "AccessBoard.h"
#include "BoardWidget.h"
#include "Presentation.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QDockWidget>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int PanelHeight = 64;

QString SquareText(int file, int rank)
{
    return QString(QChar('a' + file)) + QChar('1' + rank);
}

QString Capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

}  // namespace

AccessController::AccessController(WindowHost& host, chess::Game& game, Presentation& look, BoardWidget& board)
    : QObject(host.Window()), host_(host), game_(game), look_(look), board_(board)
{
    game_.AddListener(this);
    screenreader::InstallFactory(this);
    board_.installEventFilter(this);
    // The move list's panel is made when first shown: named as it comes.
    host.Window()->installEventFilter(this);
    status_ = new AccessStatus(host.Window());
    connect(&board_, &BoardWidget::cursorMoved, this, [this] { screenreader::CursorMoved(&board_); });
    // A press picks up or puts down: the selected cell changes.
    connect(&board_, &BoardWidget::pressed, this, &AccessController::BoardTurned);
}

AccessController::~AccessController()
{
    game_.RemoveListener(this);
    screenreader::InstallFactory(nullptr);
}

void AccessController::AddGameItems(QMenu* game)
{
    host_.AddSeparator(game, "N13");
    item_ = host_.AddItem(game, "Zadattah1", QStringLiteral("Zadat tah"));
    item_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(item_, &QAction::triggered, this, [this] { OpenField(); });
}

void AccessController::LoadLanguage(const LanguageFile& file, const chess::PieceLetters& letters)
{
    texts_ = AccessTexts::Load(file);
    record_ = RecordTexts::Load(file);
    letters_ = letters;
    NameWidgets();
    BoardTurned();
    // Turning the board gives every cell another square.
    if (!orientationWatched_) {
        orientationWatched_ = true;
        for (const char* name : {"bldole1", "erndole1"})
            if (auto* item = host_.Window()->findChild<QAction*>(QLatin1String(name)))
                connect(item, &QAction::triggered, this, &AccessController::BoardTurned);
    }
}

void AccessController::BoardTurned()
{
    // Told once the event that changed the board is over, so that whatever
    // else it changes (the board turned to the side to move) is read too.
    if (boardPending_)
        return;
    boardPending_ = true;
    QTimer::singleShot(0, this, [this] {
        boardPending_ = false;
        screenreader::BoardChanged(&board_);
    });
}

void AccessController::NameWidgets()
{
    board_.setAccessibleName(texts_.Sachovnice);
    if (dock_) {
        dock_->setWindowTitle(texts_.Panel);
        dock_->setAccessibleName(texts_.Panel);
        field_->setAccessibleName(texts_.Pole);
        answer_->setAccessibleName(texts_.Odpoved);
    }
    // Whatever else the window holds without a name of its own: the panels
    // beside the board are made only when first shown.
    for (QDockWidget* panel : host_.Window()->findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly))
        NamePanel(panel);
}

void AccessController::NamePanel(QWidget* panel)
{
    // A panel is called as the menu item that shows it; a dock's name is its
    // window title, which nobody sees here, as no panel has a title bar.
    static const std::pair<const char*, const char*> itemOfPanel[] = {
        {"ZapisPanel", "Zpispartie1"},
        {"HodinyPanel", "Casovakontrola1"},
        {"RozborPanel", "Rozborpozice1"},
        {"PozicePanel", "Postavitpozici1"},
    };
    QString name;
    for (const auto& [panelName, itemName] : itemOfPanel)
        if (panel->objectName() == QLatin1String(panelName))
            if (auto* item = host_.Window()->findChild<QAction*>(QLatin1String(itemName)))
                name = QString(item->text()).remove(QLatin1Char('&')).remove(QChar(0x2026)).trimmed();
    if (name.isEmpty())
        return;  // the move field's own, named above
    panel->setWindowTitle(name);
    panel->setAccessibleName(name);
    if (panel->objectName() == QLatin1String("ZapisPanel"))
        if (auto* list = panel->findChild<QAbstractItemView*>())
            list->setAccessibleName(texts_.ZapisPartie);
}

void AccessController::OpenField(const QString& typed)
{
    if (!dock_) {
        auto* panel = new QWidget;
        field_ = new QLineEdit(panel);
        field_->setObjectName(QStringLiteral("PoleTahu"));
        answer_ = new QLabel(panel);
        answer_->setObjectName(QStringLiteral("Odpoved"));
        answer_->setTextFormat(Qt::PlainText);
        answer_->setWordWrap(false);
        auto* layout = new QVBoxLayout(panel);
        layout->setContentsMargins(4, 2, 4, 2);
        layout->setSpacing(2);
        layout->addWidget(field_);
        layout->addWidget(answer_);
        dock_ = MakeBoardPanel(host_.Window(), "TahPanel", panel, Qt::BottomDockWidgetArea, PanelHeight);
        connect(field_, &QLineEdit::returnPressed, this, [this] {
            const QString text = field_->text();
            field_->clear();
            Submit(text);
        });
        field_->installEventFilter(this);
        NameWidgets();
    }
    dock_->show();
    host_.SetBottomPanelHeight(this, PanelHeight);
    field_->setText(typed);
    field_->setFocus(Qt::ShortcutFocusReason);
    // The typed character begins the text; the next one follows it.
    field_->deselect();
    field_->end(false);
}

void AccessController::CloseField()
{
    if (!dock_)
        return;
    dock_->hide();
    host_.SetBottomPanelHeight(this, 0);
    board_.setFocus(Qt::OtherFocusReason);
}

bool AccessController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == host_.Window()) {
        if (event->type() == QEvent::ChildPolished)
            if (auto* child = static_cast<QChildEvent*>(event)->child(); qobject_cast<QDockWidget*>(child))
                NamePanel(static_cast<QWidget*>(child));
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == field_) {
        if (key->key() == Qt::Key_Escape) {
            CloseField();
            return true;
        }
        return false;
    }
    // A letter or a digit typed on the board begins a move or a command.
    const QString text = key->text();
    const Qt::KeyboardModifiers mods = key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (watched == &board_ && mods == Qt::NoModifier && text.size() == 1 && text[0].isLetterOrNumber()
        && !(boardTaken_ && boardTaken_())) {
        OpenField(text);
        return true;
    }
    return false;
}

QString AccessController::Submit(const QString& typed)
{
    const QString text = typed.trimmed();
    const std::string bytes = text.toUtf8().toStdString();
    const chess::BoardCommand command = chess::ReadBoardCommand(bytes, letters_);
    QString answer;
    if (command.kind != chess::BoardCommand::NotACommand && !command.malformed) {
        answer = Answer(command);
    } else {
        const chess::TypedMove move = chess::ReadTypedMove(game_.State(), bytes, letters_);
        if (move.ok()) {
            // The same path as two presses: the game tells the listeners,
            // this one among them, and the window its messages.
            host_.PlayMove(move.move);
            return {};
        }
        if (move.fault == chess::TypedMove::Ambiguous) {
            QStringList candidates;
            for (const std::string& c : move.candidates)
                candidates << QString::fromStdString(c);
            answer = texts_.Nejednoznacny.arg(candidates.join(texts_.Nebo));
        } else if (move.fault == chess::TypedMove::Illegal) {
            answer = texts_.Nepripustny.arg(text);
        } else {
            answer = texts_.Necitelny.arg(text);
        }
    }
    Say(answer);
    return answer;
}

void AccessController::Say(const QString& text)
{
    if (answer_)
        answer_->setText(text);
    status_->Say(text);
}

QString AccessController::SquareName(int file, int rank) const
{
    return texts_.NazevPole.arg(SquareText(file, rank), texts_.PieceName(game_.State().At(file, rank)));
}

QString AccessController::SpokenMove(std::size_t ply) const
{
    const chess::History& history = game_.Record();
    const chess::HalfMove& half = history[ply];
    const chess::GameState& before = ply == 0 ? history.Start() : history[ply - 1].after;
    const chess::SpokenMove s = chess::DescribeMove(before, half.move, half.after);
    QString text;
    const QString from = SquareText(s.fromFile, s.fromRank), to = SquareText(s.toFile, s.toRank);
    if (s.castling)
        text = s.castling == 1 ? texts_.MalaRosada : texts_.VelkaRosada;
    else if (s.enPassant)
        text = texts_.BereMimochodem.arg(texts_.Noun(s.piece), from, to);
    else if (s.capture)
        text = texts_.Bere.arg(texts_.Noun(s.piece), from, to);
    else
        text = texts_.Tah.arg(texts_.Noun(s.piece), from, to);
    if (s.promotion != chess::Empty) {
        const QString* into[] = {&texts_.NaVez, &texts_.NaJezdce, &texts_.NaStrelce, &texts_.NaDamu};
        const int kind = std::abs(s.promotion);
        if (kind >= chess::Rook && kind <= chess::Queen)
            text = texts_.Promena.arg(text, *into[kind - chess::Rook]);
    }
    if (s.check)
        text = texts_.Sach.arg(text);
    return Capitalised(text);
}

QString AccessController::EndText(chess::GameEnd end) const
{
    switch (end) {
    case chess::GameEnd::None:
        return {};
    case chess::GameEnd::WhiteWins:
        return texts_.MatBily;
    case chess::GameEnd::BlackWins:
        return texts_.MatCerny;
    case chess::GameEnd::Stalemate:
        return texts_.Pat;
    default:
        break;
    }
    // Every other end, also those the program learns later (a flag, a
    // resignation), with the result and why as the move list says it.
    return texts_.Konec.arg(record_.Ending(end, game_));
}

void AccessController::GameChanged(const chess::Game& game, const chess::GameChange& change)
{
    BoardTurned();
    const chess::History& history = game.Record();
    QString text;
    switch (change.kind) {
    case chess::GameChange::Moved:
        text = SpokenMove(history.Current() - 1) + QLatin1Char('.');
        break;
    case chess::GameChange::TakenBack:
        text = texts_.Vraceno.arg(SpokenMove(history.Current()));
        break;
    case chess::GameChange::Replayed:
        text = texts_.Znovu.arg(SpokenMove(history.Current() - 1));
        break;
    case chess::GameChange::Jumped:
        text = history.Current() == 0 ? texts_.Vychozi
                                      : texts_.PoTahu.arg(QString::number(history.MoveNumber(history.Current() - 1)),
                                                          SpokenMove(history.Current() - 1));
        break;
    case chess::GameChange::NewGame:
        text = texts_.NovaPartie;
        break;
    case chess::GameChange::Opened:
        text = texts_.Otevreno;
        break;
    case chess::GameChange::Annotated:
        return;
    default:
        break;
    }
    const chess::GameEnd end = game.End();
    if (change.ended || (change.kind != chess::GameChange::Moved && end != chess::GameEnd::None))
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + EndText(end);
    Say(text);
}

QString AccessController::Squares(const std::vector<int>& squares) const
{
    QStringList names;
    for (int cell : squares)
        names << SquareText(cell / 8, cell % 8);
    return names.isEmpty() ? texts_.Zadny : names.join(QStringLiteral(", "));
}

QString AccessController::Line(bool file, int index) const
{
    QStringList cells;
    for (int i = 0; i < 8; ++i) {
        const int f = file ? index : i, r = file ? i : index;
        cells << SquareName(f, r);
    }
    return cells.join(QStringLiteral("; "));
}

QString AccessController::Answer(const chess::BoardCommand& command) const
{
    const chess::GameState& state = game_.State();
    switch (command.kind) {
    case chess::BoardCommand::LastMove: {
        const std::size_t current = game_.Record().Current();
        return current == 0 ? texts_.ZadnyTah : texts_.PosledniTah.arg(SpokenMove(current - 1));
    }
    case chess::BoardCommand::Turn: {
        QString text = state.WhiteToMove ? texts_.NaTahuBily : texts_.NaTahuCerny;
        const QString ended = EndText(game_.End());
        if (!ended.isEmpty())
            text = ended;
        const QString clocks = clockReader_ ? clockReader_() : QString();
        return clocks.isEmpty() ? text : text + QLatin1Char(' ') + clocks;
    }
    case chess::BoardCommand::Pieces:
        return texts_.Kameny.arg(texts_.PieceName(command.piece), Squares(chess::SquaresOf(state, command.piece)));
    case chess::BoardCommand::File:
        return texts_.Sloupec.arg(QChar('a' + command.line)).arg(Line(true, command.line));
    case chess::BoardCommand::Rank:
        return texts_.Rada.arg(command.line + 1).arg(Line(false, command.line));
    case chess::BoardCommand::Board: {
        // White's pieces, then black's, each kind with its squares.
        QStringList sides;
        for (const int sign : {1, -1}) {
            QStringList pieces;
            for (const int kind : {chess::King, chess::Queen, chess::Rook, chess::Bishop, chess::Knight, chess::Pawn}) {
                const std::vector<int> squares = chess::SquaresOf(state, sign * kind);
                if (!squares.empty())
                    pieces << texts_.Noun(kind) + QLatin1Char(' ') + Squares(squares);
            }
            sides << (sign > 0 ? texts_.Bily : texts_.Cerny) + QStringLiteral(": ") + pieces.join(QStringLiteral(", "));
        }
        return sides.join(QStringLiteral("; ")) + QLatin1Char('.');
    }
    case chess::BoardCommand::NotACommand:
        break;
    }
    return {};
}
