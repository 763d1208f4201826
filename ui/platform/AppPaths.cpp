#include "AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

AppPaths AppPaths::ForExecutable(const QString& executablePath)
{
    const QFileInfo exe(executablePath);
    AppPaths paths;
    paths.ProgramDir = exe.absolutePath() + QLatin1Char('/');
    const QString iniName = exe.completeBaseName() + QStringLiteral(".ini");
    if (QFileInfo(exe.absolutePath()).isWritable()) {
        paths.SettingsFile = paths.ProgramDir + iniName;
    } else {
        const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QDir().mkpath(config);
        paths.SettingsFile = config + QLatin1Char('/') + iniName;
    }
    // Without a home (HOME and XDG_DATA_HOME unset, as for some services)
    // the data folder would be one under the root: no game is kept then.
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    const QString home = qEnvironmentVariable("HOME");
    const bool realHome = QDir::isAbsolutePath(dataHome) || (QDir::isAbsolutePath(home) && QDir(home) != QDir::root());
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (realHome && !data.isEmpty())
        paths.DataDir = data + QStringLiteral("/bodlany-sachy");
    return paths;
}
