#include "EngineClient.h"

#include <QProcess>

using Phase = chess::EngineSession::Phase;

EngineClient::EngineClient(QObject* parent)
    : QObject(parent), session_([this](const std::string& line) { Write(line); })
{
    answerTimer_.setSingleShot(true);
    connect(&answerTimer_, &QTimer::timeout, this, [this] {
        const Phase phase = session_.State();
        Fail(phase == Phase::Greeting || phase == Phase::Readying ? Failure::NoAnswer : Failure::Hung);
    });
}

EngineClient::~EngineClient()
{
    if (process_) {
        // Closing the window must not wait for an engine deep in thought.
        process_->disconnect(this);
        process_->kill();
    }
}

void EngineClient::SetProgram(const QString& path)
{
    if (path == program_)
        return;
    Shutdown();
    program_ = path;
}

void EngineClient::Start()
{
    auto* process = new QProcess(this);
    process_ = process;
    process->setProgram(program_);
    process->setProcessChannelMode(QProcess::SeparateChannels);
    // What the engine writes to standard error is no part of the protocol.
    process->setStandardErrorFile(QProcess::nullDevice());
    connect(process, &QProcess::started, this, [this, process] {
        if (process == process_) {
            session_.Started();
            WatchAnswer();
        }
    });
    connect(process, &QProcess::readyReadStandardOutput, this, [this, process] {
        if (process == process_)
            Read();
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (process == process_ && error == QProcess::FailedToStart)
            Fail(Failure::NotStarted);
    });
    connect(process, &QProcess::finished, this, [this, process] {
        if (process == process_)
            Fail(Failure::Crashed);
        process->deleteLater();
    });
    process->start(QIODevice::ReadWrite);
}

std::uint64_t EngineClient::Analyse(chess::EngineSession::Search search)
{
    if (!process_)
        Start();
    const std::uint64_t id = session_.Request(std::move(search));
    WatchAnswer();
    return id;
}

void EngineClient::Cancel()
{
    session_.Cancel();
    WatchAnswer();
}

void EngineClient::Shutdown()
{
    End(false);
}

void EngineClient::End(bool kill)
{
    answerTimer_.stop();
    session_.Ended();
    watchedPhase_ = Phase::Off;
    QProcess* process = process_;
    if (!process)
        return;
    process_ = nullptr;
    if (process->state() == QProcess::Running && !kill) {
        process->write("quit\n");
        process->closeWriteChannel();
        // An engine that ignores "quit" is ended anyway, a little later.
        QTimer::singleShot(1000, process, [process] { process->kill(); });
    } else {
        process->kill();
        process->deleteLater();
    }
}

void EngineClient::Write(const std::string& line)
{
    if (process_ && process_->state() == QProcess::Running) {
        process_->write(line.data(), qint64(line.size()));
        process_->write("\n", 1);
    }
}

void EngineClient::Read()
{
    while (process_ && process_->canReadLine()) {
        const QByteArray bytes = process_->readLine();
        const chess::EngineSession::Event event = session_.Receive(std::string_view(bytes.data(), bytes.size()));
        switch (event.kind) {
        case chess::EngineSession::Event::Nothing:
            break;
        case chess::EngineSession::Event::Ready:
            emit ready(QString::fromStdString(session_.Name()));
            break;
        case chess::EngineSession::Event::Line:
            emit line(event.search, event.info);
            break;
        case chess::EngineSession::Event::BestMove:
            emit bestMove(event.search, QString::fromStdString(event.best));
            break;
        }
    }
    WatchAnswer();
}

// Arms the timer for the answer now due, afresh whenever the phase or the
// search changes; lines of the same search do not put the deadline off.
void EngineClient::WatchAnswer()
{
    const Phase phase = session_.State();
    const std::uint64_t search = session_.Running();
    if (phase == watchedPhase_ && search == watchedSearch_)
        return;
    watchedPhase_ = phase;
    watchedSearch_ = search;
    const std::optional<int> due = session_.AnswerDue();
    if (!due) {
        answerTimer_.stop();
        return;
    }
    answerTimer_.start(*due - chess::EngineSession::AnswerMs + answerMs_);
}

void EngineClient::Fail(Failure failure)
{
    End(true);
    emit failed(failure);
}
