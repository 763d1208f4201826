#pragma once
// The lines of the UCI protocol that the engine client writes and reads,
// and an engine's line of moves turned into the notation the move list
// uses. No Qt, no process: the client hands lines in and out.

#include "History.h"
#include "Notation.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chess::uci {

// An evaluation as the engine gives it, from the side to move: centipawns,
// or mate in `value` moves (negative: the side to move is mated).
struct Score {
    bool mate = false;
    int value = 0;
    friend bool operator==(const Score&, const Score&) = default;
};

// The same evaluation from White's side, whoever is to move.
Score ForWhite(Score score, bool whiteToMove);

// One "info" line that carries a line of play: its depth, which of the
// lines it is (1 = the best), the score and the moves in long algebraic
// notation. Lines without a score and a line of moves (currmove, nps,
// strings) give nullopt, as do bound scores, which are not final.
struct Info {
    int depth = 0;
    int multipv = 1;
    Score score;
    std::vector<std::string> pv;
    friend bool operator==(const Info&, const Info&) = default;
};
std::optional<Info> ParseInfo(std::string_view line);

// "bestmove e2e4 ponder e7e5" gives "e2e4"; "bestmove (none)" gives "" (no
// move in a mated or stalemated position); any other line nullopt.
std::optional<std::string> ParseBestMove(std::string_view line);

// The name of "id name Stockfish 15.1", nullopt for other lines.
std::optional<std::string> ParseName(std::string_view line);

// Whether `line` is exactly this one-word answer ("uciok", "readyok"),
// blanks around it allowed.
bool IsAnswer(std::string_view line, std::string_view answer);

// "position startpos moves e2e4 e7e5" for the position after `ply`
// half-moves of the record; a record set up from another position starts
// with "position fen ...". The moves keep the engine's own repetition
// count right.
std::string PositionCommand(const History& history, std::size_t ply);

// How long one search goes: to a depth, or for a time.
struct Limit {
    int depth = 0;         // > 0: "go depth N"
    int milliseconds = 0;  // > 0: "go movetime N"; neither: "go infinite"
};
std::string GoCommand(Limit limit);

// The moves of `pv` (long algebraic) played from the position after `ply`
// half-moves, as the move list writes them: "12... Jf6 13. Sc4", in
// `letters`. Stops at the first move the rules refuse there (an engine
// may send a line for a position it was asked about earlier), and answers
// only the moves before it.
std::string PvText(const History& history, std::size_t ply, const std::vector<std::string>& pv,
                   const PieceLetters& letters, std::size_t maxMoves = 8);

// The first move of `pv`, read in the position after `ply`; nullopt when it
// is no legal move there.
std::optional<Move> FirstMove(const History& history, std::size_t ply, const std::vector<std::string>& pv);

}  // namespace chess::uci
