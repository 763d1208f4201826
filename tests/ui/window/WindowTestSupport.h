#pragma once
// What the window tests share: a program folder of its own for each test
// (the language files beside the program, a settings file and a data
// folder, all gone with it), and presses on the board as a player aims them.

#include "AppPaths.h"
#include "BoardWidget.h"
#include "MainWindow.h"
#include "Rules.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The settings file's own section, as the program writes it.
inline const QByteArray SectionHeader = "[Nastaven\xED]";  // í in code page 1250

struct ProgramFolder {
    QTemporaryDir dir;
    AppPaths paths;

    explicit ProgramFolder(const QStringList& languages = {"czech", "deutch", "english"})
    {
        paths.ProgramDir = dir.path() + QLatin1Char('/');
        paths.SettingsFile = paths.ProgramDir + QStringLiteral("bodlany-sachy.ini");
        paths.DataDir = paths.ProgramDir + QStringLiteral("data");
        QDir(dir.path()).mkdir(QStringLiteral("Language"));
        for (const QString& name : languages)
            QFile::copy(QStringLiteral(LANGUAGE_DIR "/") + name, paths.ProgramDir + QStringLiteral("Language/") + name);
    }
    void WriteSettings(const QByteArray& bytes) const
    {
        QFile f(paths.SettingsFile);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray SettingsBytes() const;
    // The non-empty lines of the settings file.
    QList<QByteArray> SettingsLines() const
    {
        QList<QByteArray> lines;
        for (QByteArray line : SettingsBytes().split('\n')) {
            line = line.trimmed();
            if (!line.isEmpty())
                lines << line;
        }
        return lines;
    }
    // A key's value in the program's own section.
    QByteArray Value(const QByteArray& key) const
    {
        bool inSection = false;
        for (const QByteArray& line : SettingsLines()) {
            if (line.startsWith('['))
                inSection = line == SectionHeader;
            else if (inSection && line.startsWith(key + '='))
                return line.mid(key.size() + 1);
        }
        return {};
    }
    QByteArray Bounds() const
    {
        return "Left=" + Value("Left") + " Top=" + Value("Top") + " Height=" + Value("Height")
             + " Width=" + Value("Width");
    }
    // Starts the program: the window, then its message dialog, then shown.
    std::unique_ptr<TForm1> Start() const
    {
        auto form = std::make_unique<TForm1>(paths);
        form->CreateMessageDialog();
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qWarning("main window not exposed");
        return form;
    }
};

inline chess::Square ParseSquare(const char* name)
{
    return {name[0] - 'a', name[1] - '1'};
}

// The centre of a square on screen, as a player aims at it.
inline QPoint CentreOf(const TForm1& form, chess::Square sq)
{
    const bool white = form.Look().WhiteAtBottom;
    const int column = white ? sq.file : 7 - sq.file;
    const int row = white ? 7 - sq.rank : sq.rank;
    return {34 + 68 * column + 34, 34 + 68 * row + 34};
}

inline void Press(TForm1& form, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(form.Board(), button, Qt::NoModifier, at);
}

inline void Press(TForm1& form, const char* square, Qt::MouseButton button = Qt::LeftButton)
{
    Press(form, CentreOf(form, ParseSquare(square)), button);
}

// "e2e4 e7e5": two presses per move.
inline void Play(TForm1& form, const QString& moves, Qt::MouseButton button = Qt::LeftButton)
{
    for (const QString& move : moves.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        Press(form, move.left(2).toLatin1().constData(), button);
        Press(form, move.mid(2, 2).toLatin1().constData(), button);
    }
}

inline QPoint CentreOf(const TForm1& form, const char* square)
{
    return CentreOf(form, ParseSquare(square));
}

inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
inline QByteArray ProgramFolder::SettingsBytes() const
{
    return ReadAll(paths.SettingsFile);
}
