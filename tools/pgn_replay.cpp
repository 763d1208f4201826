// pgn-replay FILE: replays every game of a PGN file by the program's own
// rules and prints the FEN of each game's final position, one line a game.
// pgn-replay --pgn FILE: writes the games back in the PGN export format.

#include "GameRecord.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The file, read piece by piece as the games need it, so that a database of
// any size is replayed in the memory of its largest game. Only a regular
// file is read: a FIFO would wait for a writer, /dev/zero never ends.
class GameFile {
public:
    GameFile() = default;
    GameFile(const GameFile&) = delete;
    GameFile& operator=(const GameFile&) = delete;
    ~GameFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

    bool Open(const char* path, std::string& why)
    {
        // Looked at before it is opened: opening some devices does something
        // by itself.
        struct stat st {};
        if (::stat(path, &st) != 0)
            return Fail(errno, why);
        if (!Regular(st, why))
            return false;
        // Whatever may stand there by now, O_NONBLOCK keeps the open from waiting.
        fd_ = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0 || ::fstat(fd_, &st) != 0)
            return Fail(errno, why);
        return Regular(st, why);
    }

    // Up to `size` bytes; 0 at the end, and after an error (see Error()).
    std::size_t Read(char* to, std::size_t size)
    {
        for (;;) {
            const ssize_t n = ::read(fd_, to, size);
            if (n >= 0)
                return static_cast<std::size_t>(n);
            if (errno != EINTR) {
                error_ = errno;
                return 0;
            }
        }
    }

    int Error() const { return error_; }

private:
    static bool Fail(int error, std::string& why)
    {
        why = std::strerror(error);
        return false;
    }

    static bool Regular(const struct stat& st, std::string& why)
    {
        if (S_ISDIR(st.st_mode))
            return Fail(EISDIR, why);
        if (!S_ISREG(st.st_mode)) {
            why = "not a regular file";
            return false;
        }
        return true;
    }

    int fd_ = -1;
    int error_ = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    const bool writePgn = argc == 3 && std::string_view(argv[1]) == "--pgn";
    if (argc != 2 + (writePgn ? 1 : 0) || (!writePgn && std::string_view(argv[1]).starts_with("--"))) {
        std::fprintf(stderr, "usage: pgn-replay [--pgn] FILE\n");
        return 2;
    }
    const char* path = argv[argc - 1];
    GameFile file;
    std::string why;
    if (!file.Open(path, why)) {
        std::fprintf(stderr, "pgn-replay: cannot read %s: %s\n", path, why.c_str());
        return 2;
    }

    int status = 0;
    chess::PgnReader reader([&file](char* to, std::size_t size) { return file.Read(to, size); });
    for (chess::PgnGame pgn; reader.Next(pgn);) {
        const chess::RecordedGame game = chess::ReplayPgnGame(pgn, reader.Count());
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
    if (file.Error() != 0) {
        std::fprintf(stderr, "pgn-replay: cannot read %s: %s\n", path, std::strerror(file.Error()));
        status = 2;
    }
    return status;
}
