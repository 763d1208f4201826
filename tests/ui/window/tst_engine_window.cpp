// The engine's side of the window against the scripted engine: the panel
// follows the position and never shows a line of another one, the review
// marks the moves and writes itself into the record, and nothing runs
// while the panel is closed or a clock runs.

#include "EngineController.h"
#include "EnginePanel.h"
#include "MainWindow.h"
#include "MoveList.h"
#include "SetupController.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Answers for the positions of "f3 e5 g4 Qh4#", each for its own position;
// a stop is answered late, as a busy engine does.
constexpr char Script[] = "uci -> id name Fake|uciok\n"
                          "isready -> readyok\n"
                          "go@startpos -> info depth 5 score cp 20 pv e2e4 e7e5|bestmove e2e4\n"
                          "go@f2f3 -> info depth 5 score cp 40 pv e7e5|bestmove e7e5\n"
                          "go@e7e5 -> info depth 5 score cp -60 pv e2e4 d8h4|bestmove e2e4\n"
                          "go@g2g4 -> info depth 5 score mate 1 pv d8h4|bestmove d8h4\n"
                          "stop -> sleep 30|bestmove a2a3\n";

// What the panel shows first in each position of that game.
const char* const Expected[] = {"+0.20  1. e4 e5", "-0.40  1... e5", "-0.60  2. e4 Dh4+", "#-1  2... Dh4#"};

struct Window {
    ProgramFolder folder;
    const AppPaths& paths = folder.paths;
    std::unique_ptr<TForm1> form;

    Window()
    {
        qputenv("FAKE_UCI_SCRIPT", Script);
        folder.WriteSettings("[Nastavení]\nzapis=1\nsachovyprogram=" FAKE_ENGINE "\n");
        form = folder.Start();
    }
    EngineController& Engine() { return form->EngineUi(); }
    QByteArray SettingsValue(const QByteArray& key) const
    {
        QFile file(paths.SettingsFile);
        if (file.open(QIODevice::ReadOnly))
            for (const QByteArray& line : file.readAll().split('\n'))
                if (line.startsWith(key + '='))
                    return line.mid(key.size() + 1).trimmed();
        return {};
    }
    EnginePanel* Panel() { return Engine().Panel(); }
    bool Play(const char* moves)
    {
        for (const QString& text : QString::fromLatin1(moves).split(' ')) {
            const chess::SanReading san = chess::ReadSan(form->State(), text.toStdString());
            if (!san.ok || !form->Game().Play(san.move))
                return false;
        }
        return true;
    }
};

// Closes the message box the refusal shows.
void AnswerTheNextBox()
{
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
}

}  // namespace

class TestEngineWindow : public QObject {
    Q_OBJECT
private slots:
    void panelFollowsThePositionAndItsEngineEndsWithIt();
    void steppingNeverShowsALineOfAnotherPosition();
    void reviewMarksTheMovesAndIsSavedIntoTheRecord();
    void refusedWhileAClockRuns();
    void anEngineThatCannotStartIsReportedAndLeftAlone();
};

void TestEngineWindow::panelFollowsThePositionAndItsEngineEndsWithIt()
{
    Window w;
    QVERIFY(!w.Engine().Client().Running());
    const int width = w.form->width();
    w.form->Item(QStringLiteral("Rozborpozice1"))->trigger();
    QVERIFY(w.Engine().Client().Running());
    QVERIFY(w.form->width() > width);
    QTRY_COMPARE(w.Panel()->Lines(), QString::fromUtf8(Expected[0]));
    QCOMPARE(w.Panel()->Evaluation(), QStringLiteral("+0.20"));
    QCOMPARE(w.form->Look().ArrowFrom, chess::CellIndex(4, 1));
    QCOMPARE(w.form->Look().ArrowTo, chess::CellIndex(4, 3));

    // A position being set up is not analysed; the panel comes back after.
    w.form->SetupUi().Begin();
    QVERIFY(!w.Engine().Client().Running());
    QCOMPARE(w.form->Look().ArrowFrom, -1);
    w.form->SetupUi().Cancel();
    QVERIFY(w.Engine().Client().Running());
    QTRY_COMPARE(w.Panel()->Lines(), QString::fromUtf8(Expected[0]));

    QVERIFY(w.Play("f3"));
    QTRY_COMPARE(w.Panel()->Lines(), QString::fromUtf8(Expected[1]));
    QCOMPARE(w.form->Look().ArrowFrom, chess::CellIndex(4, 6));
    w.form->RecordUi().TakeBack();
    QTRY_COMPARE(w.Panel()->Lines(), QString::fromUtf8(Expected[0]));
    QVERIFY(w.Play("f3 e5 g4 Qh4"));
    QCOMPARE(w.Panel()->Evaluation(), QStringLiteral("0-1"));  // mated: no engine needed
    QCOMPARE(w.form->Look().ArrowFrom, -1);

    w.form->Item(QStringLiteral("Rozborpozice1"))->trigger();
    QVERIFY(!w.Engine().Client().Running());
    QCOMPARE(w.form->width(), width);
}

void TestEngineWindow::steppingNeverShowsALineOfAnotherPosition()
{
    Window w;
    QVERIFY(w.Play("f3 e5 g4"));
    w.form->Item(QStringLiteral("Rozborpozice1"))->trigger();
    int checked = 0;
    // Runs after the panel has taken the line in.
    connect(&w.Engine().Client(), &EngineClient::line, this, [&] {
        const QString shown = w.Panel()->Lines();
        const std::size_t ply = w.form->Record().Current();
        QVERIFY2(shown.isEmpty() || shown == QString::fromUtf8(Expected[ply]),
                 qPrintable(QStringLiteral("at %1: %2").arg(ply).arg(shown)));
        ++checked;
    });
    for (const std::size_t ply : {0, 1, 2, 3, 1, 0, 2, 3, 0, 1, 3, 2, 1}) {
        w.form->Game().JumpTo(ply);
        QTest::qWait(ply % 2 ? 5 : 40);
        QVERIFY(!w.Engine().Client().Session().Waiting()
                || w.Engine().Client().Session().State() != chess::EngineSession::Phase::Idle);
    }
    QTRY_COMPARE(w.Panel()->Lines(), QString::fromUtf8(Expected[1]));
    QVERIFY(checked > 0);
}

void TestEngineWindow::reviewMarksTheMovesAndIsSavedIntoTheRecord()
{
    Window w;
    QVERIFY(w.Play("f3 e5 g4 Qh4"));
    w.Engine().SetReviewLimit({0, 50});
    w.form->Item(QStringLiteral("Rozborcelpartie1"))->trigger();
    QVERIFY(w.Engine().Reviewing());
    QTRY_VERIFY(!w.Engine().Reviewing());
    QVERIFY(w.Engine().Review() && w.Engine().Review()->Complete());
    const TMoveList* list = w.form->RecordUi().MoveList();
    QCOMPARE(list->Cell(0, 0), QStringLiteral("f3?!"));
    QCOMPARE(list->Cell(0, 1), QStringLiteral("e5"));
    QCOMPARE(list->Cell(1, 0), QStringLiteral("g4??"));

    // A click on the graph shows the position there, and the panel judges
    // the move that led to it.
    EvalGraph* graph = w.Panel()->Graph();
    QTest::mouseClick(graph, Qt::LeftButton, {}, QPoint(graph->width() * 3 / 4, graph->height() / 2));
    QCOMPARE(w.form->Record().Current(), std::size_t(3));
    QCOMPARE(w.Panel()->Judgement(), QStringLiteral("2. g4??: hrubá chyba. Lepší bylo 2. e4 Dh4+."));

    w.Panel()->SaveButton()->click();
    QVERIFY(!w.Panel()->SaveButton()->isEnabled());
    const chess::Annotation& g4 = w.form->Record()[2].note;
    QCOMPARE(g4.nags, std::vector<int>{4});
    QCOMPARE(QString::fromStdString(g4.comment), QStringLiteral("[%eval #-1]"));
    QCOMPARE(QString::fromStdString(g4.variations), QStringLiteral("(2. e4 Qh4+)"));
    QCOMPARE(list->Cell(1, 0), QStringLiteral("g4??"));  // the record's own glyph now

    // Another move makes it another game: the marks go.
    w.form->RecordUi().TakeBack();
    QVERIFY(w.Play("e4"));
    QVERIFY(!w.Engine().Review());
    QCOMPARE(list->Cell(0, 0), QStringLiteral("f3?!"));  // saved, so the record's own
    QCOMPARE(list->item(0, 0)->background().style(), Qt::NoBrush);
}

void TestEngineWindow::refusedWhileAClockRuns()
{
    Window w;
    QVERIFY(w.Play("e4"));
    w.Engine().SetClockRunning([] { return true; });
    for (const char* item : {"Rozborpozice1", "Rozborcelpartie1"}) {
        AnswerTheNextBox();
        w.form->Item(QString::fromLatin1(item))->trigger();
        QVERIFY(!w.form->Item(QStringLiteral("Rozborpozice1"))->isChecked());
        QVERIFY(!w.Engine().Client().Running());
        QVERIFY(!w.Engine().AnalysisShown());
    }
}

void TestEngineWindow::anEngineThatCannotStartIsReportedAndLeftAlone()
{
    Window w;
    w.form->WriteSettingsFile();
    const QByteArray closedWidth = w.SettingsValue("Width");
    w.Engine().SetProgramSetting("/nonexistent/engine");
    w.form->Item(QStringLiteral("Rozborpozice1"))->trigger();
    QTRY_COMPARE(w.Panel()->Status(), QStringLiteral("Šachový program /nonexistent/engine nelze spustit."));
    QVERIFY(!w.Engine().Client().Running());
    QVERIFY(w.Play("e4"));
    QVERIFY(!w.Engine().Client().Running());  // not tried again at every move
    // Closed with the panel open, the window keeps its width without it:
    // the next start opens no panel. The engine chosen is kept.
    w.form->WriteSettingsFile();
    QCOMPARE(w.SettingsValue("Width"), closedWidth);
    QCOMPARE(w.SettingsValue("sachovyprogram"), QByteArray("/nonexistent/engine"));
}

QTEST_MAIN(TestEngineWindow)
#include "tst_engine_window.moc"
