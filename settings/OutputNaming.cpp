#include "settings/OutputNaming.h"

namespace naming {

QString OutputFileExt(TRecordOutFormat outFormat) {
    const OutFormatEntry* entry = findOutFormat(outFormat);
    return entry ? QString::fromLatin1(entry->ext) : QString();
}

QString BuildOutputFileName(const NamingInputs& in, const QDateTime& now) {
    if (in.saveFolder.isEmpty())
        return {};
    QString folder = in.saveFolder;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    switch (in.mode) {
    case NamingMode::Special:
        if (in.specialPath.isEmpty())
            return {};
        // The extension goes on whatever the name ends with: "a.mp3" gives
        // "a.mp3.mp3", so the format of the file is never in doubt.
        return folder + in.specialPath + in.ext;
    case NamingMode::Auto: {
        const QString head = in.prefix.isEmpty() ? QString() : in.prefix + u'_';
        const QString stamp =
            now.toString(in.postfix == TPostfix::Time ? QStringLiteral("HHmmss")
                                                      : QStringLiteral("yyyyMMddHHmmss"));
        return folder + head + stamp + in.ext;
    }
    case NamingMode::None:
        break;
    }
    return {};
}

ExistingFileAction WhenFileExists(NamingMode mode, TSameNameAction sameName) {
    if (mode != NamingMode::Special)
        return ExistingFileAction::TakeFreeName;
    switch (sameName) {
    case TSameNameAction::Overwrite:
        return ExistingFileAction::Overwrite;
    case TSameNameAction::Prompt:
        return ExistingFileAction::AskFirst;
    case TSameNameAction::NewName:
        return ExistingFileAction::TakeFreeName;
    }
    return ExistingFileAction::AskFirst;
}

QString MakeUniqueFileName(const QString& path, const std::function<bool(const QString&)>& exists) {
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString dir = path.left(slash + 1);
    const QString name = path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString ext = dot >= 0 ? name.mid(dot) : QString();
    const QString stem = name.left(qMax<qsizetype>(0, name.size() - 4));
    for (quint64 n = 1;; ++n) {
        const QString candidate = dir + stem + u'_' + QString::number(n) + ext;
        if (!exists(candidate))
            return candidate;
    }
}

} // namespace naming
