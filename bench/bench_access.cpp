// A typed move as a player who cannot see the board waits for it: from Enter
// in the move field until the move is said and every square the screen
// reader may read has been renamed (target: 500 ms; the board's own target,
// one frame, is the real one).

#include "AccessBoard.h"
#include "AccessController.h"
#include "Artwork.h"
#include "BoardWidget.h"
#include "MainWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

int notices = 0;

// Stands for the bridge to the screen reader: it reads every notice's text.
void Reader(QAccessibleEvent* event)
{
    if (QAccessibleInterface* iface = event->accessibleInterface())
        notices += int(iface->text(QAccessible::Name).size() > 0);
}

void TypedMoveSaid(benchmark::State& st)
{
    QTemporaryDir dir;
    AppPaths paths{QStringLiteral(SOURCE_DIR "/"), dir.filePath(QStringLiteral("b.ini")), dir.filePath("data")};
    TForm1 form(paths);
    form.show();
    AccessController& access = form.AccessUi();
    access.OpenField();
    for (auto _ : st) {
        access.Field()->setText(QStringLiteral("Jf3"));
        QTest::keyClick(access.Field(), Qt::Key_Return);
        QCoreApplication::processEvents();  // the squares renamed once the event is over
        st.PauseTiming();
        form.RecordUi().TakeBack();
        QCoreApplication::processEvents();
        st.ResumeTiming();
    }
    st.counters["notices"] = double(notices);
}
BENCHMARK(TypedMoveSaid)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitArtwork();
    QAccessible::installUpdateHandler(Reader);
    QAccessible::setActive(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
