#pragma once
// The path a new recording is written to: built from the naming settings, the
// format's extension and the clock, and numbered when the name is taken. Kept
// apart from the window so it is tested without one.

#include "audio/RecordOutFormat.h"
#include "settings/RecorderSettings.h"

#include <QDateTime>
#include <QString>
#include <functional>

namespace naming {

// Which of the two naming radio buttons is checked at the moment of the build.
enum class NamingMode { None, Special, Auto };

struct NamingInputs {
    QString saveFolder; // with or without a trailing '/'
    NamingMode mode = NamingMode::None;
    QString specialPath;
    QString prefix;
    TPostfix postfix = TPostfix::DateTime;
    QString ext; // from OutputFileExt
};

// ".wav", ".mp3", ".wma", ".ogg"; empty for a value outside the enumeration,
// so a damaged setting gives no path rather than a file of the wrong kind.
QString OutputFileExt(TRecordOutFormat outFormat);

// Empty when the settings give no path: no folder, no mode, or the special
// mode without a name. Nothing in the parts is checked or replaced; a name the
// file system refuses fails when the recording starts.
QString BuildOutputFileName(const NamingInputs& in, const QDateTime& now);

// What a new recording does when its file exists. In the special-name mode
// the "On Same name:" choice decides. A generated name never replaces a
// recording and asks nothing: the time-only stamp repeats every day, and the
// choice the user made for the special name (its list is disabled here) must
// not silently overwrite another day's recording.
enum class ExistingFileAction { Overwrite, AskFirst, TakeFreeName };
ExistingFileAction WhenFileExists(NamingMode mode, TSameNameAction sameName);

// The first of path's numbered variants (name_1.ext, name_2.ext, ...) for
// which exists answers false. The stem is the name without its last four
// characters, which for the built names is always the extension.
QString MakeUniqueFileName(const QString& path, const std::function<bool(const QString&)>& exists);

} // namespace naming
