#pragma once
// A hotkey backend that records every call and answers as told: identifiers
// are handed out per name with reference counts, like global atoms.

#include "hotkeys/HotkeyBackend.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

class RecordingHotkeyBackend : public HotkeyBackend {
public:
    std::map<std::string, HotKeyId> ids;
    std::map<HotKeyId, int> references;
    std::map<HotKeyId, std::uint32_t> registered;
    std::set<std::uint32_t> takenByOthers;
    HotkeyRegistration answer = HotkeyRegistration::Registered; // for combinations not taken
    bool refuseUnregister = false;
    std::vector<std::string> calls;
    // Runs after each registration is answered, as the system's next event.
    std::function<void(HotKeyId)> afterRegister;

    HotKeyId identifierFor(const std::string& name) override {
        auto [it, added] = ids.emplace(name, static_cast<HotKeyId>(0xC000 + ids.size()));
        ++references[it->second];
        return it->second;
    }
    void releaseIdentifier(HotKeyId id) override {
        --references[id];
        calls.push_back("release " + std::to_string(id));
    }
    HotkeyRegistration registerHotKey(HotKeyId id, std::uint32_t value) override {
        calls.push_back("register " + std::to_string(id));
        if (takenByOthers.count(value) != 0 || registered.count(id) != 0)
            return HotkeyRegistration::Taken;
        if (answer == HotkeyRegistration::Registered || answer == HotkeyRegistration::Pending)
            registered[id] = value;
        if (afterRegister)
            afterRegister(id);
        return answer;
    }
    bool unregisterHotKey(HotKeyId id) override {
        calls.push_back("unregister " + std::to_string(id));
        const bool held = registered.erase(id) != 0;
        return held && !refuseUnregister;
    }
    void press(HotKeyId id) { notifyPressed(id); }
    void answerLater(HotKeyId id, HotkeyRegistration result) {
        if (result != HotkeyRegistration::Registered)
            registered.erase(id);
        notifyLateResult(id, result);
    }
};
