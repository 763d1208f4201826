// Bodlany šachy: a chess board for two players who share one mouse.

#include "MainWindow.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("bodlany-sachy"));
    QGuiApplication::setDesktopFileName(QStringLiteral("bodlany-sachy"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/bodlany-sachy.svg")));
    // The dialogs were laid out for these Windows fonts; on other systems the
    // nearest free fonts of the same proportions stand in.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));

    TForm1 form(AppPaths::ForExecutable(QApplication::applicationFilePath()));
    form.CreateMessageDialog();
    form.show();
    return app.exec();
}
