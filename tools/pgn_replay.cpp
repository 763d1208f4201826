// pgn-replay FILE: replays every game of a PGN file by the program's own
// rules and prints the FEN of each game's final position, one line a game.
// pgn-replay --pgn FILE: writes the games back in the PGN export format.

#include "GameRecord.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool ReadWholeFile(const char* path, std::string& bytes, std::string& why)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = std::strerror(errno);
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        why = "read error";
        return false;
    }
    bytes = std::move(buffer).str();
    return true;
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
    for (const chess::RecordedGame& game : chess::ReadPgnGames(bytes)) {
        if (!game.ok) {
            std::fprintf(stderr, "%s\n", game.error.c_str());
            status = 2;
        }
        if (!writePgn) {
            std::printf("%s\n", game.ok ? game.history.Fen().c_str() : "-");
        } else if (game.ok) {
            // A game from a file keeps its own date, unknown if it had none.
            std::vector<chess::PgnTag> tags = game.tags;
            if (game.Tag("Date").empty())
                tags.push_back({"Date", "????.??.??"});
            std::printf("%s", chess::WritePgn(game.history, tags, game.result).c_str());
        }
    }
    return status;
}
