#pragma once
// The pure pieces of the recording engine: encoder option strings, command
// lines, the output file's extension and the texts of its error codes. Kept
// apart from TBassRecorder so they are tested without any sound device.

#include "audio/RecordOutFormat.h"
#include "audio/lib/CommandLine.h"

#include <cstdint>
#include <string>
#include <vector>

namespace reccmd {

// Options for lame. Each piece carries its own leading blank, so the command
// line gets two blanks in a row after the program name.
std::string lameOptions(int32_t bitrate, bool enVBR, int8_t channel, uint8_t vbrQuality);
std::string oggOptions(int32_t quality);

// programFolder ends with '/'. The folder is not quoted; the audio layer
// finds the program as the longest existing prefix, so blanks in it work.
std::string lameCommandLine(const std::string& programFolder, const std::string& options,
                            const std::string& outfile);
std::string oggCommandLine(const std::string& programFolder, const std::string& options,
                           const std::string& outfile);

// What the encoder is really started with. The lines above are only shown
// and compared; splitting them again would let a quote or a dash in the
// output path change the arguments. The program is exactly the folder's own,
// and the output path is one argument, untouched.
using EncoderInvocation = audiolib::Command;
EncoderInvocation lameInvocation(const std::string& programFolder, const std::string& options,
                                 const std::string& outfile);
EncoderInvocation oggInvocation(const std::string& programFolder, const std::string& options,
                                const std::string& outfile);

// The name actually written: outfile with the format's extension, either
// appended or put in place of every occurrence of its old extension in the
// file-name part.
std::string adjustFileExt(TRecordOutFormat format, const std::string& outfile);

// The user's text for an error code; empty for codes that have none.
std::string errorMessage(int32_t code);

constexpr int32_t kErrRecordFailed = -1000;
// Start refused a file that a stopped recording's encoder still writes.
constexpr int32_t kErrStillFinishing = -1001;
constexpr int32_t kErrInit = -2;

} // namespace reccmd
