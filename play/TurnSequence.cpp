#include "TurnSequence.h"

#include "History.h"

#include <cstdlib>

namespace chess {

bool InsidePlayingArea(int x, int y)
{
    constexpr int first = FrameWidth, last = FrameWidth + 8 * SquareSize - 1;
    return x >= first && x <= last && y >= first && y <= last;
}

Square SquareAt(int x, int y, bool whiteAtBottom)
{
    const int column = (x - FrameWidth) / SquareSize;
    const int row = (y - FrameWidth) / SquareSize;
    if (whiteAtBottom)
        return {column, 7 - row};
    return {7 - column, row};
}

void TurnSequence::FormMouseDown(int x, int y, bool whiteAtBottom)
{
    s_.BoardTouched = true;
    if (!InsidePlayingArea(x, y))
        return;
    const Square square = SquareAt(x, y, whiteAtBottom);
    if (s_.SelectedSquare == NoSelection)
        PickUp(square);
    else
        PutDown(square);
}

void TurnSequence::PickUp(Square sq)
{
    s_.FromFile = sq.file;
    s_.FromRank = sq.rank;
    s_.MovingPiece = s_.At(sq.file, sq.rank);
    if ((s_.WhiteToMove && s_.MovingPiece < 0) || (!s_.WhiteToMove && s_.MovingPiece > 0))
        return;
    if (s_.MovingPiece != Empty)
        s_.SelectedSquare = SelectionOf(sq.file, sq.rank);
    ui_.DrawSquare(sq.file, sq.rank);
}

void TurnSequence::PutDown(Square sq)
{
    s_.FromFile = SelectionFile(s_.SelectedSquare);
    s_.FromRank = SelectionRank(s_.SelectedSquare);
    s_.ToFile = sq.file;
    s_.ToRank = sq.rank;

    // A drawn game takes no more moves; putting the piece back is no move.
    const bool putBack = s_.ToFile == s_.FromFile && s_.ToRank == s_.FromRank;
    if (record_ && !putBack && EndedByDrawRule(record_->End())) {
        ui_.Announce(Message::KonecRemizou);
        s_.SelectedSquare = NoSelection;
        ui_.DrawSquare(s_.FromFile, s_.FromRank);
        return;
    }

    if (!TestMove(s_, s_.MovingPiece, s_.FromFile, s_.FromRank, s_.ToFile, s_.ToRank, &ui_)) {
        // The origin keeps its mark while the message is up.
        ui_.Announce(Message::Nelze);
        s_.SelectedSquare = NoSelection;
        s_.At(s_.FromFile, s_.FromRank) = s_.MovingPiece;
        ui_.DrawSquare(s_.FromFile, s_.FromRank);
        return;
    }
    if (CarryOutAcceptedMove()) {
        AnnounceEndOfGame();
        ApplyDrawRules();
    }
}

bool TurnSequence::CarryOutAcceptedMove()
{
    s_.SelectedSquare = NoSelection;
    s_.At(s_.FromFile, s_.FromRank) = Empty;
    ui_.DrawSquare(s_.FromFile, s_.FromRank);
    s_.At(s_.ToFile, s_.ToRank) = s_.MovingPiece;
    ui_.DrawSquare(s_.ToFile, s_.ToRank);

    // Putting a piece back on its own square is no move: no right is lost,
    // no test runs and the turn does not pass.
    if (s_.ToFile == s_.FromFile && s_.ToRank == s_.FromRank)
        return false;

    CompleteCastling();
    UpdateCastlingRights();

    if ((s_.MovingPiece == Pawn && s_.ToRank == 7) || (s_.MovingPiece == -Pawn && s_.ToRank == 0))
        ui_.RunPromotion(s_);

    const bool whiteMoved = s_.MovingPiece > 0;
    if (whiteMoved)
        s_.BlackDoubleStep = false;
    else
        s_.WhiteDoubleStep = false;

    if (whiteMoved) {
        s_.BlackInCheck = BlackKingCheckTest(s_) == CheckVerdict::Sachuji;
        if (s_.BlackInCheck)
            ui_.Announce(Message::Sach);
    } else {
        s_.WhiteInCheck = WhiteKingCheckTest(s_) == CheckVerdict::Sachuji;
        if (s_.WhiteInCheck)
            ui_.Announce(Message::Sach);
    }

    s_.WhiteToMove = !whiteMoved;

    if (record_) {
        Move move{s_.FromFile, s_.FromRank, s_.ToFile, s_.ToRank, Empty};
        if (std::abs(s_.MovingPiece) == Pawn && (s_.ToRank == 0 || s_.ToRank == 7)
            && std::abs(s_.At(s_.ToFile, s_.ToRank)) != Pawn)
            move.promotion = std::abs(s_.At(s_.ToFile, s_.ToRank));
        record_->Record(move, s_);
    }
    return true;
}

void TurnSequence::CompleteCastling()
{
    if (std::abs(s_.MovingPiece) != King || !(s_.CastleShortPending || s_.CastleLongPending))
        return;
    const int home = s_.MovingPiece > 0 ? 0 : 7;
    const int32_t rook = s_.MovingPiece > 0 ? Rook : -Rook;
    const int rookFrom = s_.CastleShortPending ? 7 : 0;
    const int rookTo = s_.CastleShortPending ? 5 : 3;
    s_.At(rookFrom, home) = Empty;
    ui_.DrawSquare(rookFrom, home);
    s_.At(rookTo, home) = rook;
    ui_.DrawSquare(rookTo, home);
    s_.CastleShortPending = false;
    s_.CastleLongPending = false;
}

void TurnSequence::UpdateCastlingRights()
{
    if (s_.MovingPiece == King)
        s_.WhiteMayCastleShort = s_.WhiteMayCastleLong = false;
    else if (s_.MovingPiece == -King)
        s_.BlackMayCastleShort = s_.BlackMayCastleLong = false;

    // A right ends when its rook leaves its corner, or when anything lands on
    // that corner (the rook has been taken): a rook that turns up there later
    // is not the one that had the right.
    auto corner = [&](int file, int rank, bool& right) {
        if ((s_.FromFile == file && s_.FromRank == rank) || (s_.ToFile == file && s_.ToRank == rank))
            right = false;
    };
    corner(0, 0, s_.WhiteMayCastleLong);
    corner(7, 0, s_.WhiteMayCastleShort);
    corner(0, 7, s_.BlackMayCastleLong);
    corner(7, 7, s_.BlackMayCastleShort);
}

void TurnSequence::AnnounceEndOfGame()
{
    if (HasLegalMove(s_, s_.WhiteToMove))
        return;
    const bool inCheck = s_.WhiteToMove ? s_.WhiteInCheck : s_.BlackInCheck;
    if (!inCheck)
        ui_.Announce(Message::Pat);
    else
        ui_.Announce(s_.WhiteToMove ? Message::MatCernyVyhral : Message::MatBilyVyhral);
}

void TurnSequence::ApplyDrawRules()
{
    if (!record_ || record_->Current() == 0)
        return;
    switch (record_->Moves()[record_->Current() - 1].end) {
    case GameEnd::DeadPosition:
        ui_.Announce(Message::RemizaMrtvaPozice);
        return;
    case GameEnd::FivefoldRepetition:
        ui_.Announce(Message::RemizaPateOpakovani);
        return;
    case GameEnd::SeventyFiveMoves:
        ui_.Announce(Message::Remiza75Tahu);
        return;
    case GameEnd::None:
        break;
    default:
        return;  // mate and stalemate are announced by the rules of play
    }
    const GameEnd claim = record_->ClaimOccasion();
    if (claim == GameEnd::ThreefoldClaimed && ui_.AskYesNo(Question::RemizaTretiOpakovani))
        record_->ClaimDraw(claim);
    else if (claim == GameEnd::FiftyMovesClaimed && ui_.AskYesNo(Question::Remiza50Tahu))
        record_->ClaimDraw(claim);
}

void TurnSequence::Novpartie1Click()
{
    if (!s_.BoardTouched)
        return;
    if (!ui_.AskYesNo(Question::NovaPartie))
        return;
    SetUpNewGame(s_);
    if (record_)
        record_->Reset(s_);
    ui_.DrawBoard();
}

}  // namespace chess
