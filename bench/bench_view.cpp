// Drawing the board. A full redraw runs on every paint request, on every
// appearance change and after a new game; it should take well under 2 ms so
// that uncovering or switching textures never lags. A single square is what
// a move costs.

#include "Artwork.h"
#include "HraciPole.h"
#include "Presentation.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Scene {
    chess::GameState state;
    Presentation look;
    QImage canvas;
    std::unique_ptr<THraciPole> board;

    Scene(int texture, PieceSetId set, bool labels, qreal dpr)
    {
        chess::SetUpNewGame(state);
        look.BoardTexture = texture;
        look.TextureImage = LoadTexture(texture, dpr);
        look.Pieces = &PieceSetFor(set);
        look.ShowLabels = labels;
        canvas = QImage(qRound(612 * dpr), qRound(612 * dpr), QImage::Format_ARGB32_Premultiplied);
        canvas.setDevicePixelRatio(dpr);
        board = std::make_unique<THraciPole>(state, look, canvas);
        board->DrawBoard();  // the piece pictures are rendered once, on first use
    }
};

// Arguments: texture, labels shown, device pixels per pixel (1 or 2).
void DrawBoard(benchmark::State& st)
{
    Scene s(int(st.range(0)), PieceSetId::Klubovky, st.range(1) != 0, qreal(st.range(2)));
    for (auto _ : st) {
        s.board->DrawBoard();
        benchmark::DoNotOptimize(s.canvas.constBits());
    }
}
BENCHMARK(DrawBoard)
    ->ArgNames({"texture", "labels", "dpr"})
    ->Args({1, 1, 1})
    ->Args({4, 1, 1})
    ->Args({5, 0, 1})
    ->Args({1, 1, 2})
    ->Unit(benchmark::kMicrosecond);

// One square with a piece, picked up: the redraw of a pick-up.
void DrawSquare(benchmark::State& st)
{
    Scene s(3, PieceSetId::Klasicke, true, qreal(st.range(0)));
    s.state.SelectedSquare = chess::SelectionOf(4, 1);
    for (auto _ : st) {
        s.board->DrawSquare(4, 1);
        benchmark::DoNotOptimize(s.canvas.constBits());
    }
}
BENCHMARK(DrawSquare)->ArgName("dpr")->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    // No screen needed: the board draws into an image.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    InitArtwork();
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
