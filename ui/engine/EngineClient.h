#pragma once
// One chess engine in a process of its own, spoken to over UCI. Nothing
// here ever waits: the process is started, asked and stopped through Qt's
// signals, and an engine that does not answer in time counts as hung. What
// to write and which lines count is the session's business.

#include "EngineSession.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>

class QProcess;

class EngineClient : public QObject {
    Q_OBJECT
public:
    explicit EngineClient(QObject* parent = nullptr);
    ~EngineClient() override;

    // The program to run; a change ends the running one.
    void SetProgram(const QString& path);
    const QString& Program() const { return program_; }

    // Asks for a search, starting the engine first when none runs. Answers
    // the search's number, which its lines and bestmove carry.
    std::uint64_t Analyse(chess::EngineSession::Search search);
    // Stops the running search and drops the waiting one.
    void Cancel();
    // Ends the process ("quit", killed when it lingers).
    void Shutdown();

    bool Running() const { return process_ != nullptr; }
    const chess::EngineSession& Session() const { return session_; }

    enum class Failure {
        NotStarted,  // no such program, or it may not be run
        NoAnswer,    // no "uciok" or "readyok" in time: not a UCI engine, or a broken one
        Crashed,     // the process ended by itself
        Hung,        // a search did not end in time after "stop" or its time
    };

    // For tests: how long an answer may take (EngineSession::AnswerMs).
    void SetAnswerMs(int ms) { answerMs_ = ms; }

signals:
    void ready(const QString& name);
    void line(std::uint64_t search, const chess::uci::Info& info);
    void bestMove(std::uint64_t search, const QString& move);
    // Once per process: the engine is gone, and whatever was asked with it.
    void failed(EngineClient::Failure failure);

private:
    void Start();
    void End(bool kill);
    void Write(const std::string& line);
    void Read();
    void Fail(Failure failure);
    void WatchAnswer();

    QString program_;
    QProcess* process_ = nullptr;
    chess::EngineSession session_;
    QTimer answerTimer_;
    int answerMs_ = chess::EngineSession::AnswerMs;
    // What the timer watches: the phase and the search it was armed for.
    chess::EngineSession::Phase watchedPhase_ = chess::EngineSession::Phase::Off;
    std::uint64_t watchedSearch_ = 0;
};
