#include "TurnSequence.h"

#include "Game.h"

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

TurnSequence::TurnSequence(Game& game, GameUi& ui) : s_(game.State()), ui_(ui), game_(&game) {}

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

    // An ended game takes no more moves; putting the piece back is no move.
    const bool putBack = s_.ToFile == s_.FromFile && s_.ToRank == s_.FromRank;
    if (game_ && !putBack && RefusesMoves(game_->End())) {
        ui_.Announce(IsDraw(game_->End()) ? Message::KonecRemizou : Message::KonecPartie);
        s_.SelectedSquare = NoSelection;
        ui_.DrawSquare(s_.FromFile, s_.FromRank);
        return;
    }

    // A move while an earlier position is only being looked at would cut
    // off the moves after it: asked before anything happens on the board,
    // and only for a move the rules allow.
    if (game_ && !putBack && game_->KeptMovesAMoveWouldCut() > 0
        && ProbeMove(s_, s_.MovingPiece, s_.FromFile, s_.FromRank, s_.ToFile, s_.ToRank)
        && !ui_.AskYesNo(Question::ZrusitPozdejsiTahy)) {
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
    // Putting a piece back on its own square is no move: no right is lost,
    // no test runs and the turn does not pass.
    if (s_.ToFile == s_.FromFile && s_.ToRank == s_.FromRank) {
        s_.SelectedSquare = NoSelection;
        s_.At(s_.FromFile, s_.FromRank) = Empty;
        ui_.DrawSquare(s_.FromFile, s_.FromRank);
        s_.At(s_.ToFile, s_.ToRank) = s_.MovingPiece;
        ui_.DrawSquare(s_.ToFile, s_.ToRank);
        return false;
    }

    Move move{s_.FromFile, s_.FromRank, s_.ToFile, s_.ToRank, Empty};
    MoveEffects effects = MovePieces(s_, move);
    ui_.DrawSquare(move.fromFile, move.fromRank);
    ui_.DrawSquare(move.toFile, move.toRank);
    if (effects.castling) {
        ui_.DrawSquare(effects.rookFromFile, move.fromRank);
        ui_.DrawSquare(effects.rookToFile, move.fromRank);
    }
    if (effects.promotion) {
        ui_.RunPromotion(s_);
        move.promotion = std::abs(s_.At(move.toFile, move.toRank));
    }
    PassTurn(s_, effects);

    // The game and all that follows it learn of the move before anybody is
    // told about check, so that what they show and keep is never behind.
    if (game_)
        game_->Commit(move, effects);
    if (effects.givesCheck)
        ui_.Announce(Message::Sach);
    return true;
}

void TurnSequence::AnnounceEndOfGame()
{
    // With a game, its record has judged the move already.
    GameEnd end = GameEnd::None;
    if (game_) {
        end = game_->EndOfLastMove();
    } else if (!HasLegalMove(s_, s_.WhiteToMove)) {
        const bool inCheck = s_.WhiteToMove ? s_.WhiteInCheck : s_.BlackInCheck;
        end = !inCheck ? GameEnd::Stalemate : s_.WhiteToMove ? GameEnd::BlackWins : GameEnd::WhiteWins;
    }
    if (end == GameEnd::Stalemate)
        ui_.Announce(Message::Pat);
    else if (end == GameEnd::WhiteWins)
        ui_.Announce(Message::MatBilyVyhral);
    else if (end == GameEnd::BlackWins)
        ui_.Announce(Message::MatCernyVyhral);
}

void TurnSequence::ApplyDrawRules()
{
    if (!game_ || game_->Record().Current() == 0)
        return;
    switch (game_->EndOfLastMove()) {
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
    const GameEnd claim = game_->ClaimOccasion();
    if (claim == GameEnd::None)
        return;
    Question question = Question::Remiza50Tahu;
    if (claim == GameEnd::ThreefoldClaimed) {
        const HalfMove& last = game_->Record()[game_->Record().Current() - 1];
        question = last.occurrence > ThreefoldCount ? Question::RemizaCtvrteOpakovani : Question::RemizaTretiOpakovani;
    }
    if (ui_.AskYesNo(question))
        game_->ClaimDraw(claim);
}

void TurnSequence::Novpartie1Click()
{
    if (!s_.BoardTouched)
        return;
    if (!ui_.AskYesNo(Question::NovaPartie))
        return;
    if (game_)
        game_->NewGame();
    else
        SetUpNewGame(s_);
    ui_.DrawBoard();
}

}  // namespace chess
