// The game record as the players wait for it in the window: opening a file of
// many games until its list is on screen (target: under 1 s for 10,000
// games), and a take-back or a move until the board shows it (target: one
// frame, 16 ms).

#include "Artwork.h"
#include "BoardWidget.h"
#include "ClockController.h"
#include "GameList.h"
#include "GameRecord.h"
#include "HraciPole.h"
#include "MainWindow.h"
#include "MoveList.h"
#include "RecordController.h"

#include <QApplication>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace {

// Random legal games, written as the program writes them.
QByteArray RandomGames(int count, int plies)
{
    std::mt19937 rng(7);
    std::string text;
    for (int g = 0; g < count; ++g) {
        chess::GameState state;
        chess::SetUpNewGame(state);
        state.SelectedSquare = chess::NoSelection;
        chess::History history;
        for (int p = 0; p < plies; ++p) {
            const std::vector<chess::Move> moves = chess::LegalMoves(state);
            if (moves.empty() || history.Over())
                break;
            chess::PlayRecordedMove(state, history, moves[rng() % moves.size()]);
        }
        text += chess::WritePgn(history, {{"White", "Bílý " + std::to_string(g)}, {"Black", "Černý"}},
                                chess::ResultText(history.End()));
        text += "\n";
    }
    return QByteArray::fromStdString(text);
}

const QByteArray& TenThousandGames()
{
    static const QByteArray bytes = RandomGames(10000, 80);
    return bytes;
}

// From the file's bytes on disk to the list of its games painted.
void OpenFileOfGames(benchmark::State& st)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("games.pgn"));
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(TenThousandGames());
    }
    const GameListTexts texts{
        "Vyberte partii", "Č.", "Bílý", "Černý", "Výsledek", "Tahy", "OK", "Storno", chess::PieceLetters::Czech()};
    for (auto _ : st) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QByteArray bytes = f.readAll();
        const std::string_view text(bytes.constData(), bytes.size());
        const std::vector<chess::PgnListing> games = chess::ListPgnGames(text);
        TGameList list(text, games, texts, nullptr);
        list.show();
        list.Table()->viewport()->repaint();
        benchmark::DoNotOptimize(games.size());
    }
    st.counters["games"] = double(chess::ParsePgn(TenThousandGames().toStdString()).size());
}
BENCHMARK(OpenFileOfGames)->Unit(benchmark::kMillisecond)->Iterations(3);

// A take-back in the middle of a 60-move game, until the board is painted.
void TakeBack(benchmark::State& st)
{
    QTemporaryDir dir;
    // The source tree holds the language files in Language/, as a program folder does.
    AppPaths paths{QStringLiteral(SOURCE_DIR "/"), dir.filePath(QStringLiteral("b.ini")), dir.filePath("data")};
    TForm1 form(paths);
    form.show();
    const QByteArray game = RandomGames(1, 120);
    form.RecordUi().PasteText(QString::fromUtf8(game));
    for (auto _ : st) {
        form.RecordUi().TakeBack();
        form.Board()->repaint();
        st.PauseTiming();
        form.RecordUi().Replay();
        form.Board()->repaint();
        st.ResumeTiming();
    }
}
BENCHMARK(TakeBack)->Unit(benchmark::kMillisecond);

// A move pressed on the board in the middle of a 60-move game, until the
// board is painted. The unfinished game's write is handed to its own thread
// on the way: the window never waits for the disk (target: no slower than a
// take-back).
void MoveWithAutosave(benchmark::State& st)
{
    QTemporaryDir dir;
    AppPaths paths{QStringLiteral(SOURCE_DIR "/"), dir.filePath(QStringLiteral("b.ini")), dir.filePath("data")};
    TForm1 form(paths);
    form.show();
    form.RecordUi().PasteText(QString::fromUtf8(RandomGames(1, 120)));
    const chess::Move move = chess::LegalMoves(form.State()).front();
    const bool white = form.Look().WhiteAtBottom;
    const QPoint from = THraciPole::SquareRect(move.fromFile, move.fromRank, white).center();
    const QPoint to = THraciPole::SquareRect(move.toFile, move.toRank, white).center();
    for (auto _ : st) {
        emit form.Board()->pressed(from, Qt::LeftButton);
        emit form.Board()->pressed(to, Qt::LeftButton);
        form.Board()->repaint();
        st.PauseTiming();
        form.RecordUi().TakeBack();
        form.Board()->repaint();
        st.ResumeTiming();
    }
    form.RecordUi().Unfinished().Flush();
}
BENCHMARK(MoveWithAutosave)->Unit(benchmark::kMillisecond);

// A second of a running clock in a game of `range(0)` half-moves, as the
// window spends it: the faces brought up to date, and the unfinished game
// composed again with the clock's time and handed to the writer's thread
// (target: a small part of a millisecond, so that the clock costs nothing
// one could notice when nobody touches the program).
void ClockSecondKept(benchmark::State& st)
{
    struct FakeTime : chess::TimeSource {
        std::int64_t now = 0;
        std::int64_t NowMs() const override { return now; }
    } time;
    QTemporaryDir dir;
    AppPaths paths{QStringLiteral(SOURCE_DIR "/"), dir.filePath(QStringLiteral("b.ini")), dir.filePath("data")};
    TForm1 form(paths);
    ClockController& clock = form.ClockUi();
    clock.SetTimeSource(&time);
    clock.SetControlText(QStringLiteral("90"));
    form.RecordUi().PasteText(QString::fromUtf8(RandomGames(1, int(st.range(0)))));
    clock.StartClock();
    for (auto _ : st) {
        time.now += 1000;
        clock.Tick();
        if (clock.Clock().Times().Remaining(clock.Clock().Times().WhiteToMove()) < 60'000) {
            st.PauseTiming();  // the flag would stop the clock: it starts again
            clock.SetControlText(QStringLiteral("90"));
            clock.StartClock();
            st.ResumeTiming();
        }
    }
    form.RecordUi().Unfinished().Flush();
    QFile kept(form.RecordUi().AutosavePath());
    st.counters["kept"] = kept.open(QIODevice::ReadOnly) && kept.readAll().contains("[BodlanyClock ");
    clock.SetTimeSource(nullptr);
}
BENCHMARK(ClockSecondKept)->Arg(120)->Unit(benchmark::kMicrosecond);

// The move list beside the board, for a game of `range(0)` half-moves with
// a comment on every tenth: a step back and forth, each until what it
// changed on the board and in the list is painted (only the list's mark
// moves). The window paints as it does for the players, the changed parts
// only: repaint() would redraw the whole board, which no step does.
void StepWithMoveList(benchmark::State& st)
{
    QTemporaryDir dir;
    AppPaths paths{QStringLiteral(SOURCE_DIR "/"), dir.filePath(QStringLiteral("b.ini")), dir.filePath("data")};
    TForm1 form(paths);
    form.show();
    form.RecordUi().ShowMoveList(true);
    form.RecordUi().PasteText(QString::fromUtf8(RandomGames(1, int(st.range(0)))));
    for (std::size_t i = 0; i < form.Record().Size(); i += 10)
        form.Game().SetComment(i, "a comment of a few words, as annotators write them");
    QCoreApplication::processEvents();
    for (auto _ : st) {
        form.RecordUi().StepBack();
        QCoreApplication::processEvents();
        form.RecordUi().StepForward();
        QCoreApplication::processEvents();
    }
    st.counters["plies"] = double(form.Record().Size());
}
BENCHMARK(StepWithMoveList)->Arg(120)->Arg(600)->Unit(benchmark::kMillisecond);

// A move at the end of such a game: the list is filled anew and painted.
// The list shows in turn the game and the game without its last move.
void MoveListAfterAMove(benchmark::State& st)
{
    const std::vector<chess::PgnGame> games = chess::ParsePgn(RandomGames(1, int(st.range(0))).toStdString());
    chess::PgnGame cut = games.at(0);
    cut.moves.pop_back();
    chess::History longer = chess::ReplayPgnGame(games.at(0), 1).history;
    chess::History shorter = chess::ReplayPgnGame(cut, 1).history;
    for (chess::History* history : {&longer, &shorter})
        for (std::size_t i = 0; i < history->Size(); i += 10)
            history->SetComment(i, "a comment of a few words, as annotators write them");
    TMoveList list;
    list.resize(200, 600);
    list.show();
    const chess::PieceLetters letters = chess::PieceLetters::Czech();
    bool which = false;
    for (auto _ : st) {
        list.Show(which ? longer : shorter, letters);
        list.viewport()->repaint();
        which = !which;
    }
    st.counters["plies"] = double(longer.Size());
}
BENCHMARK(MoveListAfterAMove)->Arg(120)->Arg(600)->Unit(benchmark::kMillisecond);

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
