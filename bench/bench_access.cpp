// A typed move as a player who cannot see the board waits for it: from Enter
// in the move field until the move is said and the squares are renamed
// (target: 500 ms). Without a screen reader's bridge, which the offscreen
// platform lacks, the notices themselves go nowhere; the AT-SPI test shows
// the whole way to the reader, a few milliseconds more.

#include "AccessBoard.h"
#include "AccessController.h"
#include "Artwork.h"
#include "BoardWidget.h"
#include "MainWindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

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
    st.counters["said"] = double(!form.findChild<AccessStatus*>()->text().isEmpty());
}
BENCHMARK(TypedMoveSaid)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitArtwork();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
