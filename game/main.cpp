// Bodlany šachy: a chess board for two players who share one mouse.

#include "Artwork.h"
#include "MainWindow.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void OnTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

// Being told to end (the session closing, a kill) keeps the user's settings:
// they are written as at a close, without asking, and the program ends. The
// handler only notes the signal; the window acts on it from the event loop.
bool CatchTermination()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    return true;
}

void SaveSettingsOnTermination(TForm1& form)
{
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &form);
    QObject::connect(notifier, &QSocketNotifier::activated, &form, [&form, notifier] {
        notifier->setEnabled(false);
        char byte;
        [[maybe_unused]] const auto got = ::read(signalPipe[0], &byte, 1);
        form.SaveSettings();
        QApplication::exit(0);
    });
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    InitArtwork();
    QApplication::setApplicationName(QStringLiteral("bodlany-sachy"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.bodlany_sachy"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/bodlany-sachy-256.png")));
    // The dialogs were laid out for these Windows fonts; on other systems the
    // nearest free fonts of the same proportions stand in.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));

    const bool catching = CatchTermination();
    TForm1 form(AppPaths::ForExecutable(QApplication::applicationFilePath()));
    form.CreateMessageDialog();
    if (catching)
        SaveSettingsOnTermination(form);
    form.show();
    return app.exec();
}
