#include "SetupController.h"

#include "BoardPanel.h"

#include "BoardWidget.h"
#include "Presentation.h"
#include "TurnSequence.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDockWidget>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int PanelWidth = 296;
constexpr int Cell = 40;  // a palette square
// A piece dragged from the palette, as its code in decimal.
const QString PieceMime = QStringLiteral("application/x-bodlany-sachy-piece");
// The palette's pieces in each row: king, queen, rook, bishop, knight, pawn.
constexpr int32_t PaletteKinds[6] = {chess::King, chess::Queen, chess::Rook, chess::Bishop, chess::Knight, chess::Pawn};

constexpr TextKey<SetupTexts> SetupTextKeys[] = {
    {"Guma", &SetupTexts::Guma},
    {"PrazdnaSachovnice", &SetupTexts::PrazdnaSachovnice},
    {"ZakladniPostaveni", &SetupTexts::ZakladniPostaveni},
    {"ProhoditBarvy", &SetupTexts::ProhoditBarvy},
    {"VlozitFen", &SetupTexts::VlozitFen},
    {"NaTahu", &SetupTexts::NaTahu},
    {"Bily", &SetupTexts::Bily},
    {"Cerny", &SetupTexts::Cerny},
    {"Rosada", &SetupTexts::Rosada},
    {"Mimochodem", &SetupTexts::Mimochodem},
    {"CisloTahu", &SetupTexts::CisloTahu},
    {"Hrat", &SetupTexts::Hrat},
    {"Zrusit", &SetupTexts::Zrusit},
    {"PismenoPesec", &SetupTexts::PismenoPesec},
    {"ChybnaFen", &SetupTexts::ChybnaFen},
    {"ProblemKral", &SetupTexts::ProblemKral},
    {"ProblemPesecNaKraji", &SetupTexts::ProblemPesecNaKraji},
    {"ProblemKamenu", &SetupTexts::ProblemKamenu},
    {"ProblemPescu", &SetupTexts::ProblemPescu},
    {"ProblemPromenenych", &SetupTexts::ProblemPromenenych},
    {"ProblemRosada", &SetupTexts::ProblemRosada},
    {"ProblemMimochodem", &SetupTexts::ProblemMimochodem},
    {"ProblemSach", &SetupTexts::ProblemSach},
    {"ProblemKralove", &SetupTexts::ProblemKralove},
};

QString SquareText(int file, int rank)
{
    return QString(QChar('a' + file)) + QChar('1' + rank);
}

}  // namespace

SetupTexts SetupTexts::Load(const LanguageFile& file)
{
    return LoadTexts(file, "Pozice", SetupTextKeys);
}

QString SetupTexts::Problem(const chess::PositionProblem& p) const
{
    const QString& side = p.white ? Bily : Cerny;
    switch (p.fault) {
    case chess::PositionFault::PawnOnEdgeRank:
        return ProblemPesecNaKraji.arg(side);
    case chess::PositionFault::KingCount:
        return ProblemKral.arg(side);
    case chess::PositionFault::CastlingRight:
        return ProblemRosada.arg(side);
    case chess::PositionFault::EnPassant:
        return QString(ProblemMimochodem).replace(QLatin1String("%2"), SquareText(p.file, p.white ? 2 : 5));
    case chess::PositionFault::TooManyPieces:
        return ProblemKamenu.arg(side);
    case chess::PositionFault::TooManyPawns:
        return ProblemPescu.arg(side);
    case chess::PositionFault::TooManyPromoted:
        return ProblemPromenenych.arg(side);
    case chess::PositionFault::NotToMoveInCheck:
        return ProblemSach.arg(side);
    case chess::PositionFault::KingsAdjacent:
        break;
    }
    return ProblemKralove;
}

// The twelve pieces in the current piece set and the eraser: a click
// chooses what clicks on the board put there, a drag puts it on one square.
class SetupPalette : public QWidget {
public:
    SetupPalette(SetupController& owner, const Presentation& look) : owner_(owner), look_(look)
    {
        setObjectName(QStringLiteral("SetupPalette"));
        setFixedSize(6 * Cell, 3 * Cell);
    }

    // The tool in cell (column, row), or NoTool for a cell without one.
    static int ToolAt(QPoint at)
    {
        const int column = at.x() / Cell, row = at.y() / Cell;
        if (at.x() < 0 || at.y() < 0 || column > 5 || row > 2)
            return SetupController::NoTool;
        if (row == 2)
            return column == 0 ? 0 : SetupController::NoTool;
        return row == 0 ? PaletteKinds[column] : -PaletteKinds[column];
    }
    static QRect CellOf(int tool)
    {
        if (tool == 0)
            return {0, 2 * Cell, Cell, Cell};
        const int column = int(std::find(PaletteKinds, PaletteKinds + 6, std::abs(tool)) - PaletteKinds);
        return {column * Cell, tool > 0 ? 0 : Cell, Cell, Cell};
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 6; ++column) {
                const int tool = ToolAt({column * Cell + 1, row * Cell + 1});
                if (tool == SetupController::NoTool)
                    continue;
                const QRect r(column * Cell, row * Cell, Cell, Cell);
                p.fillRect(r, (row + column) % 2 ? QColor(181, 136, 99) : QColor(240, 217, 181));
                if (tool == 0) {
                    // The eraser: a square crossed out.
                    p.setPen(QPen(Qt::darkRed, 3));
                    p.drawLine(r.adjusted(10, 10, -10, -10).topLeft(), r.adjusted(10, 10, -10, -10).bottomRight());
                    p.drawLine(r.adjusted(10, 10, -10, -10).topRight(), r.adjusted(10, 10, -10, -10).bottomLeft());
                } else if (look_.Pieces) {
                    p.drawImage(r.adjusted(2, 2, -2, -2), look_.Pieces->Picture(tool, devicePixelRatioF()));
                }
            }
        if (owner_.Tool() != SetupController::NoTool) {
            p.setPen(QPen(Qt::red, 3));
            p.setBrush(Qt::NoBrush);
            p.drawRect(CellOf(owner_.Tool()).adjusted(1, 1, -2, -2));
        }
    }
    void mousePressEvent(QMouseEvent* event) override { pressAt_ = event->position().toPoint(); }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        const int tool = ToolAt(pressAt_);
        pressAt_ = {-1, -1};
        if (tool == SetupController::NoTool || ToolAt(event->position().toPoint()) != tool)
            return;
        // A second click on the chosen tool puts it down again.
        owner_.ChooseTool(tool == owner_.Tool() ? SetupController::NoTool : tool);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        const int tool = ToolAt(pressAt_);
        if (!(event->buttons() & Qt::LeftButton) || tool == SetupController::NoTool || tool == 0
            || (event->position().toPoint() - pressAt_).manhattanLength() < QApplication::startDragDistance())
            return;
        // A drag puts one piece down and leaves the chosen tool as it was.
        pressAt_ = {-1, -1};
        auto* data = new QMimeData;
        data->setData(PieceMime, QByteArray::number(tool));
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        if (look_.Pieces)
            drag->setPixmap(QPixmap::fromImage(look_.Pieces->Picture(tool, devicePixelRatioF()))
                                .scaled(QSize(chess::SquareSize, chess::SquareSize) * devicePixelRatioF()));
        drag->setHotSpot({chess::SquareSize / 2, chess::SquareSize / 2});
        drag->exec(Qt::CopyAction);
    }

private:
    SetupController& owner_;
    const Presentation& look_;
    QPoint pressAt_{-1, -1};
};

// The controls beside the board; they show the controller's position and
// call it, nothing more.
class SetupPanel : public QWidget {
public:
    SetupPanel(SetupController& owner, const Presentation& look) : owner_(owner)
    {
        setObjectName(QStringLiteral("SetupPanel"));
        auto* layout = new QVBoxLayout(this);
        palette_ = new SetupPalette(owner, look);
        layout->addWidget(palette_, 0, Qt::AlignHCenter);

        auto* commands = new QGridLayout;
        auto button = [this](const char* name, int row, int column, QGridLayout* grid, auto action) {
            auto* b = new QPushButton(this);
            b->setObjectName(QLatin1String(name));
            b->setAutoDefault(false);
            grid->addWidget(b, row, column);
            connect(b, &QPushButton::clicked, this, action);
            return b;
        };
        empty_ = button("PrazdnaSachovnice", 0, 0, commands, [this] { owner_.EmptyBoard(); });
        start_ = button("ZakladniPostaveni", 0, 1, commands, [this] { owner_.StartPosition(); });
        flip_ = button("ProhoditBarvy", 1, 0, commands, [this] { owner_.FlipColours(); });
        paste_ = button("VlozitFen", 1, 1, commands, [this] { owner_.PasteFen(); });
        layout->addLayout(commands);

        auto* options = new QGridLayout;
        toMove_ = new QLabel(this);
        options->addWidget(toMove_, 0, 0);
        white_ = new QRadioButton(this);
        white_->setObjectName(QStringLiteral("NaTahuBily"));
        black_ = new QRadioButton(this);
        black_->setObjectName(QStringLiteral("NaTahuCerny"));
        options->addWidget(white_, 0, 1);
        options->addWidget(black_, 0, 2);
        connect(white_, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                owner_.SetWhiteToMove(true);
        });
        connect(black_, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                owner_.SetWhiteToMove(false);
        });
        castling_ = new QLabel(this);
        options->addWidget(castling_, 1, 0, 1, 3);
        for (int side = 0; side < 2; ++side) {
            sides_[side] = new QLabel(this);
            options->addWidget(sides_[side], 2 + side, 0);
            for (int wing = 0; wing < 2; ++wing) {
                auto* box = new QCheckBox(wing == 0 ? QStringLiteral("O-O") : QStringLiteral("O-O-O"), this);
                box->setObjectName(QStringLiteral("Rosada%1%2").arg(side == 0 ? 'B' : 'C').arg(wing == 0 ? 'K' : 'D'));
                options->addWidget(box, 2 + side, 1 + wing);
                connect(box, &QCheckBox::toggled, this,
                        [this, side, wing](bool on) { owner_.SetCastling(side == 0, wing == 0, on); });
                rights_[side][wing] = box;
            }
        }
        enPassantLabel_ = new QLabel(this);
        options->addWidget(enPassantLabel_, 4, 0, 1, 2);
        enPassant_ = new QComboBox(this);
        enPassant_->setObjectName(QStringLiteral("Mimochodem"));
        options->addWidget(enPassant_, 4, 2);
        connect(enPassant_, &QComboBox::activated, this,
                [this](int index) { owner_.SetEnPassant(enPassant_->itemData(index).toInt()); });
        moveNumberLabel_ = new QLabel(this);
        options->addWidget(moveNumberLabel_, 5, 0, 1, 2);
        moveNumber_ = new QSpinBox(this);
        moveNumber_->setObjectName(QStringLiteral("CisloTahu"));
        moveNumber_->setRange(1, chess::MaxFenNumber);
        options->addWidget(moveNumber_, 5, 2);
        connect(moveNumber_, &QSpinBox::valueChanged, this, [this](int n) { owner_.SetMoveNumber(n); });
        layout->addLayout(options);

        fen_ = new QLineEdit(this);
        fen_->setObjectName(QStringLiteral("Fen"));
        layout->addWidget(fen_);
        connect(fen_, &QLineEdit::textEdited, this, [this](const QString& text) { owner_.TakeFen(text); });

        problems_ = new QLabel(this);
        problems_->setObjectName(QStringLiteral("Problemy"));
        problems_->setWordWrap(true);
        problems_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        QPalette red = problems_->palette();
        red.setColor(QPalette::WindowText, QColor(170, 0, 0));
        problems_->setPalette(red);
        layout->addWidget(problems_, 1);

        auto* end = new QGridLayout;
        // One above the other: "Aus dieser Stellung spielen" needs the whole width.
        play_ = button("Hrat", 0, 0, end, [this] { owner_.PlayFromHere(); });
        cancel_ = button("Zrusit", 1, 0, end, [this] { owner_.Cancel(); });
        layout->addLayout(end);
    }

    void Retranslate(const SetupTexts& t)
    {
        palette_->setToolTip(t.Guma);
        empty_->setText(t.PrazdnaSachovnice);
        start_->setText(t.ZakladniPostaveni);
        flip_->setText(t.ProhoditBarvy);
        paste_->setText(t.VlozitFen);
        toMove_->setText(t.NaTahu);
        white_->setText(t.Bily);
        black_->setText(t.Cerny);
        castling_->setText(t.Rosada);
        sides_[0]->setText(t.Bily);
        sides_[1]->setText(t.Cerny);
        enPassantLabel_->setText(t.Mimochodem);
        moveNumberLabel_->setText(t.CisloTahu);
        // What a screen reader calls the fields: their labels, and each
        // castling box with its side, as the grid shows it by place alone.
        enPassantLabel_->setBuddy(enPassant_);
        moveNumberLabel_->setBuddy(moveNumber_);
        fen_->setAccessibleName(QStringLiteral("FEN"));
        for (int side = 0; side < 2; ++side)
            for (QCheckBox* box : rights_[side])
                box->setAccessibleName((side == 0 ? t.Bily : t.Cerny) + QLatin1Char(' ') + box->text());
        play_->setText(t.Hrat);
        cancel_->setText(t.Zrusit);
    }

    // Shows the controller's position; the FEN line is left alone while its
    // own text is what changed the position.
    void Refresh(bool fenLine, const QString& fenProblem = {})
    {
        const chess::GameState& s = owner_.Position();
        const QSignalBlocker b1(white_), b2(black_), b3(enPassant_), b4(moveNumber_);
        white_->setChecked(s.WhiteToMove);
        black_->setChecked(!s.WhiteToMove);
        const bool rights[2][2] = {{s.WhiteMayCastleShort, s.WhiteMayCastleLong},
                                   {s.BlackMayCastleShort, s.BlackMayCastleLong}};
        for (int side = 0; side < 2; ++side)
            for (int wing = 0; wing < 2; ++wing) {
                const QSignalBlocker blocker(rights_[side][wing]);
                rights_[side][wing]->setChecked(rights[side][wing]);
                rights_[side][wing]->setEnabled(chess::CastlingPossible(s, side == 0, wing == 0));
            }
        enPassant_->clear();
        enPassant_->addItem(QStringLiteral("–"), -1);
        const bool stepped = s.WhiteToMove ? s.BlackDoubleStep : s.WhiteDoubleStep;
        const int steppedFile = s.WhiteToMove ? s.BlackDoubleStepFile : s.WhiteDoubleStepFile;
        for (int file : chess::EnPassantFiles(s)) {
            enPassant_->addItem(SquareText(file, s.WhiteToMove ? 5 : 2), file);
            if (stepped && file == steppedFile)
                enPassant_->setCurrentIndex(enPassant_->count() - 1);
        }
        enPassant_->setEnabled(enPassant_->count() > 1);
        moveNumber_->setValue(owner_.fullmoveNumber_);
        if (!fenLine) {
            fen_->setText(owner_.Fen());
            fen_->setCursorPosition(0);  // the board's ranks are read from the left
        }
        QStringList problems = owner_.Problems();
        if (!fenProblem.isEmpty())
            problems.prepend(fenProblem);
        problems_->setText(problems.join(QLatin1Char('\n')));
        play_->setEnabled(owner_.Problems().isEmpty() && fenProblem.isEmpty());
        palette_->update();
    }

    SetupPalette* palette_;
    QLineEdit* fen_;
    QLabel* problems_;
    QPushButton* play_;
    QComboBox* enPassant_;
    QCheckBox* rights_[2][2];

private:
    SetupController& owner_;
    QPushButton *empty_, *start_, *flip_, *paste_, *cancel_;
    QLabel *toMove_, *castling_, *sides_[2], *enPassantLabel_, *moveNumberLabel_;
    QRadioButton *white_, *black_;
    QSpinBox* moveNumber_;
};

SetupController::SetupController(WindowHost& host, chess::Game& game, Presentation& look, BoardWidget& board)
    : host_(host), game_(game), look_(look), board_(board)
{
    game_.AddListener(this);
    board_.installEventFilter(this);
}

SetupController::~SetupController()
{
    game_.RemoveListener(this);
}

void SetupController::AddGameItems(QMenu* game)
{
    gameMenu_ = game;
    host_.AddSeparator(game, "N18");
    setupItem_ = host_.AddItem(game, "Postavitpozici1", QStringLiteral("Po&stavit pozici…"));
    connect(setupItem_, &QAction::triggered, this, &SetupController::Begin);
}

void SetupController::AddBoardItems(QMenu* board)
{
    turnItem_ = host_.AddItem(board, "Otetachovnicikhrinatahu1", QStringLiteral("&Otáčet šachovnici k hráči na tahu"),
                              true);
    connect(turnItem_, &QAction::triggered, this, &SetupController::SetTurning);
    // The palette shows the piece set the menu has just chosen.
    connect(board, &QMenu::triggered, this, [this] {
        if (panel_)
            panel_->palette_->update();
    });
}

void SetupController::Start()
{
    SetTurning(turnItem_->isChecked());
}

void SetupController::LoadLanguage(const LanguageFile& file, const chess::PieceLetters& letters)
{
    texts_ = SetupTexts::Load(file);
    letters_ = letters;
    if (panel_) {
        panel_->Retranslate(texts_);
        panel_->Refresh(false);
    }
}

void SetupController::SetTurning(bool on)
{
    turning_ = on;
    if (turnItem_)
        turnItem_->setChecked(on);
    if (on && !active_)
        TurnToSideToMove();
}

void SetupController::TurnToSideToMove()
{
    const bool white = game_.State().WhiteToMove;
    if (look_.WhiteAtBottom != white)
        host_.ShowWhiteAtBottom(white);
}

void SetupController::GameChanged(const chess::Game&, const chess::GameChange& change)
{
    if (active_) {
        // Something changed the game under the set-up (it never should):
        // that is the game to return to, and the board keeps the set-up.
        saved_ = game_.State();
        Show();
        return;
    }
    if (turning_ && change.kind != chess::GameChange::Annotated)
        TurnToSideToMove();
}

void SetupController::MakePanel()
{
    if (dock_)
        return;
    panel_ = new SetupPanel(*this, look_);
    panel_->Retranslate(texts_);
    dock_ = MakeBoardPanel(host_.Window(), "PozicePanel", panel_, Qt::LeftDockWidgetArea, PanelWidth);
}

void SetupController::Begin()
{
    if (active_)
        return;
    MakePanel();
    active_ = true;
    saved_ = game_.State();
    // The position on the board, with the clocks of the record.
    const chess::FenReading now = chess::ReadFen(game_.Record().Fen());
    edited_ = now.ok ? now.position.state : game_.State();
    halfmoveClock_ = now.ok ? now.position.halfmoveClock : 0;
    fullmoveNumber_ = now.ok ? now.position.fullmoveNumber : 1;
    dragFrom_.reset();

    // Nothing that would change the game works meanwhile: only leaving the
    // program does.
    savedEnabled_.clear();
    for (QAction* item : gameMenu_->actions())
        if (!item->isSeparator() && item->objectName() != QLatin1String("Konec1")) {
            savedEnabled_[item] = item->isEnabled();
            item->setEnabled(false);
        }
    if (auto* list = host_.Window()->findChild<QDockWidget*>(QStringLiteral("ZapisPanel")))
        list->setEnabled(false);
    // The last move's tint belongs to the game, not to the set-up.
    savedTint_[0] = look_.LastMoveFrom;
    savedTint_[1] = look_.LastMoveTo;
    look_.LastMoveFrom = look_.LastMoveTo = -1;
    for (const int cell : savedTint_)
        if (cell >= 0)
            host_.DrawSquare(cell / 8, cell % 8);

    board_.setAcceptDrops(true);
    dock_->show();
    panelWidth_ = BoardPanelExtent(host_.Window(), PanelWidth);
    host_.SetSidePanelWidth(this, panelWidth_);
    Edited(false);
    emit activeChanged(true);
}

void SetupController::Leave()
{
    active_ = false;
    dragFrom_.reset();
    board_.setAcceptDrops(false);
    for (const auto& [item, enabled] : savedEnabled_)
        item->setEnabled(enabled);
    savedEnabled_.clear();
    if (auto* list = host_.Window()->findChild<QDockWidget*>(QStringLiteral("ZapisPanel")))
        list->setEnabled(true);
    look_.LastMoveFrom = savedTint_[0];
    look_.LastMoveTo = savedTint_[1];
    dock_->hide();
    panelWidth_ = 0;
    host_.SetSidePanelWidth(this, 0);
    emit activeChanged(false);
}

void SetupController::Cancel()
{
    if (!active_)
        return;
    edited_ = saved_;
    Show();
    Leave();
    for (const int cell : savedTint_)
        if (cell >= 0)
            host_.DrawSquare(cell / 8, cell % 8);
}

bool SetupController::PlayFromHere()
{
    if (!active_ || !Problems().isEmpty())
        return false;
    // The game on the board has no other copy once it is replaced: ask, as
    // a new game does.
    if (game_.Record().Size() > 0 && !host_.AskYesNo(chess::Question::NovaPartie))
        return false;
    chess::GameState start = edited_;
    chess::SettleSetUp(start);
    Leave();
    game_.NewGame(start, halfmoveClock_, fullmoveNumber_);
    // A position other than the start: a new game or leaving asks first.
    game_.State().BoardTouched = true;
    return true;
}

QWidget* SetupController::Panel() const
{
    return panel_;
}

QString SetupController::Fen() const
{
    return QString::fromStdString(chess::WriteFen(edited_, halfmoveClock_, fullmoveNumber_));
}

QStringList SetupController::Problems() const
{
    QStringList texts;
    for (const chess::PositionProblem& problem : chess::CheckPosition(edited_))
        texts << texts_.Problem(problem);
    return texts;
}

// Puts the edited position on the board and draws what changed.
void SetupController::Show()
{
    chess::GameState& shown = game_.State();
    const chess::GameState before = shown;
    shown = edited_;
    shown.BoardTouched = saved_.BoardTouched;
    shown.SelectedSquare = chess::NoSelection;
    for (int file = 0; file < 8; ++file)
        for (int rank = 0; rank < 8; ++rank)
            if (before.At(file, rank) != shown.At(file, rank)
                || before.SelectedSquare == chess::SelectionOf(file, rank))
                host_.DrawSquare(file, rank);
}

void SetupController::Edited(bool byHand, bool fromFenLine)
{
    // A position put together by hand has no moves behind it to count.
    if (byHand)
        halfmoveClock_ = 0;
    chess::SettleSetUp(edited_);
    Show();
    if (panel_)
        panel_->Refresh(fromFenLine);
}

void SetupController::ChooseTool(int piece)
{
    tool_ = piece;
    if (panel_)
        panel_->palette_->update();
}

void SetupController::Put(int file, int rank, int32_t piece)
{
    if (!active_ || !chess::OnBoard(file, rank))
        return;
    edited_.At(file, rank) = piece;
    Edited();
}

void SetupController::EmptyBoard()
{
    edited_.Board.fill(chess::Empty);
    Edited();
}

void SetupController::StartPosition()
{
    chess::SetUpNewGame(edited_);
    fullmoveNumber_ = 1;
    Edited();
}

void SetupController::FlipColours()
{
    const chess::GameState was = edited_;
    for (int file = 0; file < 8; ++file)
        for (int rank = 0; rank < 8; ++rank)
            edited_.At(file, 7 - rank) = -was.At(file, rank);
    edited_.WhiteToMove = !was.WhiteToMove;
    edited_.WhiteMayCastleShort = was.BlackMayCastleShort;
    edited_.WhiteMayCastleLong = was.BlackMayCastleLong;
    edited_.BlackMayCastleShort = was.WhiteMayCastleShort;
    edited_.BlackMayCastleLong = was.WhiteMayCastleLong;
    edited_.WhiteDoubleStep = was.BlackDoubleStep;
    edited_.WhiteDoubleStepFile = was.BlackDoubleStepFile;
    edited_.BlackDoubleStep = was.WhiteDoubleStep;
    edited_.BlackDoubleStepFile = was.WhiteDoubleStepFile;
    Edited();
}

bool SetupController::TakeFen(const QString& fen)
{
    const chess::FenReading reading = chess::ReadFenUnjudged(fen.toUtf8().toStdString());
    if (!reading.ok) {
        // The board keeps its position until the line can be read; the
        // line says why not.
        if (panel_)
            panel_->Refresh(true, texts_.ChybnaFen + QLatin1Char(' ') + QString::fromStdString(reading.error));
        return false;
    }
    edited_ = reading.position.state;
    halfmoveClock_ = reading.position.halfmoveClock;
    fullmoveNumber_ = reading.position.fullmoveNumber;
    Edited(false, panel_ && fen == panel_->fen_->text());
    return true;
}

void SetupController::PasteFen()
{
    const QString text = QGuiApplication::clipboard()->text().trimmed();
    if (!TakeFen(text) && panel_)
        panel_->fen_->setText(text);  // to be mended in place
}

void SetupController::SetWhiteToMove(bool white)
{
    if (edited_.WhiteToMove == white)
        return;
    edited_.WhiteToMove = white;
    // A double step belongs to the side that has just moved.
    edited_.WhiteDoubleStep = edited_.BlackDoubleStep = false;
    Edited();
}

void SetupController::SetCastling(bool white, bool shortSide, bool allowed)
{
    bool& right = white ? (shortSide ? edited_.WhiteMayCastleShort : edited_.WhiteMayCastleLong)
                        : (shortSide ? edited_.BlackMayCastleShort : edited_.BlackMayCastleLong);
    right = allowed;
    Edited();
}

void SetupController::SetEnPassant(int file)
{
    bool& stepped = edited_.WhiteToMove ? edited_.BlackDoubleStep : edited_.WhiteDoubleStep;
    int32_t& steppedFile = edited_.WhiteToMove ? edited_.BlackDoubleStepFile : edited_.WhiteDoubleStepFile;
    stepped = file >= 0;
    if (stepped)
        steppedFile = file;
    Edited();
}

void SetupController::SetMoveNumber(int number)
{
    fullmoveNumber_ = std::clamp(number, 1, chess::MaxFenNumber);
    if (panel_)
        panel_->Refresh(false);
}

std::optional<std::pair<int, int>> SetupController::SquareAt(QPoint at) const
{
    const int x = at.x() - chess::FrameWidth, y = at.y() - chess::FrameWidth;
    if (x < 0 || y < 0 || x >= 8 * chess::SquareSize || y >= 8 * chess::SquareSize)
        return std::nullopt;
    const int column = x / chess::SquareSize, row = y / chess::SquareSize;
    return look_.WhiteAtBottom ? std::pair{column, 7 - row} : std::pair{7 - column, row};
}

void SetupController::ApplyTool(int file, int rank)
{
    if (tool_ != NoTool)
        Put(file, rank, tool_);
}

bool SetupController::Press(QPoint at, Qt::MouseButton button)
{
    if (!active_)
        return false;
    const auto square = SquareAt(at);
    if (dragFrom_) {
        // The release of a drag: the piece goes where it was let go, or off
        // the board.
        const auto [file, rank] = *std::exchange(dragFrom_, std::nullopt);
        const int32_t piece = edited_.At(file, rank);
        edited_.At(file, rank) = chess::Empty;
        if (square)
            edited_.At(square->first, square->second) = piece;
        Edited();
        return true;
    }
    if (!square)
        return true;
    const auto [file, rank] = *square;
    if (button == Qt::RightButton) {
        Put(file, rank, chess::Empty);
        return true;
    }
    const int32_t piece = edited_.At(file, rank);
    if (piece != chess::Empty && button != Qt::NoButton && look_.Pieces) {
        // Dragged away or only clicked: the release tells.
        dragFrom_ = square;
        board_.StartDrag(look_.Pieces->Picture(piece, board_.devicePixelRatioF()));
        return true;
    }
    ApplyTool(file, rank);
    return true;
}

bool SetupController::TypePiece(const QString& text)
{
    if (text.size() != 1 || !text[0].isLetter())
        return false;
    const QString pawn = texts_.PismenoPesec;
    const std::string* const letters = letters_.letters.data();
    // King, queen, rook, bishop, knight as the move list writes them, then the pawn.
    const int32_t kinds[6] = {chess::King, chess::Queen, chess::Rook, chess::Bishop, chess::Knight, chess::Pawn};
    for (int i = 0; i < 6; ++i) {
        const QString letter = i < 5 ? QString::fromStdString(letters[i]) : pawn;
        if (letter.compare(text, Qt::CaseInsensitive) != 0)
            continue;
        const QPoint cell = board_.CursorCell();
        const int file = look_.WhiteAtBottom ? cell.x() : 7 - cell.x();
        const int rank = look_.WhiteAtBottom ? 7 - cell.y() : cell.y();
        Put(file, rank, text[0].isUpper() ? kinds[i] : -kinds[i]);
        return true;
    }
    return false;
}

bool SetupController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &board_ || !active_)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        if (dragFrom_) {
            // Let go on the square it was pressed on: a click, which puts
            // the chosen piece there. Elsewhere the board reports a press.
            const auto square = SquareAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            if (square == dragFrom_) {
                dragFrom_.reset();
                ApplyTool(square->first, square->second);
            }
        }
        return false;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!board_.CursorShown())
            return false;
        if (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) {
            const QPoint cell = board_.CursorCell();
            Put(look_.WhiteAtBottom ? cell.x() : 7 - cell.x(), look_.WhiteAtBottom ? 7 - cell.y() : cell.y(),
                chess::Empty);
            return true;
        }
        return TypePiece(key->text());
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (drag->mimeData()->hasFormat(PieceMime))
            drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const int piece = drop->mimeData()->data(PieceMime).toInt();
        const auto square = SquareAt(drop->position().toPoint());
        if (piece != 0 && std::abs(piece) <= chess::King && square) {
            Put(square->first, square->second, piece);
            drop->acceptProposedAction();
        }
        return true;
    }
    default:
        return false;
    }
}
