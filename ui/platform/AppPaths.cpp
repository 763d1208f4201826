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
    paths.DataDir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                    + QStringLiteral("/bodlany-sachy");
    return paths;
}
