#include "audio/lib/CommandLine.h"

#include <sys/stat.h>
#include <unistd.h>

namespace audiolib {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::vector<CommandWord> splitCommandLine(const std::string& line) {
    std::vector<CommandWord> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        if (i >= line.size())
            break;
        CommandWord word;
        word.begin = i;
        bool quoted = false;
        bool hadQuotes = false;
        for (; i < line.size() && (quoted || !isBlank(line[i])); ++i) {
            if (line[i] == '"') {
                quoted = !quoted;
                hadQuotes = true;
            } else {
                word.text += line[i];
            }
        }
        word.end = i;
        // "" is an empty argument, not nothing.
        if (!word.text.empty() || hadQuotes)
            words.push_back(std::move(word));
    }
    return words;
}

std::optional<Command> resolveCommand(const std::string& line,
                                      const std::function<bool(const std::string&)>& isProgram) {
    const std::vector<CommandWord> words = splitCommandLine(line);
    for (size_t count = words.size(); count > 0; --count) {
        // The line's own text of those words, blanks kept, quotes removed.
        std::string candidate;
        for (size_t i = words[0].begin; i < words[count - 1].end; ++i)
            if (line[i] != '"')
                candidate += line[i];
        if (candidate.empty() || !isProgram(candidate))
            continue;
        Command command;
        command.program = std::move(candidate);
        for (size_t i = count; i < words.size(); ++i)
            command.arguments.push_back(words[i].text);
        return command;
    }
    return std::nullopt;
}

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

} // namespace audiolib
