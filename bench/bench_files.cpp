// The settings and language files at the largest size the program reads:
// what a start and a close cost in time, and how much memory the file takes
// beside its own size. A file may take about twice its size at its peak and
// no more than its size while it is kept. And what the autosave after a move
// costs the window's thread.

#include "AtomicFile.h"
#include "BackgroundWriter.h"
#include "ProfileFile.h"
#include "Settings.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <string>

namespace {

// Atomic, as the background writer allocates on its own thread.
std::atomic<std::size_t> inUse = 0, peak = 0;

void ResetPeak()
{
    peak = inUse.load();
}

}  // namespace

// Every allocation of the process is counted, so that the figures below are
// what the file layer really allocates.
void* operator new(std::size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    const std::size_t now = inUse += malloc_usable_size(p);
    std::size_t top = peak.load(std::memory_order_relaxed);
    while (now > top && !peak.compare_exchange_weak(top, now, std::memory_order_relaxed)) {
    }
    return p;
}
void operator delete(void* p) noexcept
{
    if (p)
        inUse -= malloc_usable_size(p);
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}

namespace {

using chess::MaxTextFileSize;

std::string Filled(std::string head, std::string_view line)
{
    head.reserve(MaxTextFileSize);
    while (head.size() + line.size() <= MaxTextFileSize)
        head += line;
    return head;
}

std::string Utf16(const std::string& ascii)
{
    std::string out = "\xFF\xFE";
    for (std::size_t i = 0; out.size() + 2 <= MaxTextFileSize && i < ascii.size(); ++i)
        out.append({ascii[i], '\0'});
    return out;
}

const std::string head = "[Nastaven\xED]\r\nLeft=200\r\nN21=1\r\n";

std::string FileOf(int kind)
{
    switch (kind) {
    case 0:
        return Filled(head, "\n");  // nothing but line ends: the most lines a file can have
    case 1:
        return Filled(head + "x=", "y") + "\r\n";  // one long value
    case 4:
        return Filled(head, "k=1\n");  // the most entries a file can have
    case 2:
        return Filled(head, "Jm\xE9no=\xC8"
                            "ern\xFD k\xF9\xF2\r\n");  // code page 1250
    default:
        return Utf16(Filled(head, "Name=Black knight\r\n"));
    }
}

const char* const kinds[] = {"line ends only", "one long value", "code page 1250", "UTF-16", "short entries"};

// What the program does with a settings file from start to close: read it,
// take the settings, write them back into it, and produce the new bytes.
void SettingsStartAndClose(benchmark::State& st)
{
    const std::string bytes = FileOf(static_cast<int>(st.range(0)));
    st.SetLabel(kinds[st.range(0)]);
    std::size_t held = 0, top = 0;
    for (auto _ : st) {
        ResetPeak();
        const std::size_t before = inUse;
        chess::ProfileFile file = chess::ProfileFile::Parse(bytes);
        held = inUse - before;
        chess::Settings s = chess::ReadSettings(file);
        s.Left += 1;
        chess::WriteSettings(file, s);
        benchmark::DoNotOptimize(file.Serialize());
        top = peak - before;
    }
    const double size = static_cast<double>(bytes.size());
    st.counters["held/size"] = static_cast<double>(held) / size;
    st.counters["peak/size"] = static_cast<double>(top) / size;
    st.SetBytesProcessed(static_cast<int64_t>(st.iterations() * bytes.size()));
    if (static_cast<double>(held) > 1.25 * size || static_cast<double>(top) > 2.25 * size) {
        static std::string message;
        message = "the file takes more than about twice its size: held " + std::to_string(held) + ", peak "
                + std::to_string(top) + " for " + std::to_string(bytes.size()) + " bytes";
        st.SkipWithError(message.c_str());
    }
}
BENCHMARK(SettingsStartAndClose)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// A game of 80 moves, as the autosave writes it after each one.
std::string GameText()
{
    std::string text = "[Event \"?\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n[Round \"?\"]\n"
                       "[White \"?\"]\n[Black \"?\"]\n[Result \"*\"]\n\n";
    for (int move = 1; move <= 80; ++move)
        text.append(std::to_string(move)).append(". Nf3 Nf6 ");
    return text.append("*\n");
}

struct Folder {
    Folder()
    {
        char pattern[] = "/tmp/bodlany-bench-XXXXXX";
        if (::mkdtemp(pattern))
            path = pattern;
    }
    ~Folder()
    {
        if (!path.empty())
            std::system(("rm -rf '" + path + "'").c_str());
    }
    std::string path;
};

// What a move costs the window for its autosave: handing a copy of the game
// to the writer. It must stay in microseconds however slow the disk is.
// "max us" is the slowest single call and "over 1ms" how many took longer
// than a millisecond; on a busy machine a few calls are preempted for some
// milliseconds, as any code is. With every fsync slowed to 200 ms
// (AutosaveWriteInPlace then takes 400 ms) the slowest call must stay far
// below that: no call waits for the disk.
void AutosaveSubmit(benchmark::State& st)
{
    Folder folder;
    const std::string game = GameText(), path = folder.path + "/rozehrana.pgn";
    double slowest = 0, slow = 0;
    {
        chess::BackgroundWriter writer;
        for (auto _ : st) {
            const auto start = std::chrono::steady_clock::now();
            writer.Submit(path, game);
            const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
            slowest = std::max(slowest, took.count());
            slow += took.count() > 1000;
        }
    }
    st.counters["max us"] = slowest;
    st.counters["over 1ms"] = slow;
}
BENCHMARK(AutosaveSubmit)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The same write made on the caller's thread: what each move would wait.
void AutosaveWriteInPlace(benchmark::State& st)
{
    Folder folder;
    const std::string game = GameText(), path = folder.path + "/rozehrana.pgn";
    for (auto _ : st) {
        std::string error;
        if (!chess::WriteFileAtomically(path, game, {}, &error)) {
            static std::string message;
            message = error;
            st.SkipWithError(message.c_str());
            break;
        }
    }
}
BENCHMARK(AutosaveWriteInPlace)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
