#pragma once
// Every user setting, held in the one process-wide record Settings, and the
// constant option lists of the options pages together with the rules by
// which a chosen entry becomes a setting value. Qt Core only.

#include "audio/RecordOutFormat.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <functional>
#include <optional>

// How a new recording is named: the one special file name, or names made
// from the prefix and the time. Stored in config.xml as mode="special"/"auto".
enum class TPathMode : uint8_t { SpecialName = 0, AutoName = 1 };
// What a new recording does when its file exists; the stored SamenameOP value
// and the entry's index in the "On Same name:" list.
enum class TSameNameAction : uint8_t { Overwrite = 0, Prompt = 1, NewName = 2 };
// The time stamp of a generated name; the stored Postfix value and the
// entry's index in the "Postfix:" list.
enum class TPostfix : uint8_t { DateTime = 0, Time = 1 };

// The stored value as the setting, or nothing for a value no entry has.
std::optional<TSameNameAction> sameNameActionFromValue(int32_t value);
std::optional<TPostfix> postfixFromValue(int32_t value);

struct TRecorderSettings {
    int32_t Device = 0;
    // The chosen input by the sound server's name, which finds it again when
    // inputs came or went; empty until one is chosen. Decides over Device.
    QString DeviceName;
    bool SkipSilence = false;
    int32_t Volume = 5;
    TRecordOutFormat OutFormat = rofMP3;
    int32_t WavChannel = 2;
    int32_t WavBitPerSample = 16;
    int32_t WavSampleRate = 44100;
    int32_t Mp3BitRate = 128;
    bool Mp3CRC = false;
    bool Mp3VBR = false;
    int32_t Mp3VBRQuality = 5;
    int32_t Mp3Channel = 2;
    int32_t WmaBitRate = 128;
    int32_t WmaChannel = 2;
    int32_t WmaSampleRate = 44100;
    int32_t OggQuality = 5;
    TPathMode PathMode = TPathMode::AutoName;
    QString SaveFolder;
    QString SpecialPath;
    TSameNameAction SamenameOP = TSameNameAction::Prompt;
    QString Prefix = QStringLiteral("notitle");
    TPostfix Postfix = TPostfix::DateTime;
    QString HotKeyStart;
    QString HotKeyPause;
    QString HotKeyStop;

    bool operator==(const TRecorderSettings&) const = default;
};

extern TRecorderSettings Settings;

// In TRecordOutFormat order.
extern const QStringList OutFormatNames;
extern const QStringList WavChannelItems;
extern const QStringList WavBitItems;
extern const QStringList WavRateItems;
extern const QStringList Mp3BitrateItems;
extern const QStringList Mp3ChannelItems;
extern const QStringList WmaRateItems;
extern const QStringList WmaChannelItems;
extern const QStringList SamenameItems;
extern const QStringList PostfixItems;
extern const QStringList HotKeyItems; // "CTRL+ALT+A" .. "CTRL+ALT+Z"
inline const QString HotKeyNone = QStringLiteral("None");

// The entry without its last three characters ("44100Khz", "128bps", "8bit")
// as a decimal integer; fallback when that is not an integer.
int32_t stripEntry(const QString& entry, int32_t fallback);

// 1 for "Mono", 2 for "Stereo", in any letter case; nothing for other texts.
std::optional<int32_t> wavChannelFromText(const QString& text);

// "WAVE", "MP3", "WMA" or "OGG".
QString outFormatName(TRecordOutFormat format);

// The format whose name is the text; letter case matters unless told not to.
std::optional<TRecordOutFormat> outFormatFromName(const QString& name,
                                                  Qt::CaseSensitivity cs = Qt::CaseSensitive);

// The setting value an entry of an option list stands for, kept with the
// entry in its list: its position (formats, naming choices), its 1-based
// number (channel counts), or the number its text starts with ("44100Khz").
using OptionValueOf = std::function<QVariant(int index, const QString& entry)>;
namespace optionvalue {
QVariant byIndex(int index, const QString& entry);
QVariant byNumber(int index, const QString& entry);
QVariant byEntry(int index, const QString& entry);
} // namespace optionvalue

// "(%d)", the text of the value labels beside the track bars.
QString valueLabelText(int32_t value);
