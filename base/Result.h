#pragma once
// What a call across a layer boundary gives back: success, or a code with a
// message that the window can show to the user as it stands. A caller that
// must decide looks at ok(); one that must tell the user shows message().
// The code says which kind of failure it was where callers tell kinds apart;
// the audio library's own numeric codes pass through unchanged.

#include <optional>
#include <string>
#include <utility>

enum class Fault : int {
    None = 0,
    // Numbers of the audio library's error vocabulary keep their values.
    AudioLibrary = 1,
    Cancelled = 2,
    NotFound = 3,
    Io = 4,
    DiskFull = 5,
    Damaged = 6,
    Unavailable = 7,
};

class [[nodiscard]] Result {
public:
    static Result success() { return Result(); }
    static Result failure(Fault fault, std::string message, int detail = 0) {
        Result r;
        r.fault_ = fault == Fault::None ? Fault::AudioLibrary : fault;
        r.message_ = std::move(message);
        r.detail_ = detail;
        return r;
    }

    bool ok() const { return fault_ == Fault::None; }
    explicit operator bool() const { return ok(); }
    Fault fault() const { return fault_; }
    // The layer's own number where it has one (the audio library's error
    // code); 0 otherwise.
    int detail() const { return detail_; }
    const std::string& message() const { return message_; }

private:
    Result() = default;
    Fault fault_ = Fault::None;
    std::string message_;
    int detail_ = 0;
};

// A value, or the failure that kept it from being made.
template <class T> class [[nodiscard]] Outcome {
public:
    Outcome(T value) : value_(std::move(value)), result_(Result::success()) {}
    Outcome(Result failure) : result_(std::move(failure)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    const Result& result() const { return result_; }
    const std::string& message() const { return result_.message(); }

private:
    std::optional<T> value_;
    Result result_;
};
