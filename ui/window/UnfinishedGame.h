#pragma once
// The unfinished game kept between runs: written after every change of the
// game, so that closing the program or a crash loses nothing, and looked for
// at the next start so that it can be resumed.

#include "Game.h"
#include "GameRecord.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string>

class UnfinishedGame : public QObject, public chess::GameListener {
    Q_OBJECT
public:
    // The data folder holds the file; none is kept when it is empty.
    UnfinishedGame(chess::Game& game, const QString& dataDir, QObject* parent);
    ~UnfinishedGame() override;

    // Where the file is kept ("" when there is no data folder).
    QString Path() const;

    // Reads the file an earlier run left; `available` tells what it found.
    void Look();
    // The game found, to be put on the board; empty when there is none.
    std::optional<chess::RecordedGame> Take();

    void GameChanged(const chess::Game& game, const chess::GameChange& change) override;

signals:
    // Whether a game of an earlier run is waiting to be resumed.
    void available(bool there);

private:
    void Write();

    chess::Game& game_;
    QString dataDir_;
    std::optional<chess::RecordedGame> found_;
};
