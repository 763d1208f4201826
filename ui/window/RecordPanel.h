#pragma once
// The panel beside the board: the move list, the buttons that step through
// the record, and a status line that says where the game stands.

#include <QList>
#include <QWidget>

class QAction;
class QLabel;
class TMoveList;

class RecordPanel : public QWidget {
    Q_OBJECT
public:
    // `steps`: to the start, one back, one forward, to the end. The buttons
    // are the menu items' and follow them, enabled or not.
    RecordPanel(const QList<QAction*>& steps, QWidget* parent = nullptr);

    TMoveList* List() const { return list_; }

    // The status line, and under it what keeps the unfinished game from
    // being written, when anything does ("" for nothing).
    void SetStatus(const QString& status, const QString& problem);
    QString Status() const;
    QString Problem() const;

private:
    TMoveList* list_;
    QLabel* status_;
    QLabel* problem_;
};
