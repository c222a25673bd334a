#include "audio/DiskSpace.h"

#include <algorithm>
#include <cmath>
#include <sys/statvfs.h>

namespace diskspace {

std::optional<uint64_t> freeBytes(const std::string& folder) {
    struct statvfs fs {};
    if (::statvfs(folder.c_str(), &fs) != 0)
        return std::nullopt;
    return static_cast<uint64_t>(fs.f_bavail) * fs.f_frsize;
}

std::string fullMessage() {
    return "The recording stopped: the disk is full. What was recorded until then is kept "
           "in the file.";
}

std::string lowMessage(int minutes) {
    const std::string room = minutes < 1    ? "less than a minute"
                             : minutes == 1 ? "about 1 more minute"
                                            : "about " + std::to_string(minutes) + " more minutes";
    return "The disk is nearly full: there is room for " + room +
           " of recording. The recording goes on.";
}

double Watch::rate() const {
    if (samples_.size() < 2)
        return 0.0;
    const Sample& first = samples_.front();
    const Sample& last = samples_.back();
    const double span = last.seconds - first.seconds;
    // Space given back (a file deleted meanwhile) says nothing of the rate.
    if (span <= 0.0 || last.freeBytes >= first.freeBytes)
        return 0.0;
    return static_cast<double>(first.freeBytes - last.freeBytes) / span;
}

Reading Watch::observe(double seconds, uint64_t freeBytes) {
    samples_.push_back({seconds, freeBytes});
    while (samples_.size() > 2 && seconds - samples_[1].seconds >= kRateWindowSeconds)
        samples_.pop_front();
    const double perSecond = rate();
    const double reserve = std::max(static_cast<double>(kFullBytes), perSecond * kReserveSeconds);
    if (static_cast<double>(freeBytes) < reserve)
        return {Advice::Full, 0};
    if (warned_ || perSecond <= 0.0)
        return {};
    const double left = (static_cast<double>(freeBytes) - reserve) / perSecond;
    if (left >= kWarnSeconds)
        return {};
    warned_ = true;
    return {Advice::Low, static_cast<int>(std::lround(left / 60.0))};
}

void Watch::reset() {
    samples_.clear();
    warned_ = false;
}

} // namespace diskspace
