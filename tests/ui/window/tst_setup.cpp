// Setting up a position and the board that turns to the side to move, as
// the players use them: the menu item, the palette and the board clicked,
// dragged and typed on, the panel's controls, the game played from the
// position, saved and opened again.

#include "Artwork.h"
#include "BoardWidget.h"
#include "Fen.h"
#include "MainWindow.h"
#include "Pgn.h"
#include "SetupController.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Drags with the left button held from one point of the board to another.
void Drag(TForm1& form, QPoint from, QPoint to)
{
    QWidget* board = form.Board();
    QTest::mousePress(board, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), board->mapToGlobal(QPointF(to)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(board, &move);
    QTest::mouseRelease(board, Qt::LeftButton, Qt::NoModifier, to);
}

// Moves the board's keyboard cursor onto a square (white at the bottom) and types there.
void TypeOn(TForm1& form, const char* square, const QString& keys)
{
    QWidget* board = form.Board();
    board->setFocus();
    if (!form.Board()->CursorShown())
        QTest::keyClick(board, Qt::Key_Left);
    const QPoint target(square[0] - 'a', 7 - (square[1] - '1'));
    while (form.Board()->CursorCell().x() != target.x())
        QTest::keyClick(board, form.Board()->CursorCell().x() < target.x() ? Qt::Key_Right : Qt::Key_Left);
    while (form.Board()->CursorCell().y() != target.y())
        QTest::keyClick(board, form.Board()->CursorCell().y() < target.y() ? Qt::Key_Down : Qt::Key_Up);
    for (const QChar key : keys) {
        if (key == QLatin1Char('#'))
            QTest::keyClick(board, Qt::Key_Delete);
        else
            QTest::keyClicks(board, QString(key));
    }
}

void ClickPalette(TForm1& form, int column, int row)
{
    QWidget* palette = form.SetupUi().Panel()->findChild<QWidget*>(QStringLiteral("SetupPalette"));
    QTest::mouseClick(palette, Qt::LeftButton, Qt::NoModifier, QPoint(column * 40 + 20, row * 40 + 20));
}

template <typename W = QWidget>
W* Control(TForm1& form, const char* name)
{
    W* w = form.SetupUi().Panel()->findChild<W*>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

QString Problems(TForm1& form)
{
    return Control<QLabel>(form, "Problemy")->text();
}

}  // namespace

class TestSetup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void kingAndRookSetUpPlayedSavedAndOpened();
    void cancelGivesTheGameBack();
    void problemsAndTheFenLine_data();
    void problemsAndTheFenLine();
    void lettersOfEachLanguage();
    void boardTurnsToThePlayerOnMove();
};

void TestSetup::initTestCase()
{
    InitArtwork();
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestSetup::kingAndRookSetUpPlayedSavedAndOpened()
{
    ProgramFolder folder;
    auto form = folder.Start();
    const int width = form->width();
    form->Item("Postavitpozici1")->trigger();
    QVERIFY(form->SetupUi().Active());
    QVERIFY(form->width() > width);
    // Stored meanwhile (a signal ends the program), the width is the board's.
    QVERIFY(form->WriteSettingsFile());
    QVERIFY(ReadAll(folder.paths.SettingsFile).contains("Width=622"));
    // Nothing that changes the game works meanwhile, but leaving does.
    for (const char* item : {"Novpartie1", "Otevtpartii1", "Vloitpartiinebopozici1", "Postavitpozici1"})
        QVERIFY2(!form->Item(item)->isEnabled(), item);
    QVERIFY(form->Item("Konec1")->isEnabled());

    Control<QPushButton>(*form, "PrazdnaSachovnice")->click();
    QCOMPARE(Problems(*form),
             QStringLiteral("Bílý musí mít právě jednoho krále.\nČerný musí mít právě jednoho krále."));
    QVERIFY(!Control<QPushButton>(*form, "Hrat")->isEnabled());

    // The white king from the palette, clicked twice: twice the same square.
    ClickPalette(*form, 0, 0);
    Press(*form, "e1");
    Press(*form, "e1");
    // The black king typed, a rook clicked onto a2 and dragged home to a1.
    TypeOn(*form, "e8", QStringLiteral("k"));
    ClickPalette(*form, 2, 0);
    Press(*form, "a2");
    ClickPalette(*form, 2, 0);  // put the rook down again
    QCOMPARE(form->SetupUi().Tool(), SetupController::NoTool);
    Drag(*form, CentreOf(*form, "a2"), CentreOf(*form, "a1"));
    // What is put there by mistake goes again: right click, Delete, dragged off.
    TypeOn(*form, "d4", QStringLiteral("D#P"));
    Press(*form, "d4", Qt::RightButton);
    TypeOn(*form, "h5", QStringLiteral("n"));
    Drag(*form, CentreOf(*form, "h5"), QPoint(605, 300));
    QCOMPARE(Control<QLineEdit>(*form, "Fen")->text(), QStringLiteral("4k3/8/8/8/8/8/8/R3K3 w - - 0 1"));
    QCOMPARE(Problems(*form), QString());

    // Castling is offered where king and rook stand at home, and only there.
    QVERIFY(Control<QCheckBox>(*form, "RosadaBD")->isEnabled());
    for (const char* name : {"RosadaBK", "RosadaCK", "RosadaCD"})
        QVERIFY2(!Control<QCheckBox>(*form, name)->isEnabled(), name);
    Control<QCheckBox>(*form, "RosadaBD")->click();
    Control<QSpinBox>(*form, "CisloTahu")->setValue(30);
    const QString fen = QStringLiteral("4k3/8/8/8/8/8/8/R3K3 w Q - 0 30");
    QCOMPARE(Control<QLineEdit>(*form, "Fen")->text(), fen);
    Control<QPushButton>(*form, "Hrat")->click();
    QVERIFY(!form->SetupUi().Active());
    QCOMPARE(form->width(), width);
    QVERIFY(form->Item("Novpartie1")->isEnabled());

    Play(*form, "e1c1 e8f7 c1b2 f7e6");
    QCOMPARE(form->Record().Size(), std::size_t(4));
    QCOMPARE(form->Record().MoveNumber(0), 30);
    QCOMPARE(form->Record().MoveNumber(3), 31);
    const QString path = folder.dir.filePath(QStringLiteral("kv.pgn"));
    QVERIFY(form->RecordUi().SaveFile(path));
    const QByteArray saved = ReadAll(path);
    QVERIFY(saved.contains("[SetUp \"1\"]"));
    QVERIFY(saved.contains("[FEN \"" + fen.toLatin1() + "\"]"));
    QVERIFY(saved.contains("30. O-O-O Kf7 31. Kb2 Ke6"));
    // The unfinished game keeps the position too.
    QTRY_VERIFY(ReadAll(form->RecordUi().AutosavePath()).contains(fen.toLatin1()));
    const std::string end = form->Record().Fen();

    // Take-back stops at the position set up, and its draw count starts there.
    for (int i = 0; i < 4; ++i)
        form->Item("Vrtittah1")->trigger();
    QCOMPARE(QString::fromStdString(form->Record().Fen()), fen);
    QVERIFY(!form->Item("Vrtittah1")->isEnabled());

    auto fresh = folder.Start();
    QVERIFY(fresh->RecordUi().OpenFile(path));
    QCOMPARE(fresh->Record().Fen(), end);
    QCOMPARE(fresh->Record().MoveNumber(0), 30);
    QCOMPARE(chess::WriteFen(fresh->Record().Start(), fresh->Record().StartHalfmoveClock(),
                             fresh->Record().StartFullmoveNumber()),
             fen.toStdString());
}

void TestSetup::cancelGivesTheGameBack()
{
    ProgramFolder folder;
    auto form = folder.Start();
    form->Item("Oznaitposledntah1")->trigger();
    Play(*form, "e2e4 e7e5 g1f3");
    form->Item("Vrtittah1")->trigger();
    const std::string fen = form->Record().Fen();
    const QImage shown = form->Board()->Canvas().copy();
    const int from = form->Look().LastMoveFrom;

    form->Item("Postavitpozici1")->trigger();
    QCOMPARE(form->Look().LastMoveFrom, -1);
    Control<QPushButton>(*form, "ZakladniPostaveni")->click();
    Control<QPushButton>(*form, "ProhoditBarvy")->click();
    // Presses edit the set-up, never the game.
    Press(*form, "e7");
    Press(*form, "e5");
    QCOMPARE(Control<QLineEdit>(*form, "Fen")->text(),
             QStringLiteral("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1"));
    QCOMPARE(form->Record().Size(), std::size_t(3));
    QGuiApplication::clipboard()->setText(QStringLiteral(" 8/8/8/8/8/8/8/K1k5 w - - 0 7\n"));
    Control<QPushButton>(*form, "VlozitFen")->click();
    QCOMPARE(form->State().At(2, 0), -chess::King);
    QCOMPARE(Control<QSpinBox>(*form, "CisloTahu")->value(), 7);
    QTest::keyClick(form.get(), Qt::Key_N, Qt::ControlModifier);  // "Nová partie" waits too
    QVERIFY(form->SetupUi().Active());

    Control<QPushButton>(*form, "Zrusit")->click();
    QCOMPARE(form->Record().Fen(), fen);
    QCOMPARE(form->Record().Size(), std::size_t(3));
    QCOMPARE(form->Record().Current(), std::size_t(2));
    QCOMPARE(form->Look().LastMoveFrom, from);
    QVERIFY(form->Board()->Canvas() == shown);
    QVERIFY(form->Item("Vrtittah1")->isEnabled());
    QVERIFY(form->Item("Znovu1")->isEnabled());
    Play(*form, "g1f3");
    QCOMPARE(form->Record().Size(), std::size_t(3));
}

void TestSetup::problemsAndTheFenLine_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("problems");  // "" for a position that can be played
    QTest::addColumn<QString>("shown");     // the FEN of the board afterwards
    const QString start = QString::fromLatin1(chess::StartFen.data());
    QTest::newRow("kings only") << "4k3/8/8/8/8/8/8/4K3 b - - 3 12"
                                << ""
                                << "4k3/8/8/8/8/8/8/4K3 b - - 3 12";
    QTest::newRow("no line") << "4k3/8/8/8/8/8/8/4K3 b"
                             << "Zápis FEN nelze přečíst." << start;
    QTest::newRow("two white kings") << "4k3/8/8/8/8/8/8/3KK3 w - - 0 1"
                                     << "Bílý musí mít právě jednoho krále."
                                     << "4k3/8/8/8/8/8/8/3KK3 w - - 0 1";
    QTest::newRow("pawn on the edge, check")
        << "4k2R/8/8/8/8/8/8/p3K3 w - - 0 1"
        << "Černý má pěšce na první nebo poslední řadě.\nČerný není na tahu, a přesto je v šachu."
        << "4k2R/8/8/8/8/8/8/p3K3 w - - 0 1";
    // Each kind of problem is found by the position check's own table; here
    // only how the panel words them, with and without a side.
    QTest::newRow("promoted") << "4k3/8/8/8/8/PPPPPPPP/8/QQ2K3 w - - 0 1"
                              << "Bílý má víc proměněných kamenů, než kolik mu chybí pěšců."
                              << "4k3/8/8/8/8/PPPPPPPP/8/QQ2K3 w - - 0 1";
    // Rights the board does not allow are dropped, an en passant square
    // nobody can take too; one that can be taken stays.
    QTest::newRow("rights dropped") << "4k2r/8/8/3p4/8/8/8/4K3 w KQk d6 0 5"
                                    << ""
                                    << "4k2r/8/8/3p4/8/8/8/4K3 w k - 0 5";
    QTest::newRow("en passant kept") << "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 5"
                                     << ""
                                     << "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 5";
}

void TestSetup::problemsAndTheFenLine()
{
    QFETCH(QString, typed);
    QFETCH(QString, problems);
    QFETCH(QString, shown);
    ProgramFolder folder;
    auto form = folder.Start();
    form->Item("Postavitpozici1")->trigger();
    QLineEdit* line = Control<QLineEdit>(*form, "Fen");
    line->selectAll();
    QTest::keyClicks(line, typed);
    if (problems.isEmpty())
        QCOMPARE(Problems(*form), QString());
    else
        QVERIFY2(Problems(*form).startsWith(problems), qPrintable(Problems(*form)));
    QCOMPARE(Control<QPushButton>(*form, "Hrat")->isEnabled(), problems.isEmpty());
    QCOMPARE(QString::fromStdString(chess::WriteFen(form->State(), 0, 1)).section(QLatin1Char(' '), 0, 3),
             shown.section(QLatin1Char(' '), 0, 3));
    // The line is left as typed; the next change writes it anew.
    QCOMPARE(line->text(), typed);
    QSpinBox* number = Control<QSpinBox>(*form, "CisloTahu");
    number->setValue(number->value() + 1);
    number->setValue(shown.section(QLatin1Char(' '), 5).toInt());
    QCOMPARE(line->text(), shown);
    QCOMPARE(Control<QComboBox>(*form, "Mimochodem")->isEnabled(), shown.contains(QLatin1String(" d6 ")));
}

void TestSetup::lettersOfEachLanguage()
{
    ProgramFolder folder;
    auto form = folder.Start();
    form->Item("nmecky1")->trigger();
    form->Item("Postavitpozici1")->trigger();
    Control<QPushButton>(*form, "PrazdnaSachovnice")->click();
    TypeOn(*form, "a1", QStringLiteral("K"));
    TypeOn(*form, "b1", QStringLiteral("D"));
    TypeOn(*form, "c1", QStringLiteral("T"));
    TypeOn(*form, "d1", QStringLiteral("L"));
    TypeOn(*form, "e1", QStringLiteral("S"));
    TypeOn(*form, "f2", QStringLiteral("B"));
    TypeOn(*form, "h8", QStringLiteral("kxs"));  // no piece is called x; the last letter counts
    QCOMPARE(Control<QLineEdit>(*form, "Fen")->text(), QStringLiteral("7n/8/8/8/8/8/5P2/KQRBN3 w - - 0 1"));
    QCOMPARE(Problems(*form), QStringLiteral("Schwarz muss genau einen König haben."));
    form->Item("anglicky1")->trigger();
    TypeOn(*form, "h8", QStringLiteral("k"));
    TypeOn(*form, "g1", QStringLiteral("N"));
    TypeOn(*form, "h1", QStringLiteral("R"));
    QCOMPARE(Control<QLineEdit>(*form, "Fen")->text(), QStringLiteral("7k/8/8/8/8/8/5P2/KQRBN1NR w - - 0 1"));
    QCOMPARE(Control<QPushButton>(*form, "Hrat")->text(), QStringLiteral("Play from this position"));

    // A piece dragged from the palette lands where it is dropped.
    QMimeData data;
    data.setData(QStringLiteral("application/x-bodlany-sachy-piece"), "-2");
    QDragEnterEvent enter(CentreOf(*form, "a8"), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->Board(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(CentreOf(*form, "a8")), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->Board(), &drop);
    QCOMPARE(form->State().At(0, 7), -chess::Rook);
}

void TestSetup::boardTurnsToThePlayerOnMove()
{
    ProgramFolder folder;
    auto form = folder.Start();
    QVERIFY(!form->Item("Otetachovnicikhrinatahu1")->isChecked());
    form->Item("Otetachovnicikhrinatahu1")->trigger();
    const QStringList moves = {"e2e4", "e7e5", "g1f3", "b8c6"};
    for (const QString& move : moves) {
        const bool white = form->State().WhiteToMove;
        QCOMPARE(form->Look().WhiteAtBottom, white);
        QCOMPARE(form->Item("bldole1")->isChecked(), white);
        QCOMPARE(form->Item("erndole1")->isChecked(), !white);
        Play(*form, move);
        QCOMPARE(form->Look().WhiteAtBottom, !white);
    }
    QCOMPARE(form->Record().Size(), std::size_t(4));
    QCOMPARE(form->State().At(2, 5), -chess::Knight);
    form->Item("Vrtittah1")->trigger();
    QVERIFY(!form->Look().WhiteAtBottom);
    form->Item("Nazatek1")->trigger();
    QVERIFY(form->Look().WhiteAtBottom);

    // Kept in the settings file, and at the next start the board turns at once.
    QVERIFY(form->WriteSettingsFile());
    QVERIFY(ReadAll(folder.paths.SettingsFile).contains("otacet=1"));
    form->Item("Nakonec1")->trigger();
    QVERIFY(form->Look().WhiteAtBottom);
    form.reset();
    form = folder.Start();
    QVERIFY(form->Item("Otetachovnicikhrinatahu1")->isChecked());
    QVERIFY(form->RecordUi().PasteText(QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 b - - 0 1")));
    QVERIFY(!form->Look().WhiteAtBottom);

    // Turned off, the board stays as it is.
    form->Item("Otetachovnicikhrinatahu1")->trigger();
    Play(*form, "e8d8");
    QVERIFY(!form->Look().WhiteAtBottom);
    QVERIFY(form->WriteSettingsFile());
    QVERIFY(ReadAll(folder.paths.SettingsFile).contains("otacet=0"));
}

QTEST_MAIN(TestSetup)
#include "tst_setup.moc"
