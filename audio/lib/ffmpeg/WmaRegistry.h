#pragma once
// The handles of open WMA encoders. Looking a handle up for a write is
// lock-free, because writes come from the capture thread; opening, tagging
// and closing happen on the UI thread and are serialised by a mutex.

#include "audio/lib/AudioLib.h"
#include "audio/lib/ffmpeg/WmaEncoder.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace audiolib::ffmpeg {

class WmaRegistry {
public:
    static constexpr size_t kSlots = 16;

    static WmaRegistry& instance();

    // 0 when every slot is taken.
    Handle add(std::unique_ptr<WmaEncoder> encoder);
    // Capture side: hands the block to the encoder while it cannot be
    // closed; false for an unknown handle. Never locks.
    bool write(Handle handle, const void* buffer, uint32_t bytes, bool& written);
    // UI side: runs `use` under the registry's mutex.
    bool withEncoder(Handle handle, const std::function<void(WmaEncoder&)>& use);
    // Removes the handle, waiting for a write in progress to leave; the
    // caller then owns the encoder. Null for an unknown handle.
    std::unique_ptr<WmaEncoder> remove(Handle handle);

private:
    struct Slot {
        std::atomic<Handle> handle{0};
        std::atomic<WmaEncoder*> encoder{nullptr};
        std::atomic<int> writers{0};
        std::unique_ptr<WmaEncoder> owner;
        uint32_t generation = 0;
    };
    Slot* find(Handle handle);

    std::mutex mutex_;
    std::array<Slot, kSlots> slots_;
};

} // namespace audiolib::ffmpeg
