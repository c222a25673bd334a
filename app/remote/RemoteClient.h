#pragma once
// The command-line side of the remote control: hands a verb to the copy that
// serves it on the session bus. Needs a QCoreApplication.

#include "app/ProgramOptions.h"

#include <optional>
#include <ostream>

// The program's exit code once the running copy took the verb (or could not
// be reached for --stop and --status, told on err); nothing when no copy runs
// and the verb is --record, which then starts this program.
std::optional<int> SendRemoteVerb(const ProgramRequest& request, std::ostream& out,
                                  std::ostream& err);
