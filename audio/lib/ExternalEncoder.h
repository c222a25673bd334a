#pragma once
// An encoder program fed on its standard input: a WAV header that announces
// no end (sizes 0xFFFFFFFF, so the encoder reads to EOF), then the PCM.

#include "audio/lib/Channel.h"

#include <chrono>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace audiolib {

class ExternalEncoder final : public ChannelEncoder {
public:
    // Starts exactly `program` with `arguments`, each handed over untouched
    // as one argument. nullptr, with the error code set, when the program is
    // not an executable file or cannot be started.
    static std::unique_ptr<ExternalEncoder> start(const std::string& program,
                                                  const std::vector<std::string>& arguments);
    ~ExternalEncoder() override;
    ExternalEncoder(const ExternalEncoder&) = delete;
    ExternalEncoder& operator=(const ExternalEncoder&) = delete;

    bool write(const int16_t* samples, size_t frames) override;
    // Complete only when the program read to the end and exited with 0.
    FinishOutcome finish() override;
    bool active() const override;

    pid_t pid() const { return pid_; }

    // How long finish() waits for the program before killing it, and how
    // long a write waits for it to read on (10 s). A program that let a write
    // wait that long is taken for hung: finish() gives it a quarter of it.
    static void setFinishGrace(std::chrono::milliseconds grace);

private:
    struct Started {
        pid_t pid;
        int pipe;
    };

public:
    // Only start() has a Started to give.
    explicit ExternalEncoder(Started s) : pid_(s.pid), pipe_(s.pipe) {}

private:
    bool writeAll(const void* data, size_t bytes);
    void reap(int options) const;

    pid_t pid_;
    int pipe_;
    bool failed_ = false;
    bool stalledOut_ = false; // a write gave up waiting for the program
    mutable bool exited_ = false;
    mutable bool exitedCleanly_ = false;
};

} // namespace audiolib
