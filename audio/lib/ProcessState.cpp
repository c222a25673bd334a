// init / recordInit / free / recordFree and the inputs of the recording
// device. Both kinds of init share one backend connection; it is closed when
// neither needs it any more.
#include "audio/lib/ProcessState.h"

#include "audio/lib/AudioLib.h"
#include "audio/lib/Backend.h"
#include "audio/lib/Channel.h"
#include "audio/lib/MixedInput.h"
#include "audio/lib/RecordChannel.h"

#include <memory>
#include <mutex>
#include <vector>

namespace audiolib {

namespace {

struct State {
    std::mutex mutex;
    std::unique_ptr<Backend> installed; // used by the next connection
    std::unique_ptr<Backend> backend;   // connected
    std::atomic<Backend*> active{nullptr};
    bool output = false;
    bool record = false;
    std::vector<std::unique_ptr<InputState>> inputs;
    // Inputs of earlier listings: a recording may still read its level.
    std::vector<std::unique_ptr<InputState>> retired;
    InputsChangedProc inputsChanged = nullptr;
    void* inputsChangedUser = nullptr;
};

State& state() {
    static State s;
    return s;
}

// Called with the state locked.
bool connectLocked(State& s) {
    if (s.backend)
        return true;
    std::unique_ptr<Backend> backend = s.installed ? std::move(s.installed) : makePulseBackend();
    if (!backend)
        return fail(kErrDriver, false);
    std::string reason;
    if (!backend->connect(reason))
        return fail(kErrDriver, false);
    s.backend = withMixedInput(std::move(backend));
    s.active = s.backend.get();
    return true;
}

// Called with the state locked, after the channels that used it are gone.
void disconnectIfUnused(State& s) {
    if (s.output || s.record)
        return;
    s.active = nullptr;
    s.backend.reset();
}

// Releases the channels for which `pick` holds. Runs unlocked: a channel's
// stop joins its threads and finishes its encoders.
template <typename Pick> void releaseChannels(Pick pick) {
    for (Handle handle : channelHandles()) {
        std::shared_ptr<Channel> channel = findChannel(handle);
        if (!channel || !pick(*channel))
            continue;
        if (channel->recording())
            channel->stop();
        unregisterChannel(handle);
    }
}

bool validDevice(int device, int first) {
    return device == -1 || device == first;
}

// Called with the state locked and a connected backend.
void listInputsLocked(State& s) {
    for (auto& input : s.inputs)
        s.retired.push_back(std::move(input));
    s.inputs.clear();
    for (Backend::Input& in : s.backend->inputs()) {
        auto input = std::make_unique<InputState>();
        input->id = std::move(in.id);
        input->name = std::move(in.name);
        s.inputs.push_back(std::move(input));
    }
}

// Called with the state locked.
void watchInputsLocked(State& s) {
    if (!s.backend)
        return;
    if (!s.record || !s.inputsChanged) {
        s.backend->watchInputs({});
        return;
    }
    s.backend->watchInputs([proc = s.inputsChanged, user = s.inputsChangedUser] { proc(user); });
}

} // namespace

void installBackend(std::unique_ptr<Backend> backend) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.installed = std::move(backend);
}

Backend* activeBackend() {
    return state().active.load();
}

bool init(int device, uint32_t freq, uint32_t, void*) {
    // Output devices count from 1, 0 being "no sound", which we do not offer.
    if (!validDevice(device, 1))
        return fail(kErrDevice, false);
    if (freq == 0)
        return fail(kErrFormat, false);
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (s.output)
        return fail(kErrAlready, false);
    if (!connectLocked(s))
        return false;
    s.output = true;
    setError(kOk);
    return true;
}

bool recordInit(int device) {
    if (!validDevice(device, 0))
        return fail(kErrDevice, false);
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (s.record)
        return fail(kErrAlready, false);
    if (!connectLocked(s))
        return false;
    listInputsLocked(s);
    s.record = true;
    watchInputsLocked(s);
    setError(kOk);
    return true;
}

bool recordRefreshInputs() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (!s.record || !s.backend)
        return fail(kErrInit, false);
    listInputsLocked(s);
    setError(kOk);
    return true;
}

void recordSetInputsChanged(InputsChangedProc proc, void* user) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.inputsChanged = proc;
    s.inputsChangedUser = user;
    watchInputsLocked(s);
}

bool free() {
    State& s = state();
    {
        std::lock_guard lock(s.mutex);
        if (!s.output)
            return fail(kErrInit, false);
    }
    releaseChannels([](const Channel& c) { return !c.recording(); });
    std::lock_guard lock(s.mutex);
    s.output = false;
    disconnectIfUnused(s);
    setError(kOk);
    return true;
}

bool recordFree() {
    State& s = state();
    {
        std::lock_guard lock(s.mutex);
        if (!s.record)
            return fail(kErrInit, false);
    }
    releaseChannels([](const Channel& c) { return c.recording(); });
    finishStoppedChannels();
    std::lock_guard lock(s.mutex);
    s.record = false;
    watchInputsLocked(s);
    s.inputs.clear();
    s.retired.clear();
    disconnectIfUnused(s);
    setError(kOk);
    return true;
}

bool recordInitialised() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.record;
}

int inputCount() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    return static_cast<int>(s.inputs.size());
}

InputState* inputState(int n) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (n < 0 || n >= static_cast<int>(s.inputs.size()))
        return nullptr;
    return s.inputs[static_cast<size_t>(n)].get();
}

int selectedInput() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    for (size_t n = 0; n < s.inputs.size(); ++n)
        if (s.inputs[n]->on.load())
            return static_cast<int>(n);
    return -1;
}

const char* recordGetInputName(int input) {
    InputState* in = inputState(input);
    if (!in)
        return fail(recordInitialised() ? kErrDevice : kErrInit, nullptr);
    setError(kOk);
    return in->name.c_str();
}

const char* recordGetInputId(int input) {
    InputState* in = inputState(input);
    if (!in)
        return fail(recordInitialised() ? kErrDevice : kErrInit, nullptr);
    setError(kOk);
    return in->id.c_str();
}

bool recordSetInput(int input, uint32_t flags, float level) {
    InputState* in = inputState(input);
    if (!in)
        return fail(recordInitialised() ? kErrDevice : kErrInit, false);
    if ((flags & kInputOff) && (flags & kInputOn))
        return fail(kErrFormat, false);
    if (flags & kInputOff)
        in->on = false;
    if (flags & kInputOn)
        in->on = true;
    if (level >= 0.0f)
        in->level = level; // above 1 amplifies; samples saturate
    setError(kOk);
    return true;
}

} // namespace audiolib
