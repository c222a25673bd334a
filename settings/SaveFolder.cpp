#include "settings/SaveFolder.h"

#include <QFile>

#include <filesystem>
#include <system_error>

Result PrepareSaveFolder(const QString& path, const QString& keptFolder) {
    const std::filesystem::path folder(QFile::encodeName(path).toStdString());
    std::error_code error;
    if (std::filesystem::is_directory(folder, error))
        return Result::success();
    if (std::filesystem::exists(folder, error)) {
        error = std::make_error_code(std::errc::not_a_directory);
    } else {
        std::filesystem::create_directories(folder, error);
        if (!error && std::filesystem::is_directory(folder, error))
            return Result::success();
        if (!error)
            error = std::make_error_code(std::errc::not_a_directory);
    }
    const QString reason = QString::fromLocal8Bit(error.message().c_str());
    QString text = QStringLiteral("The folder \"%1\" could not be created: %2.").arg(path, reason);
    if (!keptFolder.isEmpty())
        text += QStringLiteral(" Recordings still go to \"%1\".").arg(keptFolder);
    return Result::failure(Fault::Io, text.toStdString(), error.value());
}
