// Registrations made before the session's backend is known: pending until it
// is, then settled one by one, and passed through from then on.
#include "hotkeys/DeferredHotkeyBackend.h"
#include "hotkeys/NoHotkeyBackend.h"
#include "hotkeys/THotKeyManager.h"
#include "tests/hotkeys/RecordingHotkeyBackend.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kR = 0xC052, kP = 0xC050, kS = 0xC053, kT = 0xC054;

struct Owner {
    explicit Owner(std::unique_ptr<DeferredHotkeyBackend> b)
        : backend(b.get()), manager(std::move(b)) {
        manager.OnHotKeyPressed = [this](std::uint32_t v, HotKeyId) { presses.push_back(v); };
        manager.OnHotKeyRefused = [this](std::uint32_t v, HotkeyRegistration r) {
            refusals.emplace_back(v, r);
        };
    }
    DeferredHotkeyBackend* backend;
    THotKeyManager manager;
    std::vector<std::uint32_t> presses;
    std::vector<std::pair<std::uint32_t, HotkeyRegistration>> refusals;
};

} // namespace

TEST(DeferredHotkeyBackend, SettlesWhatWaitedAndPassesThroughAfterwards) {
    Owner owner(std::make_unique<DeferredHotkeyBackend>());
    const HotKeyId r = owner.manager.AddHotKey(kR);
    ASSERT_NE(r, 0u) << "pending counts as made";
    ASSERT_NE(owner.manager.AddHotKey(kS), 0u);
    ASSERT_NE(owner.manager.AddHotKey(kP), 0u);
    EXPECT_TRUE(owner.manager.RemoveHotKey(kP)) << "released before the backend was known";

    auto real = std::make_unique<RecordingHotkeyBackend>();
    RecordingHotkeyBackend& system = *real;
    system.takenByOthers = {kS};
    owner.backend->resolve(std::move(real));

    // Only what still waited is registered; the taken one is told and leaves.
    ASSERT_EQ(system.registered.size(), 1u);
    EXPECT_EQ(system.registered.begin()->second, kR);
    EXPECT_EQ(owner.refusals, (std::vector{std::make_pair(kS, HotkeyRegistration::Taken)}));
    ASSERT_EQ(owner.manager.HotKeyList().size(), 1u);

    // Presses come back under the manager's own identifier.
    system.press(system.registered.begin()->first);
    EXPECT_EQ(owner.presses, std::vector<std::uint32_t>{kR});

    // From now on registrations answer at once.
    EXPECT_NE(owner.manager.AddHotKey(kT), 0u);
    EXPECT_EQ(system.registered.size(), 2u);
    owner.manager.ClearHotKeys();
    EXPECT_TRUE(system.registered.empty());
    for (const auto& [id, count] : system.references)
        EXPECT_EQ(count, 0) << "identifier " << id << " still held";
}

TEST(DeferredHotkeyBackend, ASessionWithoutHotkeysRefusesEveryWaitingOneAsUnavailable) {
    Owner owner(std::make_unique<DeferredHotkeyBackend>());
    owner.manager.AddHotKey(kR);
    owner.manager.AddHotKey(kS);
    owner.backend->resolve(std::make_unique<NoHotkeyBackend>());
    EXPECT_EQ(owner.refusals, (std::vector{std::make_pair(kR, HotkeyRegistration::Unavailable),
                                           std::make_pair(kS, HotkeyRegistration::Unavailable)}));
    EXPECT_TRUE(owner.manager.HotKeyList().empty());
}
