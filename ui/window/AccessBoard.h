#pragma once
// The board as screen readers see it: a table of eight rows and eight
// columns as the board stands on the screen, each cell named by its square
// and what stands on it, the keyboard's frame as the focused cell and a
// picked-up piece as the selected one; and the status object through which
// the program speaks.

#include <QLabel>

class AccessController;
class QAccessibleInterface;
class QObject;
class QString;

// Shows nothing and takes no room; screen readers read what it says.
class AccessStatus : public QLabel {
    Q_OBJECT
public:
    explicit AccessStatus(QWidget* parent);
    void Say(const QString& text);
};

namespace screenreader {

// Makes the board and the status object known to the accessibility
// framework: once per program, for the controller that names them.
void InstallFactory(AccessController* controller);
// Tells screen readers that the cells may read otherwise now (a move, a new
// language, the board turned), and where the focus and the selection are.
void BoardChanged(QObject* board);
void CursorMoved(QObject* board);

}  // namespace screenreader
