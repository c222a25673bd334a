#include "audio/lib/ffmpeg/WmaRegistry.h"

#include <thread>

namespace audiolib::ffmpeg {
namespace {

// WMA handles carry a mark of their own so that a channel handle passed by
// mistake is not taken for one. Bits 0-3 pick the slot, the rest count how
// often the slot was used, so a closed handle does not come back soon.
constexpr Handle kMark = 0x57000000;
constexpr Handle kSlotMask = 0xF;
constexpr uint32_t kGenerationMask = 0xFFFFF;

} // namespace

WmaRegistry& WmaRegistry::instance() {
    static WmaRegistry registry;
    return registry;
}

Handle WmaRegistry::add(std::unique_ptr<WmaEncoder> encoder) {
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < kSlots; ++i) {
        Slot& s = slots_[i];
        if (s.owner)
            continue;
        s.generation = (s.generation + 1) & kGenerationMask;
        const Handle h = kMark | (s.generation << 4) | static_cast<Handle>(i);
        s.encoder.store(encoder.get(), std::memory_order_release);
        s.owner = std::move(encoder);
        s.handle.store(h, std::memory_order_seq_cst);
        return h;
    }
    return 0;
}

WmaRegistry::Slot* WmaRegistry::find(Handle handle) {
    if (handle == 0 || (handle & 0xFF000000) != kMark)
        return nullptr;
    Slot& s = slots_[handle & kSlotMask];
    return s.handle.load(std::memory_order_acquire) == handle ? &s : nullptr;
}

bool WmaRegistry::write(Handle handle, const void* buffer, uint32_t bytes, bool& written) {
    if (handle == 0 || (handle & 0xFF000000) != kMark)
        return false;
    Slot& s = slots_[handle & kSlotMask];
    // Announce the write before checking the handle; remove() clears the
    // handle before waiting for writers, so one of the two sees the other.
    s.writers.fetch_add(1, std::memory_order_seq_cst);
    bool known = false;
    if (s.handle.load(std::memory_order_seq_cst) == handle) {
        known = true;
        written = s.encoder.load(std::memory_order_acquire)->write(buffer, bytes);
    }
    s.writers.fetch_sub(1, std::memory_order_release);
    return known;
}

bool WmaRegistry::withEncoder(Handle handle, const std::function<void(WmaEncoder&)>& use) {
    std::lock_guard lock(mutex_);
    Slot* s = find(handle);
    if (!s)
        return false;
    use(*s->owner);
    return true;
}

std::unique_ptr<WmaEncoder> WmaRegistry::remove(Handle handle) {
    std::lock_guard lock(mutex_);
    Slot* s = find(handle);
    if (!s)
        return nullptr;
    s->handle.store(0, std::memory_order_seq_cst);
    while (s->writers.load(std::memory_order_seq_cst) != 0)
        std::this_thread::yield();
    s->encoder.store(nullptr, std::memory_order_release);
    return std::move(s->owner);
}

} // namespace audiolib::ffmpeg
