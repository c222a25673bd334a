#include "audio/RecordCommands.h"

namespace reccmd {

std::string lameOptions(int32_t bitrate, bool enVBR, int8_t channel, uint8_t vbrQuality) {
    std::string line;
    if (enVBR)
        line = " -V" + std::to_string(vbrQuality);
    else
        line = " -b " + std::to_string(bitrate);
    switch (channel) {
    case 1:
        line += " -m m ";
        break;
    case 2:
        line += " -m s ";
        break;
    case 3:
        line += " -m j ";
        break;
    default:
        break;
    }
    return line;
}

std::string oggOptions(int32_t quality) {
    return " -q " + std::to_string(quality);
}

std::string lameCommandLine(const std::string& programFolder, const std::string& options,
                            const std::string& outfile) {
    return programFolder + "lame " + options + " - \"" + outfile + "\"";
}

std::string oggCommandLine(const std::string& programFolder, const std::string& options,
                           const std::string& outfile) {
    return programFolder + "oggenc2 " + options + " -o \"" + outfile + "\" - ";
}

namespace {

std::vector<std::string> optionWords(const std::string& options) {
    std::vector<std::string> words;
    for (audiolib::CommandWord& word : audiolib::splitCommandLine(options))
        words.push_back(std::move(word.text));
    return words;
}

} // namespace

EncoderInvocation lameInvocation(const std::string& programFolder, const std::string& options,
                                 const std::string& outfile) {
    EncoderInvocation run{programFolder + "lame", optionWords(options)};
    run.arguments.push_back("-");
    run.arguments.push_back(outfile);
    return run;
}

EncoderInvocation oggInvocation(const std::string& programFolder, const std::string& options,
                                const std::string& outfile) {
    EncoderInvocation run{programFolder + "oggenc2", optionWords(options)};
    run.arguments.insert(run.arguments.end(), {"-o", outfile, "-"});
    return run;
}

std::string adjustFileExt(TRecordOutFormat format, const std::string& outfile) {
    const std::string ext = OutFormatExt(format);
    size_t slash = outfile.rfind('/');
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string folder = outfile.substr(0, nameStart);
    std::string name = outfile.substr(nameStart);
    size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return outfile + ext;
    const std::string old = name.substr(dot);
    std::string result;
    size_t pos = 0;
    for (;;) {
        size_t hit = name.find(old, pos);
        if (hit == std::string::npos)
            break;
        result.append(name, pos, hit - pos);
        result += ext;
        pos = hit + old.size();
    }
    result.append(name, pos, std::string::npos);
    return folder + result;
}

std::string errorMessage(int32_t code) {
    switch (code) {
    case -10001:
        return "Please input valid filepath.";
    case -9001:
        return "Not enough space for environment.";
    case kErrRecordFailed:
        return "Recording failed!";
    case kErrStillFinishing:
        return "The last recording of this file is still being finished. Please try again in a "
               "moment.";
    case kErrInit:
        return "Initialize abnormalities.";
    case -1:
        return "Unknown failure.";
    default:
        return {};
    }
}

} // namespace reccmd
