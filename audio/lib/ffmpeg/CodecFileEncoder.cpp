#include "audio/lib/ffmpeg/CodecFileEncoder.h"

#include "audio/lib/ffmpeg/AudioFileWriter.h"

namespace audiolib::ffmpeg {
namespace {

AVCodecID codecFor(const WaveFormat& f) {
    switch (f.formatTag) {
    case kWavePcm:
        return f.bitsPerSample == 8    ? AV_CODEC_ID_PCM_U8
               : f.bitsPerSample == 16 ? AV_CODEC_ID_PCM_S16LE
                                       : AV_CODEC_ID_PCM_S24LE;
    case kWaveALaw:
        return AV_CODEC_ID_PCM_ALAW;
    case kWaveMuLaw:
        return AV_CODEC_ID_PCM_MULAW;
    case kWaveImaAdpcm:
        return AV_CODEC_ID_ADPCM_IMA_WAV;
    case kWaveMsAdpcm:
        return AV_CODEC_ID_ADPCM_MS;
    default:
        return AV_CODEC_ID_NONE;
    }
}

} // namespace

std::unique_ptr<CodecFileEncoder> CodecFileEncoder::create(const WaveFormat& format,
                                                           const std::string& path, int& error) {
    if (!isWritableWaveFormat(format)) {
        error = kErrFormat;
        return nullptr;
    }
    OutputSpec spec;
    spec.muxer = "wav";
    spec.codec = codecFor(format);
    spec.rate = format.samplesPerSec;
    spec.channels = format.channels;
    if (format.formatTag == kWaveImaAdpcm || format.formatTag == kWaveMsAdpcm)
        spec.blockSize = format.blockAlign;
    return begin(AudioFileWriter::create(path, spec, error), 0, error);
}

std::unique_ptr<CodecFileEncoder> CodecFileEncoder::begin(std::unique_ptr<AudioFileWriter> writer,
                                                          size_t tailFrames, int& error) {
    // The header goes out now: a file that cannot take it fails the start
    // rather than the first block.
    if (!writer || !writer->begin()) {
        if (writer)
            error = writer->error();
        return nullptr;
    }
    return std::unique_ptr<CodecFileEncoder>(new CodecFileEncoder(std::move(writer), tailFrames));
}

CodecFileEncoder::CodecFileEncoder(std::unique_ptr<AudioFileWriter> writer, size_t tailFrames)
    : writer_(std::move(writer)), tailFrames_(tailFrames) {}

CodecFileEncoder::~CodecFileEncoder() {
    finish();
}

bool CodecFileEncoder::write(const int16_t* samples, size_t frames) {
    return !finished_ && writer_->write(samples, frames);
}

FinishOutcome CodecFileEncoder::finish() {
    if (finished_)
        return outcome_;
    finished_ = true;
    outcome_ =
        writer_->finish(tailFrames_) ? FinishOutcome::Complete : FinishOutcome::FileIncomplete;
    return outcome_;
}

bool CodecFileEncoder::active() const {
    return !finished_ && !writer_->failed();
}

} // namespace audiolib::ffmpeg
