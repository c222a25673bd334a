#include "app/ProgramOptions.h"

#include <string_view>

namespace {

constexpr std::string_view kUsage =
    "Usage: tovaline [OPTION]\n"
    "A small sound recorder: records a sound input to WAV, MP3, WMA or Ogg Vorbis.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and exit\n"
    "\n"
    "A portable copy keeps config.xml and recorded.xml beside the executable;\n"
    "an installed copy keeps them in $XDG_CONFIG_HOME/tovaline and\n"
    "$XDG_DATA_HOME/tovaline.\n";

} // namespace

std::optional<int> answerInformationOptions(int argc, const char* const* argv, std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return 0;
        }
        if (arg == "--version") {
            out << "Tovaline " TOVALINE_VERSION "\n";
            return 0;
        }
    }
    return std::nullopt;
}
