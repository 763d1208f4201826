#include "MainWindow.h"

#include "About.h"
#include "BoardWidget.h"
#include "Hlasky.h"
#include "MenuLook.h"
#include "NovaFigurka.h"
#include "QtTranslation.h"
#include "YesNoBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace {

// A piece set brings its own board texture when chosen from the menu.
constexpr int TextureOfSet[3] = {1, 3, 4};

}  // namespace

TForm1::TForm1(const AppPaths& paths, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      paths_(paths), state_(game_.State()), turns_(game_, *this)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(DefaultTitle);
    board_widget_ = new BoardWidget(this);
    setCentralWidget(board_widget_);
    connect(board_widget_, &BoardWidget::pressed, this, [this](QPoint at, Qt::MouseButton button) {
        // While a position is set up, presses edit it instead of playing.
        if (!setupUi_->Press(at, button))
            FormMouseDown(at);
    });
    recordUi_ = new RecordController(*this, game_, look_, paths_.DataDir);
    setupUi_ = std::make_unique<SetupController>(*this, game_, look_, *board_widget_);
    engineUi_ = new EngineController(*this, game_, look_, *recordUi_);
    clockUi_ = new ClockController(*this, game_, look_);
    engineUi_->SetClockRunning([this] { return clockUi_->ClockRunning(); });
    accessUi_ = new AccessController(*this, game_, look_, *board_widget_);
    accessUi_->SetBoardTaken([this] { return setupUi_->Active(); });
    accessUi_->SetClockReader([this] { return clockUi_->SpokenTimes(); });
    // The running clock is kept with the unfinished game and comes back with it.
    recordUi_->Unfinished().KeepClock([this] { return clockUi_ ? clockUi_->KeptState() : std::string(); },
                                      [this](const std::string& state) { clockUi_->ResumeKept(state); });
    connect(clockUi_, &ClockController::timesToKeep, &recordUi_->Unfinished(), &UnfinishedGame::ClockChanged);
    connect(setupUi_.get(), &SetupController::activeChanged, this, &TForm1::SetupShown);
    game_.AddListener(this);
    BuildMenu();
    FormCreate();
}

TForm1::~TForm1()
{
    game_.RemoveListener(this);
    delete engineUi_;
    engineUi_ = nullptr;
    recordUi_->Unfinished().ClockChanged();  // the time up to the close, not to the clock's last second
    delete clockUi_;
    clockUi_ = nullptr;
    // The record's side listens to the game, and its unfinished game waits
    // for the last write: both go while the game still stands, not with the
    // window's other children after it.
    delete recordUi_;
    recordUi_ = nullptr;
    delete accessUi_;
    accessUi_ = nullptr;
}

void TForm1::GameChanged(const chess::Game&, const chess::GameChange& change)
{
    // A move draws its own squares as it is made, and a new game the whole board.
    if (change.kind != chess::GameChange::Moved && change.kind != chess::GameChange::NewGame
        && change.kind != chess::GameChange::DrawClaimed)
        DrawChangedSquares();
}

void TForm1::NoteDrawn(int file, int rank)
{
    const int cell = chess::CellIndex(file, rank);
    shownPieces_[std::size_t(cell)] = state_.At(file, rank);
    if (state_.SelectedSquare == chess::SelectionOf(file, rank))
        shownMark_ = cell;
    else if (shownMark_ == cell)
        shownMark_ = -1;
}

void TForm1::NoteBoardDrawn()
{
    for (int file = 0; file < 8; ++file)
        for (int rank = 0; rank < 8; ++rank)
            shownPieces_[std::size_t(chess::CellIndex(file, rank))] = state_.At(file, rank);
    const int selected = state_.SelectedSquare;
    shownMark_ = selected == chess::NoSelection
                   ? -1
                   : chess::CellIndex(chess::SelectionFile(selected), chess::SelectionRank(selected));
}

void TForm1::DrawChangedSquares()
{
    const int mark = shownMark_;
    for (int file = 0; file < 8; ++file)
        for (int rank = 0; rank < 8; ++rank) {
            const int cell = chess::CellIndex(file, rank);
            const bool marked = state_.SelectedSquare == chess::SelectionOf(file, rank);
            if (shownPieces_[std::size_t(cell)] != state_.At(file, rank) || marked != (cell == mark))
                DrawSquare(file, rank);
        }
}

void TForm1::SetArrow(int fromCell, int toCell)
{
    if (fromCell == look_.ArrowFrom && toCell == look_.ArrowTo)
        return;
    const QRect before = THraciPole::ArrowRect(look_);
    look_.ArrowFrom = fromCell;
    look_.ArrowTo = toCell;
    // The squares under the old arrow show again from the board picture.
    board_widget_->Changed(before.united(THraciPole::ArrowRect(look_)));
}

void TForm1::CreateMessageDialog()
{
    if (!FormHlasky_)
        FormHlasky_ = std::make_unique<TFormHlasky>(this);
}

QAction* TForm1::AddItem(QMenu* menu, const char* name, const QString& caption, bool checkable)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(checkable);
    components_.push_back(action);
    return action;
}

void TForm1::AddSeparator(QMenu* menu, const char* name)
{
    QAction* action = menu->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    components_.push_back(action);
}

void TForm1::BuildMenu()
{
    auto submenu = [this](QMenuBar* bar, const char* name, const QString& caption) {
        QMenu* menu = bar->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        components_.push_back(menu->menuAction());
        return menu;
    };
    auto separator = [this](QMenu* menu, const char* name) { AddSeparator(menu, name); };
    QMenuBar* bar = menuBar();

    QMenu* hra = submenu(bar, "Soubor1", QStringLiteral("Hra"));
    QAction* novaPartie = AddItem(hra, "Novpartie1", QStringLiteral("Nová partie"));
    novaPartie->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(novaPartie, &QAction::triggered, this, &TForm1::Novpartie1Click);
    recordUi_->AddGameItems(hra);
    setupUi_->AddGameItems(hra);
    engineUi_->AddGameItems(hra);
    accessUi_->AddGameItems(hra);
    clockUi_->AddGameItems(hra);
    separator(hra, "N2");
    QAction* konec = AddItem(hra, "Konec1", QStringLiteral("&Konec"));
    konec->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    connect(konec, &QAction::triggered, this, &TForm1::Konec1Click);

    QMenu* nastaveni = submenu(bar, "Nastaven1", QStringLiteral("Nastavení"));
    connect(AddItem(nastaveni, "esky1", QStringLiteral("česky"), true), &QAction::triggered, this, &TForm1::esky1Click);
    connect(AddItem(nastaveni, "nmecky1", QStringLiteral("německy"), true), &QAction::triggered, this,
            &TForm1::nmecky1Click);
    connect(AddItem(nastaveni, "anglicky1", QStringLiteral("anglicky"), true), &QAction::triggered, this,
            &TForm1::anglicky1Click);
    engineUi_->AddSettingsItems(nastaveni);

    QMenu* plocha = submenu(bar, "achovnice2", QStringLiteral("Hrací plocha"));
    const char* setNames[3] = {"Klasickkameny1", "Klubovky1", "Umleckkameny1"};
    const QString setCaptions[3] = {QStringLiteral("Klasické kameny"), QStringLiteral("Klubovky"),
                                    QStringLiteral("Umělecké kameny")};
    for (int i = 0; i < 3; ++i) {
        pieceSetItems_[i] = AddItem(plocha, setNames[i], setCaptions[i], true);
        connect(pieceSetItems_[i], &QAction::triggered, this, [this, i] { ChoosePieceSet(PieceSetId(i)); });
    }
    separator(plocha, "N4");
    const char* textureNames[TextureCount] = {"N11", "N21", "N31", "N41", "N51"};
    for (int n = 1; n <= TextureCount; ++n) {
        QAction* item = AddItem(plocha, textureNames[n - 1], QStringLiteral("Šachovnice %1").arg(n), true);
        item->setIconVisibleInMenu(true);
        textureItems_[n - 1] = item;
        connect(item, &QAction::triggered, this, [this, n] { ChooseTexture(n); });
    }
    // The pictures are made when the menu first opens: nobody sees them
    // before, and the window comes up sooner without them.
    connect(plocha, &QMenu::aboutToShow, this, [this] {
        for (int n = 1; n <= TextureCount; ++n)
            if (textureItems_[n - 1]->icon().isNull())
                textureItems_[n - 1]->setIcon(TextureMenuIcon(n));
    });
    separator(plocha, "N3");
    connect(AddItem(plocha, "Popisky1", QStringLiteral("Popisky"), true), &QAction::triggered, this,
            &TForm1::Popisky1Click);
    separator(plocha, "N5");
    connect(AddItem(plocha, "bldole1", QStringLiteral("bílý dole"), true), &QAction::triggered, this,
            &TForm1::bldole1Click);
    connect(AddItem(plocha, "erndole1", QStringLiteral("černý dole"), true), &QAction::triggered, this,
            &TForm1::erndole1Click);
    recordUi_->AddBoardItems(plocha);
    setupUi_->AddBoardItems(plocha);

    // The help menu stands apart at the right end of the menu bar, in the
    // bar itself so that the arrow keys reach it from the other menus.
    auto* style = new MenuStyle;
    style->setParent(this);
    bar->setStyle(style);
    nastaveni->setStyle(style);
    bar->addSeparator();
    QMenu* napoveda = submenu(bar, "Npovda1", QStringLiteral("Nápověda "));
    QAction* autor = AddItem(napoveda, "Autor1", QStringLiteral("Autor"));
    autor->setShortcut(QKeySequence(Qt::Key_F2));
    connect(autor, &QAction::triggered, this, &TForm1::Autor1Click);
}

QAction* TForm1::Item(const QString& name) const
{
    for (QAction* action : components_)
        if (action->objectName() == name)
            return action;
    return nullptr;
}

void TForm1::FormCreate()
{
    const chess::ProfileFile file = chess::ProfileFile::Load(LocalPath(paths_.SettingsFile));
    const chess::Settings settings = chess::ReadSettings(file);
    for (const auto& key : chess::SettingsBoolKeys)
        Item(QString::fromLatin1(key.item.data(), qsizetype(key.item.size())))->setChecked(settings.*key.field);
    for (const auto& key : chess::SettingsLaterBoolKeys)
        Item(QString::fromLatin1(key.item.data(), qsizetype(key.item.size())))->setChecked(settings.*key.field);

    engineUi_->SetProgramSetting(settings.SachovyProgram);
    CheckLanguageFiles();
    LoadLanguage();
    ApplyAppearance();
    state_.SelectedSquare = chess::NoSelection;
    HraciPole_ = std::make_unique<THraciPole>(state_, look_, board_widget_->Canvas(),
                                              [this](const QRect& r) { board_widget_->Changed(r); });
    board_widget_->SetOverlay([this](QPainter& painter) { THraciPole::DrawArrow(painter, look_); });
    board_widget_->SetFullRedraw([this] {
        // A move to a screen of another density re-renders the texture too.
        if (!qFuzzyCompare(look_.TextureImage.devicePixelRatio(), board_widget_->Canvas().devicePixelRatio())
            && look_.BoardTexture > 0)
            look_.TextureImage = LoadTexture(look_.BoardTexture, board_widget_->Canvas().devicePixelRatio());
        DrawBoard();
    });
    recordUi_->Start();
    setupUi_->Start();
    clockUi_->SetControlText(QString::fromStdString(settings.CasovaKontrola));
    ApplyGeometry(settings);
}

void TForm1::ApplyAppearance()
{
    const qreal dpr = board_widget_->Canvas().devicePixelRatio();
    // A file that ticks no texture or no piece set still gets a board to play
    // on: texture 1 and the classic pieces, with no tick added.
    look_.BoardTexture = 1;
    for (int n = 1; n <= TextureCount; ++n)
        if (textureItems_[n - 1]->isChecked())
            look_.BoardTexture = n;
    look_.TextureImage = LoadTexture(look_.BoardTexture, dpr);
    look_.ShowLabels = Item(QStringLiteral("Popisky1"))->isChecked();
    look_.Pieces = &PieceSetFor(PieceSetId::Klasicke);
    for (int i = 0; i < 3; ++i)
        if (pieceSetItems_[i]->isChecked())
            look_.Pieces = &PieceSetFor(PieceSetId(i));
    // With neither orientation ticked, black stands at the bottom.
    look_.WhiteAtBottom = false;
    if (Item(QStringLiteral("bldole1"))->isChecked())
        look_.WhiteAtBottom = true;
    if (Item(QStringLiteral("erndole1"))->isChecked())
        look_.WhiteAtBottom = false;
}

void TForm1::CheckLanguageFiles()
{
    for (LanguageId id : {LanguageId::Czech, LanguageId::German, LanguageId::English}) {
        // Only a file counts: a folder or a FIFO of that name is no language file.
        if (chess::IsRegularFile(LocalPath(LanguageFilePath(paths_.ProgramDir, LanguageFileName(id)))))
            continue;
        QMessageBox box(QMessageBox::NoIcon, DefaultTitle,
                        QStringLiteral("Soubory obsahující jazykové verze programu nejsou kompletní.\n\n"
                                       "Proto bude bude k  dispozici pouze česká verze programu."),
                        QMessageBox::Ok);
        box.exec();
        Item(QStringLiteral("esky1"))->setChecked(true);
        Item(QStringLiteral("nmecky1"))->setChecked(false);
        Item(QStringLiteral("anglicky1"))->setChecked(false);
        Item(QStringLiteral("nmecky1"))->setEnabled(false);
        Item(QStringLiteral("anglicky1"))->setEnabled(false);
        return;
    }
}

void TForm1::LoadLanguage()
{
    if (Item(QStringLiteral("esky1"))->isChecked())
        LanguageName_ = LanguageFileName(LanguageId::Czech);
    if (Item(QStringLiteral("nmecky1"))->isChecked())
        LanguageName_ = LanguageFileName(LanguageId::German);
    if (Item(QStringLiteral("anglicky1"))->isChecked())
        LanguageName_ = LanguageFileName(LanguageId::English);

    language_ = LanguageFile(LanguageFilePath(paths_.ProgramDir, LanguageName_));
    const LanguageFile& file = language_;
    static const QString unchanged = QStringLiteral("...");
    for (QAction* item : components_) {
        const QString caption = file.Text("Form1", item->objectName(), unchanged);
        // A separator is looked up like any item, but its line shows no text.
        if (caption != unchanged && !item->isSeparator())
            item->setText(FittedCaption(item, caption));
    }
    setWindowTitle(file.Text("Form1", QStringLiteral("Form1"), DefaultTitle));
    texts_ = MessageTexts::Load(file);
    UseQtTranslation(LanguageName_);
    recordUi_->LoadLanguage(file, texts_.PieceLetters());
    setupUi_->LoadLanguage(file, texts_.PieceLetters());
    engineUi_->LoadLanguage(file, texts_.PieceLetters());
    accessUi_->LoadLanguage(file, texts_.PieceLetters());
    clockUi_->LoadLanguage(file, LanguageName_);
}

void TForm1::ChooseLanguage(LanguageId id)
{
    Item(QStringLiteral("esky1"))->setChecked(id == LanguageId::Czech);
    Item(QStringLiteral("nmecky1"))->setChecked(id == LanguageId::German);
    Item(QStringLiteral("anglicky1"))->setChecked(id == LanguageId::English);
    LoadLanguage();
}

void TForm1::ChooseTexture(int n)
{
    look_.TextureImage = LoadTexture(n, board_widget_->Canvas().devicePixelRatio());
    look_.BoardTexture = n;
    DrawBoard();
    for (int i = 1; i <= TextureCount; ++i)
        textureItems_[i - 1]->setChecked(i == n);
}

void TForm1::ChoosePieceSet(PieceSetId id)
{
    const int index = static_cast<int>(id);
    look_.Pieces = &PieceSetFor(id);
    ChooseTexture(TextureOfSet[index]);  // redraws the board with the new set too
    for (int i = 0; i < 3; ++i)
        pieceSetItems_[i]->setChecked(i == index);
}

void TForm1::Popisky1Click()
{
    // The item's own toggle has already inverted the tick.
    look_.ShowLabels = Item(QStringLiteral("Popisky1"))->isChecked();
    DrawBoard();
}

void TForm1::ChooseOrientation(bool whiteAtBottom)
{
    look_.WhiteAtBottom = whiteAtBottom;
    clockUi_->SetWhiteAtBottom(whiteAtBottom);
    Item(QStringLiteral("bldole1"))->setChecked(whiteAtBottom);
    Item(QStringLiteral("erndole1"))->setChecked(!whiteAtBottom);
    // A piece picked up stays on its square; only the pick-up is dropped.
    state_.SelectedSquare = chess::NoSelection;
    DrawBoard();
    accessUi_->BoardTurned();
}

// A position being set up is no game to play or analyse: the move field
// closes, the clock stops, and the engine's panel closes for the while;
// both come back with the game.
void TForm1::SetupShown(bool active)
{
    if (active) {
        accessUi_->CloseField();  // its moves would land on the position being set up
        // Nobody plays while a position is arranged: the clock waits.
        clockBeforeSetup_ = clockUi_->ClockRunning();
        if (clockBeforeSetup_)
            clockUi_->PauseClock();
        analysisBeforeSetup_ = engineUi_->AnalysisShown();
        if (engineUi_->Reviewing())
            engineUi_->CancelReview();
        if (analysisBeforeSetup_)
            engineUi_->ShowAnalysis(false);
    } else {
        // A game played from the new position has its clock set afresh.
        if (clockBeforeSetup_ && clockUi_->Clock().Times().Paused())
            clockUi_->PauseClock();
        if (analysisBeforeSetup_)
            engineUi_->ShowAnalysis(true);
    }
}

void TForm1::Autor1Click()
{
    TAutor dialog(paths_.ProgramDir, language_, QCoreApplication::applicationFilePath(), this);
    dialog.exec();
}

void TForm1::FormMouseDown(QPoint position)
{
    const bool pickUp = state_.SelectedSquare == chess::NoSelection;
    turns_.FormMouseDown(position.x(), position.y(), look_.WhiteAtBottom);
    // A piece just picked up can be dragged to its target.
    if (pickUp && state_.SelectedSquare != chess::NoSelection && look_.Pieces)
        board_widget_->StartDrag(look_.Pieces->Picture(state_.MovingPiece, board_widget_->devicePixelRatioF()));
}

void TForm1::PlayMove(const chess::Move& move)
{
    // A piece picked up with the mouse or the cursor is put back first.
    if (state_.SelectedSquare != chess::NoSelection) {
        const int file = chess::SelectionFile(state_.SelectedSquare),
                  rank = chess::SelectionRank(state_.SelectedSquare);
        state_.SelectedSquare = chess::NoSelection;
        DrawSquare(file, rank);
    }
    auto press = [this](int file, int rank) {
        const int column = look_.WhiteAtBottom ? file : 7 - file, row = look_.WhiteAtBottom ? 7 - rank : rank;
        turns_.FormMouseDown(chess::FrameWidth + column * chess::SquareSize + chess::SquareSize / 2,
                             chess::FrameWidth + row * chess::SquareSize + chess::SquareSize / 2, look_.WhiteAtBottom);
    };
    typedPromotion_ = move.promotion;
    press(move.fromFile, move.fromRank);
    if (state_.SelectedSquare != chess::NoSelection)
        press(move.toFile, move.toRank);
    typedPromotion_ = chess::Empty;
}

void TForm1::Novpartie1Click()
{
    turns_.Novpartie1Click();
}

void TForm1::Announce(chess::Message message)
{
    CreateMessageDialog();
    FormHlasky_->Announce(texts_.For(message));
}

void TForm1::AnnounceText(const QString& text)
{
    CreateMessageDialog();
    FormHlasky_->Announce(text);
}

bool TForm1::AskYesNo(chess::Question question)
{
    QString text = texts_.For(question);
    if (question == chess::Question::ZrusitPozdejsiTahy)
        text = text.arg(game_.KeptMovesAMoveWouldCut());
    return AskYesNoBox(this, windowTitle(), text, LanguageName_);
}

void TForm1::RunPromotion(chess::GameState& state)
{
    if (typedPromotion_ != chess::Empty) {
        DrawSquare(state.ToFile, chess::PromotePawn(state, chess::PromotionChoiceOf(typedPromotion_)));
        return;
    }
    // A fresh dialog each time: it opens on the queen, in the current language.
    TNasadit dialog(state, *this, language_, this);
    dialog.exec();
}

void TForm1::DrawBoard()
{
    HraciPole_->DrawBoard();
    NoteBoardDrawn();
}

void TForm1::DrawSquare(int file, int rank)
{
    HraciPole_->DrawSquare(file, rank);
    NoteDrawn(file, rank);
}

bool TForm1::FormCloseQuery()
{
    bool canClose = true;
    if (state_.BoardTouched)
        canClose = AskYesNoBox(this, windowTitle(), texts_.TextOpravduKonec, LanguageName_);

    // The settings are written at every close request, also when the user
    // stays: the window's place and the options are kept either way.
    SaveSettings();
    return canClose;
}

bool TForm1::WriteSettingsFile()
{
    return chess::StoreSettings(LocalPath(paths_.SettingsFile), CurrentSettings());
}

bool TForm1::SaveSettings()
{
    if (WriteSettingsFile())
        return true;
    QMessageBox::warning(this, windowTitle(), QStringLiteral("Unable to write to %1").arg(paths_.SettingsFile));
    return false;
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void OpenFileOfArguments(TForm1& form, const QStringList& arguments)
{
    if (arguments.size() < 2 || arguments[1].isEmpty())
        return;
    const QUrl url(arguments[1]);
    const QString path = QFileInfo(url.isLocalFile() ? url.toLocalFile() : arguments[1]).absoluteFilePath();
    QTimer::singleShot(0, &form, [&form, path] { form.RecordUi().OpenFile(path); });
}
