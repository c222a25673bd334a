#include "hotkeys/THotKeyManager.h"

#include "RecordingHotkeyBackend.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kCtrlAltA = 0xC041;
constexpr std::uint32_t kCtrlAltB = 0xC042;
constexpr std::uint32_t kCtrlAltR = 0xC052;

class HotKeyManagerTest : public ::testing::Test {
protected:
    RecordingHotkeyBackend* backend = nullptr;
    std::unique_ptr<THotKeyManager> manager;

    void SetUp() override {
        auto owned = std::make_unique<RecordingHotkeyBackend>();
        backend = owned.get();
        manager = std::make_unique<THotKeyManager>(std::move(owned));
    }
    HotKeyId IdOf(std::uint32_t value) { return backend->ids.at(HotKeyIdentifierName(value)); }
    bool AllReferencesDropped() const {
        for (const auto& [id, count] : backend->references)
            if (count != 0)
                return false;
        return true;
    }
};

TEST_F(HotKeyManagerTest, AddsInOrderUnderTheIdentifierOfTheName) {
    const HotKeyId r = manager->AddHotKey(kCtrlAltR);
    const HotKeyId a = manager->AddHotKey(kCtrlAltA);
    EXPECT_EQ(HotKeyIdentifierName(kCtrlAltR), "HotKeyManagerHotKey49234");
    EXPECT_EQ(r, IdOf(kCtrlAltR));
    EXPECT_EQ(a, IdOf(kCtrlAltA));
    ASSERT_EQ(manager->HotKeyList().size(), 2u);
    EXPECT_EQ(manager->HotKeyList()[0].HotKey, kCtrlAltR);
    EXPECT_EQ(manager->HotKeyList()[1].Index, a);
    EXPECT_EQ(backend->registered.at(r), kCtrlAltR);

    // Taken elsewhere, or no hotkeys in this session: 0, the reason, and no entry.
    backend->takenByOthers.insert(kCtrlAltB);
    EXPECT_EQ(manager->AddHotKey(kCtrlAltB), 0u);
    EXPECT_EQ(manager->LastFailure(), HotkeyRegistration::Taken);
    backend->takenByOthers.clear();
    backend->answer = HotkeyRegistration::Unavailable;
    EXPECT_EQ(manager->AddHotKey(kCtrlAltB), 0u);
    EXPECT_EQ(manager->LastFailure(), HotkeyRegistration::Unavailable);
    EXPECT_EQ(manager->HotKeyList().size(), 2u);
    EXPECT_EQ(backend->references[IdOf(kCtrlAltB)], 0);
}

TEST_F(HotKeyManagerTest, RemovingDropsTheEntryEvenWhenTheSystemRefuses) {
    manager->AddHotKey(kCtrlAltA);
    const HotKeyId b = manager->AddHotKey(kCtrlAltB);
    EXPECT_FALSE(manager->RemoveHotKey(kCtrlAltR)); // not ours

    backend->refuseUnregister = true;
    EXPECT_FALSE(manager->RemoveHotKey(kCtrlAltA));
    ASSERT_EQ(manager->HotKeyList().size(), 1u);
    backend->refuseUnregister = false;
    EXPECT_TRUE(manager->RemoveHotKeyByIndex(b));
    EXPECT_TRUE(manager->HotKeyList().empty());
    EXPECT_FALSE(manager->RemoveHotKeyByIndex(b));
    EXPECT_TRUE(AllReferencesDropped());
}

TEST_F(HotKeyManagerTest, ChangeAndClearRelease) {
    const HotKeyId a = manager->AddHotKey(kCtrlAltA);
    EXPECT_EQ(manager->ChangeHotKey(a + 1000, kCtrlAltR), 0u); // unknown identifier
    const HotKeyId r = manager->ChangeHotKey(a, kCtrlAltR);
    EXPECT_EQ(r, IdOf(kCtrlAltR));
    EXPECT_EQ(backend->registered.count(a), 0u);
    const HotKeyId b = manager->AddHotKey(kCtrlAltB);

    backend->calls.clear();
    manager->ClearHotKeys();
    EXPECT_TRUE(manager->HotKeyList().empty());
    const std::vector<std::string> lastToFirst = {
        "unregister " + std::to_string(b), "release " + std::to_string(b),
        "unregister " + std::to_string(r), "release " + std::to_string(r)};
    EXPECT_EQ(backend->calls, lastToFirst);
    EXPECT_TRUE(backend->registered.empty());
    EXPECT_TRUE(AllReferencesDropped());
}

TEST_F(HotKeyManagerTest, ValidityCheckLeavesEverythingAsItWas) {
    const HotKeyId a = manager->AddHotKey(kCtrlAltA);
    backend->takenByOthers.insert(kCtrlAltR);

    EXPECT_TRUE(manager->HotKeyValid(kCtrlAltA)); // held by us
    EXPECT_TRUE(manager->HotKeyValid(kCtrlAltB)); // free
    EXPECT_FALSE(manager->HotKeyValid(kCtrlAltR));

    ASSERT_EQ(manager->HotKeyList().size(), 1u);
    EXPECT_EQ(manager->HotKeyList()[0].Index, a);
    EXPECT_EQ(backend->registered.size(), 1u);
    EXPECT_EQ(backend->registered.count(a), 1u);
    EXPECT_EQ(backend->references[IdOf(kCtrlAltA)], 1);
    EXPECT_EQ(backend->references[IdOf(kCtrlAltB)], 0);
}

TEST_F(HotKeyManagerTest, PressesAndLateRefusalsReachTheOwner) {
    std::vector<std::pair<std::uint32_t, HotKeyId>> presses;
    std::vector<std::pair<std::uint32_t, HotkeyRegistration>> refusals;
    manager->OnHotKeyPressed = [&](std::uint32_t value, HotKeyId id) {
        presses.emplace_back(value, id);
    };
    manager->OnHotKeyRefused = [&](std::uint32_t value, HotkeyRegistration reason) {
        refusals.emplace_back(value, reason);
        EXPECT_TRUE(manager->HotKeyList().size() == 1u); // already out of the list
    };

    backend->answer = HotkeyRegistration::Pending;
    const HotKeyId a = manager->AddHotKey(kCtrlAltA);
    const HotKeyId b = manager->AddHotKey(kCtrlAltB);
    ASSERT_NE(a, 0u);
    EXPECT_EQ(manager->HotKeyList().size(), 2u);

    backend->answerLater(a, HotkeyRegistration::Registered);
    backend->answerLater(b, HotkeyRegistration::Taken);
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_EQ(refusals[0].first, kCtrlAltB);
    EXPECT_EQ(refusals[0].second, HotkeyRegistration::Taken);
    EXPECT_EQ(backend->references[b], 0);

    backend->press(a);
    backend->press(b); // no longer ours
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0], std::make_pair(kCtrlAltA, a));
}

} // namespace
