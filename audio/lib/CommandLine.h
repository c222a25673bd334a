#pragma once
// Turning an encoder's command line into a program and its arguments, the
// way the engines write them: blanks separate words, double quotes group
// (and are removed), and the program's folder may hold blanks unquoted.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace audiolib {

struct CommandWord {
    std::string text; // quotes removed
    size_t begin = 0; // in the line, quotes included
    size_t end = 0;
};

std::vector<CommandWord> splitCommandLine(const std::string& line);

struct Command {
    std::string program;
    std::vector<std::string> arguments; // without the program
};

// The program is the longest run of leading words that, joined as they
// stand in the line, names a file for which `isProgram` holds. nullopt when
// none does.
std::optional<Command> resolveCommand(const std::string& line,
                                      const std::function<bool(const std::string&)>& isProgram);

// A regular file we may execute.
bool isExecutableFile(const std::string& path);

} // namespace audiolib
