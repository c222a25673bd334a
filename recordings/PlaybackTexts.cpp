#include "recordings/PlaybackTexts.h"

#include <cmath>
#include <limits>

namespace {

QString twoDecimals(double v, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = plain.toString(v, 'f', 2);
    const QString point = plain.decimalPoint();
    if (text.contains(point)) {
        while (text.endsWith('0'))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(point.size());
    }
    return text;
}

} // namespace

QString FormatFileSize(int64_t size, const QLocale& locale) {
    constexpr double kKb = 1024.0;
    const double n = static_cast<double>(size);
    if (n > kKb * kKb * kKb)
        return twoDecimals(n / (kKb * kKb * kKb), locale) + " GB";
    if (n > kKb * kKb)
        return twoDecimals(n / (kKb * kKb), locale) + " MB";
    if (n > kKb)
        return twoDecimals(n / kKb, locale) + " KB";
    return twoDecimals(n, locale) + " bytes";
}

std::optional<QString> FileSizeText(uint64_t size, const QLocale& locale) {
    if (size == 0)
        return std::nullopt;
    return FormatFileSize(static_cast<int64_t>(size), locale);
}

std::optional<QString> FormatDuration(double seconds) {
    if (!(seconds > 0.0))
        return std::nullopt;
    const auto t = static_cast<int64_t>(seconds);
    return QString::asprintf("%.2lld:%.2lld:%.2lld", static_cast<long long>(t / 3600),
                             static_cast<long long>((t / 60) % 60), static_cast<long long>(t % 60));
}

bool IsUserSeek(TPlayState state, float lastTimerValue, float value, float maximum) {
    if (state != psPlaying || lastTimerValue == 0.0f || value == 0.0f || maximum == 0.0f)
        return false;
    return std::fabs(lastTimerValue - value) > 15.0f;
}

std::optional<uint64_t> ReleaseSeekTarget(TPlayState state, float value, float maximum) {
    if (state != psPlaying || maximum == 0.0f)
        return std::nullopt;
    return SeekTarget(value);
}

uint64_t SeekTarget(float value) {
    return value > 0.0f ? static_cast<uint64_t>(value) : 0;
}

bool PlaybackEnded(int64_t position, float barMaximum, TPlayState state) {
    return position < 0 || static_cast<double>(position) > static_cast<double>(barMaximum) ||
           state == psStop;
}

float BarMaximum(int64_t length) {
    float maximum = static_cast<float>(length);
    if (static_cast<double>(maximum) < static_cast<double>(length))
        maximum = std::nextafter(maximum, std::numeric_limits<float>::infinity());
    return maximum;
}
