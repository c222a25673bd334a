#pragma once
// A fixed ring between exactly one producer thread and one consumer thread.
// Neither side locks or allocates after construction, so the producer may be
// a real-time audio callback.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>

namespace audiolib {

template <typename T> class SpscRing {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    // capacity is rounded up to a power of two.
    explicit SpscRing(size_t capacity) : capacity_(roundUp(capacity)), mask_(capacity_ - 1) {
        data_ = std::make_unique<T[]>(capacity_);
    }

    size_t capacity() const { return capacity_; }

    // Producer: stores all `count` items or none (a block is never split, so
    // the consumer never sees half of one). False when there is no room.
    bool push(const T* items, size_t count) {
        const size_t head = head_.load(std::memory_order_relaxed);
        const size_t tail = tail_.load(std::memory_order_acquire);
        if (capacity_ - (head - tail) < count)
            return false;
        copyIn(head, items, count);
        head_.store(head + count, std::memory_order_release);
        return true;
    }

    // Consumer: takes up to `max` items; returns how many.
    size_t pop(T* out, size_t max) {
        const size_t tail = tail_.load(std::memory_order_relaxed);
        const size_t head = head_.load(std::memory_order_acquire);
        const size_t count = std::min(max, head - tail);
        copyOut(tail, out, count);
        tail_.store(tail + count, std::memory_order_release);
        return count;
    }

    // Either side; exact only from the consumer.
    size_t size() const {
        return head_.load(std::memory_order_acquire) - tail_.load(std::memory_order_acquire);
    }

private:
    static size_t roundUp(size_t n) {
        size_t c = 1;
        while (c < n)
            c <<= 1;
        return c;
    }

    void copyIn(size_t at, const T* items, size_t count) {
        const size_t start = at & mask_;
        const size_t first = std::min(count, capacity_ - start);
        std::memcpy(&data_[start], items, first * sizeof(T));
        std::memcpy(&data_[0], items + first, (count - first) * sizeof(T));
    }

    void copyOut(size_t at, T* out, size_t count) const {
        const size_t start = at & mask_;
        const size_t first = std::min(count, capacity_ - start);
        std::memcpy(out, &data_[start], first * sizeof(T));
        std::memcpy(out + first, &data_[0], (count - first) * sizeof(T));
    }

    const size_t capacity_;
    const size_t mask_;
    std::unique_ptr<T[]> data_;
    // Counters run freely and wrap; only their difference matters. Kept on
    // separate cache lines so producer and consumer do not share one.
    alignas(64) std::atomic<size_t> head_{0};
    alignas(64) std::atomic<size_t> tail_{0};
};

} // namespace audiolib
