// The promotion dialog as the player meets it: opened modally over the main
// window, driven with the mouse and the keyboard, closable only by OK.

#include "Language.h"
#include "Mylabel.h"
#include "NovaFigurka.h"

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// The folder above the language files stands for the program's folder.
const QString ProgramDir = QStringLiteral(LANGUAGE_DIR "/../");

// Stands in for the board: remembers what it was asked to redraw, and
// whether the dialog's exec() had already returned at that moment.
struct FakeBoard : chess::SquareListener {
    struct Call {
        int file, rank;
        bool afterExec;
    };
    QList<Call> calls;
    bool execReturned = false;
    void DrawSquare(int file, int rank) override { calls.append({file, rank, execReturned}); }
};

QList<QRadioButton*> Choices(const TNasadit& dialog)
{
    auto* group = dialog.findChild<QGroupBox*>(QStringLiteral("RadioGroup1"));
    return group ? group->findChildren<QRadioButton*>() : QList<QRadioButton*>();
}

QPushButton* OkButton(const TNasadit& dialog)
{
    return dialog.findChild<QPushButton*>(QStringLiteral("Button1"));
}

// Where a player clicks a radio button: on its round indicator.
QPoint IndicatorCentre(QRadioButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    return button->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, button).center();
}

// Runs the dialog modally and lets `act` play the player while it is up.
// Should the dialog refuse to close, a watchdog ends it so that the test
// fails instead of hanging.
int RunModal(TNasadit& dialog, FakeBoard& board, const std::function<void()>& act)
{
    QTimer::singleShot(0, &dialog, act);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &dialog, [&dialog] { dialog.QDialog::done(-1); });
    watchdog.start(10000);
    const int result = dialog.exec();
    board.execReturned = true;
    return result;
}

// A board with nothing but the two kings and the pawn on its last rank.
chess::GameState Promotion(int32_t pawn, int file)
{
    chess::GameState state;
    state.At(7, 3) = chess::King;
    state.At(7, 5) = -chess::King;
    state.MovingPiece = pawn;
    state.ToFile = file;
    state.ToRank = pawn > 0 ? 7 : 0;
    state.At(file, state.ToRank) = pawn;
    return state;
}

QString DialogTexts(const TNasadit& dialog)
{
    QStringList texts{dialog.windowTitle(), dialog.findChild<TmyLabel3d*>(QStringLiteral("myLabel3d1"))->text(),
                      OkButton(dialog)->text(), dialog.findChild<QGroupBox*>(QStringLiteral("RadioGroup1"))->title()};
    for (QRadioButton* choice : Choices(dialog))
        texts << choice->text();
    return texts.join(QLatin1Char('|'));
}

}  // namespace

class TestPromotion : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void choiceBecomesThePiece_data();
    void choiceBecomesThePiece();
    void queenIsChosenOnOpening();
    void keyboardAlone();
    void onlyOkCloses();
    void centredOverTheMainWindow();
    void texts_data();
    void texts();
    void shippedTextsFit_data();
    void shippedTextsFit();
};

void TestPromotion::initTestCase()
{
    // What the program asks for and what it gets on Linux.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

void TestPromotion::choiceBecomesThePiece_data()
{
    QTest::addColumn<int>("pawn");
    QTest::addColumn<int>("file");
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<int>("expected");

    QTest::newRow("white e8 queen, OK clicked") << 1 << 4 << 0 << false << 5;
    QTest::newRow("white e8 rook, OK clicked") << 1 << 4 << 1 << false << 2;
    QTest::newRow("white e8 bishop, Enter") << 1 << 4 << 2 << true << 4;
    QTest::newRow("white e8 knight, Enter") << 1 << 4 << 3 << true << 3;
    QTest::newRow("black a1 queen, Enter") << -1 << 0 << 0 << true << -5;
    QTest::newRow("black a1 rook, Enter") << -1 << 0 << 1 << true << -2;
    QTest::newRow("black a1 bishop, OK clicked") << -1 << 0 << 2 << false << -4;
    QTest::newRow("black a1 knight, OK clicked") << -1 << 0 << 3 << false << -3;
    QTest::newRow("white h8 knight, OK clicked") << 1 << 7 << 3 << false << 3;
}

void TestPromotion::choiceBecomesThePiece()
{
    QFETCH(int, pawn);
    QFETCH(int, file);
    QFETCH(int, choice);
    QFETCH(bool, byEnter);
    QFETCH(int, expected);

    chess::GameState state = Promotion(pawn, file);
    const chess::GameState before = state;
    const int rank = pawn > 0 ? 7 : 0;
    FakeBoard board;
    QWidget owner;
    owner.show();
    TNasadit dialog(state, board, LanguageFile(), &owner);

    bool drawnWhileOpen = false;
    const int result = RunModal(dialog, board, [&] {
        QRadioButton* item = Choices(dialog).value(choice);
        if (item)
            QTest::mouseClick(item, Qt::LeftButton, {}, IndicatorCentre(item));
        drawnWhileOpen = !board.calls.isEmpty();
        if (byEnter)
            QTest::keyClick(&dialog, Qt::Key_Return);
        else
            QTest::mouseClick(OkButton(dialog), Qt::LeftButton);
    });

    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(dialog.ChosenIndex(), choice);
    QCOMPARE(state.At(file, rank), expected);
    chess::GameState rest = state;
    rest.At(file, rank) = before.At(file, rank);
    QVERIFY2(rest.Board == before.Board, "other squares changed");
    QVERIFY(!drawnWhileOpen);
    QCOMPARE(board.calls.size(), 1);
    QCOMPARE(board.calls[0].file, file);
    QCOMPARE(board.calls[0].rank, rank);
    QVERIFY2(!board.calls[0].afterExec, "the square must be redrawn before exec() returns");
}

// The player who just presses Enter gets a queen.
void TestPromotion::queenIsChosenOnOpening()
{
    chess::GameState state = Promotion(chess::Pawn, 4);
    FakeBoard board;
    TNasadit dialog(state, board, LanguageFile(), nullptr);
    QList<bool> checked;
    RunModal(dialog, board, [&] {
        for (QRadioButton* item : Choices(dialog))
            checked << item->isChecked();
        QTest::keyClick(&dialog, Qt::Key_Enter);
    });
    QCOMPARE(checked, (QList<bool>{true, false, false, false}));
    QCOMPARE(state.At(4, 7), int(chess::Queen));
}

// Arrow keys move through the choices, Enter confirms; no mouse needed.
void TestPromotion::keyboardAlone()
{
    chess::GameState state = Promotion(-chess::Pawn, 6);
    FakeBoard board;
    TNasadit dialog(state, board, LanguageFile(), nullptr);
    RunModal(dialog, board, [&] {
        dialog.activateWindow();
        if (!QTest::qWaitForWindowActive(&dialog))
            return;  // the watchdog ends it, and the checks below fail
        QWidget* focus = QApplication::focusWidget();
        for (int i = 0; i < 3 && focus; ++i) {
            QTest::keyClick(focus, Qt::Key_Down);
            focus = dialog.focusWidget();
        }
        QTest::keyClick(focus ? focus : &dialog, Qt::Key_Return);
    });
    QCOMPARE(dialog.ChosenIndex(), 3);
    QCOMPARE(state.At(6, 0), -int(chess::Knight));
}

void TestPromotion::onlyOkCloses()
{
    chess::GameState state = Promotion(chess::Pawn, 2);
    FakeBoard board;
    QWidget owner;
    owner.show();
    TNasadit dialog(state, board, LanguageFile(), &owner);
    bool openAfterEscape = false, openAfterClose = false, closeAccepted = true, openAfterSecondEscape = false;
    int32_t pieceWhileOpen = 0;
    const int result = RunModal(dialog, board, [&] {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        openAfterEscape = dialog.isVisible();
        // What the window manager sends for the close box or Alt+F4.
        closeAccepted = dialog.close();
        openAfterClose = dialog.isVisible();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        openAfterSecondEscape = dialog.isVisible();
        pieceWhileOpen = state.At(2, 7);
        QTest::mouseClick(OkButton(dialog), Qt::LeftButton);
    });
    QVERIFY(openAfterEscape);
    QVERIFY(!closeAccepted);
    QVERIFY(openAfterClose);
    QVERIFY(openAfterSecondEscape);
    QCOMPARE(pieceWhileOpen, int(chess::Pawn));
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(state.At(2, 7), int(chess::Queen));
    QCOMPARE(board.calls.size(), 1);
}

void TestPromotion::centredOverTheMainWindow()
{
    chess::GameState state = Promotion(chess::Pawn, 0);
    FakeBoard board;
    QWidget owner;
    owner.setGeometry(147, 59, 622, 659);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    TNasadit dialog(state, board, LanguageFile(), &owner);
    QPoint dialogCentre, ownerCentre;
    RunModal(dialog, board, [&] {
        dialogCentre = dialog.frameGeometry().center();
        ownerCentre = owner.frameGeometry().center();
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    QVERIFY2((dialogCentre - ownerCentre).manhattanLength() <= 4,
             qPrintable(QStringLiteral("dialog centre %1,%2, window centre %3,%4")
                            .arg(dialogCentre.x())
                            .arg(dialogCentre.y())
                            .arg(ownerCentre.x())
                            .arg(ownerCentre.y())));
}

void TestPromotion::texts_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected");

    const QString czech = QStringLiteral(
        "Bodlany šachy|Jakou figurku chcete postavit  do hry?|OK|Nová figurka|dáma|věž|střelec|jezdec");
    QTest::newRow("missing file") << QByteArray() << czech;
    QTest::newRow("empty file") << QByteArray("") << czech;
    QTest::newRow("every key") << QByteArray("[Form1]\nForm1=Chess\n[NovaFigurka]\nButton1=Go\nmyLabel3d1=Which?\n"
                                             "RadioGroup1=Piece\nRadioGroup1.Items[0]=Q\nRadioGroup1.Items[1]=R\n"
                                             "RadioGroup1.Items[2]=B\nRadioGroup1.Items[3]=N\n")
                               << QStringLiteral("Chess|Which?|Go|Piece|Q|R|B|N");
    QTest::newRow("one key, the rest Czech")
        << QByteArray("[NovaFigurka]\nRadioGroup1.Items[2]=L\xC3\xA4ufer\n")
        << QStringLiteral(
               "Bodlany šachy|Jakou figurku chcete postavit  do hry?|OK|Nová figurka|dáma|věž|Läufer|jezdec");
    QTest::newRow("keys of the wrong section")
        << QByteArray("[Autor]\nButton1=Close\n[Texty]\nmyLabel3d1=Check!\n[Form1]\nRadioGroup1=Menu\n") << czech;
}

void TestPromotion::texts()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("english"));
    if (!file.isNull()) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
    }
    chess::GameState state = Promotion(chess::Pawn, 0);
    FakeBoard board;
    TNasadit dialog(state, board, LanguageFile(path), nullptr);
    QCOMPARE(DialogTexts(dialog), expected);
}

void TestPromotion::shippedTextsFit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("clearOfGroup");
    // The built-in Czech question is a few pixels wider than the room left
    // of the choices; the translations have no such excuse.
    QTest::newRow("czech") << QStringLiteral("czech") << false;
    QTest::newRow("deutch") << QStringLiteral("deutch") << true;
    QTest::newRow("english") << QStringLiteral("english") << true;
}

// Each language as the player sees it: the texts are the file's, and they
// fit the fixed layout without being cut off. Set PROMOTION_SNAPSHOTS to a
// folder to get a picture of each.
void TestPromotion::shippedTextsFit()
{
    QFETCH(QString, name);
    QFETCH(bool, clearOfGroup);
    chess::GameState state = Promotion(chess::Pawn, 0);
    FakeBoard board;
    const LanguageFile language(LanguageFilePath(ProgramDir, name));
    TNasadit dialog(state, board, language, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    auto* question = dialog.findChild<TmyLabel3d*>(QStringLiteral("myLabel3d1"));
    auto* group = dialog.findChild<QGroupBox*>(QStringLiteral("RadioGroup1"));
    QCOMPARE(group->title(), language.Text("NovaFigurka", QStringLiteral("RadioGroup1"), QString()));
    QCOMPARE(OkButton(dialog)->text(), language.Text("NovaFigurka", QStringLiteral("Button1"), QString()));
    QCOMPARE(dialog.windowTitle(), DefaultTitle);
    if (name == QLatin1String("deutch"))
        QCOMPARE(group->title(), QStringLiteral("Neue Figur"));

    QCOMPARE(dialog.size(), QSize(242, 121));
    QVERIFY2(question->heightForWidth(question->width()) <= question->height(),
             qPrintable(QStringLiteral("the question needs %1 px").arg(question->heightForWidth(question->width()))));
    if (clearOfGroup) {
        const QRect lines = QFontMetrics(question->font())
                                .boundingRect(QRect(0, 0, question->width(), 1000),
                                              Qt::TextWordWrap | Qt::TextShowMnemonic, question->text());
        // One pixel more for the raised edge.
        QVERIFY2(question->x() + lines.width() + 1 < group->x(),
                 qPrintable(QStringLiteral("the question is %1 px wide").arg(lines.width())));
    }
    const QFontMetrics groupMetrics(group->font());
    QVERIFY2(groupMetrics.horizontalAdvance(group->title()) + 12 <= group->width(), "the group's caption is cut");
    for (QRadioButton* item : Choices(dialog)) {
        QVERIFY2(item->sizeHint().width() <= item->width(), qPrintable(item->text() + QStringLiteral(" is cut")));
        QVERIFY2(item->geometry().bottom() < group->contentsRect().bottom() + 2,
                 qPrintable(item->text() + QStringLiteral(" hangs out of the group")));
    }

    const QString snapshots = qEnvironmentVariable("PROMOTION_SNAPSHOTS");
    if (!snapshots.isEmpty())
        QVERIFY(dialog.grab().save(snapshots + QStringLiteral("/nasadit-") + name + QStringLiteral(".png")));
}

QTEST_MAIN(TestPromotion)
#include "tst_promotion.moc"
