// Handles for channels, streams and anything else the layer hands out.
// Handles are counted up and skip 0 and any that are still alive after a
// wrap, so a stale handle never reaches a newer object while it lives.
#include "audio/lib/Channel.h"

#include <map>
#include <mutex>

namespace audiolib {

namespace {

struct Registry {
    std::mutex mutex;
    std::map<Handle, std::shared_ptr<Channel>> channels;
    Handle next = 1;
};

Registry& registry() {
    static Registry r;
    return r;
}

} // namespace

Handle registerChannel(std::shared_ptr<Channel> channel) {
    if (!channel)
        return fail(kErrHandle, Handle{0});
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    // The map can never hold all 2^32-1 handles, so this finds one.
    while (r.next == 0 || r.channels.count(r.next) != 0)
        ++r.next;
    const Handle handle = r.next++;
    r.channels.emplace(handle, std::move(channel));
    return handle;
}

std::shared_ptr<Channel> findChannel(Handle handle) {
    if (handle == 0)
        return nullptr;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.channels.find(handle);
    return it == r.channels.end() ? nullptr : it->second;
}

void unregisterChannel(Handle handle) {
    std::shared_ptr<Channel> doomed;
    Registry& r = registry();
    {
        std::lock_guard lock(r.mutex);
        auto it = r.channels.find(handle);
        if (it == r.channels.end())
            return;
        doomed = std::move(it->second);
        r.channels.erase(it);
    }
    // Destroyed outside the lock: a destructor may join threads that look
    // handles up themselves.
    doomed.reset();
}

std::vector<Handle> channelHandles() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    std::vector<Handle> handles;
    handles.reserve(r.channels.size());
    for (const auto& entry : r.channels)
        handles.push_back(entry.first);
    return handles;
}

} // namespace audiolib
