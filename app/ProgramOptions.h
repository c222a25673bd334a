#pragma once
// The command line conventions every desktop program keeps: --help and
// --version print and end the program before any window, sound server or
// file is touched. Anything else is left to the toolkit (-platform, ...).

#include <optional>
#include <ostream>

// The exit code when the command line asked only for information, printed
// to out; nothing when the program should start.
std::optional<int> answerInformationOptions(int argc, const char* const* argv, std::ostream& out);
