#include "ui/ProgramFiles.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString withSlash(QString folder) {
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString xdgHome(const char* variable, const QString& fallbackBelowHome) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return value;
    return QDir::homePath() + u'/' + fallbackBelowHome;
}

} // namespace

ProgramFiles ProgramFiles::portable(const QString& programFolder) {
    const QString folder = withSlash(programFolder);
    return ProgramFiles{folder, folder, folder, QString(), false};
}

bool isInstalledCopy(const QString& executableFolder) {
    const QDir bin(QDir::cleanPath(executableFolder));
    return bin.dirName() == QLatin1String("bin") &&
           QFileInfo(bin.filePath(QStringLiteral("../share/tovaline"))).isDir();
}

ProgramFiles locateProgramFiles(const QString& executableFolder, const QString& configHome,
                                const QString& dataHome) {
    if (!isInstalledCopy(executableFolder))
        return ProgramFiles::portable(executableFolder);
    const QString prefix = QDir::cleanPath(executableFolder + QStringLiteral("/.."));
    ProgramFiles files;
    files.installed = true;
    files.settingsFolder = withSlash(QDir::cleanPath(configHome + QStringLiteral("/tovaline")));
    files.dataFolder = withSlash(QDir::cleanPath(dataHome + QStringLiteral("/tovaline")));
    files.encoderFolder = prefix + QStringLiteral("/lib/tovaline/");
    files.shippedSettings = prefix + QStringLiteral("/share/tovaline/config.xml");
    return files;
}

QString xdgConfigHome() {
    return xdgHome("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

QString xdgDataHome() {
    return xdgHome("XDG_DATA_HOME", QStringLiteral(".local/share"));
}
