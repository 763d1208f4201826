// The main window as the players meet it: started from a program folder with
// or without a settings file, clicked on real board coordinates, its menu
// commands chosen, its dialogs answered, and closed, after which the settings
// file is read back byte by byte.

#include "Artwork.h"
#include "BoardWidget.h"
#include "ClockController.h"
#include "ClockPanel.h"
#include "Fen.h"
#include "GameList.h"
#include "Hlasky.h"
#include "MainWindow.h"
#include "MoveList.h"
#include "QtTranslation.h"
#include "RecordController.h"
#include "RecordDialogs.h"
#include "RecordPanel.h"
#include "SetupController.h"
#include "TimeControlDialog.h"
#include "UnfinishedGame.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSignalSpy>
#include <QStringDecoder>
#include <QStyleOptionMenuItem>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <memory>

using chess::SelectionOf;

namespace {

const QList<QByteArray> KeyOrder = {
    "Left",      "Top",     "Height",         "Width",      "cesky",         "nemecky", "anglicky", "bilydole",
    "cernydole", "popisky", "Klasickkameny1", "Klubovky1",  "Umleckkameny1", "N11",     "N21",      "N31",
    "N41",       "N51",     "zapis",          "poslednitah"};

const QString Title = QStringLiteral("Bodlany šachy");
const QString Sach = QStringLiteral("        ŠACH!        ");
const QString Pat = QStringLiteral("    PAT!    ");
const QString MatCerny = QStringLiteral("MAT!   Černý vyhrál!");
const QString Nelze = QStringLiteral("Tah není možné provést.");
const QString QuitQuestion = QStringLiteral("Opravdu ukončit program?");
const QString NewGameQuestion = QStringLiteral("Opravdu chcete začít hrát novou partii?");
const QString ThirdTime = QStringLiteral("Stejná pozice nastala potřetí. Chcete remízu?");
const QString FourthTime = QStringLiteral("Stejná pozice nastala počtvrté. Chcete remízu?");
const QString FifthTime = QStringLiteral("Remíza: stejná pozice nastala popáté.");
const QString Drawn = QStringLiteral("Partie skončila remízou.");

// Plays the user in front of whatever modal dialog comes up: notes its title,
// text and size, and presses a button. Message boxes get the answers queued
// for them, in order, and then their default button (what Enter presses);
// the message dialog gets its OK; any other dialog its default button.
class Answerer : public QObject {
public:
    struct Seen {
        QString title, text;  // text: the message or the question
        QRect geometry;
        bool announcement;  // the message dialog or a message box, not another dialog
        QSize client = {};
        QRect button = {};          // the message dialog's OK
        bool escapeCloses = false;  // the message dialog's, when Escape was tried
        QString pressed = {};       // the caption of the button pressed in another dialog
        QStringList buttons = {};   // a message box's Yes and No, as shown
        QString detail = {};        // a file dialog's folder; a game list's first moves
    };
    // Called while each dialog is up, before it is answered: to look at the
    // window behind it at that moment, or to fill the dialog in.
    std::function<void(const Seen&, QWidget*)> whileShown;
    QList<Seen> seen;
    // The names typed into file dialogs, in order.
    QStringList files;
    // The row chosen in a list of games.
    int gameRow = 0;
    // How the message dialog is closed: its OK button, its title bar's close
    // box, or the Enter key.
    // Escape is tried first with the space bar.
    enum class Closing { Button, CloseBox, Enter, EscapeThenSpace } closing = Closing::Button;

    explicit Answerer(QList<QMessageBox::StandardButton> answers = {}) : answers_(std::move(answers))
    {
        connect(&timer_, &QTimer::timeout, this, &Answerer::Poll);
        timer_.start(10);
    }
    // The buttons pressed in the next message boxes, in order.
    void Answer(QList<QMessageBox::StandardButton> answers) { answers_ = std::move(answers); }
    QStringList Texts() const
    {
        QStringList texts;
        for (const Seen& s : seen)
            if (s.announcement)
                texts << s.text;
        return texts;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == answered_ && event->type() == QEvent::Hide) {
            answered_->removeEventFilter(this);
            answered_ = nullptr;
        }
        return false;
    }

private:
    // Each showing of a dialog is answered once: an answer that closes it
    // later (a queued accept) must not be followed by a second one.
    void Answering(QWidget* w)
    {
        answered_ = w;
        w->installEventFilter(this);
    }

    void Poll()
    {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible())
            return;
        if (w == answered_)
            return;
        Seen s{w->windowTitle(), {}, w->frameGeometry(), true};
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            s.text = box->text();
            for (auto which : {QMessageBox::Yes, QMessageBox::No})
                if (QAbstractButton* b = box->button(which))
                    s.buttons << b->text();
            if (whileShown)
                whileShown(s, w);
            seen << s;
            Answering(w);
            QAbstractButton* button = answers_.isEmpty() ? box->defaultButton() : box->button(answers_.takeFirst());
            if (!button)
                button = box->buttons().value(0);
            button->click();
            return;
        }
        if (auto* dialog = qobject_cast<QFileDialog*>(w)) {
            s.text = dialog->windowTitle();
            s.announcement = false;
            s.detail = dialog->directory().absolutePath();
            seen << s;
            Answering(w);
            if (files.isEmpty()) {
                dialog->reject();
                return;
            }
            // Typed as a user types it: a name chosen through the dialog's
            // own list would wait for the listing of the folder, which the
            // dialog makes in a thread of its own and may drop the choice.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(files.takeFirst());
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            return;
        }
        if (auto* list = qobject_cast<TGameList*>(w)) {
            s.text = list->windowTitle();
            s.announcement = false;
            s.detail = list->Table()->model()->index(0, 4).data().toString();
            seen << s;
            list->Table()->selectRow(gameRow);
        }
        s.announcement = qobject_cast<TFormHlasky*>(w) != nullptr;
        if (auto* label = w->findChild<QLabel*>(QStringLiteral("Label1")))
            s.text = label->text();
        s.client = w->size();
        if (auto* ok = w->findChild<QPushButton*>(QStringLiteral("Button1")))
            s.button = ok->geometry();
        if (qobject_cast<TFormHlasky*>(w) && closing == Closing::EscapeThenSpace) {
            if (!w->isActiveWindow() || !w->focusWidget())
                return;  // keys go nowhere yet
            Answering(w);
            QTest::keyClick(w->focusWidget(), Qt::Key_Escape);
            s.escapeCloses = !w->isVisible();
            seen << s;
            if (w->isVisible())
                QTest::keyClick(w->focusWidget(), Qt::Key_Space);
            return;
        }
        if (whileShown)
            whileShown(s, w);
        seen << s;
        Answering(w);
        if (qobject_cast<TFormHlasky*>(w) && closing == Closing::CloseBox) {
            w->close();
            return;
        }
        if (qobject_cast<TFormHlasky*>(w) && closing == Closing::Enter) {
            QTest::keyClick(w, Qt::Key_Return);
            return;
        }
        for (QPushButton* b : w->findChildren<QPushButton*>())
            if (b->isDefault()) {
                seen.last().pressed = b->text();
                b->click();
                return;
            }
        if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->accept();
    }

    QTimer timer_;
    QList<QMessageBox::StandardButton> answers_;
    QPointer<QWidget> answered_;
};

// A program folder of its own for each test: the real language files in
// "Language/", and the settings file beside them.

// What a square shows on the board, and the bare texture it would show empty.
QImage Shown(TForm1& form, chess::Square sq)
{
    const QRect r = THraciPole::SquareRect(sq.file, sq.rank, form.Look().WhiteAtBottom);
    const qreal dpr = form.Board()->Canvas().devicePixelRatio();
    return form.Board()->Canvas().copy(QRect(r.topLeft() * dpr, r.size() * dpr)).convertToFormat(QImage::Format_RGB32);
}
QImage Bare(TForm1& form, chess::Square sq)
{
    const QImage t = form.Look().TextureImage;
    const int side = t.height();
    return t.copy((sq.file + sq.rank) % 2 ? 0 : side, 0, side, side).convertToFormat(QImage::Format_RGB32);
}

// Empty squares show their bare texture and occupied ones do not: what the
// players see agrees with the position.
void CheckBoardShowsPosition(TForm1& form)
{
    for (int file = 0; file < 8; ++file)
        for (int rank = 0; rank < 8; ++rank) {
            const bool empty = form.State().At(file, rank) == 0;
            const bool bare = Shown(form, {file, rank}) == Bare(form, {file, rank});
            QVERIFY2(empty == bare, qPrintable(QStringLiteral("%1%2 shows %3")
                                                   .arg(QChar('a' + file))
                                                   .arg(rank + 1)
                                                   .arg(bare ? "nothing" : "a piece")));
        }
}

// The squares drawn one by one since the last whole redraw show what a whole
// redraw would: none was left out.
void CheckDrawnAsWhole(TForm1& form)
{
    const QImage drawn = form.Board()->Canvas().copy();
    form.DrawBoard();
    QVERIFY(form.Board()->Canvas() == drawn);
}

// What the rules look at in a game state, comparable at a glance.
QString RulesState(const chess::GameState& s)
{
    return QString::fromStdString(chess::WriteFen(s))
         + QStringLiteral(" check %1%2 step %3%4 %5%6")
               .arg(s.WhiteInCheck)
               .arg(s.BlackInCheck)
               .arg(s.WhiteDoubleStep)
               .arg(s.WhiteDoubleStepFile)
               .arg(s.BlackDoubleStep)
               .arg(s.BlackDoubleStepFile);
}

QStringList TickedOf(const TForm1& form, const QStringList& items)
{
    QStringList ticked;
    for (const QString& item : items)
        if (form.Item(item)->isChecked())
            ticked << item;
    return ticked;
}
const QStringList Textures = {"N11", "N21", "N31", "N41", "N51"};
const QStringList Sets = {"Klasickkameny1", "Klubovky1", "Umleckkameny1"};

QByteArray Settings(const QByteArray& keys)
{
    return SectionHeader + "\r\n" + keys;
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    // Start and end, and the settings file.
    void firstStartWithoutSettingsFile();
    void boardAtRestPaintsNoMore();
    void storedBounds_data();
    void storedBounds();
    void unreadableSettingsGiveDefaults_data();
    void unreadableSettingsGiveDefaults();
    void handEditedFileKeepsItsOtherLines_data();
    void handEditedFileKeepsItsOtherLines();
    void settingsFileIsReplacedWhole();
    void unwritableSettingsWarnAndStillClose_data();
    void unwritableSettingsWarnAndStillClose();
    void answeringNoKeepsTheWindowOpen();
    void newGameQuestionAndQuitQuestion();

    // Playing.
    void wholeGames_data();
    void wholeGames();
    void anyButtonMovesPieces();
    void doubleClickPicksUpAndPutsBack();
    void pressOnTheFrameOnlyTouches();
    void blackAtBottomMapsPresses();
    void dragAndDrop_data();
    void dragAndDrop();
    void keyboardPlaysLikeTheMouse();

    // The game record.
    void takeBackAndReplay();
    void takeBackAfterMateResumesPlay();
    void savedGameOpensInAFreshWindow();
    void badInputKeepsTheGame_data();
    void badInputKeepsTheGame();
    void pasteAPosition();
    void fileOfSeveralGames_data();
    void fileOfSeveralGames();
    void unfinishedGameIsOfferedAtTheNextStart();
    void unfinishedGamesOfSeveralRunsAndCopies();
    void newGameAfterAPastedPosition();
    void moveListBesideTheBoard();
    void lastMoveTinted();
    void steppingThroughTheRecord();
    void claimingADrawLater();
    void viewsShowTheMateBeforeItsMessage();
    void annotationsAndAGivenResult();
    void autosaveProblemUnderTheMoveList();
    void moveListKeepsTheWindowOnScreen();
    void fileGivenOnTheCommandLine_data();
    void fileGivenOnTheCommandLine();
    void clockThreeMinutesTwoSeconds();
    void clockResumesAfterACrash();

    // Appearance.
    void pieceSetBringsItsTexture_data();
    void pieceSetBringsItsTexture();
    void setAndTextureSurviveARestart();
    void textureKeepsPickUpOrientationDropsIt();
    void labelsToggleBack();
    void fileWithoutChoicesStillShowsABoard_data();
    void fileWithoutChoicesStillShowsABoard();

    // Languages and the message dialog.
    void switchingLanguage_data();
    void switchingLanguage();
    void missingLanguageFileLeavesOnlyCzech();
    void helpMenuStaysAtTheRightEnd();
    void languageItemsAreRadioItems();
    void fileAttacks_data();
    void fileAttacks();
    void qtTextsFollowTheLanguage();
    void messageDialogFollowsTitleAndWidens();
    void messageDialogSize_data();
    void messageDialogSize();
};

void TestMainWindow::initTestCase()
{
    InitArtwork();
    // A window closed by a test must not end the application.
    QApplication::setQuitOnLastWindowClosed(false);
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QVERIFY(QFile::exists(QStringLiteral(LANGUAGE_DIR "/english")));
}

// The documented first start, and a close that asks nothing because nobody
// has touched the board, writing all eighteen keys in their order.
void TestMainWindow::firstStartWithoutSettingsFile()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    QCOMPARE(form->pos(), QPoint(147, 59));
    QCOMPARE(form->width(), 612);
    QCOMPARE(form->Board()->geometry(), QRect(0, form->menuWidget()->height(), 612, 612));
    QCOMPARE(form->windowTitle(), Title);
    QCOMPARE(form->Item("Soubor1")->text(), QStringLiteral("Hra"));
    QCOMPARE(form->Item("N11")->text(), QStringLiteral("Šachovnice 1"));
    QCOMPARE(form->LanguageName(), QStringLiteral("czech"));
    QCOMPARE(form->Look().Pieces, &PieceSetFor(PieceSetId::Klasicke));
    QCOMPARE(form->Look().BoardTexture, 1);
    QVERIFY(form->Look().ShowLabels);
    QVERIFY(form->Look().WhiteAtBottom);
    QCOMPARE(TickedOf(*form, {"esky1", "nmecky1", "anglicky1", "bldole1", "erndole1", "Popisky1"}),
             QStringList({"esky1", "bldole1", "Popisky1"}));
    QCOMPARE(TickedOf(*form, Sets + Textures), QStringList({"Klasickkameny1", "N11"}));
    CheckBoardShowsPosition(*form);
    // The Czech file repeats the record's built-in texts.
    auto all = [](const RecordTexts& t) {
        return QStringList{t.OtevritPartii, t.UlozitPartii, t.VyberPartie, t.Cislo,           t.Bily,
                           t.Cerny,         t.Vysledek,     t.Tahy,        t.Storno,          t.NelzeCist,
                           t.ZadnaPartie,   t.ChybnaPartie, t.NelzeUlozit, t.PrazdnaSchranka, t.ChybnaPozice};
    };
    QCOMPARE(all(form->RecordUi().Texts()), all(RecordTexts()));

    QVERIFY(form->close());
    QVERIFY(answers.seen.isEmpty());
    const QList<QByteArray> lines = folder.SettingsLines();
    QCOMPARE(lines.value(0), SectionHeader);
    QList<QByteArray> keys;
    for (const QByteArray& line : lines.mid(1))
        keys << line.left(line.indexOf('='));
    QCOMPARE(keys, KeyOrder);
    QCOMPARE(lines.mid(1, 4), QList<QByteArray>({"Left=147", "Top=59", "Height=659", "Width=622"}));
    QCOMPARE(lines.mid(5).join(' '), QByteArray("cesky=1 nemecky=0 anglicky=0 bilydole=1 cernydole=0 popisky=1 "
                                                "Klasickkameny1=1 Klubovky1=0 Umleckkameny1=0 "
                                                "N11=1 N21=0 N31=0 N41=0 N51=0 zapis=0 poslednitah=0"));
}

// Painting the whole board must not ask for yet another paint: a board at
// rest, or after a move, stops painting and leaves the processor idle.
void TestMainWindow::boardAtRestPaintsNoMore()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    QTest::qWait(100);
    const int settled = form->Board()->PaintCount();
    QVERIFY(settled >= 1);
    QTest::qWait(200);
    QCOMPARE(form->Board()->PaintCount(), settled);

    const chess::Square e2 = ParseSquare("e2");
    QTest::mouseClick(form->Board(), Qt::LeftButton, {}, QPoint(68 + 68 * e2.file, 68 + 68 * (7 - e2.rank)));
    QTest::qWait(100);
    const int afterPickUp = form->Board()->PaintCount();
    QVERIFY(afterPickUp - settled <= 2);
    QTest::qWait(200);
    QCOMPARE(form->Board()->PaintCount(), afterPickUp);
}

void TestMainWindow::storedBounds_data()
{
    QTest::addColumn<QByteArray>("keys");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QSize>("boardArea");  // client width, height below the menu bar
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("left in hex") << QByteArray("Left=0x20\r\n") << QPoint(32, 59) << QSize(612, 612)
                                 << QByteArray("Left=32 Top=59 Height=659 Width=622");
    QTest::newRow("$ and 0X prefixes, any case")
        << QByteArray("left=$20\r\nTOP=0X40\r\n") << QPoint(32, 64) << QSize(612, 612)
        << QByteArray("Left=32 Top=64 Height=659 Width=622");
    QTest::newRow("no number") << QByteArray("Left=links\r\nTop=\r\nWidth=1e3\r\n") << QPoint(147, 59)
                               << QSize(612, 612) << QByteArray("Left=147 Top=59 Height=659 Width=622");
    QTest::newRow("larger window") << QByteArray("Width=722\r\nHeight=759\r\n") << QPoint(147, 59) << QSize(712, 712)
                                   << QByteArray("Left=147 Top=59 Height=759 Width=722");
    QTest::newRow("too small for the board") << QByteArray("Width=100\r\nHeight=-5\r\n") << QPoint(147, 59)
                                             << QSize(612, 612) << QByteArray("Left=147 Top=59 Height=659 Width=622");
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QByteArray partly = QByteArray::number(screen.right() - 100);
    QTest::newRow("partly off the screen")
        << "Left=" + partly + "\r\n"
        << QPoint(screen.right() - 100, 59) << QSize(612, 612) << "Left=" + partly + " Top=59 Height=659 Width=622";
    QTest::newRow("off every screen") << QByteArray("Left=-5000\r\nTop=-4000\r\nWidth=700\r\n") << QPoint(147, 59)
                                      << QSize(612, 612) << QByteArray("Left=147 Top=59 Height=659 Width=622");
    // Extremes of a hand-edited file: no edge may overflow, and no window
    // may outgrow the work area of every screen.
    const QByteArray defaults("Left=147 Top=59 Height=659 Width=622");
    QTest::newRow("lowest Left") << QByteArray("Left=-2147483648\r\n") << QPoint(147, 59) << QSize(612, 612)
                                 << defaults;
    QTest::newRow("highest Left") << QByteArray("Left=2147483000\r\n") << QPoint(147, 59) << QSize(612, 612)
                                  << defaults;
    QTest::newRow("Width 0xFFFFFFFF") << QByteArray("Width=0xFFFFFFFF\r\n") << QPoint(147, 59) << QSize(612, 612)
                                      << defaults;
    QTest::newRow("highest Top, lowest Height")
        << QByteArray("Top=$7FFFFFFF\r\nHeight=-2147483648\r\n") << QPoint(147, 59) << QSize(612, 612) << defaults;
    QTest::newRow("70000 x 40000") << QByteArray("Width=70000\r\nHeight=40000\r\n") << QPoint(147, 59)
                                   << QSize(612, 612) << defaults;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QByteArray areaWidth = QByteArray::number(area.width()), areaHeight = QByteArray::number(area.height());
    QTest::newRow("as large as the work area")
        << "Left=" + QByteArray::number(area.x()) + "\r\nTop=" + QByteArray::number(area.y()) + "\r\nWidth=" + areaWidth
               + "\r\nHeight=" + areaHeight + "\r\n"
        << area.topLeft() << QSize(area.width() - 10, area.height() - 47)
        << "Left=" + QByteArray::number(area.x()) + " Top=" + QByteArray::number(area.y()) + " Height=" + areaHeight
               + " Width=" + areaWidth;
    QTest::newRow("a pixel wider than the work area") << "Width=" + QByteArray::number(area.width() + 1) + "\r\n"
                                                      << QPoint(147, 59) << QSize(612, 612) << defaults;
}

// Width and Height are outer sizes: 10 pixels of frame across, 47 of
// caption, menu and frame down, the same on reading and on writing.
void TestMainWindow::storedBounds()
{
    QFETCH(QByteArray, keys);
    QFETCH(QPoint, position);
    QFETCH(QSize, boardArea);
    QFETCH(QByteArray, written);
    ProgramFolder folder;
    folder.WriteSettings(Settings(keys));
    Answerer answers;
    auto form = folder.Start();
    QCOMPARE(form->pos(), position);
    QCOMPARE(form->width(), boardArea.width());
    QCOMPARE(form->height() - form->menuWidget()->height(), boardArea.height());
    QVERIFY(form->close());
    QCOMPARE(folder.Bounds(), written);
}

void TestMainWindow::unreadableSettingsGiveDefaults_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("allKept");  // false where the program's own value was the garbage
    QByteArray garbage(64 * 1024, '\0');
    QRandomGenerator random(1234);
    for (char& c : garbage)
        c = char(random.bounded(256));
    QTest::newRow("binary garbage") << garbage << true;
    QTest::newRow("garbage before the section") << garbage + "\r\n" + Settings("N51=1\r\n") << true;
    // Large, but not too large to be a settings file.
    const int large = 3 << 20;
    QByteArray huge;
    huge.reserve(large);
    while (huge.size() < large)
        huge += "[Nastaveni" + QByteArray::number(huge.size()) + "]\r\nLeft=1\r\n; " + QByteArray(200, 'x') + "\r\n";
    QTest::newRow("3 MB of other sections") << huge << true;
    QTest::newRow("one value of 3 MB") << SectionHeader + "\r\nLeft=" + QByteArray(large, '7') << false;
    QTest::newRow("empty") << QByteArray() << true;
}

// A settings file that makes no sense starts the program with the defaults,
// and the next close writes the settings without losing the file's content.
void TestMainWindow::unreadableSettingsGiveDefaults()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, allKept);
    ProgramFolder folder;
    folder.WriteSettings(bytes);
    Answerer answers;
    auto form = folder.Start();
    const bool textureFive = bytes.endsWith("N51=1\r\n");
    QCOMPARE(form->pos(), QPoint(147, 59));
    QCOMPARE(form->width(), 612);
    QCOMPARE(form->Look().BoardTexture, textureFive ? 5 : 1);
    QVERIFY(form->Look().WhiteAtBottom);
    QVERIFY(form->close());
    QVERIFY(answers.seen.isEmpty());
    QCOMPARE(folder.Value("Left"), QByteArray("147"));
    QCOMPARE(folder.Value("N51"), QByteArray(textureFive ? "1" : "0"));
    const QByteArray after = folder.SettingsBytes();
    if (allKept)
        QVERIFY2(after.size() >= bytes.size(), "the file lost content");
    if (bytes.startsWith("[Nastaveni0]"))
        QVERIFY(after.startsWith(bytes.left(4096)));
}

void TestMainWindow::handEditedFileKeepsItsOtherLines_data()
{
    QTest::addColumn<QByteArray>("section");  // the header as the user's editor wrote it
    QTest::addColumn<QByteArray>("eol");
    QTest::newRow("code page 1250, CR LF") << SectionHeader << QByteArray("\r\n");
    QTest::newRow("UTF-8, LF") << QByteArray("[Nastavení]") << QByteArray("\n");
    QTest::newRow("capitals") << QByteArray("[NASTAVEN\xCD]") << QByteArray("\r\n");
}

// Sections, comments and keys the program does not know stay as the user
// wrote them; only the program's own values change, in the program's section.
void TestMainWindow::handEditedFileKeepsItsOtherLines()
{
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, eol);
    const QList<QByteArray> othersBefore = {"; my board settings", "[Okno]", "Barva=modrá", ""};
    const QList<QByteArray> mine = {"; white below, as always", "Oblibena=ano", "N21=1", "N11=0"};
    const QList<QByteArray> othersAfter = {"[Jine]", "Left=9"};
    ProgramFolder folder;
    folder.WriteSettings(othersBefore.join(eol) + eol + section + eol + mine.join(eol) + eol + othersAfter.join(eol)
                         + eol);
    Answerer answers;
    auto form = folder.Start();
    QCOMPARE(form->Look().BoardTexture, 2);
    form->Item("N31")->trigger();
    QVERIFY(form->close());

    const QByteArray after = folder.SettingsBytes();
    const QByteArray kept[] = {othersBefore.join(eol), mine.mid(0, 2).join(eol), othersAfter.join(eol) + eol};
    for (const QByteArray& lines : kept)
        QVERIFY2(after.contains(lines), lines.constData());
    QVERIFY2(after.contains(section + eol), "the section header changed");
    QCOMPARE(after.count("[N"), 1);
    QCOMPARE(after.count("Left="), 2);
    QVERIFY(after.indexOf("Left=147") < after.indexOf("[Jine]"));
    QCOMPARE(after.count("\r\n"), eol == "\r\n" ? after.count("\n") : 0);
    const QByteArray sectionText = after.mid(after.indexOf(section), after.indexOf("[Jine]") - after.indexOf(section));
    for (const QByteArray& entry :
         {QByteArray("N21=0"), QByteArray("N31=1"), QByteArray("N11=0"), QByteArray("Width=622")})
        QVERIFY2(sectionText.contains(entry), entry.constData());
}

// The new settings go into a fresh file that replaces the old one whole, so
// a failed write cannot leave half a file; nothing else is left behind, and
// a settings file that is a link to another file stays a link.
void TestMainWindow::settingsFileIsReplacedWhole()
{
    ProgramFolder folder;
    folder.WriteSettings(Settings("N41=1\r\nN11=0\r\n"));
    struct stat before {};
    QCOMPARE(stat(QFile::encodeName(folder.paths.SettingsFile).constData(), &before), 0);
    Answerer answers;
    auto form = folder.Start();
    QVERIFY(form->close());
    struct stat after {};
    QCOMPARE(stat(QFile::encodeName(folder.paths.SettingsFile).constData(), &after), 0);
    QVERIFY2(before.st_ino != after.st_ino, "the settings file was rewritten in place");
    QCOMPARE(QDir(folder.dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList({"bodlany-sachy.ini"}));
    QCOMPARE(folder.Value("N41"), QByteArray("1"));

    const QString target = folder.paths.ProgramDir + QStringLiteral("kept-elsewhere.ini");
    QVERIFY(QFile::rename(folder.paths.SettingsFile, target));
    QVERIFY(QFile::link(target, folder.paths.SettingsFile));
    form->show();
    form->Item("N21")->trigger();
    QVERIFY(form->close());
    QVERIFY(QFileInfo(folder.paths.SettingsFile).isSymLink());
    QCOMPARE(folder.Value("N21"), QByteArray("1"));
}

void TestMainWindow::unwritableSettingsWarnAndStillClose_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("touched");
    QTest::newRow("a folder of that name") << "settings.ini" << false;
    QTest::newRow("in a missing folder, after a move") << "missing/settings.ini" << true;
}

// A settings file that cannot be written is reported with its path, and the
// window closes all the same when nobody is asked or the user said yes.
void TestMainWindow::unwritableSettingsWarnAndStillClose()
{
    QFETCH(QString, where);
    QFETCH(bool, touched);
    ProgramFolder folder;
    folder.paths.SettingsFile = folder.paths.ProgramDir + where;
    if (!where.contains('/'))
        QDir(folder.dir.path()).mkdir(where);
    Answerer answers({QMessageBox::Yes});
    auto form = folder.Start();
    if (touched)
        Play(*form, "e2e4");
    QVERIFY(form->close());
    QVERIFY(!form->isVisible());
    QStringList expected;
    if (touched)
        expected << QuitQuestion;
    expected << QStringLiteral("Unable to write to %1").arg(folder.paths.SettingsFile);
    QCOMPARE(answers.Texts(), expected);
    QCOMPARE(answers.seen.last().title, Title);
}

// "No" keeps the game going, but the settings have been written already.
void TestMainWindow::answeringNoKeepsTheWindowOpen()
{
    ProgramFolder folder;
    Answerer answers({QMessageBox::No, QMessageBox::Yes});
    auto form = folder.Start();
    Play(*form, "e2e4");
    form->Item("N51")->trigger();
    QVERIFY(!form->close());
    QVERIFY(form->isVisible());
    QCOMPARE(answers.Texts(), QStringList({QuitQuestion}));
    QCOMPARE(answers.seen[0].title, Title);
    QCOMPARE(folder.Value("N51"), QByteArray("1"));
    QCOMPARE(form->State().At(4, 3), chess::Pawn);  // the game goes on
    QVERIFY(form->close());
    QCOMPARE(answers.seen.size(), 2);
}

// A new game asks only once the board has been touched, and after it quitting
// asks nothing until the next press on the board.
void TestMainWindow::newGameQuestionAndQuitQuestion()
{
    ProgramFolder folder;
    Answerer answers({QMessageBox::No, QMessageBox::Yes, QMessageBox::No});
    auto form = folder.Start();
    form->Item("Novpartie1")->trigger();  // right after the start
    QVERIFY(answers.seen.isEmpty());

    Play(*form, "e2e4 e7e5");
    form->Item("Novpartie1")->trigger();  // No: the game stays
    QCOMPARE(form->State().At(4, 3), chess::Pawn);
    QVERIFY(form->State().BoardTouched);
    // Yes, asked by the shortcut Ctrl+N as a player would press it.
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(answers.Texts(), QStringList({NewGameQuestion, NewGameQuestion}));
    QCOMPARE(answers.seen[1].title, Title);
    QCOMPARE(form->State().At(4, 3), 0);
    QCOMPARE(form->State().At(4, 1), chess::Pawn);
    QVERIFY(form->State().WhiteToMove);
    CheckBoardShowsPosition(*form);

    form->Item("Novpartie1")->trigger();  // right after another new game
    QVERIFY(form->close());               // nothing touched since
    QCOMPARE(answers.seen.size(), 2);

    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    Press(*form, QPoint(5, 5));  // any press counts, also on the frame
    QVERIFY(!form->close());     // answered No
    QCOMPARE(answers.Texts().last(), QuitQuestion);
}

void TestMainWindow::wholeGames_data()
{
    QTest::addColumn<QString>("moves");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("position");  // square=code after the game

    QTest::newRow("fool's mate") << "f2f3 e7e5 g2g4 d8h4" << QStringList({Sach, MatCerny}) << "h4=-5 d8=0";
    QTest::newRow("stalemate in ten")
        << "e2e3 a7a5 d1h5 a8a6 h5a5 h7h5 h2h4 a6h6 a5c7 f7f6 c7d7 e8f7 d7b7 d8d3 b7b8 d3h7 b8c8 f7g6 c8e6"
        << QStringList({Sach, Pat}) << "e6=5 g6=-6 h7=-5";
    QTest::newRow("refused move") << "e2e5" << QStringList({Nelze}) << "e2=1 e5=0";
    QTest::newRow("own piece is no target") << "g1e2" << QStringList({Nelze}) << "g1=3 e2=1";
    QTest::newRow("put back") << "e2e2 e2e4" << QStringList() << "e2=0 e4=1";
    QTest::newRow("white castles short") << "e2e4 e7e5 g1f3 b8c6 f1c4 f8c5 e1g1" << QStringList()
                                         << "h1=0 f1=2 g1=6 e1=0";
    QTest::newRow("black castles long") << "a2a3 d7d6 a3a4 c8e6 a4a5 b8c6 b2b3 d8d7 b3b4 e8c8" << QStringList()
                                        << "a8=0 d8=-2 c8=-6 e8=0";
    QTest::newRow("en passant") << "e2e4 a7a6 e4e5 d7d5 e5d6" << QStringList() << "d5=0 d6=1 e5=0";
    QTest::newRow("white pawn promotes") << "a2a4 b7b5 a4b5 a7a6 b5a6 c8b7 a6b7 b8c6 b7a8" << QStringList()
                                         << "a8=5 b7=0";
    // Each of four positions offered as a draw on its third time and again
    // on its fourth (the player declines), the fifth time ends the game, and
    // no move is taken.
    QTest::newRow("fivefold repetition") << QStringLiteral("g1f3 g8f6 f3g1 f6g8 ").repeated(4) + "e2e4"
                                         << QStringList({ThirdTime, ThirdTime, ThirdTime, ThirdTime, FourthTime,
                                                         FourthTime, FourthTime, FourthTime, FifthTime, Drawn})
                                         << "e2=1 e4=0 g1=3 g8=-3";
}

// Games played with the mouse: the announcements in order, each in the
// message dialog under the main window's title, the position after the last
// press, and a board that shows that position.
void TestMainWindow::wholeGames()
{
    QFETCH(QString, moves);
    QFETCH(QStringList, messages);
    QFETCH(QString, position);
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    Play(*form, moves);
    QCOMPARE(answers.Texts(), messages);
    for (const Answerer::Seen& s : answers.seen)
        QCOMPARE(s.title, form->windowTitle());
    for (const QString& entry : position.split(' ')) {
        const chess::Square sq = ParseSquare(entry.toLatin1().constData());
        QCOMPARE(form->State().At(sq.file, sq.rank), entry.mid(3).toInt());
    }
    QCOMPARE(form->State().SelectedSquare, chess::NoSelection);
    CheckBoardShowsPosition(*form);
}

// The right button, or the middle one, does what the left one does.
void TestMainWindow::anyButtonMovesPieces()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    Play(*form, "e2e4", Qt::RightButton);
    Play(*form, "e7e5", Qt::MiddleButton);
    QCOMPARE(form->State().At(4, 3), chess::Pawn);
    QCOMPARE(form->State().At(4, 4), -chess::Pawn);
    QVERIFY(form->State().WhiteToMove);
    QVERIFY(answers.seen.isEmpty());
}

// The two presses of a double-click are a pick-up and a put-back: no
// message, no move, nothing left picked up.
void TestMainWindow::doubleClickPicksUpAndPutsBack()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    // As the window system delivers it: press, release, double-click, release.
    const QPoint e2 = CentreOf(*form, {4, 1});
    QTest::mouseClick(form->Board(), Qt::LeftButton, Qt::NoModifier, e2);
    QTest::mouseDClick(form->Board(), Qt::LeftButton, Qt::NoModifier, e2);
    QTest::mouseRelease(form->Board(), Qt::LeftButton, Qt::NoModifier, e2);
    QCOMPARE(form->State().SelectedSquare, chess::NoSelection);
    QVERIFY(form->State().WhiteToMove);
    QVERIFY(answers.seen.isEmpty());
    QCOMPARE(form->State().At(4, 1), chess::Pawn);
}

// The first pixel of the frame is outside the board: a press there touches
// the board (so quitting will ask) but neither picks up nor drops a piece.
void TestMainWindow::pressOnTheFrameOnlyTouches()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    Press(*form, QPoint(578, 300));
    QVERIFY(form->State().BoardTouched);
    QCOMPARE(form->State().SelectedSquare, chess::NoSelection);
    Press(*form, "e2");
    for (const QPoint frame : {QPoint(300, 578), QPoint(33, 300), QPoint(300, 33), QPoint(611, 611)})
        Press(*form, frame);
    QCOMPARE(form->State().SelectedSquare, SelectionOf(4, 1));
    QVERIFY(answers.seen.isEmpty());
    // The last pixel of the board is h1's: white's own rook, no target.
    Press(*form, QPoint(577, 577));
    QCOMPARE(answers.Texts(), QStringList({Nelze}));
    QCOMPARE(form->State().SelectedSquare, chess::NoSelection);
}

// With black at the bottom the top-left square is h1, and moves follow.
void TestMainWindow::blackAtBottomMapsPresses()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    form->Item("erndole1")->trigger();
    QVERIFY(!form->Look().WhiteAtBottom);
    Press(*form, QPoint(68, 68));
    QCOMPARE(form->State().SelectedSquare, SelectionOf(7, 0));
    Press(*form, QPoint(68, 68));                              // put back
    Press(*form, QPoint(34 + 68 + 34, 34 + 34));               // g1
    Press(*form, QPoint(34 + 2 * 68 + 34, 34 + 2 * 68 + 34));  // f3
    QCOMPARE(form->State().At(5, 2), chess::Knight);
    QVERIFY(answers.seen.isEmpty());
    CheckBoardShowsPosition(*form);
    // The screen square under the knight is f3 under this orientation.
    QVERIFY(form->Board()->Canvas().copy(34 + 2 * 68, 34 + 2 * 68, 68, 68).convertToFormat(QImage::Format_RGB32)
            != Bare(*form, {5, 2}));
}

void TestMainWindow::dragAndDrop_data()
{
    QTest::addColumn<QString>("to");  // where the button is released
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("selected");  // what stays picked up afterwards
    QTest::addColumn<QString>("position");
    QTest::newRow("to a square the rules allow") << "e4" << QStringList() << int(chess::NoSelection) << "e2=0 e4=1";
    QTest::newRow("back on its own square") << "e2" << QStringList() << int(SelectionOf(4, 1)) << "e2=1 e4=0";
    QTest::newRow("to a square the rules refuse")
        << "e5" << QStringList({Nelze}) << int(chess::NoSelection) << "e2=1 e5=0";
}

// Dragging with the button held is a pick-up and a put-down; the piece rides
// on the pointer meanwhile, and a release where it was pressed is a click.
void TestMainWindow::dragAndDrop()
{
    QFETCH(QString, to);
    QFETCH(QStringList, messages);
    QFETCH(int, selected);
    QFETCH(QString, position);
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    BoardWidget* board = form->Board();
    const QPoint from = CentreOf(*form, {4, 1});
    const QPoint target = CentreOf(*form, ParseSquare(to.toLatin1().constData()));
    QTest::mousePress(board, Qt::LeftButton, Qt::NoModifier, from);
    const QPoint halfway = (from + target) / 2 + QPoint(20, 0);
    QMouseEvent move(QEvent::MouseMove, halfway, board->mapToGlobal(halfway), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(board, &move);
    QVERIFY(board->Dragging());
    QTest::qWait(20);
    // The pawn is drawn where the pointer is, off any square's centre.
    QVERIFY(board->grab().toImage().copy(halfway.x() - 10, halfway.y() - 10, 20, 20)
            != board->Canvas().copy(halfway.x() - 10, halfway.y() - 10, 20, 20));
    QTest::mouseRelease(board, Qt::LeftButton, Qt::NoModifier, target + QPoint(10, 10));
    QVERIFY(!board->Dragging());
    QCOMPARE(answers.Texts(), messages);
    QCOMPARE(form->State().SelectedSquare, selected);
    for (const QString& entry : position.split(' ')) {
        const chess::Square sq = ParseSquare(entry.toLatin1().constData());
        QCOMPARE(form->State().At(sq.file, sq.rank), entry.mid(3).toInt());
    }
}

// Arrows move a frame over the squares as they lie on screen; Space and
// Enter press the framed square.
void TestMainWindow::keyboardPlaysLikeTheMouse()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    BoardWidget* board = form->Board();
    board->setFocus();
    QTest::keyClick(board, Qt::Key_Space);  // no cursor yet: nothing happens
    QCOMPARE(form->State().SelectedSquare, chess::NoSelection);
    QVERIFY(!board->CursorShown());
    QTest::keyClick(board, Qt::Key_Up);  // the first arrow shows the cursor where it is
    QVERIFY(board->CursorShown());
    QCOMPARE(board->CursorCell(), QPoint(4, 6));
    QTest::keyClick(board, Qt::Key_Space);
    QCOMPARE(form->State().SelectedSquare, SelectionOf(4, 1));
    QTest::keyClick(board, Qt::Key_Up);
    QTest::keyClick(board, Qt::Key_Up);
    QTest::keyClick(board, Qt::Key_Return);
    QCOMPARE(form->State().At(4, 3), chess::Pawn);
    QVERIFY(!form->State().WhiteToMove);
    // The frame shows on screen, not in the board picture.
    QTest::qWait(20);
    const QImage shown = board->grab().toImage();
    const QPoint corner(34 + 68 * 4, 34 + 68 * 4);
    QCOMPARE(shown.pixelColor(corner + QPoint(2, 30)), QColor(Qt::white));
    QVERIFY(board->Canvas().pixelColor(corner + QPoint(2, 30)) != QColor(Qt::white));
    // With black at the bottom the same screen place is another square.
    form->Item("erndole1")->trigger();
    QTest::keyClick(board, Qt::Key_Down);
    QTest::keyClick(board, Qt::Key_Down);
    QTest::keyClick(board, Qt::Key_Enter);  // d7, black's pawn, seen from black
    QCOMPARE(form->State().SelectedSquare, SelectionOf(3, 6));
    QVERIFY(answers.seen.isEmpty());
}

// Across a castling and a promotion with capture, every take-back restores
// the state the rules saw before the move, and replaying restores the rest.
void TestMainWindow::takeBackAndReplay()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    QAction* takeBack = form->Item("Vrtittah1");
    QAction* replay = form->Item("Znovu1");
    QVERIFY(!takeBack->isEnabled());
    QVERIFY(!replay->isEnabled());
    const QStringList moves = QStringLiteral("e2e4 e7e5 g1f3 b8c6 f1c4 f8c5 e1g1 g8f6 a2a4 b7b5 a4b5 a7a6 b5a6 c8b7 "
                                             "a6b7 d7d6 b7a8")
                                  .split(' ');
    QStringList states = {RulesState(form->State())};
    for (const QString& move : moves) {
        Play(*form, move);
        states << RulesState(form->State());
    }
    QCOMPARE(form->State().At(0, 7), chess::Queen);
    QCOMPARE(answers.Texts(), QStringList());
    // The promotion dialog has had the focus; the shortcuts need it back.
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    for (int i = moves.size() - 1; i >= 0; --i) {
        QVERIFY(takeBack->isEnabled());
        QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(RulesState(form->State()), states[i]);
        CheckDrawnAsWhole(*form);
    }
    QVERIFY(!takeBack->isEnabled());
    CheckBoardShowsPosition(*form);
    QVERIFY(form->State().BoardTouched);
    for (int i = 1; i <= moves.size(); ++i) {
        QTest::keyClick(form.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(RulesState(form->State()), states[i]);
        CheckDrawnAsWhole(*form);
    }
    QVERIFY(!replay->isEnabled());
    CheckBoardShowsPosition(*form);

    // A move in the middle of a pick-up is dropped by the take-back, and a
    // new move cuts the replay off.
    Press(*form, "e4");
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // nothing to replay
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(form->State().SelectedSquare, chess::NoSelection);
    QCOMPARE(RulesState(form->State()), states[moves.size() - 1]);
    CheckDrawnAsWhole(*form);  // the mark of the piece picked up is gone too
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(RulesState(form->State()), states[moves.size() - 1]);
    Play(*form, "b7b8");
    QVERIFY(!replay->isEnabled());
    QCOMPARE(form->State().At(1, 7), chess::Queen);
    QCOMPARE(answers.Texts(), QStringList());
}

void TestMainWindow::takeBackAfterMateResumesPlay()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    Play(*form, "f2f3 e7e5 g2g4 d8h4");
    QCOMPARE(answers.Texts(), QStringList({Sach, MatCerny}));
    form->Item("Vrtittah1")->trigger();
    form->Item("Vrtittah1")->trigger();
    Play(*form, "g2g3 d8h4");
    QCOMPARE(answers.Texts().size(), 2);
    QCOMPARE(form->State().At(7, 3), -chess::Queen);
    QVERIFY(form->State().WhiteToMove);
}

// A game saved from the menu and opened in another window is the same game,
// ready to be taken back and played on.
void TestMainWindow::savedGameOpensInAFreshWindow()
{
    ProgramFolder folder;
    Answerer answers({QMessageBox::Ok, QMessageBox::Yes});
    auto form = folder.Start();
    Play(*form, "e2e4 c7c5 g1f3 d7d6 d2d4 c5d4 f3d4 g8f6 b1c3 a7a6 c1e3 e7e5 d4b3 c8e6 f2f3 f8e7 d1d2 e8g8 e1c1");
    const QString path = folder.dir.filePath(QStringLiteral("najdorf"));  // the program adds ".pgn"
    answers.files << path;
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(QFile::exists(path + QStringLiteral(".pgn")));
    QVERIFY(answers.seen.last().text == QStringLiteral("Uložit partii"));
    QCOMPARE(answers.seen.last().detail, QDir::homePath());  // never the program's folder
    // The next one opens where the last save went.
    form->Item("Uloitpartii1")->trigger();
    QCOMPARE(answers.seen.last().detail, folder.dir.path());
    // Moves taken back are still the game's: saved and copied with the rest.
    form->Item("Vrtittah1")->trigger();
    form->Item("Vrtittah1")->trigger();
    const QString shorter = folder.dir.filePath(QStringLiteral("taken-back.pgn"));
    QVERIFY(form->RecordUi().SaveFile(shorter));
    form->Item("KoprovatpartiiPGN1")->trigger();
    QFile saved(shorter);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    for (const QByteArray& text : {saved.readAll(), QGuiApplication::clipboard()->text().toUtf8()}) {
        const std::vector<chess::PgnGame> games = chess::ParsePgn(text.toStdString());
        QCOMPARE(games.size(), std::size_t(1));
        QCOMPARE(games[0].moves.size(), std::size_t(19));
    }
    form->Item("Znovu1")->trigger();
    form->Item("Znovu1")->trigger();
    // A folder that is not there: reported with the path, nothing left behind.
    const QString nowhere = folder.dir.filePath(QStringLiteral("gone/x.pgn"));
    QVERIFY(!form->RecordUi().SaveFile(nowhere));
    QVERIFY(answers.Texts().last().startsWith(QStringLiteral("Partii nelze uložit do souboru %1.").arg(nowhere)));
    answers.seen.clear();
    const QString before = RulesState(form->State());
    QVERIFY(form->close());
    form.reset();

    form = folder.Start();
    answers.files << path + QStringLiteral(".pgn");
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(RulesState(form->State()), before);
    QCOMPARE(form->Record().Size(), std::size_t(19));
    CheckBoardShowsPosition(*form);
    QVERIFY(form->State().BoardTouched);
    form->Item("Vrtittah1")->trigger();  // takes back the long castling
    QCOMPARE(form->State().At(4, 0), chess::King);
    QCOMPARE(form->State().At(0, 0), chess::Rook);
    QVERIFY(form->State().WhiteMayCastleLong);
    Play(*form, "f1e2");  // and plays on
    QCOMPARE(form->State().At(4, 1), chess::Bishop);
    QCOMPARE(form->Record().Size(), std::size_t(19));
    QCOMPARE(answers.Texts(), QStringList({QuitQuestion}));
}

void TestMainWindow::badInputKeepsTheGame_data()
{
    QTest::addColumn<QByteArray>("file");    // empty: no such file
    QTest::addColumn<QString>("clipboard");  // used when there is no file
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("detail");
    QTest::newRow("a bad move in the middle")
        << QByteArray("[White \"A\"]\n\n1. e4 e5 2. Nf3 Ke6 3. Bc4 *\n") << QString()
        << "Partii nelze otevřít; na šachovnici zůstává dosavadní hra."
        << "hra 1, tah 2 \"Ke6\": pravidla ho nepřipouštějí";
    QTest::newRow("no move at all") << QByteArray("[White \"A\"]\n\n1. e4 e5 2. Nf9 *\n") << QString()
                                    << "Partii nelze otevřít"
                                    << "hra 1, tah 2 \"Nf9\": to není zápis tahu";
    QTest::newRow("no such file") << QByteArray() << QString() << "nelze přečíst"
                                  << "";
    QTest::newRow("a FIFO of that name") << QByteArray("FIFO") << QString() << "nelze přečíst"
                                         << "not a regular file";
    QTest::newRow("no game in the file") << QByteArray("; only a comment\n") << QString() << "není žádná partie"
                                         << "";
    QTest::newRow("a position that cannot be")
        << QByteArray() << "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN1 w KQkq - 0 1"
        << "Pozici nelze vložit; na šachovnici zůstává dosavadní hra."
        << "castling";
    QTest::newRow("an empty clipboard") << QByteArray() << "  "
                                        << "Ve schránce není partie ani pozice."
                                        << "";
}

// Whatever cannot be read is reported, and the game on the board stays.
void TestMainWindow::badInputKeepsTheGame()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, clipboard);
    QFETCH(QString, message);
    QFETCH(QString, detail);
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    Play(*form, "d2d4 d7d5");
    const QString before = RulesState(form->State());
    const QString path = folder.dir.filePath(QStringLiteral("game.pgn"));
    const bool fifo = file == "FIFO";  // opening it would wait for a writer for ever
    if (fifo) {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    } else if (!file.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
    }
    if (clipboard.isNull() && (file.isEmpty() || fifo)) {
        // The file dialog itself refuses a name that is not there; a file
        // can still vanish before it is read.
        QVERIFY(!form->RecordUi().OpenFile(path));
    } else if (clipboard.isNull()) {
        answers.files << path;
        form->Item("Otevtpartii1")->trigger();
    } else {
        QGuiApplication::clipboard()->setText(clipboard);
        QTest::keyClick(form.get(), Qt::Key_V, Qt::ControlModifier);
    }
    const QStringList texts = answers.Texts();
    QCOMPARE(texts.size(), 1);
    QVERIFY2(texts[0].contains(message) && texts[0].contains(detail), qPrintable(texts[0]));
    QCOMPARE(RulesState(form->State()), before);
    QCOMPARE(form->Record().Size(), std::size_t(2));
}

void TestMainWindow::pasteAPosition()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    const std::string fen = "r3k2r/8/8/3pP3/8/8/8/R3K2R w KQkq d6 0 20";
    QGuiApplication::clipboard()->setText(QString::fromStdString(fen));
    form->Item("Vloitpartiinebopozici1")->trigger();
    QVERIFY(answers.seen.isEmpty());
    QCOMPARE(chess::WriteFen(form->State(), 0, 20), fen);
    CheckBoardShowsPosition(*form);
    Play(*form, "e5d6");  // en passant, as the position allows
    QCOMPARE(form->State().At(3, 4), 0);
    form->Item("KoprovatpoziciFEN1")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("r3k2r/8/3P4/8/8/8/8/R3K2R b KQkq - 0 20"));
    form->Item("KoprovatpartiiPGN1")->trigger();
    const QString pgn = QGuiApplication::clipboard()->text();
    QVERIFY(pgn.contains(QStringLiteral("20. exd6")));

    // A game with moves is only replaced after the new-game question.
    QGuiApplication::clipboard()->setText(QString::fromStdString(fen));
    form->Item("Vloitpartiinebopozici1")->trigger();  // answered No
    QCOMPARE(answers.Texts(), QStringList({NewGameQuestion}));
    QCOMPARE(form->Record().Size(), std::size_t(1));
    QCOMPARE(form->State().At(3, 5), chess::Pawn);
}

void TestMainWindow::fileOfSeveralGames_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("square");  // the last move's target, with the piece there
    QTest::newRow("the first") << 0 << QString() << "f3=3";
    QTest::newRow("one with a bad move") << 1 << "hra 2, tah 2 \"Bb5\""
                                         << "d2=1";
    QTest::newRow("the one after it") << 2 << QString() << "c6=-3";
}

// A file of several games lists them all, a bad one too, and opens the one
// chosen.
void TestMainWindow::fileOfSeveralGames()
{
    QFETCH(int, row);
    QFETCH(QString, error);
    QFETCH(QString, square);
    ProgramFolder folder;
    Answerer answers;
    answers.gameRow = row;
    auto form = folder.Start();
    const QString path = folder.dir.filePath(QStringLiteral("three.pgn"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[White \"Nov\xE1k\"]\n\n1. Nf3 *\n\n[White \"B\"]\n\n1. d4 d5 2. Bb5 *\n\n"
            "[White \"C\"]\n[Black \"D\"]\n\n1. e4 Nc6 *\n");
    f.close();
    answers.files << path;
    form->Item("Otevtpartii1")->trigger();
    QCOMPARE(answers.seen.value(1).text, QStringLiteral("Vyberte partii"));
    QCOMPARE(answers.seen.value(1).detail, QStringLiteral("1. Jf3"));
    QCOMPARE(answers.Texts().size(), error.isEmpty() ? 0 : 1);
    if (!error.isEmpty())
        QVERIFY(answers.Texts()[0].contains(error));
    const chess::Square sq = ParseSquare(square.toLatin1().constData());
    QCOMPARE(form->State().At(sq.file, sq.rank), square.mid(3).toInt());
    CheckBoardShowsPosition(*form);
}

// The game is on disk after every move; the next start offers it.
// A pasted position is no start position: "Nová partie" asks and brings the
// start back, although nobody has pressed on the board.
void TestMainWindow::newGameAfterAPastedPosition()
{
    ProgramFolder folder;
    Answerer answers({QMessageBox::Yes});
    auto form = folder.Start();
    QGuiApplication::clipboard()->setText(QStringLiteral("4k3/8/8/8/8/8/8/R3K3 w Q - 0 1"));
    form->Item("Vloitpartiinebopozici1")->trigger();
    QCOMPARE(form->State().At(1, 0), 0);
    form->Item("Novpartie1")->trigger();
    QCOMPARE(answers.Texts(), QStringList({NewGameQuestion}));
    QCOMPARE(form->State().At(1, 0), chess::Knight);
    QCOMPARE(form->Record().Size(), std::size_t(0));
}

void TestMainWindow::unfinishedGameIsOfferedAtTheNextStart()
{
    ProgramFolder folder;
    Answerer answers({QMessageBox::Yes, QMessageBox::Yes});
    auto form = folder.Start();
    const QString kept = form->RecordUi().AutosavePath();
    QVERIFY(kept.startsWith(folder.paths.DataDir));
    QTest::qWait(20);
    QVERIFY(!form->Item("Pokraovatvrozehranpartii1")->isEnabled());
    Play(*form, "e2e4 e7e5 g1f3");
    // A move taken back stays in the file, and so does the move shown.
    form->Item("Vrtittah1")->trigger();
    form->RecordUi().Unfinished().Flush();
    QFile file(kept);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("1. e4 e5 2. Nf3"));
    file.close();
    // As after a crash: the next window finds the file as the last move left
    // it, once the window that wrote it is gone.
    const QString position = RulesState(form->State());
    form.reset();
    auto next = folder.Start();
    QTRY_VERIFY(next->Item("Pokraovatvrozehranpartii1")->isEnabled());
    next->Item("Pokraovatvrozehranpartii1")->trigger();
    QCOMPARE(RulesState(next->State()), position);
    QVERIFY(!next->Item("Pokraovatvrozehranpartii1")->isEnabled());
    next->Item("Znovu1")->trigger();
    QCOMPARE(next->State().At(5, 2), chess::Knight);
    // A new game forgets it.
    next->Item("Novpartie1")->trigger();
    next->RecordUi().Unfinished().Flush();
    QVERIFY(!QFile::exists(kept));
    next->close();
    next.reset();
    next = folder.Start();
    QTest::qWait(20);
    QVERIFY(!next->Item("Pokraovatvrozehranpartii1")->isEnabled());
    // So does a finished one.
    Play(*next, "f2f3 e7e5 g2g4");
    next->RecordUi().Unfinished().Flush();
    QVERIFY(QFile::exists(kept));
    Play(*next, "d8h4");
    next->RecordUi().Unfinished().Flush();
    QVERIFY(!QFile::exists(kept));
    // Something else in the file's place neither holds the start up nor is offered.
    next->close();
    next.reset();
    QCOMPARE(mkfifo(QFile::encodeName(kept).constData(), 0644), 0);
    next = folder.Start();
    QTest::qWait(20);
    QVERIFY(!next->Item("Pokraovatvrozehranpartii1")->isEnabled());
    next.reset();

    // Without a home there is no data folder (not one under the root), and
    // the game is played without being kept.
    QMap<const char*, QByteArray> saved;
    for (const char* name : {"HOME", "XDG_DATA_HOME"})
        if (qEnvironmentVariableIsSet(name))
            saved[name] = qgetenv(name);
    qunsetenv("HOME");
    qunsetenv("XDG_DATA_HOME");
    folder.paths.DataDir = AppPaths::ForExecutable(folder.paths.ProgramDir + QStringLiteral("bodlany-sachy")).DataDir;
    for (auto it = saved.begin(); it != saved.end(); ++it)
        qputenv(it.key(), it.value());
    QCOMPARE(folder.paths.DataDir, QString());
    next = folder.Start();
    Play(*next, "e2e4");
    QCOMPARE(next->RecordUi().AutosavePath(), QString());
    QVERIFY(next->RecordUi().Unfinished().Look().empty());
}

// Each running copy keeps its own game and leaves the others' alone; a game
// is offered once no copy holds it, the players choose among several, and
// the ten newest are kept.
void TestMainWindow::unfinishedGamesOfSeveralRunsAndCopies()
{
    ProgramFolder folder;
    Answerer answers({QMessageBox::Yes});
    auto first = folder.Start();
    auto second = folder.Start();
    const QString firstFile = first->RecordUi().AutosavePath();
    const QString secondFile = second->RecordUi().AutosavePath();
    QVERIFY(firstFile != secondFile);
    Play(*first, "e2e4");
    Play(*second, "d2d4");
    second->Item("Novpartie1")->trigger();
    Play(*second, "c2c4");
    first->RecordUi().Unfinished().Flush();
    second->RecordUi().Unfinished().Flush();
    auto third = folder.Start();
    QVERIFY(third->RecordUi().Unfinished().Look().empty());
    QCOMPARE(third->RecordUi().Unfinished().Path(), folder.paths.DataDir + QStringLiteral("/rozehrana-3.pgn"));

    // Earlier runs' games, one of them over the 4 MiB the reader once took.
    const QString older = folder.paths.DataDir + QStringLiteral("/rozehrana-%1.pgn");
    for (int i = 0; i < 10; ++i) {
        QFile planted(older.arg(20 + i));
        QVERIFY(planted.open(QIODevice::WriteOnly));
        planted.write("[Event \"?\"]\n\n");
        if (i == 9)
            planted.write("{" + QByteArray(5 << 20, 'x') + "}\n");
        planted.write("1. h4 *\n");
        planted.flush();
        planted.setFileTime(QDateTime::currentDateTime().addDays(i - 20), QFileDevice::FileModificationTime);
    }
    first.reset();
    second.reset();
    // The two newest of twelve games and the eight newest planted are kept.
    const std::vector<UnfinishedGame::Found> games = third->RecordUi().Unfinished().Look();
    QCOMPARE(games.size(), std::size_t(10));
    QCOMPARE(games[0].path, secondFile);
    QCOMPARE(games[1].path, firstFile);
    QCOMPARE(games[2].path, older.arg(29));
    QVERIFY(!QFile::exists(older.arg(20)) && !QFile::exists(older.arg(21)) && QFile::exists(older.arg(22)));

    answers.gameRow = 1;
    third->Item("Pokraovatvrozehranpartii1")->trigger();
    QCOMPARE(answers.seen.last().text, QStringLiteral("Rozehrané partie"));
    QCOMPARE(third->State().At(4, 3), chess::Pawn);
    // The resumed game is this copy's now; the others wait.
    QCOMPARE(third->RecordUi().AutosavePath(), firstFile);
    QCOMPARE(third->RecordUi().Unfinished().Games().size(), std::size_t(9));
    Play(*third, "e7e5");
    third->RecordUi().Unfinished().Flush();
    QFile resumed(firstFile);
    QVERIFY(resumed.open(QIODevice::ReadOnly));
    QVERIFY(resumed.readAll().contains("1. e4 e5"));
    QVERIFY(!QFile::exists(folder.paths.DataDir + QStringLiteral("/rozehrana-3.pgn")));
}

void TestMainWindow::moveListBesideTheBoard()
{
    ProgramFolder folder;
    Answerer answers({QMessageBox::Yes});
    auto form = folder.Start();
    const int narrow = form->width();
    Play(*form, "e2e4 e7e5 g1f3 b8c6");
    form->Item("Zpispartie1")->trigger();
    TMoveList* list = form->RecordUi().MoveList();
    QVERIFY(list->isVisible());
    QCOMPARE(form->width(), narrow + form->RecordUi().PanelWidth());
    QCOMPARE(form->Board()->geometry(), QRect(0, form->menuWidget()->height(), 612, 612));
    QCOMPARE(list->Cell(0, 0) + " " + list->Cell(0, 1) + " " + list->Cell(1, 0) + " " + list->Cell(1, 1),
             QStringLiteral("e4 e5 Jf3 Jc6"));
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(list->currentColumn(), 1);
    form->Item("anglicky1")->trigger();
    QCOMPARE(list->Cell(1, 0), QStringLiteral("Nf3"));

    // A click on a move shows the position after it; the rest stays.
    const QRect e5 = list->visualRect(list->model()->index(0, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, e5.center());
    QCOMPARE(form->State().At(6, 0), chess::Knight);
    QVERIFY(form->State().WhiteToMove);
    QCOMPARE(form->Record().Size(), std::size_t(4));
    CheckDrawnAsWhole(*form);
    QVERIFY(form->Item("Znovu1")->isEnabled());

    // Width kept with the list, and the board area the same at the next start.
    QVERIFY(form->close());
    QCOMPARE(folder.Value("Width").toInt(), 622 + form->RecordUi().PanelWidth());
    QCOMPARE(folder.Value("zapis"), QByteArray("1"));
    form.reset();
    form = folder.Start();
    QCOMPARE(form->Board()->width(), 612);
    QVERIFY(form->RecordUi().MoveList()->isVisible());
    form->Item("Zpispartie1")->trigger();
    QCOMPARE(form->width(), narrow);
}

// The last move's squares are tinted; the red mark of a pick-up wins.
void TestMainWindow::lastMoveTinted()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    Play(*form, "g1f3");
    const QImage plainF3 = Shown(*form, {5, 2});
    form->Item("Oznaitposledntah1")->trigger();
    QVERIFY(Shown(*form, {5, 2}) != plainF3);
    QVERIFY(Shown(*form, {6, 0}) != Bare(*form, {6, 0}));
    QCOMPARE(Shown(*form, {4, 0}).pixelColor(5, 5), Bare(*form, {4, 0}).pixelColor(5, 5));
    form->Item("N51")->trigger();  // a full redraw keeps it
    QVERIFY(Shown(*form, {6, 0}) != Bare(*form, {6, 0}));
    Play(*form, "e7e5");
    QCOMPARE(Shown(*form, {6, 0}), Bare(*form, {6, 0}));
    Press(*form, "f3");
    QCOMPARE(Shown(*form, {5, 2}).pixelColor(1, 1), QColor(Qt::red));
    QCOMPARE(Shown(*form, {4, 4}).pixelColor(1, 1), Shown(*form, {4, 6}).pixelColor(1, 1));
    // A take-back moves the tint back and drops the mark, wherever it was.
    Press(*form, "f3");
    Press(*form, "b1");
    form->Item("Vrtittah1")->trigger();
    CheckDrawnAsWhole(*form);
}

// Alt and the arrows, the menu and the buttons under the list only show
// other positions; a move made there asks before it cuts the rest off.
void TestMainWindow::steppingThroughTheRecord()
{
    ProgramFolder folder;
    Answerer answers({QMessageBox::No, QMessageBox::Yes});
    auto form = folder.Start();
    form->Item("Zpispartie1")->trigger();
    RecordPanel* panel = form->RecordUi().Panel();
    TMoveList* list = form->RecordUi().MoveList();
    QCOMPARE(panel->Status(), QStringLiteral("Na tahu je bílý."));
    QVERIFY(!form->Item("Otahzpt1")->isEnabled());
    Play(*form, "e2e4 e7e5 g1f3 b8c6");
    QStringList states;
    for (std::size_t ply = 0; ply <= 4; ++ply)
        states << RulesState(form->Record().StateAt(ply));
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));

    struct Step {
        Qt::Key key;
        std::size_t ply;
    };
    for (const Step step : {Step{Qt::Key_Left, 3}, Step{Qt::Key_Home, 0}, Step{Qt::Key_Left, 0}, Step{Qt::Key_Right, 1},
                            Step{Qt::Key_End, 4}, Step{Qt::Key_Right, 4}, Step{Qt::Key_Left, 3}}) {
        QTest::keyClick(form.get(), step.key, Qt::AltModifier);
        QCOMPARE(form->Record().Current(), step.ply);
        QCOMPARE(RulesState(form->State()), states[int(step.ply)]);
        QCOMPARE(form->Record().Size(), std::size_t(4));
        QCOMPARE(form->Item("Otahzpt1")->isEnabled(), step.ply > 0);
        QCOMPARE(form->Item("Nakonec1")->isEnabled(), step.ply < 4);
    }
    QCOMPARE(panel->Status(), QStringLiteral("Na tahu je černý."));
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(list->currentColumn(), 0);
    CheckBoardShowsPosition(*form);
    // The buttons under the list are the menu's items.
    auto* back = panel->findChild<QToolButton*>(QStringLiteral("Otahzpt1Button"));
    QVERIFY(back && back->isEnabled());
    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(form->Record().Current(), std::size_t(2));
    form->Item("Otahvped1")->trigger();
    QCOMPARE(RulesState(form->State()), states[3]);
    QVERIFY(answers.seen.isEmpty());

    // A move here would lose Nc6: asked first, and No keeps everything.
    Play(*form, "g8f6");
    QCOMPARE(answers.Texts(), QStringList({QStringLiteral("Tah smaže ze zápisu pozdější tahy (1). Pokračovat?")}));
    QCOMPARE(RulesState(form->State()), states[3]);
    QCOMPARE(form->State().SelectedSquare, chess::NoSelection);
    QCOMPARE(form->Record().Size(), std::size_t(4));
    CheckBoardShowsPosition(*form);
    Play(*form, "g8f6");  // Yes
    QCOMPARE(answers.Texts().size(), 2);
    QCOMPARE(form->Record().Size(), std::size_t(4));
    QCOMPARE(list->Cell(1, 1), QStringLiteral("Jf6"));
    QVERIFY(!form->Item("Otahvped1")->isEnabled());
}

// "Požádat o remízu" is there while a draw may be claimed, and the
// question comes again when a position stands for the fourth time.
void TestMainWindow::claimingADrawLater()
{
    ProgramFolder folder;
    Answerer answers;  // every question answered No, the default
    auto form = folder.Start();
    form->Item("Zpispartie1")->trigger();
    QAction* claim = form->Item("Podatoremzu1");
    QVERIFY(!claim->isEnabled());
    const QString shuffle = QStringLiteral("g1f3 g8f6 f3g1 f6g8 ");
    Play(*form, shuffle + "g1f3 g8f6 f3g1");
    QVERIFY(!claim->isEnabled());
    Play(*form, "f6g8");
    QCOMPARE(answers.Texts(), QStringList({ThirdTime}));
    QVERIFY(claim->isEnabled());
    Play(*form, "e2e3");  // the position after it has never stood
    QVERIFY(!claim->isEnabled());
    form->Item("Vrtittah1")->trigger();
    QVERIFY(claim->isEnabled());
    Play(*form, shuffle);
    QCOMPARE(answers.Texts(), QStringList({ThirdTime, ThirdTime, ThirdTime, ThirdTime, FourthTime}));
    QVERIFY(claim->isEnabled());

    claim->trigger();
    QCOMPARE(answers.Texts().last(), Drawn);
    QCOMPARE(form->Game().End(), chess::GameEnd::ThreefoldClaimed);
    QVERIFY(!claim->isEnabled());
    const QString ending = QStringLiteral("1/2-1/2 remíza na žádost: opakování pozice");
    QCOMPARE(form->RecordUi().Panel()->Status(), ending);
    TMoveList* list = form->RecordUi().MoveList();
    QCOMPARE(list->Cell(list->rowCount() - 1, 0), ending);
    Play(*form, "g1f3");
    QCOMPARE(answers.Texts().last(), Drawn);
    QCOMPARE(form->Record().Size(), std::size_t(12));
    // Stepped back, the game is open there; the list still ends as the game did.
    form->Item("Otahzpt1")->trigger();
    QCOMPARE(form->RecordUi().Panel()->Status(), QStringLiteral("Na tahu je černý."));
    QCOMPARE(list->Cell(list->rowCount() - 1, 0), ending);
    form->Item("anglicky1")->trigger();
    QCOMPARE(list->Cell(list->rowCount() - 1, 0), QStringLiteral("1/2-1/2 draw claimed: repetition"));
    QCOMPARE(form->RecordUi().Panel()->Status(), QStringLiteral("Black to move."));
}

// The game's views are told of a move before anybody is told about it: while
// the mate is announced, the list and the tint already show the mating move.
void TestMainWindow::viewsShowTheMateBeforeItsMessage()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    form->Item("Zpispartie1")->trigger();
    form->Item("Oznaitposledntah1")->trigger();
    TMoveList* list = form->RecordUi().MoveList();
    QStringList atMate;
    answers.whileShown = [&](const Answerer::Seen& seen, QWidget*) {
        if (seen.text != MatCerny)
            return;
        atMate << list->Cell(list->currentRow(), list->currentColumn())
               << QString::number(Shown(*form, {3, 7}) != Bare(*form, {3, 7}))  // d8, left by the queen
               << form->RecordUi().Panel()->Status() << list->Cell(list->rowCount() - 1, 0);
    };
    Play(*form, "f2f3 e7e5 g2g4 d8h4");
    QCOMPARE(answers.Texts(), QStringList({Sach, MatCerny}));
    QCOMPARE(atMate, QStringList({"Dh4#", "1", "0-1 mat", "0-1 mat"}));
}

// A game opened with annotations and a result that no rule brought about:
// the list shows the glyphs and comments, the result ends the game until a
// take-back, and the comment and the tags are edited in their dialogs.
void TestMainWindow::annotationsAndAGivenResult()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    form->Item("Zpispartie1")->trigger();
    const QString path = folder.dir.filePath(QStringLiteral("resigned.pgn"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[White \"Nov\xC3\xA1k\"]\n[Result \"1-0\"]\n\n{Ruy Lopez} 1. e4 {the king's pawn} e5 2. Nf3 $1 Nc6 "
            "3. Bb5 a6 1-0\n");
    f.close();
    QVERIFY(form->RecordUi().OpenFile(path));
    TMoveList* list = form->RecordUi().MoveList();
    RecordPanel* panel = form->RecordUi().Panel();
    QStringList shown;
    for (int row = 0; row < list->rowCount(); ++row)
        shown << (list->Cell(row, 0) + QLatin1Char('|') + list->Cell(row, 1));
    QCOMPARE(shown,
             QStringList({"Ruy Lopez|", "e4|", "the king's pawn|", "…|e5", "Jf3!|Jc6", "Sb5|a6", "1-0 podle zápisu|"}));
    QCOMPARE(panel->Status(), QStringLiteral("1-0 podle zápisu"));
    QCOMPARE(list->currentRow(), 5);
    QCOMPARE(list->currentColumn(), 1);
    // A click on a comment or on the result is no move.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualRect(list->model()->index(2, 0)).center());
    QCOMPARE(form->Record().Current(), std::size_t(6));

    Play(*form, "b5a4");
    QCOMPARE(answers.Texts(), QStringList({QStringLiteral("Partie skončila.")}));
    QCOMPARE(form->State().At(1, 4), chess::Bishop);
    form->Item("Vrtittah1")->trigger();
    QCOMPARE(panel->Status(), QStringLiteral("Na tahu je černý."));
    Play(*form, "g8f6");
    QCOMPARE(answers.Texts().size(), 1);
    QCOMPARE(form->Game().End(), chess::GameEnd::None);
    QCOMPARE(list->Cell(list->rowCount() - 1, 1), QStringLiteral("Jf6"));

    // The comment after the move shown, typed over two lines.
    answers.whileShown = [](const Answerer::Seen&, QWidget* w) {
        if (auto* comment = qobject_cast<TCommentDialog*>(w))
            comment->Editor()->setPlainText(QStringLiteral("Berlin\ndefence"));
    };
    form->Item("Komentktahu1")->trigger();
    QCOMPARE(answers.seen.last().title, QStringLiteral("Komentář k tahu 3... Jf6"));
    QCOMPARE(form->Record()[5].note.comment, std::string("Berlin defence"));
    QCOMPARE(list->Cell(list->rowCount() - 1, 0), QStringLiteral("Berlin defence"));

    // The game's details: a date half typed cannot be kept, one whole can.
    QList<bool> okEnabled;
    answers.whileShown = [&okEnabled](const Answerer::Seen&, QWidget* w) {
        auto* tags = qobject_cast<TGameTagsDialog*>(w);
        if (!tags)
            return;
        QPushButton* ok = nullptr;
        for (QPushButton* b : tags->findChildren<QPushButton*>())
            if (b->isDefault())
                ok = b;
        tags->Field(QStringLiteral("Black"))->setText(QStringLiteral("Černý"));
        tags->Field(QStringLiteral("White"))->clear();
        tags->Field(QStringLiteral("Date"))->setText(QStringLiteral("2026.1"));
        okEnabled << ok->isEnabled();
        tags->Field(QStringLiteral("Date"))->setText(QStringLiteral("2026.12.??"));
        okEnabled << ok->isEnabled();
    };
    form->Item("dajeopartii1")->trigger();
    QCOMPARE(okEnabled, QList<bool>({false, true}));
    QCOMPARE(chess::TagValue(form->Game().Tags(), "Black"), std::string("Černý"));
    QCOMPARE(chess::TagValue(form->Game().Tags(), "White"), std::string());
    QCOMPARE(chess::TagValue(form->Game().Tags(), "Result"), std::string("1-0"));
    form->Item("KoprovatpartiiPGN1")->trigger();
    const QString pgn = QGuiApplication::clipboard()->text().simplified();  // lines are filled
    for (const char* line : {"[White \"?\"]", "[Black \"Černý\"]", "[Date \"2026.12.??\"]", "{Berlin defence}"})
        QVERIFY2(pgn.contains(QString::fromUtf8(line)), line);
}

// A game that cannot be kept is told under the move list, never in a box.
void TestMainWindow::autosaveProblemUnderTheMoveList()
{
    ProgramFolder folder;
    QFile dataFolder(folder.paths.DataDir);  // a file where the folder should be
    QVERIFY(dataFolder.open(QIODevice::WriteOnly));
    dataFolder.close();
    Answerer answers;
    auto form = folder.Start();
    form->Item("Zpispartie1")->trigger();
    RecordPanel* panel = form->RecordUi().Panel();
    QCOMPARE(panel->Problem(), QString());
    Play(*form, "e2e4");
    form->RecordUi().Unfinished().Flush();
    QTRY_VERIFY(panel->Problem().startsWith(QStringLiteral("Rozehranou partii nelze průběžně ukládat")));
    QCOMPARE(panel->Problem(), form->RecordUi().Unfinished().Problem());
    QCOMPARE(panel->Status(), QStringLiteral("Na tahu je černý."));
    QVERIFY(answers.seen.isEmpty());
}

// Turning the move list on near the right edge of the screen moves the
// window left, so that the list does not end up off the screen.
void TestMainWindow::moveListKeepsTheWindowOnScreen()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ProgramFolder folder;
    folder.WriteSettings(Settings("Left=" + QByteArray::number(area.right() - 640) + "\r\nTop=40\r\n"));
    Answerer answers;
    auto form = folder.Start();
    QCOMPARE(form->x(), area.right() - 640);
    form->Item("Zpispartie1")->trigger();
    const QRect frame = form->frameGeometry();
    if (frame.width() <= area.width())
        QCOMPARE(frame.right(), area.right());
    else
        QCOMPARE(frame.left(), area.left());
    QCOMPARE(form->y(), 40);
    // Turned off, the window stays where it now is.
    form->Item("Zpispartie1")->trigger();
    QCOMPARE(form->x(), frame.x());
}

void TestMainWindow::fileGivenOnTheCommandLine_data()
{
    QTest::addColumn<QString>("argument");  // "" for none; GAME stands for the file's path
    QTest::addColumn<int>("plies");         // in the record afterwards
    QTest::addColumn<QString>("message");   // part of the one message shown, if any
    QTest::newRow("a path") << "GAME" << 3 << "";
    QTest::newRow("a file: URL, as a desktop gives it") << "URL" << 3 << "";
    QTest::newRow("a path relative to the current folder") << "game.pgn" << 3 << "";
    QTest::newRow("no such file") << "GAME.missing" << 0 << "nelze přečíst";
    QTest::newRow("a folder") << "LANGUAGE" << 0 << "nelze přečíst";
    QTest::newRow("none") << "" << 0 << "";
}

// What main() does with its arguments: the file opens once the window is
// up, as from the menu, and what cannot be opened is reported so.
void TestMainWindow::fileGivenOnTheCommandLine()
{
    QFETCH(QString, argument);
    QFETCH(int, plies);
    QFETCH(QString, message);
    ProgramFolder folder;
    const QString path = folder.dir.filePath(QStringLiteral("game.pgn"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[White \"A\"]\n\n1. e4 e5 2. Nf3 *\n");
    f.close();
    argument.replace(QStringLiteral("LANGUAGE"), folder.paths.ProgramDir + QStringLiteral("Language"));
    argument.replace(QStringLiteral("GAME"), path);
    argument.replace(QStringLiteral("URL"), QUrl::fromLocalFile(path).toString());
    const QString before = QDir::currentPath();
    QDir::setCurrent(folder.dir.path());
    Answerer answers;
    auto form = folder.Start();
    QStringList arguments = {QStringLiteral("bodlany-sachy")};
    if (!argument.isEmpty())
        arguments << argument;
    OpenFileOfArguments(*form, arguments);
    QCOMPARE(form->Record().Size(), std::size_t(0));  // not before the event loop runs
    QTest::qWait(50);
    QDir::setCurrent(before);
    QCOMPARE(form->Record().Size(), std::size_t(plies));
    QCOMPARE(answers.Texts().size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY2(answers.Texts()[0].contains(message), qPrintable(answers.Texts()[0]));
}

void TestMainWindow::pieceSetBringsItsTexture_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("texture");
    QTest::newRow("Klubovky") << "Klubovky1" << int(PieceSetId::Klubovky) << 3;
    QTest::newRow("Umělecké kameny") << "Umleckkameny1" << int(PieceSetId::Umelecke) << 4;
    QTest::newRow("Klasické kameny") << "Klasickkameny1" << int(PieceSetId::Klasicke) << 1;
}

void TestMainWindow::pieceSetBringsItsTexture()
{
    QFETCH(QString, item);
    QFETCH(int, set);
    QFETCH(int, texture);
    ProgramFolder folder;
    folder.WriteSettings(Settings("Klasickkameny1=0\r\nUmleckkameny1=1\r\nN11=0\r\nN51=1\r\n"));
    Answerer answers;
    auto form = folder.Start();
    form->Item(item)->trigger();
    QCOMPARE(TickedOf(*form, Sets), QStringList({item}));
    QCOMPARE(TickedOf(*form, Textures), QStringList({Textures[texture - 1]}));
    QCOMPARE(form->Look().Pieces, &PieceSetFor(PieceSetId(set)));
    QCOMPARE(form->Look().BoardTexture, texture);
    // What the board shows: an empty dark square in the new texture, and the
    // new set's king on e1.
    QVERIFY(Shown(*form, {0, 2}) == LoadTexture(texture).copy(68, 0, 68, 68).convertToFormat(QImage::Format_RGB32));
    QImage king = LoadTexture(texture).copy(68, 0, 68, 68).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&king);
        p.drawImage(0, 0, PieceSetFor(PieceSetId(set)).Picture(chess::King, 1.0));
    }
    QVERIFY(Shown(*form, {4, 0}) == king.convertToFormat(QImage::Format_RGB32));
}

// A stored pairing of a set with another set's texture comes back as it was.
void TestMainWindow::setAndTextureSurviveARestart()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    form->Item("Klubovky1")->trigger();
    form->Item("N21")->trigger();
    form->Item("Popisky1")->trigger();
    form->Item("erndole1")->trigger();
    QVERIFY(form->close());
    form.reset();

    form = folder.Start();
    QCOMPARE(form->Look().Pieces, &PieceSetFor(PieceSetId::Klubovky));
    QCOMPARE(form->Look().BoardTexture, 2);
    QVERIFY(!form->Look().ShowLabels);
    QVERIFY(!form->Look().WhiteAtBottom);
    QCOMPARE(TickedOf(*form, Sets + Textures), QStringList({"Klubovky1", "N21"}));
    QVERIFY(!form->Item("Popisky1")->isChecked());
    QCOMPARE(TickedOf(*form, {"bldole1", "erndole1"}), QStringList({"erndole1"}));
    QVERIFY(Shown(*form, {3, 3}) == LoadTexture(2).copy(68, 0, 68, 68).convertToFormat(QImage::Format_RGB32));
    CheckBoardShowsPosition(*form);
}

// A texture chosen in the middle of a move leaves the piece in hand; turning
// the board drops it, and the piece stays where it stood.
void TestMainWindow::textureKeepsPickUpOrientationDropsIt()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    Press(*form, "e2");
    form->Item("N41")->trigger();
    QCOMPARE(form->State().SelectedSquare, SelectionOf(4, 1));
    QCOMPARE(Shown(*form, {4, 1}).pixelColor(1, 1), QColor(Qt::red));
    QCOMPARE(Shown(*form, {3, 1}).pixelColor(1, 1), Bare(*form, {3, 1}).pixelColor(1, 1));
    Press(*form, "e4");
    QCOMPARE(form->State().At(4, 3), chess::Pawn);

    Press(*form, "e7");
    form->Item("erndole1")->trigger();
    QCOMPARE(form->State().SelectedSquare, chess::NoSelection);
    QCOMPARE(form->State().At(4, 6), -chess::Pawn);
    QVERIFY(!form->State().WhiteToMove);
    CheckBoardShowsPosition(*form);
    QVERIFY(Shown(*form, {4, 6}).pixelColor(1, 1) != QColor(Qt::red));
    // Choosing the orientation that is already current drops a pick-up too.
    Press(*form, "e7");
    form->Item("erndole1")->trigger();
    QCOMPARE(form->State().SelectedSquare, chess::NoSelection);
    QVERIFY(!form->Look().WhiteAtBottom);
    QVERIFY(answers.seen.isEmpty());
}

void TestMainWindow::labelsToggleBack()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    const QImage before = form->Board()->grab().toImage();
    form->Item("Popisky1")->trigger();
    QVERIFY(!form->Item("Popisky1")->isChecked());
    QVERIFY(!form->Look().ShowLabels);
    const QImage without = form->Board()->grab().toImage();
    QVERIFY(without != before);
    QCOMPARE(without.pixelColor(66, 15), QColor(192, 192, 192));  // where "A" stood
    form->Item("Popisky1")->trigger();
    QVERIFY(form->Item("Popisky1")->isChecked());
    QVERIFY(form->Board()->grab().toImage() == before);
}

void TestMainWindow::fileWithoutChoicesStillShowsABoard_data()
{
    QTest::addColumn<QByteArray>("keys");
    QTest::addColumn<bool>("whiteAtBottom");
    QTest::addColumn<int>("texture");
    QTest::addColumn<QStringList>("ticked");
    QTest::newRow("no texture, no set") << QByteArray("Klasickkameny1=0\r\nN11=0\r\n") << true << 1
                                        << QStringList({"bldole1"});
    QTest::newRow("no orientation") << QByteArray("bilydole=0\r\n") << false << 1
                                    << QStringList({"Klasickkameny1", "N11"});
    QTest::newRow("both orientations") << QByteArray("cernydole=1\r\n") << false << 1
                                       << QStringList({"Klasickkameny1", "N11", "bldole1", "erndole1"});
    QTest::newRow("several of each, the last wins")
        << QByteArray("Klubovky1=1\r\nUmleckkameny1=1\r\nN31=1\r\nN41=0x1\r\nN21=1\r\n") << true << 4
        << QStringList({"Klasickkameny1", "Klubovky1", "Umleckkameny1", "N11", "N21", "N31", "N41", "bldole1"});
}

// Hand-edited ticks: none gives texture 1 and the classic pieces without a
// tick, neither orientation black at the bottom, both of them black at the
// bottom with both ticked until the first orientation click repairs them.
void TestMainWindow::fileWithoutChoicesStillShowsABoard()
{
    QFETCH(QByteArray, keys);
    QFETCH(bool, whiteAtBottom);
    QFETCH(int, texture);
    QFETCH(QStringList, ticked);
    ProgramFolder folder;
    folder.WriteSettings(Settings(keys));
    Answerer answers;
    auto form = folder.Start();
    QCOMPARE(form->Look().WhiteAtBottom, whiteAtBottom);
    QCOMPARE(form->Look().BoardTexture, texture);
    if (keys.contains("Klasickkameny1=0"))
        QCOMPARE(form->Look().Pieces, &PieceSetFor(PieceSetId::Klasicke));
    QCOMPARE(TickedOf(*form, Sets + Textures + QStringList({"bldole1", "erndole1"})), ticked);
    CheckBoardShowsPosition(*form);
    form->Item("bldole1")->trigger();
    QCOMPARE(TickedOf(*form, {"bldole1", "erndole1"}), QStringList({"bldole1"}));
    QVERIFY(form->Look().WhiteAtBottom);
}

void TestMainWindow::switchingLanguage_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("file");
    QTest::newRow("anglicky") << "anglicky1"
                              << "english";
    QTest::newRow("německy") << "nmecky1"
                             << "deutch";
}

// The real language files: captions, title and the texts of the game change
// at once, a refused move is announced in the new language, and "česky"
// brings the Czech texts back.
void TestMainWindow::switchingLanguage()
{
    QFETCH(QString, item);
    QFETCH(QString, file);
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    form->Item(item)->trigger();
    QCOMPARE(TickedOf(*form, {"esky1", "nmecky1", "anglicky1"}), QStringList({item}));
    QCOMPARE(form->LanguageName(), file);

    // The expected texts, read from the file the way a person reads it.
    QFile text(QStringLiteral(LANGUAGE_DIR "/") + file);
    QVERIFY(text.open(QIODevice::ReadOnly | QIODevice::Text));
    QMap<QString, QString> language;
    QString section;
    for (const QString& raw : QString::fromUtf8(text.readAll()).split('\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith('['))
            section = line.mid(1, line.size() - 2);
        else if (!line.startsWith(';') && line.contains('=')) {
            QString value = line.mid(line.indexOf('=') + 1).trimmed();
            if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
                value = value.mid(1, value.size() - 2);
            language.insert(section + '/' + line.left(line.indexOf('=')).trimmed(), value);
        }
    }
    for (const char* name : {"Soubor1", "Novpartie1", "Konec1", "Nastaven1", "achovnice2", "Klubovky1", "N31",
                             "Popisky1", "bldole1", "erndole1", "Npovda1", "Autor1"}) {
        const QString expected = language.value(QStringLiteral("Form1/") + name);
        QVERIFY2(!expected.isEmpty(), name);
        QCOMPARE(form->Item(name)->text(), expected);
    }
    QVERIFY(form->Item("Konec1")->text() != QStringLiteral("&Konec"));
    QCOMPARE(form->windowTitle(), language.value("Form1/Form1"));
    QCOMPARE(form->Texts().TextSach, language.value("Texty/TextSach"));
    QCOMPARE(form->Texts().TextOpravduKonec, language.value("Texty/TextOpravduKonec"));

    // The file is read once per switch: the About dialog takes the texts
    // already loaded, even when the file has gone since.
    QVERIFY(QFile::remove(folder.paths.ProgramDir + QStringLiteral("Language/") + file));
    form->Item("Autor1")->trigger();
    QCOMPARE(answers.seen.size(), 1);
    QCOMPARE(answers.seen.takeFirst().pressed, language.value("Autor/OKButton"));

    Play(*form, "e2e5");
    QCOMPARE(answers.Texts(), QStringList({language.value("Texty/TextNelze")}));
    form->Item("esky1")->trigger();
    QCOMPARE(form->Item("Konec1")->text(), QStringLiteral("&Konec"));
    QCOMPARE(form->Texts().TextNelze, Nelze);
}

// Qt's own texts (here the buttons of the question and a key name in the
// menu) change with the language at once; with Qt's translation missing
// the question still answers in Czech.
void TestMainWindow::qtTextsFollowTheLanguage()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    Play(*form, "e2e4");
    const QKeySequence ctrlN(Qt::CTRL | Qt::Key_N);
    struct Step {
        const char* item;
        QStringList buttons;
        QString ctrlN;
    };
    for (const Step& step : {Step{"nmecky1", {"&Ja", "&Nein"}, "Strg+N"}, Step{"anglicky1", {"&Yes", "&No"}, "Ctrl+N"},
                             Step{"esky1", {"&Ano", "&Ne"}, "Ctrl+N"}, Step{"nmecky1", {"&Ja", "&Nein"}, "Strg+N"}}) {
        form->Item(step.item)->trigger();
        QVERIFY(!form->close());  // the default button, No
        QCOMPARE(answers.seen.last().buttons, step.buttons);
        QCOMPARE(ctrlN.toString(QKeySequence::NativeText), step.ctrlN);
    }

    form->Item("esky1")->trigger();
    QVERIFY(!UseQtTranslation(form->LanguageName(), folder.dir.path()));
    QCoreApplication::sendPostedEvents();  // Qt's news of the change, which a box would act on
    QVERIFY(!form->close());
    QCOMPARE(answers.seen.last().buttons, QStringList({"&Ano", "&Ne"}));
    QCOMPARE(ctrlN.toString(QKeySequence::NativeText), QStringLiteral("Ctrl+N"));
    form->Item("anglicky1")->trigger();
    form->Item("esky1")->trigger();  // found again
    QVERIFY(QtSpeaks(form->LanguageName()));
}

// Without the English file the start warns once, before the window shows,
// and only Czech remains, also in the next settings file.
void TestMainWindow::missingLanguageFileLeavesOnlyCzech()
{
    ProgramFolder folder({"czech", "deutch"});
    folder.WriteSettings(Settings("cesky=0\r\nanglicky=1\r\n"));
    Answerer answers;
    auto form = folder.Start();
    QCOMPARE(answers.Texts(), QStringList({QStringLiteral("Soubory obsahující jazykové verze programu nejsou "
                                                          "kompletní.\n\nProto bude bude k  dispozici pouze česká "
                                                          "verze programu.")}));
    QCOMPARE(answers.seen[0].title, Title);
    QCOMPARE(TickedOf(*form, {"esky1", "nmecky1", "anglicky1"}), QStringList({"esky1"}));
    QVERIFY(form->Item("esky1")->isEnabled());
    QVERIFY(!form->Item("nmecky1")->isEnabled());
    QVERIFY(!form->Item("anglicky1")->isEnabled());
    QCOMPARE(form->LanguageName(), QStringLiteral("czech"));
    QCOMPARE(form->Item("Konec1")->text(), QStringLiteral("&Konec"));
    QVERIFY(form->close());
    QCOMPARE(folder.Value("cesky"), QByteArray("1"));
    QCOMPARE(folder.Value("nemecky"), QByteArray("0"));
    QCOMPARE(folder.Value("anglicky"), QByteArray("0"));
}

// After every language load, however long a caption, the four menus share
// the bar with "Nápověda" at its right end, and the arrow keys go round all
// four from a menu opened with Alt and its access key.
void TestMainWindow::helpMenuStaysAtTheRightEnd()
{
    ProgramFolder folder({"czech", "english"});
    QFile german(folder.paths.ProgramDir + QStringLiteral("Language/deutch"));
    QVERIFY(german.open(QIODevice::WriteOnly));
    german.write("[Form1]\nSoubor1=&" + QByteArray(2046, 'S') + "\nNastaven1=" + QByteArray(2047, 'W')
                 + "\nachovnice2=" + QByteArray(2047, 'M') + "\nNpovda1=&Hilfe " + QByteArray(2041, 'H')
                 + "\nKlubovky1=" + QByteArray(2047, 'K') + "\n");
    german.close();
    Answerer answers;
    auto form = folder.Start();
    QMenuBar* bar = form->menuBar();
    const QStringList menus = {"Soubor1", "Nastaven1", "achovnice2", "Npovda1"};
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const char* item : {"nmecky1", "esky1", "nmecky1", "esky1", "anglicky1"}) {
        form->Item(item)->trigger();
        QTest::qWait(20);
        int right = 0;
        for (const QString& name : menus) {
            const QRect r = bar->actionGeometry(form->Item(name));
            QVERIFY2(!r.isEmpty() && r.left() > right && r.right() < bar->width(), qPrintable(item + (" " + name)));
            right = r.right();
        }
        QVERIFY2(bar->width() - 1 - right <= 8,
                 qPrintable(QStringLiteral("%1: help ends at %2 of %3").arg(item).arg(right).arg(bar->width())));
        QVERIFY(bar->actionGeometry(form->Item("Soubor1")).left() <= 8);
        for (QToolButton* more : bar->findChildren<QToolButton*>())
            QVERIFY2(!more->isVisible(), "the menu bar hides menus behind its extension button");
        QVERIFY(form->Item("achovnice2")->menu()->sizeHint().width() <= screen.width());
    }
    QVERIFY(form->Item("Npovda1")->text() == QStringLiteral("&Help"));

    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_G, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QCOMPARE(bar->activeAction(), form->Item("Soubor1"));
    QStringList reached;
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Left}) {
        QTest::keyClick(QApplication::activePopupWidget(), key);
        QTRY_VERIFY(QApplication::activePopupWidget());
        reached << bar->activeAction()->objectName();
    }
    QCOMPARE(reached, QStringList({"Nastaven1", "achovnice2", "Npovda1", "Soubor1", "Npovda1", "achovnice2"}));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
}

// The language items look like radio items, yet keep the ticks a hand-edited
// file gives them, two at once included.
void TestMainWindow::languageItemsAreRadioItems()
{
    ProgramFolder folder;
    folder.WriteSettings(Settings("cesky=1\r\nanglicky=1\r\n"));
    Answerer answers;
    auto form = folder.Start();
    QCOMPARE(TickedOf(*form, {"esky1", "nmecky1", "anglicky1"}), QStringList({"esky1", "anglicky1"}));
    QCOMPARE(form->LanguageName(), QStringLiteral("english"));

    const auto drawn = [](const QWidget* menu, QStyleOptionMenuItem::CheckType type, const QStyle* style) {
        QStyleOptionMenuItem option;
        option.initFrom(menu);
        option.rect = QRect(0, 0, 120, 22);
        option.text = QStringLiteral("anglicky");
        option.menuItemType = QStyleOptionMenuItem::Normal;
        option.checkType = type;
        option.checked = true;
        QImage image(option.rect.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        style->drawControl(QStyle::CE_MenuItem, &option, &painter, menu);
        return image;
    };
    QWidget* languages = form->Item("Nastaven1")->menu();
    QWidget* board = form->Item("achovnice2")->menu();
    const QImage radio = drawn(languages, QStyleOptionMenuItem::Exclusive, QApplication::style());
    QVERIFY(radio != drawn(languages, QStyleOptionMenuItem::NonExclusive, QApplication::style()));
    QVERIFY(drawn(languages, QStyleOptionMenuItem::NonExclusive, languages->style()) == radio);
    QVERIFY(drawn(board, QStyleOptionMenuItem::NonExclusive, board->style()) != radio);

    QVERIFY(form->close());
    QCOMPARE(folder.Value("cesky") + folder.Value("nemecky") + folder.Value("anglicky"), QByteArray("101"));
}

namespace {

struct FileFacts {
    bool there = false;
    mode_t mode = 0;  // type and permissions, of the link itself where it is one
    uid_t owner = 0;
    gid_t group = 0;
    QByteArray bytes;  // of a regular file (after links) only
    friend bool operator==(const FileFacts&, const FileFacts&) = default;
};

FileFacts FactsOf(const QString& path)
{
    FileFacts facts;
    struct stat st {};
    if (lstat(QFile::encodeName(path).constData(), &st) != 0)
        return facts;
    facts = {true, st.st_mode, st.st_uid, st.st_gid, {}};
    if (QFileInfo(path).isFile() && QFileInfo(path).size() < (64 << 20)) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            facts.bytes = f.readAll();
    }
    return facts;
}

// Puts something of the given kind where a file is expected.
void PlantFile(const QString& path, const QString& kind, const QByteArray& content)
{
    const QByteArray local = QFile::encodeName(path);
    QFile::remove(path);
    if (kind == "FIFO") {
        QCOMPARE(mkfifo(local.constData(), 0644), 0);
    } else if (kind == "folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == "link to /dev/zero") {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else {
        QByteArray bytes = content;
        if (kind.startsWith("UTF-16")) {
            // Our files are UTF-8 or, where they are not, code page 1250, whose
            // letters here are those of Latin-1.
            QString text = QString::fromUtf8(content);
            if (text.contains(QChar::ReplacementCharacter))
                text = QString::fromLatin1(content);
            const bool big = kind.endsWith("BE");
            bytes = big ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
            for (const QChar c : text) {
                const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
                bytes += big ? hi : lo;
                bytes += big ? lo : hi;
            }
        }
        if (kind == "CR line ends")
            bytes.replace("\r\n", "\r").replace('\n', '\r');
        if (kind == "over the size limit")
            while (bytes.size() <= (5 << 20))
                bytes += "; " + QByteArray(1000, 'x') + "\r\n";
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        const mode_t mode = kind == "0444" ? 0444 : kind == "000" ? 0 : kind == "0640, owned by nobody" ? 0640 : 0600;
        QCOMPARE(chmod(local.constData(), mode), 0);
        if (kind.contains("nobody") && geteuid() == 0)
            QCOMPARE(chown(local.constData(), 65534, 65534), 0);
    }
}

// The settings file's text after a write, checked to have kept its encoding
// and line ends.
QString WrittenText(const QByteArray& bytes, const QString& kind)
{
    if (kind.startsWith("UTF-16")) {
        const bool big = kind.endsWith("BE");
        if (!bytes.startsWith(big ? "\xFE\xFF" : "\xFF\xFE"))
            return QStringLiteral("no byte-order mark");
        auto decode = QStringDecoder(big ? QStringDecoder::Utf16BE : QStringDecoder::Utf16LE);
        return decode(bytes.mid(2));
    }
    if (kind == "CR line ends" && bytes.contains('\n'))
        return QStringLiteral("LF in a file of CR line ends");
    return QString::fromLatin1(bytes);
}

}  // namespace

void TestMainWindow::fileAttacks_data()
{
    QTest::addColumn<QString>("file");  // "settings", the name of a language file, "unfinished game" or "data folder"
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("settingsRead");  // the start applies the stored choices
    QTest::addColumn<bool>("warned");        // the start-up language warning comes up
    QTest::addColumn<bool>("written");       // the close writes the settings file
    QTest::addColumn<QString>("konec");      // the caption then shown by "Konec1"

    // Root reads a file of mode 000 all the same; nobody else can.
    const bool root = geteuid() == 0;
    const QString english = QStringLiteral("E&xit"), czech = QStringLiteral("&Konec");
    QTest::newRow("settings 0600") << "settings"
                                   << "0600" << true << false << true << english;
    QTest::newRow("settings 0640 of another owner") << "settings"
                                                    << "0640, owned by nobody" << true << false << true << english;
    QTest::newRow("settings read-only") << "settings"
                                        << "0444" << true << false << false << english;
    QTest::newRow("settings 000") << "settings"
                                  << "000" << root << false << false << (root ? english : czech);
    QTest::newRow("settings FIFO") << "settings"
                                   << "FIFO" << false << false << false << czech;
    QTest::newRow("settings folder") << "settings"
                                     << "folder" << false << false << false << czech;
    QTest::newRow("settings link to /dev/zero") << "settings"
                                                << "link to /dev/zero" << false << false << false << czech;
    QTest::newRow("settings over the size limit") << "settings"
                                                  << "over the size limit" << false << false << false << czech;
    QTest::newRow("settings UTF-16 LE") << "settings"
                                        << "UTF-16 LE" << true << false << true << english;
    QTest::newRow("settings UTF-16 BE") << "settings"
                                        << "UTF-16 BE" << true << false << true << english;
    QTest::newRow("settings CR line ends") << "settings"
                                           << "CR line ends" << true << false << true << english;
    QTest::newRow("czech FIFO") << "czech"
                                << "FIFO" << true << true << true << czech;
    QTest::newRow("english FIFO") << "english"
                                  << "FIFO" << true << true << true << czech;
    QTest::newRow("english folder") << "english"
                                    << "folder" << true << true << true << czech;
    QTest::newRow("english link to /dev/zero") << "english"
                                               << "link to /dev/zero" << true << true << true << czech;
    QTest::newRow("english over the size limit") << "english"
                                                 << "over the size limit" << true << false << true << czech;
    QTest::newRow("english UTF-16 LE") << "english"
                                       << "UTF-16 LE" << true << false << true << english;
    QTest::newRow("english CR line ends") << "english"
                                          << "CR line ends" << true << false << true << english;
    QTest::newRow("unfinished game link to /dev/zero") << "unfinished game"
                                                       << "link to /dev/zero" << true << false << true << english;
    QTest::newRow("unfinished game folder") << "unfinished game"
                                            << "folder" << true << false << true << english;
    QTest::newRow("unfinished game read-only") << "unfinished game"
                                               << "0444" << true << false << true << english;
    QTest::newRow("data folder a file") << "data folder"
                                        << "0600" << true << false << true << english;
}

// Whatever stands where a settings or language file is expected, the program
// starts at once, loses no file and no file's protection, and says so when it
// cannot write its settings; the window closes all the same.
void TestMainWindow::fileAttacks()
{
    QFETCH(QString, file);
    QFETCH(QString, kind);
    QFETCH(bool, settingsRead);
    QFETCH(bool, warned);
    QFETCH(bool, written);
    QFETCH(QString, konec);
    ProgramFolder folder;
    const QByteArray stored = Settings("Left=200\r\ncesky=0\r\nanglicky=1\r\nN21=1\r\nN11=0\r\n");
    folder.WriteSettings(stored);
    const bool unfinished = file == "unfinished game" || file == "data folder";
    const QString path = file == "settings"        ? folder.paths.SettingsFile
                       : file == "data folder"     ? folder.paths.DataDir
                       : file == "unfinished game" ? folder.paths.DataDir + QStringLiteral("/rozehrana.pgn")
                                                   : folder.paths.ProgramDir + QStringLiteral("Language/") + file;
    if (file == "unfinished game")
        QVERIFY(QDir().mkpath(folder.paths.DataDir));
    PlantFile(path, kind, file == "settings" ? stored : FactsOf(path).bytes);
    const FileFacts before = FactsOf(path);

    Answerer answers;
    auto form = folder.Start();
    if (unfinished) {
        // A move is kept elsewhere, or its failure told once, quietly.
        UnfinishedGame& kept = form->RecordUi().Unfinished();
        QSignalSpy told(&kept, &UnfinishedGame::problemChanged);
        for (const chess::Move& move : {chess::Move{4, 1, 4, 3, chess::Empty}, chess::Move{4, 6, 4, 4, chess::Empty}}) {
            QVERIFY(form->Game().Play(move));
            kept.Flush();  // each move written, or failed, on its own
        }
        QTest::qWait(20);
        QCOMPARE(told.count(), file == "data folder" ? 1 : 0);
        QCOMPARE(kept.Problem().contains(kept.Path()), file == "data folder");
        QCOMPARE(QFile::exists(kept.Path()), file != "data folder");
    }
    QCOMPARE(form->Look().BoardTexture, settingsRead ? 2 : 1);
    QCOMPARE(form->pos().x(), settingsRead ? 200 : 147);
    QCOMPARE(form->LanguageName(), QString(settingsRead && !warned ? "english" : "czech"));
    QCOMPARE(form->Item("anglicky1")->isEnabled(), !warned);
    QCOMPARE(form->Item("Konec1")->text(), konec);
    QVERIFY(form->close());
    QVERIFY(!form->isVisible());

    QStringList expected;
    if (warned)
        expected << QStringLiteral("Soubory obsahující jazykové verze programu nejsou kompletní.\n\n"
                                   "Proto bude bude k  dispozici pouze česká verze programu.");
    if (!written)
        expected << QStringLiteral("Unable to write to %1").arg(folder.paths.SettingsFile);
    QCOMPARE(answers.Texts(), expected);

    FileFacts after = FactsOf(path);
    if (file == "settings" && written) {
        const QString text = WrittenText(after.bytes, kind);
        QCOMPARE(text.count(QStringLiteral("Left=")), 1);
        for (const char* entry : {"Left=200", "Width=622", "N21=1", "anglicky=1"})
            QVERIFY2(text.contains(QLatin1String(entry)), qPrintable(text.left(200)));
        after.bytes = before.bytes;
    }
    QVERIFY2(after == before, "the file or its mode, owner or group changed");
    if (file != "settings")
        QCOMPARE(folder.Value("cesky"), QByteArray(warned ? "1" : "0"));
}

// The message dialog takes the main window's title anew for each message, and
// grows for a message that does not fit its design width.
void TestMainWindow::messageDialogFollowsTitleAndWidens()
{
    ProgramFolder folder({"czech", "deutch"});
    QFile english(folder.paths.ProgramDir + QStringLiteral("Language/english"));
    QVERIFY(english.open(QIODevice::WriteOnly));
    const QString longText = QStringLiteral(
        "This move cannot be made, because the piece does not move that way at all.");
    english.write(("[Form1]\nForm1=Pricklyback chess\n[Texty]\nTextNelze=" + longText + "\n").toUtf8());
    english.close();

    Answerer answers;
    auto form = folder.Start();
    Play(*form, "e2e5");
    form->Item("anglicky1")->trigger();
    Play(*form, "e2e5");
    answers.closing = Answerer::Closing::CloseBox;  // the same for the game as OK
    Play(*form, "e2e5");
    answers.closing = Answerer::Closing::Enter;
    Play(*form, "e2e5");
    QCOMPARE(answers.Texts(), QStringList({Nelze, longText, longText, longText}));
    QCOMPARE(answers.seen[0].title, Title);
    QCOMPARE(answers.seen[1].title, QStringLiteral("Pricklyback chess"));
    QCOMPARE(form->State().At(4, 1), chess::Pawn);
    QCOMPARE(form->State().SelectedSquare, chess::NoSelection);

    const QRect small = answers.seen[0].geometry, wide = answers.seen[1].geometry;
    QVERIFY2(wide.width() > small.width(), qPrintable(QStringLiteral("%1 <= %2").arg(wide.width()).arg(small.width())));
    auto* dialog = form->findChild<TFormHlasky*>();
    QVERIFY(dialog);
    auto* label = dialog->findChild<QLabel*>(QStringLiteral("Label1"));
    QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(longText));
    // Centred over the main window, give or take its frame.
    const QRect owner = form->frameGeometry();
    QVERIFY2((wide.center() - owner.center()).manhattanLength() <= 8,
             qPrintable(QStringLiteral("dialog centre %1,%2, window centre %3,%4")
                            .arg(wide.center().x())
                            .arg(wide.center().y())
                            .arg(owner.center().x())
                            .arg(owner.center().y())));
}

void TestMainWindow::messageDialogSize_data()
{
    QTest::addColumn<QByteArray>("message");  // from the language file; empty for the built-in one
    QTest::newRow("built-in") << QByteArray();
    QTest::newRow("2,047 letters without a blank") << QByteArray(2047, 'W');
    QByteArray words;
    while (words.size() < 2040)
        words += "Tah není možné provést. ";
    QTest::newRow("2,047 characters of words") << words.left(2047).trimmed();
}

// A short message keeps the design size, 195 x 105 with the button at 64, 61;
// a long one is wrapped within the screen with its button on it. Escape does
// not close the dialog (it has nothing to cancel); the space bar does.
void TestMainWindow::messageDialogSize()
{
    QFETCH(QByteArray, message);
    ProgramFolder folder;
    if (!message.isEmpty()) {
        QFile czech(folder.paths.ProgramDir + QStringLiteral("Language/czech"));
        QVERIFY(czech.open(QIODevice::WriteOnly));
        czech.write("[Texty]\nTextNelze=" + message + "\n");
    }
    Answerer answers;
    answers.closing = Answerer::Closing::EscapeThenSpace;
    auto form = folder.Start();
    Play(*form, "e2e5");
    QTRY_COMPARE(answers.seen.size(), 1);
    QVERIFY(!answers.seen[0].escapeCloses);
    QCOMPARE(form->State().At(4, 1), chess::Pawn);
    QVERIFY(!QApplication::activeModalWidget());
    const Answerer::Seen& seen = answers.seen[0];
    if (message.isEmpty()) {
        QCOMPARE(seen.text, Nelze);
        QCOMPARE(seen.client, QSize(195, 105));
        QCOMPARE(seen.button, QRect(64, 61, 75, 25));
        return;
    }
    QCOMPARE(seen.text, QString::fromUtf8(message));
    const QRect screen = form->screen()->availableGeometry();
    QVERIFY2(screen.contains(seen.geometry), qPrintable(QStringLiteral("%1 x %2 at %3, %4")
                                                            .arg(seen.geometry.width())
                                                            .arg(seen.geometry.height())
                                                            .arg(seen.geometry.x())
                                                            .arg(seen.geometry.y())));
    QVERIFY(QRect(QPoint(), seen.client).contains(seen.button));
    QCOMPARE(seen.client.height() - seen.button.bottom() - 1, 19);
    // Every character is shown, on lines that fit the label.
    auto* label = form->findChild<TFormHlasky*>()->findChild<QLabel*>(QStringLiteral("Label1"));
    QVERIFY(label->height() > 3 * label->fontMetrics().lineSpacing());
    QVERIFY(label->height() + seen.button.height() < seen.client.height());
}

namespace {

struct FakeTime : chess::TimeSource {
    std::int64_t now = 0;
    std::int64_t NowMs() const override { return now; }
};

QString FaceOf(TForm1& form, bool white)
{
    return form.ClockUi().Panel()->Face(white)->Shown().time;
}

}  // namespace

// Two players choose 3 min + 2 s in the dialog, play, take a misclick back
// and lose on time; the record keeps the clock's times for other programs.
void TestMainWindow::clockThreeMinutesTwoSeconds()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    ClockController& clock = form->ClockUi();
    FakeTime time;
    clock.SetTimeSource(&time);
    QVERIFY(!clock.Panel());  // no control, no clock
    const int width = form->width();
    const QRect board = form->Board()->geometry();

    answers.whileShown = [](const Answerer::Seen&, QWidget* w) {
        if (auto* dialog = qobject_cast<TTimeControlDialog*>(w))
            dialog->Presets()->setCurrentIndex(dialog->Presets()->findText(QStringLiteral("3+2")));
    };
    form->Item(QStringLiteral("Casovakontrola1"))->trigger();
    QCOMPARE(clock.ControlText(), QStringLiteral("3+2"));
    QVERIFY(clock.Panel() && clock.Panel()->isVisible());
    QVERIFY(form->width() > width);
    QCOMPARE(form->Board()->geometry(), board);
    QCOMPARE(FaceOf(*form, true), QStringLiteral("0:03:00"));
    QVERIFY(!clock.ClockRunning());

    // Space on the board starts White's clock; a move passes it on.
    QTest::keyClick(form->Board(), Qt::Key_Space);
    QVERIFY(clock.ClockRunning());
    QVERIFY(clock.Panel()->Face(true)->Shown().running);
    Play(*form, QStringLiteral("e2e4"));
    QTRY_VERIFY(!clock.Clock().SwitchPending());
    time.now += 4500;
    clock.Tick();
    QCOMPARE(FaceOf(*form, false), QStringLiteral("0:02:55"));
    // Only a face whose text changed is painted again.
    QTest::qWait(50);  // whatever was to be painted is painted
    const int paints[2] = {clock.Panel()->Face(true)->Paints(), clock.Panel()->Face(false)->Paints()};
    time.now += 400;
    clock.Tick();
    QTest::qWait(50);
    QCOMPARE(clock.Panel()->Face(true)->Paints(), paints[0]);
    QCOMPARE(clock.Panel()->Face(false)->Paints(), paints[1]);
    time.now += 600;
    clock.Tick();
    QTRY_COMPARE(clock.Panel()->Face(false)->Paints(), paints[1] + 1);
    QCOMPARE(clock.Panel()->Face(true)->Paints(), paints[0]);
    QVERIFY(clock.Panel()->Face(false)->Shown().running);
    Play(*form, QStringLiteral("e7e5"));
    QTRY_VERIFY(!clock.Clock().SwitchPending());  // the players' hands never beat the event loop
    time.now += 3000;
    Play(*form, QStringLiteral("g1f4"));  // refused: no time passes for it
    Play(*form, QStringLiteral("g1f3"));
    QTRY_COMPARE(FaceOf(*form, true), QStringLiteral("0:03:01"));
    QCOMPARE(FaceOf(*form, false), QStringLiteral("0:02:56"));
    QCOMPARE(clock.SpokenTimes(), QStringLiteral("Bílý 0:03:01, Černý 0:02:56"));

    // The misclick taken back: the clocks as they stood, Black's turn running.
    time.now += 1500;
    form->Item(QStringLiteral("Vrtittah1"))->trigger();
    QCOMPARE(FaceOf(*form, true), QStringLiteral("0:03:02"));
    QCOMPARE(FaceOf(*form, false), QStringLiteral("0:02:56"));
    QVERIFY(clock.ClockRunning());
    // The comment dialog shows no clock command, and keeps it.
    answers.whileShown = [](const Answerer::Seen&, QWidget* w) {
        if (auto* edit = w->findChild<QPlainTextEdit*>()) {
            QCOMPARE(edit->toPlainText(), QString());
            edit->setPlainText(QStringLiteral("Hned."));
        }
    };
    form->Item(QStringLiteral("Komentktahu1"))->trigger();
    QCOMPARE(form->Record()[1].note.comment, std::string("[%clk 0:02:56] Hned."));
    answers.whileShown = nullptr;

    // Pausing stops the time; the face says so.
    form->Item(QStringLiteral("Pozastavithodiny1"))->trigger();
    time.now += 60'000;
    clock.Tick();
    QCOMPARE(FaceOf(*form, true), QStringLiteral("0:03:02"));
    QVERIFY(!clock.Panel()->Status().isEmpty());
    form->Item(QStringLiteral("Pozastavithodiny1"))->trigger();
    // Nobody plays while a position is set up: the clock waits, and goes on
    // when the set-up is cancelled.
    QVERIFY(clock.ClockRunning());
    form->SetupUi().Begin();
    QVERIFY(!clock.ClockRunning());
    form->SetupUi().Cancel();
    QVERIFY(clock.ClockRunning());

    // The flag: the game ends at once with its result, and takes no move.
    time.now += 182'000;
    answers.seen.clear();
    clock.Tick();
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("Čas vypršel. Černý vyhrál.")});
    QCOMPARE(form->Game().End(), chess::GameEnd::BlackWinsDeclared);
    QVERIFY(!clock.ClockRunning());
    QCOMPARE(FaceOf(*form, true), QStringLiteral("0:00:00.0"));
    Play(*form, QStringLiteral("g1f3"));
    QCOMPARE(answers.Texts().last(), QStringLiteral("Partie skončila."));

    const QString pgn = QString::fromStdString(WholeGameText(form->Game()));
    for (const char* piece : {"[TimeControl \"180+2\"]", "[Termination \"time forfeit\"]", "[Result \"0-1\"]",
                              "1. e4 {[%clk 0:03:02]} e5 {[%clk 0:02:56] Hned.}"})
        QVERIFY2(pgn.contains(QLatin1String(piece)), qPrintable(pgn));
    QCOMPARE(RecordTexts().Ending(form->Game().End(), form->Game()), QStringLiteral("0-1 čas vypršel"));

    // A take-back after the flag gives the game and the clocks back.
    form->Item(QStringLiteral("Vrtittah1"))->trigger();
    QCOMPARE(form->Game().End(), chess::GameEnd::None);
    QCOMPARE(FaceOf(*form, false), QStringLiteral("0:03:00"));

    // Black, to move, resigns; the move list says so, not "as recorded".
    QVERIFY(!form->State().WhiteToMove);
    answers.Answer({QMessageBox::Yes});
    form->Item(QStringLiteral("Vzdatpartii1"))->trigger();
    QCOMPARE(form->Game().End(), chess::GameEnd::WhiteWinsDeclared);
    QCOMPARE(RecordTexts().Ending(form->Game().End(), form->Game()), QStringLiteral("1-0 černý se vzdal"));
    form->Item(QStringLiteral("Vrtittah1"))->trigger();
    answers.Answer({QMessageBox::Yes});
    form->Item(QStringLiteral("Nabidnoutremizu1"))->trigger();
    QCOMPARE(RecordTexts().Ending(form->Game().End(), form->Game()), QStringLiteral("1/2-1/2 remíza dohodou"));
    form->Item(QStringLiteral("Vrtittah1"))->trigger();
    // A file's draw where a repetition could be claimed may be that claim.
    chess::Game repeated;
    for (const char* move : {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1", "f6g8"})
        QVERIFY(repeated.Play({move[0] - 'a', move[1] - '1', move[2] - 'a', move[3] - '1'}));
    repeated.SetTags({{"Termination", "normal"}});
    QVERIFY(repeated.Declare(chess::GameEnd::DrawDeclared));
    QCOMPARE(RecordTexts().Ending(repeated.End(), repeated), QStringLiteral("1/2-1/2 podle zápisu"));

    QVERIFY(form->WriteSettingsFile());
    QCOMPARE(folder.Value("casovakontrola"), QByteArray("3+2"));
    clock.SetTimeSource(nullptr);
}

// A crash in the middle of a turn costs the side to move at most the second
// since the unfinished game was last written, not the whole turn.
void TestMainWindow::clockResumesAfterACrash()
{
    ProgramFolder folder;
    Answerer answers;
    auto form = folder.Start();
    FakeTime time;
    form->ClockUi().SetTimeSource(&time);
    form->ClockUi().SetControlText(QStringLiteral("3+2"));
    Play(*form, QStringLiteral("e2e4"));
    QTRY_VERIFY(!form->ClockUi().Clock().SwitchPending());
    time.now += 5000;
    Play(*form, QStringLiteral("e7e5"));
    QTRY_VERIFY(!form->ClockUi().Clock().SwitchPending());
    for (int second = 0; second < 40; ++second) {
        time.now += 1000;
        form->ClockUi().Tick();
    }
    const QString kept = form->RecordUi().AutosavePath();
    form->RecordUi().Unfinished().Flush();
    const auto read = [&kept] {
        QFile file(kept);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray crashed = read();
    QVERIFY2(crashed.contains("[BodlanyClock \"w 182000 177000 40000\"]"), crashed.constData());
    // The program dies 0.9 s later, before it writes again.
    time.now += 900;
    form.reset();
    QFile file(kept);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(crashed) == crashed.size());
    file.close();

    auto next = folder.Start();
    next->ClockUi().SetTimeSource(&time);
    QTRY_VERIFY(next->Item("Pokraovatvrozehranpartii1")->isEnabled());
    next->Item("Pokraovatvrozehranpartii1")->trigger();
    const chess::Clock& times = next->ClockUi().Clock().Times();
    QCOMPARE(times.Remaining(true), 142'000);  // 900 ms lost of White's 141 100
    QCOMPARE(FaceOf(*next, false), QStringLiteral("0:02:57"));
    QVERIFY(!next->ClockUi().ClockRunning());
    // The tag stays in the program's own file, and keeps the times there at once.
    QVERIFY(!QString::fromStdString(WholeGameText(next->Game())).contains(QLatin1String("Bodlany")));
    next->RecordUi().Unfinished().Flush();
    QVERIFY(read().contains("[BodlanyClock \"w 182000 177000 40000\"]"));
    // The turn goes on: 42 s in all, 2 s back.
    next->ClockUi().StartClock();
    time.now += 2000;
    Play(*next, QStringLiteral("g1f3"));
    QTRY_VERIFY(!next->ClockUi().Clock().SwitchPending());
    QCOMPARE(times.Remaining(true), 142'000);
    next->ClockUi().SetTimeSource(nullptr);
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
