#include "settings/RecorderSettings.h"

TRecorderSettings Settings;

namespace {
QStringList makeOutFormatNames() {
    QStringList names;
    for (const OutFormatEntry& entry : kOutFormats)
        names << QString::fromLatin1(entry.configName);
    return names;
}
} // namespace

const QStringList OutFormatNames = makeOutFormatNames();
const QStringList WavChannelItems = {"Mono", "Stereo"};
const QStringList WavBitItems = {"8bit", "16bit", "24bit"};
const QStringList WavRateItems = {"8000Khz", "11025Khz", "22050Khz", "44100Khz"};
const QStringList Mp3BitrateItems = {"48bps",  "56bps",  "64bps",  "80bps",  "96bps",
                                     "112bps", "128bps", "192bps", "256bps", "320bps"};
const QStringList Mp3ChannelItems = {"Mono", "Stereo", "JointStereo"};
const QStringList WmaRateItems = {"22050Khz", "44100Khz"};
const QStringList WmaChannelItems = {"Mono", "Stereo"};
const QStringList SamenameItems = {"Overwrite", "Prompt", "SaveAs"};
const QStringList PostfixItems = {"Date+Time format", "Time format"};

namespace {
QStringList makeHotKeyItems() {
    QStringList items;
    for (char c = 'A'; c <= 'Z'; ++c)
        items << QStringLiteral("CTRL+ALT+") + QChar::fromLatin1(c);
    return items;
}
} // namespace

const QStringList HotKeyItems = makeHotKeyItems();

int32_t stripEntry(const QString& entry, int32_t fallback) {
    if (entry.size() < 3)
        return fallback;
    bool ok = false;
    const int32_t v = entry.left(entry.size() - 3).toInt(&ok, 10);
    return ok ? v : fallback;
}

std::optional<int32_t> wavChannelFromText(const QString& text) {
    if (text.compare(QLatin1String("Mono"), Qt::CaseInsensitive) == 0)
        return 1;
    if (text.compare(QLatin1String("Stereo"), Qt::CaseInsensitive) == 0)
        return 2;
    return std::nullopt;
}

QString outFormatName(TRecordOutFormat format) {
    const OutFormatEntry* entry = findOutFormat(format);
    return entry ? QString::fromLatin1(entry->configName) : QString();
}

std::optional<TRecordOutFormat> outFormatFromName(const QString& name, Qt::CaseSensitivity cs) {
    for (const OutFormatEntry& entry : kOutFormats)
        if (name.compare(QLatin1String(entry.configName), cs) == 0)
            return entry.format;
    return std::nullopt;
}

QString valueLabelText(int32_t value) {
    return QStringLiteral("(%1)").arg(value);
}

std::optional<TSameNameAction> sameNameActionFromValue(int32_t value) {
    if (value < 0 || value >= SamenameItems.size())
        return std::nullopt;
    return static_cast<TSameNameAction>(value);
}

std::optional<TPostfix> postfixFromValue(int32_t value) {
    if (value < 0 || value >= PostfixItems.size())
        return std::nullopt;
    return static_cast<TPostfix>(value);
}

namespace optionvalue {
QVariant byIndex(int index, const QString&) {
    return index;
}
QVariant byNumber(int index, const QString&) {
    return index + 1;
}
QVariant byEntry(int, const QString& entry) {
    return stripEntry(entry, -1);
}
} // namespace optionvalue
