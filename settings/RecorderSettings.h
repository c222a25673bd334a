#pragma once
// Every user setting, held in the one process-wide record Settings, and the
// constant option lists of the options pages together with the rules by
// which a chosen entry becomes a setting value. Qt Core only.

#include "audio/RecordOutFormat.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

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
    uint8_t PathMode = 1; // 0 special file name, 1 generated names
    QString SaveFolder;
    QString SpecialPath;
    uint8_t SamenameOP = 1; // 0 overwrite, 1 prompt, 2 new name
    QString Prefix = QStringLiteral("notitle");
    uint8_t Postfix = 0; // 0 date and time, 1 time only
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

// "(%d)", the text of the value labels beside the track bars.
QString valueLabelText(int32_t value);
