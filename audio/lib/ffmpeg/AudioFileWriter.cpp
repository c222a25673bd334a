#include "audio/lib/ffmpeg/AudioFileWriter.h"

#include "audio/lib/AudioLib.h"
#include "audio/lib/ffmpeg/QuietLog.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
}

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace audiolib::ffmpeg {
namespace {

constexpr int kPcmChunk = 1024;

} // namespace

void removeUnfinished(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec)))
        std::filesystem::remove(path, ec);
}

std::unique_ptr<AudioFileWriter> AudioFileWriter::create(const std::string& path,
                                                         const OutputSpec& spec, int& error) {
    quietLog();
    error = kErrFormat;
    if (path.empty()) {
        error = kErrFileOpen;
        return nullptr;
    }
    if (!spec.muxer || spec.channels < 1 || spec.channels > 2 || spec.rate == 0)
        return nullptr;
    const AVCodec* encoder = avcodec_find_encoder(spec.codec);
    if (!encoder || !encoder->sample_fmts)
        return nullptr;

    std::unique_ptr<AudioFileWriter> w(new AudioFileWriter);
    w->path_ = path;
    w->codec_.reset(avcodec_alloc_context3(encoder));
    w->packet_.reset(av_packet_alloc());
    w->frame_.reset(av_frame_alloc());
    w->scratch_.reset(av_frame_alloc());
    if (!w->codec_ || !w->packet_ || !w->frame_ || !w->scratch_) {
        error = kErrMemory;
        return nullptr;
    }
    AVCodecContext* c = w->codec_.get();
    c->sample_fmt = encoder->sample_fmts[0];
    c->sample_rate = static_cast<int>(spec.rate);
    av_channel_layout_default(&c->ch_layout, spec.channels);
    c->time_base = AVRational{1, c->sample_rate};
    if (spec.bitRate > 0)
        c->bit_rate = spec.bitRate;
    if (spec.blockSize > 0 && av_opt_set_int(c->priv_data, "block_size", spec.blockSize, 0) < 0)
        return nullptr;

    AVFormatContext* out = nullptr;
    if (avformat_alloc_output_context2(&out, nullptr, spec.muxer, nullptr) < 0 || !out)
        return nullptr;
    w->output_.reset(out);
    if (spec.packetBytes > 0 &&
        av_opt_set_int(out->priv_data, "packet_size", spec.packetBytes, 0) < 0)
        return nullptr;
    // The header keeps room for the 64-bit sizes: a recording may pass 4 GiB.
    const bool wav = std::strcmp(out->oformat->name, "wav") == 0;
    if (wav && av_opt_set(out->priv_data, "rf64", "auto", 0) < 0)
        return nullptr;
    if (out->oformat->flags & AVFMT_GLOBALHEADER)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(c, encoder, nullptr) < 0)
        return nullptr;

    w->stream_ = avformat_new_stream(out, nullptr);
    if (!w->stream_ || avcodec_parameters_from_context(w->stream_->codecpar, c) < 0) {
        error = kErrMemory;
        return nullptr;
    }
    w->stream_->time_base = c->time_base;

    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    SwrContext* swr = nullptr;
    if (swr_alloc_set_opts2(&swr, &c->ch_layout, c->sample_fmt, c->sample_rate, &stereo,
                            AV_SAMPLE_FMT_S16, kCaptureRate, 0, nullptr) < 0) {
        error = kErrMemory;
        return nullptr;
    }
    w->resampler_.reset(swr);
    if (spec.channels == 1) {
        // A plain average: the default down-mix adds both sides at -3 dB
        // each, which lets a full-scale signal in both channels clip.
        const double halves[2] = {0.5, 0.5};
        if (swr_set_matrix(swr, halves, 2) < 0)
            return nullptr;
    }
    if (swr_init(swr) < 0)
        return nullptr;

    w->variableFrames_ =
        c->frame_size <= 0 || (encoder->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
    w->chunk_ = w->variableFrames_ ? kPcmChunk : c->frame_size;
    w->primingFrame_ = spec.primingFrame && !w->variableFrames_;
    w->fifo_.reset(av_audio_fifo_alloc(c->sample_fmt, spec.channels, w->chunk_ * 4));
    AVFrame* f = w->frame_.get();
    f->format = c->sample_fmt;
    f->sample_rate = c->sample_rate;
    f->nb_samples = w->chunk_;
    if (!w->fifo_ || av_channel_layout_copy(&f->ch_layout, &c->ch_layout) < 0 ||
        av_frame_get_buffer(f, 0) < 0) {
        error = kErrMemory;
        return nullptr;
    }

    // The file is created last, so every failure above leaves none behind.
    w->file_ = CountedFile::create(path);
    if (!w->file_) {
        error = kErrFileOpen;
        return nullptr;
    }
    out->pb = w->file_->io();
    out->flags |= AVFMT_FLAG_CUSTOM_IO;
    error = kOk;
    return w;
}

AudioFileWriter::~AudioFileWriter() {
    if (begun_)
        finish();
    else if (output_ && output_->pb) {
        output_.reset();
        removeUnfinished(path_);
    }
}

void AudioFileWriter::findWavSizeFields() {
    const int fd = file_->regularFd();
    if (std::strcmp(output_->oformat->name, "wav") != 0 || fd < 0)
        return;
    // The muxer's header ends with the data chunk's head.
    const uint64_t dataStart = file_->bytesOnDisk();
    if (dataStart < 20 || dataStart > 65536)
        return;
    std::vector<uint8_t> head(dataStart);
    if (::pread(fd, head.data(), head.size(), 0) != static_cast<ssize_t>(dataStart))
        return;
    wav_ = findWavLayout(head.data(), head.size());
}

WavSizes AudioFileWriter::wavSizes(uint64_t dataEnd) const {
    WavSizes sizes;
    sizes.fileBytes = file_->bytesOnDisk();
    sizes.dataBytes = dataEnd - std::min(dataEnd, wav_->dataStart);
    // Whole blocks only: a block cut off by a full disk holds no frame a
    // reader would give.
    const AVCodecParameters* par = stream_->codecpar;
    const int perBlock = par->block_align > 0
                             ? av_get_audio_frame_duration2(stream_->codecpar, par->block_align)
                             : 0;
    sizes.frames = perBlock > 0 ? std::min(nextPts_, sizes.dataBytes /
                                                         static_cast<uint64_t>(par->block_align) *
                                                         static_cast<uint64_t>(perBlock))
                                : nextPts_;
    return sizes;
}

// A full disk may have cut the last block short; readers take such a tail
// for a broken packet, so it goes.
void AudioFileWriter::dropPartialBlock() {
    const auto align = static_cast<uint64_t>(stream_->codecpar->block_align);
    if (!wav_ || !file_->appendFailed() || align == 0)
        return;
    const uint64_t data = file_->bytesOnDisk() - std::min(file_->bytesOnDisk(), wav_->dataStart);
    file_->cutTo(wav_->dataStart + data / align * align);
}

void AudioFileWriter::makeDurable() {
    framesSinceDurable_ = 0;
    avio_flush(output_->pb);
    const int fd = file_->regularFd();
    if (fd < 0)
        return;
    dropPartialBlock();
    // A header that cannot be kept true is left to the trailer.
    if (wav_ && !writeWavSizes(fd, *wav_, wavSizes(file_->bytesOnDisk())))
        wav_.reset();
    ::fdatasync(fd);
}

bool AudioFileWriter::fail(int error) {
    if (!failed_) {
        failed_ = true;
        error_ = error;
    }
    return false;
}

bool AudioFileWriter::setTag(const char* key, const char* value) {
    if (begun_ || !key || !*key)
        return false;
    return av_dict_set(&output_->metadata, key, value ? value : "", 0) >= 0;
}

bool AudioFileWriter::begin() {
    if (begun_)
        return !failed_;
    if (failed_ || finished_)
        return false;
    // Flushed at once: a file that cannot take even its header should fail
    // here, not some seconds into the recording.
    const bool written = avformat_write_header(output_.get(), nullptr) >= 0;
    if (written)
        avio_flush(output_->pb);
    if (!written || output_->pb->error < 0) {
        output_.reset();
        removeUnfinished(path_);
        finished_ = true;
        return fail(kErrFileOpen);
    }
    begun_ = true;
    findWavSizeFields();
    return !primingFrame_ || queueSilence(static_cast<size_t>(chunk_));
}

int AudioFileWriter::encoderFrameSize() const {
    return variableFrames_ ? 0 : chunk_;
}

bool AudioFileWriter::ensureScratch(int frames) {
    if (scratch_->nb_samples >= frames && scratch_->buf[0])
        return true;
    av_frame_unref(scratch_.get());
    scratch_->format = codec_->sample_fmt;
    scratch_->nb_samples = std::max(frames, chunk_);
    if (av_channel_layout_copy(&scratch_->ch_layout, &codec_->ch_layout) < 0 ||
        av_frame_get_buffer(scratch_.get(), 0) < 0)
        return fail(kErrMemory);
    return true;
}

bool AudioFileWriter::convert(const uint8_t* const* input, int frames) {
    // Loops so that a flush (no input) drains everything the resampler holds.
    for (;;) {
        const int room = swr_get_out_samples(resampler_.get(), frames);
        if (room < 0)
            return fail(kErrUnknown);
        if (room == 0)
            return true;
        if (!ensureScratch(room))
            return false;
        const int made = swr_convert(resampler_.get(), scratch_->data, scratch_->nb_samples,
                                     const_cast<const uint8_t**>(input), frames);
        if (made < 0)
            return fail(kErrUnknown);
        if (made > 0 &&
            av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(scratch_->data), made) < made)
            return fail(kErrMemory);
        if (input || made == 0)
            return true;
    }
}

bool AudioFileWriter::queueSilence(size_t frames) {
    if (frames == 0)
        return true;
    const int n = static_cast<int>(frames);
    if (!ensureScratch(n))
        return false;
    av_samples_set_silence(scratch_->data, 0, n, codec_->ch_layout.nb_channels, codec_->sample_fmt);
    if (av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(scratch_->data), n) < n)
        return fail(kErrMemory);
    return true;
}

bool AudioFileWriter::send(const AVFrame* frame) {
    if (avcodec_send_frame(codec_.get(), frame) < 0)
        return fail(kErrUnknown);
    for (;;) {
        const int r = avcodec_receive_packet(codec_.get(), packet_.get());
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
            return true;
        if (r < 0)
            return fail(kErrUnknown);
        av_packet_rescale_ts(packet_.get(), codec_->time_base, stream_->time_base);
        packet_->stream_index = stream_->index;
        // Writes straight through: there is one stream, nothing to interleave.
        if (av_write_frame(output_.get(), packet_.get()) < 0) {
            av_packet_unref(packet_.get());
            return fail(kErrFileOpen);
        }
    }
}

bool AudioFileWriter::encodeQueued(bool final) {
    AVFrame* f = frame_.get();
    const int channels = codec_->ch_layout.nb_channels;
    for (;;) {
        const int queued = av_audio_fifo_size(fifo_.get());
        if (queued == 0 || (queued < chunk_ && !final))
            return true;
        const int n = std::min(queued, chunk_);
        f->nb_samples = chunk_;
        if (av_frame_make_writable(f) < 0)
            return fail(kErrMemory);
        if (av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(f->data), n) < n)
            return fail(kErrUnknown);
        if (n < chunk_) {
            if (variableFrames_)
                f->nb_samples = n;
            else // fixed-size encoders take no short last frame: pad it
                av_samples_set_silence(f->data, n, chunk_ - n, channels, codec_->sample_fmt);
        }
        f->pts = static_cast<int64_t>(nextPts_);
        nextPts_ += static_cast<uint64_t>(f->nb_samples);
        if (!send(f))
            return false;
    }
}

bool AudioFileWriter::write(const int16_t* samples, size_t frames) {
    if (failed_ || finished_ || !begin())
        return false;
    if (!samples || frames == 0)
        return true;
    const uint8_t* planes[1] = {reinterpret_cast<const uint8_t*>(samples)};
    // Big blocks go in pieces so the scratch buffer stays bounded.
    constexpr size_t kPiece = 16384;
    for (size_t done = 0; done < frames;) {
        const size_t n = std::min(kPiece, frames - done);
        planes[0] = reinterpret_cast<const uint8_t*>(samples + done * kCaptureChannels);
        if (!convert(planes, static_cast<int>(n)) || !encodeQueued(false))
            return false;
        done += n;
    }
    framesSinceDurable_ += frames;
    if (framesSinceDurable_ >= kCaptureRate / 4)
        makeDurable();
    return output_->pb->error >= 0 || fail(kErrFileOpen);
}

bool AudioFileWriter::finish(size_t silence) {
    if (finished_)
        return !failed_;
    if (!begun_ && !begin())
        return false;
    finished_ = true;
    bool ok = !failed_ && convert(nullptr, 0) && queueSilence(silence) && encodeQueued(true) &&
              send(nullptr);
    avio_flush(output_->pb);
    dropPartialBlock();
    const uint64_t dataEnd = file_->bytesOnDisk();
    // The trailer fixes the header's sizes; it is written even after an
    // encoding failure so that what did reach the disk stays readable.
    if (av_write_trailer(output_.get()) < 0)
        ok = fail(kErrFileOpen);
    avio_flush(output_->pb);
    if (output_->pb->error < 0)
        ok = fail(kErrFileOpen);
    // The muxer's sizes count what it meant to write; ours what is there.
    const int fd = file_->regularFd();
    if (wav_ && fd >= 0 && !writeWavSizes(fd, *wav_, wavSizes(dataEnd)))
        ok = fail(kErrFileOpen);
    // Closed now: the recording is done even while its writer lives on.
    output_->pb = nullptr;
    file_.reset();
    return ok && !failed_;
}

} // namespace audiolib::ffmpeg
