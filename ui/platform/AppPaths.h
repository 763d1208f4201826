#pragma once
// Where the program finds its files, and how a path is handed to the code
// below Qt, which takes the bytes the file system uses.

#include <QFile>
#include <QString>

#include <string>

struct AppPaths {
    QString ProgramDir;    // the program's folder, with a trailing '/'
    QString SettingsFile;  // the settings file
    QString DataDir;       // the user's data folder, where the unfinished games are kept; "" without a home

    // Beside the program: its path with the extension replaced by ".ini"; in
    // the user's configuration folder when the program's folder is not
    // writable (an installed program).
    static AppPaths ForExecutable(const QString& executablePath);
};

inline std::string LocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}
