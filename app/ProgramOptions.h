#pragma once
// The command line. --help and --version print and end the program before any
// window, sound server or file is touched. The remote-control verbs --record,
// --stop and --status (and --record --for DURATION) are for a running copy;
// options this program does not know are left to the toolkit (-platform, ...).

#include <QStringList>

#include <cstdint>
#include <optional>
#include <ostream>

enum class RemoteVerb { None, Record, Stop, Status };

struct ProgramRequest {
    RemoteVerb verb = RemoteVerb::None;
    // --record --for: stop after that many seconds.
    std::optional<std::uint32_t> recordFor;
};

struct CommandLine {
    // Set when the program ends here with that code: it answered --help or
    // --version on out, or told a wrong use on err.
    std::optional<int> exitCode;
    ProgramRequest request;
};

// args as the program received them, the program's name first.
CommandLine ParseCommandLine(const QStringList& args, std::ostream& out, std::ostream& err);
