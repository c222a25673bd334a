#pragma once
// The path a new recording is written to: built from the naming settings, the
// format's extension and the clock, and numbered when the name is taken. Kept
// apart from the window so it is tested without one.

#include "audio/RecordOutFormat.h"

#include <QDateTime>
#include <QString>
#include <functional>

namespace naming {

// Which of the two naming radio buttons is checked at the moment of the build.
enum class NamingMode { None, Special, Auto };

// Time-stamp patterns of the automatic mode, by the Postfix setting.
inline constexpr int kPostfixDateTime = 0;
inline constexpr int kPostfixTime = 1;

struct NamingInputs {
    QString saveFolder; // with or without a trailing '/'
    NamingMode mode = NamingMode::None;
    QString specialPath;
    QString prefix;
    int postfix = kPostfixDateTime;
    QString ext; // from OutputFileExt
};

// ".wav", ".mp3", ".wma", ".ogg"; empty for a value outside the enumeration,
// so a damaged setting gives no path rather than a file of the wrong kind.
QString OutputFileExt(TRecordOutFormat outFormat);

// Empty when the settings give no path: no folder, no mode, or the special
// mode without a name. Nothing in the parts is checked or replaced; a name the
// file system refuses fails when the recording starts.
QString BuildOutputFileName(const NamingInputs& in, const QDateTime& now);

// The first of path's numbered variants (name_1.ext, name_2.ext, ...) for
// which exists answers false. The stem is the name without its last four
// characters, which for the built names is always the extension.
QString MakeUniqueFileName(const QString& path, const std::function<bool(const QString&)>& exists);

} // namespace naming
