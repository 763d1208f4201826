#include "GameState.h"

namespace chess {

void SetUpNewGame(GameState& s)
{
    static constexpr int32_t backRank[8] = {Rook, Knight, Bishop, Queen, King, Bishop, Knight, Rook};
    for (int file = 0; file < 8; ++file) {
        s.At(file, 0) = backRank[file];
        s.At(file, 1) = Pawn;
        for (int rank = 2; rank <= 5; ++rank)
            s.At(file, rank) = Empty;
        s.At(file, 6) = -Pawn;
        s.At(file, 7) = -backRank[file];
    }
    s.BoardTouched = false;
    s.SelectedSquare = NoSelection;
    s.CastleShortPending = false;
    s.CastleLongPending = false;
    s.WhiteMayCastleShort = true;
    s.WhiteMayCastleLong = true;
    s.BlackMayCastleShort = true;
    s.BlackMayCastleLong = true;
    s.BlackDoubleStep = false;
    s.WhiteDoubleStep = false;
    s.WhiteToMove = true;
    s.WhiteInCheck = false;
    s.BlackInCheck = false;
}

}  // namespace chess
