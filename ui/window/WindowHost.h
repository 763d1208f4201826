#pragma once
// What the parts of the window that come beside the board (the record's
// side, and whatever follows it) need of the window they live in. They add
// their menu items and panels through it, and never include the main
// window's header.

#include "TurnSequence.h"

#include <QString>

class QAction;
class QMainWindow;
class QMenu;

class WindowHost {
public:
    virtual QMainWindow* Window() = 0;
    // Menu items named as the language files name them.
    virtual QAction* AddItem(QMenu* menu, const char* name, const QString& caption, bool checkable = false) = 0;
    virtual void AddSeparator(QMenu* menu, const char* name) = 0;
    virtual bool AskYesNo(chess::Question question) = 0;
    virtual void Announce(chess::Message message) = 0;
    // A message of a part's own, in the message dialog the board's use.
    virtual void AnnounceText(const QString& text) = 0;
    virtual void DrawSquare(int file, int rank) = 0;
    // A panel beside the board widens the window by its width (0 while it is
    // hidden); the board area keeps its size. Each panel reports its own
    // width under its own key, and the window adds them up.
    virtual void SetSidePanelWidth(const void* panel, int width) = 0;
    // Turns the board as "bílý dole" and "černý dole" do, ticks and all.
    virtual void ShowWhiteAtBottom(bool whiteAtBottom) = 0;
    // An arrow over the board from one cell (file * 8 + rank) to another;
    // -1, -1 takes it away.
    virtual void SetArrow(int fromCell, int toCell) = 0;
    // A panel below the board makes the window taller by its height in the
    // same way; the board stays where it is.
    virtual void SetBottomPanelHeight(const void* panel, int height) = 0;
    // Plays a move as the two presses on its squares would, with the same
    // questions and messages; a pawn becomes move.promotion without asking.
    virtual void PlayMove(const chess::Move& move) = 0;

protected:
    ~WindowHost() = default;
};
