#include "audio/lib/ExternalEncoder.h"
#include "audio/lib/AudioLib.h"

#include "audio/lib/CommandLine.h"
#include "audio/lib/WaveFormat.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace audiolib {

namespace {

// How long an encoder may take to finish its file after its input ended.
// Also how long a write may wait for the program to read on.
std::atomic<int> finishGraceMs{10'000};
constexpr int kPollMs = 50;

// A write into the pipe of an encoder that has died must fail with EPIPE,
// not kill the recorder.
void ignoreSigpipe() {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}

// The encoders read WAV from standard input. The sizes say "unknown" so they
// read to EOF: a finite size is obeyed and the encoder would stop early.
std::vector<uint8_t> streamingWavHeader() {
    return wavFileHeader(pcmWaveFormat(kCaptureChannels, 16, kCaptureRate), 0xFFFFFFFFu,
                         0xFFFFFFFFu);
}

struct SpawnAttributes {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    SpawnAttributes() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attr);
    }
    ~SpawnAttributes() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
};

} // namespace

std::unique_ptr<ExternalEncoder> ExternalEncoder::start(const std::string& program,
                                                        const std::vector<std::string>& arguments) {
    ignoreSigpipe();
    if (!isExecutableFile(program))
        return fail(kErrFileOpen, nullptr);

    // Both ends close-on-exec: a second encoder started later must not hold
    // this pipe open, or this encoder would never see its EOF.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return fail(kErrCreate, nullptr);

    SpawnAttributes spawn;
    posix_spawn_file_actions_adddup2(&spawn.actions, fds[0], STDIN_FILENO);
    // The encoders chatter about progress; nobody reads it.
    posix_spawn_file_actions_addopen(&spawn.actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&spawn.actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // The child starts with default signal handling and nothing blocked,
    // whatever the recorder's threads did to theirs.
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&spawn.attr, &none);
    posix_spawnattr_setsigdefault(&spawn.attr, &defaults);
    posix_spawnattr_setflags(&spawn.attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    std::string argv0 = program;
    std::vector<std::string> args = arguments;
    argv.push_back(argv0.data());
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int rc =
        posix_spawn(&pid, program.c_str(), &spawn.actions, &spawn.attr, argv.data(), environ);
    close(fds[0]);
    // Writes wait in poll(), where a stalled program can be given up on.
    fcntl(fds[1], F_SETFL, fcntl(fds[1], F_GETFL) | O_NONBLOCK);
    if (rc != 0) {
        close(fds[1]);
        return fail(kErrCreate, nullptr);
    }
    auto encoder = std::make_unique<ExternalEncoder>(Started{pid, fds[1]});
    const auto header = streamingWavHeader();
    if (!encoder->writeAll(header.data(), header.size())) {
        encoder->finish();
        return fail(kErrCreate, nullptr);
    }
    return encoder;
}

void ExternalEncoder::setFinishGrace(std::chrono::milliseconds grace) {
    finishGraceMs = static_cast<int>(grace.count());
}

ExternalEncoder::~ExternalEncoder() {
    finish();
}

bool ExternalEncoder::writeAll(const void* data, size_t bytes) {
    const auto* p = static_cast<const uint8_t*>(data);
    int stalledMs = 0;
    while (bytes > 0) {
        const ssize_t n = ::write(pipe_, p, bytes);
        if (n > 0) {
            p += n;
            bytes -= static_cast<size_t>(n);
            stalledMs = 0;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // The pipe is full: wait for the program to read, but not forever. A
        // program that stopped reading would otherwise hold the writer thread
        // and with it the recorder's stop.
        if (n < 0 && errno == EAGAIN && stalledMs < finishGraceMs.load()) {
            pollfd out{pipe_, POLLOUT, 0};
            poll(&out, 1, kPollMs);
            stalledMs += kPollMs;
            continue;
        }
        stalledOut_ = n < 0 && errno == EAGAIN;
        failed_ = true;
        return false;
    }
    return true;
}

bool ExternalEncoder::write(const int16_t* samples, size_t frames) {
    if (failed_ || pipe_ < 0)
        return false;
    return writeAll(samples, frames * 4);
}

void ExternalEncoder::reap(int options) const {
    if (exited_)
        return;
    int status = 0;
    pid_t r;
    do
        r = waitpid(pid_, &status, options);
    while (r < 0 && errno == EINTR);
    // ECHILD too: someone else reaped it; either way it is gone.
    if (r == pid_ || r < 0)
        exited_ = true;
    if (r == pid_)
        exitedCleanly_ = WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool ExternalEncoder::active() const {
    if (failed_ || pipe_ < 0)
        return false;
    reap(WNOHANG);
    return !exited_;
}

FinishOutcome ExternalEncoder::finish() {
    if (pipe_ >= 0) {
        close(pipe_);
        pipe_ = -1;
    }
    // EOF on its input makes the encoder write its last frames and exit. A
    // program that does not read its input never would: it gets a grace
    // period, not the power to hang the recorder's stop.
    const int grace = stalledOut_ ? finishGraceMs.load() / 4 : finishGraceMs.load();
    for (int waited = 0; !exited_ && waited < grace; waited += 5) {
        reap(WNOHANG);
        if (!exited_)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!exited_) {
        kill(pid_, SIGKILL);
        reap(0);
        // Killed, whatever its status says now.
        exitedCleanly_ = false;
    }
    return exitedCleanly_ && !failed_ ? FinishOutcome::Complete : FinishOutcome::EncoderUnfinished;
}

} // namespace audiolib
