// The engine client against a scripted engine: every answer, silence, a
// slow stop, a crash and a hang in one table; and the real stockfish when
// it is installed.

#include "EngineClient.h"
#include "History.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>

namespace {

constexpr char Greeting[] = "uci -> id name Fake|uciok\nisready -> readyok\n";

}  // namespace

class TestEngineClient : public QObject {
    Q_OBJECT
private slots:
    void Conversation_data();
    void Conversation();
    void RealStockfish();
};

void TestEngineClient::Conversation_data()
{
    // Steps: "ask" a search (with "ask100": for 100 ms), "cancel", and
    // "waitN" until N events are logged. The log then reads as given.
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("log");
    const QString greeting = QString::fromLatin1(Greeting);
    QTest::newRow("lines, mate, second line, bestmove")
        << greeting
               + "go -> info depth 1 score cp 20 pv e2e4|info depth 2 multipv 2 score mate -3 pv d2d4 d7d5|"
                 "info depth 2 currmove e2e4|bestmove e2e4 ponder e7e5"
        << "ask wait4"
        << QStringList{"ready Fake", "1: d1 pv1 cp20 e2e4", "1: d2 pv2 mate-3 d2d4 d7d5", "1: best e2e4"};
    QTest::newRow("stepping on: a slow stop, one search waiting, no stale line")
        << greeting
               + "go -> info depth 1 score cp 5 pv a2a3\nstop -> sleep 150|info depth 9 score cp 6 pv h2h3|bestmove "
                 "a2a3"
        << "ask wait2 ask ask ask ask ask wait3"
        << QStringList{"ready Fake", "1: d1 pv1 cp5 a2a3", "6: d1 pv1 cp5 a2a3"};
    QTest::newRow("cancelled: the stopped search says no more")
        << greeting + "go -> info depth 1 score cp 5 pv a2a3\nstop -> info depth 2 score cp 6 pv h2h3|bestmove a2a3"
        << "ask wait2 cancel ask wait3" << QStringList{"ready Fake", "1: d1 pv1 cp5 a2a3", "2: d1 pv1 cp5 a2a3"};
    QTest::newRow("a crash is reported once, and the next request starts again")
        << greeting + "go -> info depth 1 score cp 5 pv a2a3|sleep 50|crash"
        << "ask wait3 ask wait6" << QStringList{"ready Fake", "1: d1 pv1 cp5 a2a3", "failed crashed",
                                                "ready Fake", "2: d1 pv1 cp5 a2a3", "failed crashed"};
    QTest::newRow("silence: no uciok") << QString() << "ask wait1" << QStringList{"failed no answer"};
    QTest::newRow("no readyok") << "uci -> uciok"
                                << "ask wait1" << QStringList{"failed no answer"};
    QTest::newRow("a stop never answered")
        << greeting + "go -> info depth 1 score cp 5 pv a2a3"
        << "ask wait2 ask wait3" << QStringList{"ready Fake", "1: d1 pv1 cp5 a2a3", "failed hung"};
    QTest::newRow("a timed search that never ends")
        << greeting + "go -> info depth 1 score cp 5 pv a2a3"
        << "ask100 wait3" << QStringList{"ready Fake", "1: d1 pv1 cp5 a2a3", "failed hung"};
    QTest::newRow("an engine that quits by itself") << greeting + "go -> exit"
                                                    << "ask wait2" << QStringList{"ready Fake", "failed crashed"};
    QTest::newRow("no such program") << "missing"
                                     << "ask wait1" << QStringList{"failed not started"};
}

void TestEngineClient::Conversation()
{
    QFETCH(QString, script);
    QFETCH(QString, steps);
    QFETCH(QStringList, log);
    qputenv("FAKE_UCI_SCRIPT", script.toUtf8());
    EngineClient client;
    client.SetProgram(script == QLatin1String("missing") ? QStringLiteral("/nonexistent/engine")
                                                         : QStringLiteral(FAKE_ENGINE));
    client.SetAnswerMs(400);
    QStringList seen;
    connect(&client, &EngineClient::ready, this, [&](const QString& name) { seen << "ready " + name; });
    connect(&client, &EngineClient::line, this, [&](std::uint64_t search, const chess::uci::Info& info) {
        seen << QStringLiteral("%1: d%2 pv%3 %4%5 %6")
                    .arg(search)
                    .arg(info.depth)
                    .arg(info.multipv)
                    .arg(info.score.mate ? "mate" : "cp")
                    .arg(info.score.value)
                    .arg(QString::fromStdString(info.pv[0])
                         + (info.pv.size() > 1 ? " " + QString::fromStdString(info.pv[1]) : QString()));
    });
    connect(&client, &EngineClient::bestMove, this, [&](std::uint64_t search, const QString& move) {
        seen << QStringLiteral("%1: best %2").arg(search).arg(move);
    });
    connect(&client, &EngineClient::failed, this, [&](EngineClient::Failure failure) {
        const char* names[] = {"not started", "no answer", "crashed", "hung"};
        seen << QStringLiteral("failed %1").arg(names[int(failure)]);
    });
    for (const QString& step : steps.split(' ')) {
        if (step.startsWith(QLatin1String("ask")))
            client.Analyse({"position startpos", {0, step.mid(3).toInt()}, 1});
        else if (step == QLatin1String("cancel"))
            client.Cancel();
        else if (step.startsWith(QLatin1String("wait")))
            QTRY_VERIFY_WITH_TIMEOUT(seen.size() >= step.mid(4).toInt(), 5000);
    }
    // Anything late would show here.
    QTest::qWait(250);
    QCOMPARE(seen, log);
}

// The first evaluation of the start position shows soon after the request,
// from a cold start of the process.
void TestEngineClient::RealStockfish()
{
    const QString stockfish = QStringLiteral("/usr/games/stockfish");
    if (!QFileInfo(stockfish).isExecutable())
        QSKIP("stockfish is not installed");
    EngineClient client;
    client.SetProgram(stockfish);
    QElapsedTimer clock;
    qint64 first = -1;
    QString best;
    int lines = 0;
    connect(&client, &EngineClient::line, this, [&](std::uint64_t, const chess::uci::Info& info) {
        if (first < 0)
            first = clock.elapsed();
        lines = std::max(lines, info.multipv);
    });
    connect(&client, &EngineClient::bestMove, this, [&](std::uint64_t, const QString& move) { best = move; });
    clock.start();
    client.Analyse({chess::uci::PositionCommand(chess::History(), 0), {10, 0}, 3});
    QTRY_VERIFY_WITH_TIMEOUT(!best.isEmpty(), 10000);
    QCOMPARE(lines, 3);
    qInfo("first evaluation after %lld ms, best move %s", first, qPrintable(best));
}

QTEST_GUILESS_MAIN(TestEngineClient)
#include "tst_engine_client.moc"
