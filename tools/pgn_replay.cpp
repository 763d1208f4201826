// pgn-replay FILE: replays every game of a PGN file by the program's own
// rules and prints the FEN of each game's final position, one line a game.
// pgn-replay --pgn FILE: writes the games back in the PGN export format.

#include "GameRecord.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool ReadWholeFile(const char* path, std::string& bytes, std::string& why)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        why = std::strerror(errno);
        return false;
    }
    char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, n);
    // A folder opens like a file and fails only when read.
    const bool failed = std::ferror(file);
    if (failed)
        why = std::strerror(errno);
    std::fclose(file);
    return !failed;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool writePgn = argc == 3 && std::string_view(argv[1]) == "--pgn";
    if (argc != 2 + (writePgn ? 1 : 0) || (!writePgn && std::string_view(argv[1]).starts_with("--"))) {
        std::fprintf(stderr, "usage: pgn-replay [--pgn] FILE\n");
        return 2;
    }
    const char* path = argv[argc - 1];
    std::string bytes, why;
    if (!ReadWholeFile(path, bytes, why)) {
        std::fprintf(stderr, "pgn-replay: cannot read %s: %s\n", path, why.c_str());
        return 2;
    }

    int status = 0;
    // One game at a time: a file of many thousand games need not be held
    // replayed all at once.
    const std::vector<chess::PgnGame> games = chess::ParsePgn(bytes);
    for (std::size_t g = 0; g < games.size(); ++g) {
        const chess::RecordedGame game = chess::ReplayPgnGame(games[g], static_cast<int>(g) + 1);
        if (!game.ok) {
            std::fprintf(stderr, "%s\n", game.error.c_str());
            status = 2;
        }
        if (!writePgn) {
            std::printf("%s\n", game.ok ? game.history.Fen().c_str() : "-");
        } else if (game.ok) {
            // A game from a file is not one of ours: what it does not say
            // is unknown.
            std::vector<chess::PgnTag> tags = game.tags;
            for (const auto& [name, unknown] : {std::pair{"Event", "?"}, {"Date", "????.??.??"}, {"Round", "?"}})
                if (game.Tag(name).empty())
                    tags.push_back({name, unknown});
            std::printf("%s", chess::WritePgn(game.history, tags, game.result).c_str());
        }
    }
    return status;
}
