// Playing without the board's picture: moves and reading commands typed
// into the field below the board, what the screen reader is told, and the
// board as the accessibility framework sees it.

#include "AccessBoard.h"
#include "AccessController.h"
#include "BoardWidget.h"
#include "ClockController.h"
#include "EngineController.h"
#include "Fen.h"
#include "MainWindow.h"
#include "SetupController.h"
#include "TimeControlDialog.h"
#include "WindowTestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// Closes every modal dialog as a player would, noting its text; a dialog
// that asks which piece a pawn becomes is a fault here.
class Closer : public QObject {
public:
    QStringList seen;
    Closer()
    {
        connect(&timer_, &QTimer::timeout, this, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w || !w->isVisible() || w == last_)
                return;
            last_ = w;
            w->installEventFilter(this);
            if (auto* label = w->findChild<QLabel*>(QStringLiteral("Label1")))
                seen << label->text().trimmed();
            else
                seen << w->metaObject()->className();
            if (auto* dialog = qobject_cast<QDialog*>(w))
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        });
        timer_.start(10);
    }

protected:
    // The message dialog is one widget shown again for each message.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == last_ && event->type() == QEvent::Hide) {
            last_->removeEventFilter(this);
            last_ = nullptr;
        }
        return false;
    }

private:
    QTimer timer_;
    QPointer<QWidget> last_;
};

struct Program {
    ProgramFolder folder;
    std::unique_ptr<TForm1> form;

    explicit Program(const char* language)
    {
        folder.WriteSettings(SectionHeader + "\r\nbilydole=1\r\ncesky=" + (language[0] == 'c' ? "1" : "0")
                             + "\r\nnemecky=" + (language[0] == 'd' ? "1" : "0")
                             + "\r\nanglicky=" + (language[0] == 'e' ? "1" : "0") + "\r\n");
        form = folder.Start();
    }
    AccessController& Access() const { return form->AccessUi(); }
    void SetUp(const char* fen) const
    {
        const chess::FenReading r = chess::ReadFen(fen);
        QVERIFY(r.ok);
        form->Game().NewGame(r.position.state, r.position.halfmoveClock, r.position.fullmoveNumber);
    }
    // Types the text into the field and presses Enter; what is said.
    QString Enter(const QString& text) const
    {
        Access().OpenField();
        Access().Field()->setText(text);
        QTest::keyClick(Access().Field(), Qt::Key_Return);
        return Access().AnswerLine()->text();
    }
};

const char* Start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

}  // namespace

class TestAccess : public QObject {
    Q_OBJECT
private slots:
    void typedMovesAndCommands_data();
    void typedMovesAndCommands();
    void saidOnEveryChange_data();
    void saidOnEveryChange();
    void typingOnTheBoardOpensTheField();
    void boardReadsAsATableOfSquares();
    void everyPanelAndControlHasAName();
    void builtInTextsAreTheCzechFile();
};

void TestAccess::typedMovesAndCommands_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("fen");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("played");     // the record's last move after it, "" for none
    QTest::addColumn<QStringList>("boxes");  // the messages that came up

    const QString knights = QStringLiteral("4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1");
    const QString promote = QStringLiteral("3r3k/4P3/8/8/8/8/8/4K3 w - - 0 1");
    const QString passant = QStringLiteral("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    const QString castle = QStringLiteral("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    const QString fool = QStringLiteral("rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq - 0 2");
    const QString sparse = QStringLiteral("4k3/8/8/8/3P4/8/8/4K3 w - - 0 1");
    const QStringList none;
    auto add = [](const char* name, const QString& language, const QString& fen, const QString& typed,
                  const QString& said, const QString& played, const QStringList& boxes) {
        QTest::newRow(name) << language << fen << typed << said << played << boxes;
    };
    // Moves, said as they are played, and what the board says besides.
    add("pawn", "cs", Start, "e4", "Pěšec e2 e4.", "e4", none);
    add("czech letters", "cs", Start, "Jf3", "Jezdec g1 f3.", "Nf3", none);
    add("german letters", "de", Start, "Sf3", "Springer g1 f3.", "Nf3", none);
    add("english in czech", "cs", Start, "nf3", "Jezdec g1 f3.", "Nf3", none);
    add("long notation", "en", Start, "g1f3", "Knight g1 f3.", "Nf3", none);
    add("capture with check", "cs", promote, "exd8=D", "Pěšec e7 bere na d8, proměna v dámu, šach.", "exd8=Q+",
        QStringList{"ŠACH!"});
    add("promotion without the dialog", "de", promote, "e8S", "Bauer e7 e8, Umwandlung in Springer.", "e8=N", none);
    add("en passant", "en", passant, "exd6", "Pawn e5 takes en passant on d6.", "exd6", none);
    add("castling", "cs", castle, "0-0-0", "Velká rošáda.", "O-O-O", none);
    add("mate", "cs", fool, "Dh4", "Dáma d8 h4, šach. Mat. Černý vyhrál.", "Qh4#",
        QStringList{"ŠACH!", "MAT!   Černý vyhrál!"});
    // Refused with a reason, the board unchanged.
    add("ambiguous", "cs", knights, "Jd2", "Nejednoznačné: Jbd2 nebo Jfd2.", "", none);
    add("ambiguous english", "en", knights, "Nd2", "Ambiguous: Nbd2 or Nfd2.", "", none);
    add("illegal", "de", Start, "Dh5", "Der Zug Dh5 ist nicht möglich.", "", none);
    add("unreadable", "en", Start, "hello",
        "Not understood: \"hello\". Type moves like Nf3 or g1f3; "
        "commands: l last move, c who is to move, p N where pieces "
        "stand, s e file, s 4 rank, b whole position.",
        "", none);
    // The reading commands.
    add("no last move", "cs", Start, "l", "Zatím nebyl zahrán žádný tah.", "", none);
    add("turn", "de", fool, "c", "Schwarz ist am Zug.", "", none);
    add("white knights", "cs", Start, "p J", "bílý jezdec: b1, g1.", "", none);
    add("black knights", "en", Start, "p n", "black knight: b8, g8.", "", none);
    add("black pawns german", "de", sparse, "p p", "schwarzer Bauer: keiner.", "", none);
    add("rank", "en", sparse, "s 4",
        "Rank 4: a4, empty; b4, empty; c4, empty; d4, white pawn; e4, empty; f4, empty; g4, empty; "
        "h4, empty.",
        "", none);
    add("file", "cs", sparse, "s e",
        "Sloupec e: e1, bílý král; e2, prázdné; e3, prázdné; e4, prázdné; e5, prázdné; e6, prázdné; "
        "e7, prázdné; e8, černý král.",
        "", none);
    add("whole position", "de", sparse, "b", "Weiß: König e1, Bauer d4; Schwarz: König e8.", "", none);
    add("piece letter missing", "cs", Start, "p",
        "Nerozumím „p“. Tah pište jako Jf3 nebo g1f3; příkazy: l poslední tah, c kdo je "
        "na tahu, p J kde stojí kameny, s e sloupec, s 4 řada, b celá pozice.",
        "", none);
}

void TestAccess::typedMovesAndCommands()
{
    QFETCH(QString, language);
    QFETCH(QString, fen);
    QFETCH(QString, typed);
    QFETCH(QString, said);
    QFETCH(QString, played);
    QFETCH(QStringList, boxes);
    Program program(qPrintable(language));
    program.SetUp(qPrintable(fen));
    Closer closer;
    const chess::GameState before = program.form->State();
    QCOMPARE(program.Enter(typed), said);
    // Said through the screen reader's status object as well.
    auto* status = program.form->findChild<AccessStatus*>();
    QVERIFY(status);
    QCOMPARE(status->text(), said);
    const chess::History& record = program.form->Record();
    QCOMPARE(record.Size() > 0 ? QString::fromStdString(record[record.Size() - 1].san) : QString(), played);
    if (played.isEmpty())
        QVERIFY(program.form->State().Board == before.Board);
    QCOMPARE(closer.seen, boxes);
}

void TestAccess::saidOnEveryChange_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("moves");   // typed, one after another
    QTest::addColumn<QString>("change");  // then made from the menu
    QTest::addColumn<QString>("said");
    auto add = [](const char* name, const QString& language, const QString& moves, const QString& change,
                  const QString& said) { QTest::newRow(name) << language << moves << change << said; };
    // A clicked move is said as a typed one is.
    add("clicked", "de", "", "click", "Springer g1 f3.");
    add("taken back", "cs", "e4", "back", "Vrácen tah: Pěšec e2 e4.");
    add("replayed", "en", "e4", "back replay", "Replayed: Pawn e2 e4.");
    add("stepped to the start", "de", "e4 e5", "start", "Ausgangsstellung.");
    add("stepped forward", "cs", "e4 e5", "start forward", "Pozice po tahu 1: Pěšec e2 e4.");
    add("new game", "en", "e4", "new", "New game.");
    // A draw the player claims after the third repetition (refused when asked).
    add("claimed draw", "cs", "Jf3 Jf6 Jg1 Jg8 Jf3 Jf6 Jg1 Jg8", "claim",
        "Partie skončila: 1/2-1/2 remíza na žádost: opakování pozice.");
    // A result given from outside the rules, as a resignation or a flag gives one.
    add("declared end", "en", "", "declared", "Game opened. The game has ended: 1-0 as recorded.");
}

void TestAccess::saidOnEveryChange()
{
    QFETCH(QString, language);
    QFETCH(QString, moves);
    QFETCH(QString, change);
    QFETCH(QString, said);
    Program program(qPrintable(language));
    Closer closer;
    for (const QString& move : moves.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        program.Enter(move);
    RecordController& record = program.form->RecordUi();
    for (const QString& step : change.split(QLatin1Char(' '))) {
        if (step == QLatin1String("back"))
            record.TakeBack();
        else if (step == QLatin1String("replay"))
            record.Replay();
        else if (step == QLatin1String("start"))
            record.StepToStart();
        else if (step == QLatin1String("forward"))
            record.StepForward();
        else if (step == QLatin1String("click"))
            for (const QPoint square : {QPoint(6, 7), QPoint(5, 5)})  // g1 and f3 on the screen
                QTest::mouseClick(program.form->Board(), Qt::LeftButton, {},
                                  QPoint(34 + 68 * square.x() + 34, 34 + 68 * square.y() + 34));
        else if (step == QLatin1String("new"))
            program.form->Game().NewGame();
        else if (step == QLatin1String("claim"))
            record.ClaimDraw();
        else if (step == QLatin1String("declared"))
            QVERIFY(record.PasteText(QStringLiteral("[Result \"1-0\"]\n\n1. e4 1-0\n")));
    }
    QCOMPARE(program.form->findChild<AccessStatus*>()->text(), said);
}

void TestAccess::typingOnTheBoardOpensTheField()
{
    Program program("cs");
    BoardWidget* board = program.form->Board();
    board->setFocus();
    const QRect boardPlace = board->geometry();
    const int height = program.form->height();
    // A move takes no more keys than its notation and Enter.
    QTest::keyClick(board, 'J', Qt::ShiftModifier);
    QLineEdit* field = program.Access().Field();
    QVERIFY(field && field->isVisible());
    QVERIFY(field->hasFocus());
    QTest::keyClicks(field, QStringLiteral("f3"));
    QCOMPARE(field->text(), QStringLiteral("Jf3"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(program.form->Record().Size(), std::size_t(1));
    QVERIFY(program.form->height() > height);
    QCOMPARE(board->geometry(), boardPlace);
    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(!program.Access().Panel()->isVisible());
    QCOMPARE(program.form->height(), height);
    // Ctrl+L opens it empty; the arrows and Space still work the board.
    program.form->Item(QStringLiteral("Zadattah1"))->trigger();
    QVERIFY(field->isVisible() && field->text().isEmpty());
}

void TestAccess::boardReadsAsATableOfSquares()
{
    Program program("de");
    BoardWidget* board = program.form->Board();
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(board);
    QVERIFY(table && table->tableInterface());
    QCOMPARE(table->role(), QAccessible::Table);
    QCOMPARE(table->text(QAccessible::Name), QStringLiteral("Schachbrett"));
    QCOMPARE(table->childCount(), 64);
    auto cell = [&](int row, int column) { return table->tableInterface()->cellAt(row, column); };
    QCOMPARE(cell(0, 0)->text(QAccessible::Name), QStringLiteral("a8, schwarzer Turm"));
    QCOMPARE(cell(7, 4)->text(QAccessible::Name), QStringLiteral("e1, weißer König"));
    QCOMPARE(cell(4, 4)->text(QAccessible::Name), QStringLiteral("e4, leer"));
    QCOMPARE(table->indexOfChild(cell(7, 4)), 60);
    // A picked-up piece is the selected cell; the cursor's cell has the focus.
    Press(*program.form, "e2");
    QVERIFY(cell(6, 4)->state().selected);
    QCOMPARE(table->tableInterface()->selectedCellCount(), 1);
    board->setFocus();
    QTest::keyClick(board, Qt::Key_Up);
    QVERIFY(cell(6, 4)->state().focused);
    // Turned round, the table follows what is on the screen.
    program.form->erndole1Click();
    QCOMPARE(cell(0, 0)->text(QAccessible::Name), QStringLiteral("h1, weißer Turm"));
    program.form->anglicky1Click();
    QCOMPARE(cell(7, 7)->text(QAccessible::Name), QStringLiteral("a8, black rook"));
}

// With every panel open (the move list, the clock, the engine's, the move
// field and the set-up), whatever takes the keyboard, and every panel, is
// called something in each language.
void TestAccess::everyPanelAndControlHasAName()
{
    for (const char* language : {"cs", "de", "en"}) {
        Program program(language);
        TForm1& form = *program.form;
        form.Item(QStringLiteral("Zpispartie1"))->trigger();
        form.ClockUi().SetControlText(QStringLiteral("3+2"));
        form.EngineUi().SetProgramSetting("/nonexistent/engine");  // no process: its panel tells why
        form.EngineUi().ShowAnalysis(true);
        program.Access().OpenField();
        form.SetupUi().Begin();
        // The clock's dialog too, with a separate control for each side.
        TTimeControlDialog dialog(chess::TimeControl{}, form.ClockUi().Texts().ForDialog(), &form);
        dialog.show();
        for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
            box->setChecked(true);
        QStringList unnamed;
        for (QWidget* w : form.findChildren<QWidget*>()) {
            if (!w->isVisible() || (w->focusPolicy() == Qt::NoFocus && !qobject_cast<QDockWidget*>(w))
                || w->objectName() == QLatin1String("qt_spinbox_lineedit"))  // read as its spin box
                continue;
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
            if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << QStringLiteral("%1 %2").arg(QLatin1String(w->metaObject()->className()), w->objectName());
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(QLatin1String(language) + QStringLiteral(": ") + unnamed.join(u',')));
        form.SetupUi().Cancel();
    }
}

void TestAccess::builtInTextsAreTheCzechFile()
{
    // The tables of the parts beside the board; the language test checks
    // that every file has their keys.
    const LanguageFile czech(QStringLiteral(LANGUAGE_DIR "/czech"));
    const LanguageFile english(QStringLiteral(LANGUAGE_DIR "/english"));
    QVERIFY(AccessTexts::Load(czech) == AccessTexts());
    QVERIFY(!(AccessTexts::Load(english) == AccessTexts()));
    QVERIFY(ClockTexts::Load(czech) == ClockTexts());
    QVERIFY(!(ClockTexts::Load(english) == ClockTexts()));
    QVERIFY(EngineTexts::Load(czech) == EngineTexts());
    QVERIFY(!(EngineTexts::Load(english) == EngineTexts()));
    QVERIFY(SetupTexts::Load(czech) == SetupTexts());
    QVERIFY(!(SetupTexts::Load(english) == SetupTexts()));
}

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
