#pragma once
// The engine's panel beside the board: the evaluation of the position on
// the board, the engine's best lines and its depth; during a review of the
// whole game its progress, and after it a small graph of the evaluation
// over the game, the judgement of the move shown with the better move, and
// the button that writes the review into the record.

#include <QString>
#include <QWidget>

#include <cstddef>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;

// White's winning chances over the game, from -1 to +1, one point a
// position; a click asks for the position under it.
class EvalGraph : public QWidget {
    Q_OBJECT
public:
    explicit EvalGraph(QWidget* parent = nullptr);
    // `marks`: 0 for a good move, 1 to 3 for inaccuracy, mistake, blunder,
    // one a half-move.
    void Show(std::vector<double> chances, std::vector<int> marks, std::size_t current);
    QSize sizeHint() const override { return {200, 70}; }

signals:
    void chosen(std::size_t ply);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::vector<double> chances_;
    std::vector<int> marks_;
    std::size_t current_ = 0;
};

class EnginePanel : public QWidget {
    Q_OBJECT
public:
    explicit EnginePanel(QWidget* parent = nullptr);

    void SetEngine(const QString& name);
    // The evaluation, the depth line and the best lines (one a line).
    void SetAnalysis(const QString& evaluation, const QString& depth, const QString& lines);
    void SetStatus(const QString& status);
    // -1 hides the progress; otherwise done of total positions.
    void SetProgress(int done, int total, const QString& text);
    void SetReview(const QString& judgement, bool saveable);
    void SetTexts(const QString& cancel, const QString& save);

    EvalGraph* Graph() const { return graph_; }
    // For tests that read what is shown.
    QString Evaluation() const;
    QString Lines() const;
    QString Status() const;
    QString Judgement() const;
    QPushButton* SaveButton() const { return save_; }
    QPushButton* CancelButton() const { return cancel_; }
    QProgressBar* Progress() const { return progress_; }

signals:
    void cancelled();
    void saveRequested();

private:
    QLabel* engine_;
    QLabel* evaluation_;
    QLabel* depth_;
    QLabel* lines_;
    QLabel* status_;
    QProgressBar* progress_;
    QPushButton* cancel_;
    EvalGraph* graph_;
    QLabel* judgement_;
    QPushButton* save_;
};
