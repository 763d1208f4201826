#pragma once
// A program folder of its own for each window test: the language files
// beside the program, a settings file and a data folder, all gone with it.

#include "AppPaths.h"
#include "MainWindow.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
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
    QByteArray SettingsBytes() const
    {
        QFile f(paths.SettingsFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
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
