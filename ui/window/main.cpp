// Bodlany šachy: a chess board for two players who share one mouse.

#include "Artwork.h"
#include "MainWindow.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QIcon>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};
volatile sig_atomic_t signalsSeen = 0;

void OnTerminate(int signal)
{
    // A second request to end is not asked to wait for the first: whatever
    // holds the first one up, the default action ends the program now.
    if (signalsSeen) {
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        return;
    }
    signalsSeen = 1;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

// Being told to end (the session closing, a kill) keeps the user's settings:
// they are written as at a close, without asking, and the program ends. The
// handler only notes the signal; the event loop acts on it.
bool CatchTermination()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = OnTerminate;
    // Each of them waits while the handler runs for another, so that the
    // second one surely finds the first noted.
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&action.sa_mask, signal);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
    return true;
}

// Acts on a signal from whatever event loop runs: the main one, or that of a
// dialog or message box, the start-up language warning included. Nobody may
// be there to answer a box, so a failure goes to standard error only, and
// the program ends at once rather than return through the dialogs that are
// open. The unfinished game may still be on its way to the disk, on the
// writer's thread, and _exit would cut it off: it is waited for first. Until
// the window is complete there is nothing new to write.
void EndOnTermination(QApplication& app, TForm1* const& form)
{
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&form, notifier] {
        notifier->setEnabled(false);
        char byte;
        [[maybe_unused]] const auto got = ::read(signalPipe[0], &byte, 1);
        int status = 0;
        if (form)
            form->RecordUi().Unfinished().Finish();
        if (form && !form->WriteSettingsFile()) {
            const QByteArray message = "bodlany-sachy: Unable to write to "
                                     + QFile::encodeName(form->Paths().SettingsFile) + "\n";
            [[maybe_unused]] const auto written = ::write(STDERR_FILENO, message.constData(), message.size());
            status = 1;
        }
        std::fflush(nullptr);
        ::_exit(status);
    });
}

}  // namespace

int main(int argc, char** argv)
{
    // Caught from the very start: a signal that comes early waits for the
    // first event loop rather than end the program unwritten.
    const bool catching = CatchTermination();
    QApplication app(argc, argv);
    InitArtwork();
    QApplication::setApplicationName(QStringLiteral("bodlany-sachy"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.bodlany_sachy"));
    // The icon's pixels come ready from the build, in the sizes a window
    // manager draws: decoding a PNG here, or handing over a large picture,
    // would hold the window back by a few milliseconds.
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(
            PrerenderedPicture(QStringLiteral("bodlany-sachy-%1").arg(size), QImage::Format_ARGB32)));
    if (icon.isNull())
        icon.addFile(QStringLiteral(":/icons/bodlany-sachy-256.png"));
    QApplication::setWindowIcon(icon);
    // The dialogs were laid out for these Windows fonts; on other systems the
    // nearest free fonts of the same proportions stand in.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));

    TForm1* ready = nullptr;
    if (catching)
        EndOnTermination(app, ready);
    TForm1 form(AppPaths::ForExecutable(QApplication::applicationFilePath()));
    form.CreateMessageDialog();
    ready = &form;
    form.show();
    OpenFileOfArguments(form, QApplication::arguments());
    return app.exec();
}
