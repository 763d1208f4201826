#pragma once
// The panels that stand beside or below the board (the move list, the
// clock, the engine's view, the set-up, the move field): docks without a
// title bar that nobody can move, close or float, of a fixed size.

#include <Qt>

class QDockWidget;
class QMainWindow;
class QWidget;

// A panel holding `content`, `size` pixels wide (or high, below the board),
// added to `window` in `area`. Beside the board it stands beside any other
// panel there, never under it: each widens the window.
QDockWidget* MakeBoardPanel(QMainWindow* window, const char* name, QWidget* content, Qt::DockWidgetArea area, int size);

// What a shown panel of `size` adds to the window: itself and the
// separator the style puts beside it.
int BoardPanelExtent(QMainWindow* window, int size);
