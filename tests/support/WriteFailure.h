#pragma once
// Makes writes into a folder fail. A read-only folder does that for ordinary
// users; root writes there anyway, so for root a file-size limit of a few
// bytes stands in (as a full disk would).

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

class WriteFailure {
public:
    explicit WriteFailure(const std::filesystem::path& folder) : folder_(folder) {
        std::filesystem::permissions(
            folder_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec,
            std::filesystem::perm_options::replace);
        if (::access(folder_.c_str(), W_OK) == 0) {
            limited_ = true;
            ::getrlimit(RLIMIT_FSIZE, &old_);
            rlimit lim = old_;
            lim.rlim_cur = 4;
            ::setrlimit(RLIMIT_FSIZE, &lim);
            oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        }
    }
    ~WriteFailure() {
        if (limited_) {
            ::setrlimit(RLIMIT_FSIZE, &old_);
            std::signal(SIGXFSZ, oldHandler_);
        }
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace);
    }
    WriteFailure(const WriteFailure&) = delete;
    WriteFailure& operator=(const WriteFailure&) = delete;

private:
    std::filesystem::path folder_;
    bool limited_ = false;
    rlimit old_{};
    void (*oldHandler_)(int) = SIG_DFL;
};
