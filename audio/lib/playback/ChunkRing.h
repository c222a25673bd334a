#pragma once
// Single-producer / single-consumer ring of fixed-size chunks of decoded
// audio between a playback stream's decoder thread (producer) and the sound
// server's thread (consumer). Every chunk carries the seek generation it was
// decoded for, so after a seek the consumer drops what is stale without the
// producer ever touching the read side. Neither side locks or allocates.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace audiolib {

class ChunkRing {
public:
    static constexpr size_t kSlots = 32;
    static constexpr size_t kChunkFrames = 2048;

    struct Chunk {
        uint32_t generation = 0;
        uint32_t frames = 0;
        uint64_t firstFrame = 0; // file frame of samples[0]
        std::array<int16_t, kChunkFrames * 2> samples{};
    };

    ChunkRing() : slots_(std::make_unique<Chunk[]>(kSlots)) {}

    // Producer: the slot to fill next, or nullptr while the ring is full.
    Chunk* writable() {
        const uint64_t w = written_.load(std::memory_order_relaxed);
        if (w - read_.load(std::memory_order_acquire) >= kSlots) {
            return nullptr;
        }
        return &slots_[w % kSlots];
    }
    void commit() { written_.fetch_add(1, std::memory_order_release); }

    // Consumer: the oldest filled slot, or nullptr when empty.
    const Chunk* readable() const {
        const uint64_t r = read_.load(std::memory_order_relaxed);
        if (r == written_.load(std::memory_order_acquire)) {
            return nullptr;
        }
        return &slots_[r % kSlots];
    }
    void release() { read_.fetch_add(1, std::memory_order_release); }

    size_t filled() const {
        return static_cast<size_t>(written_.load(std::memory_order_acquire) -
                                   read_.load(std::memory_order_acquire));
    }

private:
    std::unique_ptr<Chunk[]> slots_;
    alignas(64) std::atomic<uint64_t> written_{0};
    alignas(64) std::atomic<uint64_t> read_{0};
};

} // namespace audiolib
