// Encoders started by handle of their recording channel.
#include "audio/lib/AudioLib.h"
#include "audio/lib/Channel.h"
#include "audio/lib/CommandLine.h"
#include "audio/lib/ExternalEncoder.h"

namespace audiolib {

namespace {

Handle startExternal(Handle channel, const std::string& program,
                     const std::vector<std::string>& arguments) {
    if (!findChannel(channel))
        return fail(kErrHandle, Handle{0});
    std::unique_ptr<ExternalEncoder> encoder = ExternalEncoder::start(program, arguments);
    if (!encoder)
        return 0;
    // On failure the encoder is finished here: its stdin closes and the
    // process is waited for, so nothing is left behind.
    return attachEncoder(channel, std::move(encoder));
}

} // namespace

Handle encodeStart(Handle channel, const char* cmdline, uint32_t, void* proc, void*) {
    // Encoded output always goes where the command line sends it; we have no
    // use for a callback receiving it.
    if (proc)
        return fail(kErrNotAvail, Handle{0});
    if (!cmdline)
        return fail(kErrFileOpen, Handle{0});
    const std::optional<Command> command = resolveCommand(cmdline, isExecutableFile);
    if (!command)
        return fail(kErrFileOpen, Handle{0});
    return startExternal(channel, command->program, command->arguments);
}

Handle encodeStartProgram(Handle channel, const char* program, const char* const* args, uint32_t) {
    if (!program || !args)
        return fail(kErrFileOpen, Handle{0});
    std::vector<std::string> arguments;
    for (const char* const* a = args; *a; ++a)
        arguments.emplace_back(*a);
    return startExternal(channel, program, arguments);
}

} // namespace audiolib
