#include "audio/lib/ffmpeg/FileDecoder.h"

#include "audio/lib/AudioLib.h"
#include "audio/lib/ffmpeg/FfmpegHandles.h"
#include "audio/lib/ffmpeg/Mp3InfoTag.h"
#include "audio/lib/ffmpeg/QuietLog.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <string_view>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/intreadwrite.h>
#include <libswresample/swresample.h>
}

namespace audiolib {

namespace {

struct LayoutHolder {
    AVChannelLayout layout{};
    ~LayoutHolder() { av_channel_layout_uninit(&layout); }
};

bool isWmaCodec(AVCodecID id) {
    return id == AV_CODEC_ID_WMAV1 || id == AV_CODEC_ID_WMAV2 || id == AV_CODEC_ID_WMAPRO ||
           id == AV_CODEC_ID_WMALOSSLESS || id == AV_CODEC_ID_WMAVOICE;
}

// Codecs whose container states the sample count exactly (a WAV data chunk
// divided by the block size): reading the whole file to count is wasted.
bool hasExactContainerLength(AVCodecID id) {
    const AVCodecDescriptor* desc = avcodec_descriptor_get(id);
    if (desc == nullptr) {
        return false;
    }
    const std::string_view name = desc->name;
    return name.starts_with("pcm_") || name.starts_with("adpcm_");
}

// The decoded length an MP3 file's info frame states, read from the file's
// first few kilobytes: counting a long file's packets takes far longer.
std::optional<uint64_t> mp3StatedLength(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    uint8_t head[10] = {};
    if (!in.read(reinterpret_cast<char*>(head), sizeof head))
        return std::nullopt;
    in.seekg(static_cast<std::streamoff>(id3v2Size(head, sizeof head)));
    std::vector<uint8_t> frame(4096);
    in.read(reinterpret_cast<char*>(frame.data()), static_cast<std::streamsize>(frame.size()));
    return mp3InfoTagFrames(frame.data(), static_cast<size_t>(in.gcount()));
}

// The decoded length, from packet timestamps less the priming and padding the
// container tells the decoder to drop (MP3 encoder delay, Opus pre-skip).
// Reads every packet from where the demuxer stands.
std::optional<uint64_t> countPackets(AVFormatContext* format, const AVStream* stream, uint32_t rate,
                                     const std::atomic<bool>& cancel) {
    const AVRational perFrame{1, static_cast<int>(rate)};
    ffmpeg::PacketPtr packet{av_packet_alloc()};
    if (!packet) {
        return std::nullopt;
    }
    // The span from the first packet's start to the last one's end: summing
    // durations instead would add up their rounding (ASF counts in whole
    // milliseconds).
    int64_t total = 0;
    int64_t first = AV_NOPTS_VALUE;
    int64_t end = AV_NOPTS_VALUE;
    int64_t dropped = 0;
    while (av_read_frame(format, packet.get()) >= 0) {
        if (cancel.load(std::memory_order_relaxed)) {
            return std::nullopt;
        }
        if (packet->stream_index == stream->index) {
            total += packet->duration;
            if (packet->pts != AV_NOPTS_VALUE) {
                first = first == AV_NOPTS_VALUE ? packet->pts : std::min(first, packet->pts);
                end = std::max(end == AV_NOPTS_VALUE ? packet->pts : end,
                               packet->pts + packet->duration);
            }
            size_t size = 0;
            const uint8_t* skip =
                av_packet_get_side_data(packet.get(), AV_PKT_DATA_SKIP_SAMPLES, &size);
            if (skip != nullptr && size >= 8) {
                dropped += AV_RL32(skip) + AV_RL32(skip + 4);
            }
        }
        av_packet_unref(packet.get());
    }
    if (first != AV_NOPTS_VALUE && end > first) {
        total = end - first;
    }
    int64_t frames = av_rescale_q(total, stream->time_base, perFrame) - dropped;
    if (total <= 0 && stream->duration > 0) {
        frames = av_rescale_q(stream->duration, stream->time_base, perFrame);
    } else if (total <= 0 && format->duration > 0) {
        frames = av_rescale_q(format->duration, AV_TIME_BASE_Q, perFrame);
    }
    return static_cast<uint64_t>(std::max<int64_t>(0, frames));
}

} // namespace

struct FileDecoder::Impl {
    ffmpeg::InputContextPtr format;
    ffmpeg::CodecContextPtr codec;
    ffmpeg::ResamplerPtr swr;
    ffmpeg::PacketPtr packet{av_packet_alloc()};
    ffmpeg::FramePtr frame{av_frame_alloc()};
    AVStream* stream = nullptr;
    uint32_t rate = 0;
    uint32_t channels = 0;
    uint64_t length = 0;
    uint64_t fileSize = 0;
    int64_t startPts = 0;
    // The timestamp of the first frame decoded from the start: decoders with
    // a delay (WMA) stamp frames later than the sound they hold, so frame
    // numbers count from this rather than from the container's start.
    int64_t originPts = AV_NOPTS_VALUE;
    // PCM and ADPCM in WAV are seeked by byte offset of whole blocks; the
    // demuxer's own seek trusts the header's byte rate, which ADPCM writers
    // fill in loosely.
    bool byteSeek = false;
    int64_t dataStart = 0;
    int64_t blockBytes = 0;
    int64_t blockFrames = 0;

    // Converted frames waiting to be read, and the file frame of the first.
    std::vector<int16_t> pending;
    size_t pendingFrames = 0;
    size_t pendingPos = 0;
    uint64_t next = 0;
    // After a seek the decoder restarts at a packet boundary before the
    // target; the frames up to the target are dropped.
    bool placing = false;
    uint64_t target = 0;
    bool inputDone = false;
    bool ended = false;

    // swr is rebuilt whenever the decoded frames change shape (a chained Ogg
    // stream can).
    int swrFormat = -1;
    int swrRate = 0;
    AVChannelLayout swrLayout{};

    ~Impl() { av_channel_layout_uninit(&swrLayout); }

    bool prepareConverter(const AVFrame* f);
    bool convert(const AVFrame* f);
    bool decodeMore();
    bool countLength(const std::string& path, Counting counting);
    void rewind();
};

bool FileDecoder::Impl::prepareConverter(const AVFrame* f) {
    LayoutHolder in;
    if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || f->ch_layout.nb_channels == 0) {
        av_channel_layout_default(&in.layout, std::max(1, f->ch_layout.nb_channels));
    } else if (av_channel_layout_copy(&in.layout, &f->ch_layout) < 0) {
        return false;
    }
    if (swr && swrFormat == f->format && swrRate == f->sample_rate &&
        av_channel_layout_compare(&swrLayout, &in.layout) == 0) {
        return true;
    }
    LayoutHolder out;
    av_channel_layout_default(&out.layout, static_cast<int>(channels));
    SwrContext* raw = nullptr;
    // Same rate in and out: swr only converts and mixes, so it holds no delay
    // and nothing is left in it at the end.
    if (swr_alloc_set_opts2(&raw, &out.layout, AV_SAMPLE_FMT_S16, static_cast<int>(rate),
                            &in.layout, static_cast<AVSampleFormat>(f->format), f->sample_rate, 0,
                            nullptr) < 0) {
        return false;
    }
    swr.reset(raw);
    if (swr_init(raw) < 0) {
        swr.reset();
        return false;
    }
    swrFormat = f->format;
    swrRate = f->sample_rate;
    av_channel_layout_uninit(&swrLayout);
    av_channel_layout_copy(&swrLayout, &in.layout);
    return true;
}

bool FileDecoder::Impl::convert(const AVFrame* f) {
    if (!prepareConverter(f)) {
        return false;
    }
    const int room = swr_get_out_samples(swr.get(), f->nb_samples);
    if (room <= 0) {
        return true;
    }
    pending.resize(static_cast<size_t>(room) * channels);
    auto* out = reinterpret_cast<uint8_t*>(pending.data());
    const int got = swr_convert(swr.get(), &out, room,
                                const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
    if (got < 0) {
        return false;
    }
    pendingFrames = static_cast<size_t>(got);
    pendingPos = 0;

    if (placing) {
        placing = false;
        const int64_t pts = f->best_effort_timestamp;
        if (originPts == AV_NOPTS_VALUE) {
            originPts = pts != AV_NOPTS_VALUE ? pts : startPts;
        }
        if (pts != AV_NOPTS_VALUE) {
            const int64_t at = av_rescale_q(pts - originPts, stream->time_base,
                                            AVRational{1, static_cast<int>(rate)});
            next = static_cast<uint64_t>(std::max<int64_t>(0, at));
        } else {
            next = target;
        }
    }
    if (next < target) {
        const uint64_t drop = std::min<uint64_t>(target - next, pendingFrames);
        pendingPos = static_cast<size_t>(drop);
        next += drop;
    }
    return true;
}

// Decodes until some frames are pending; false at the end of the file.
bool FileDecoder::Impl::decodeMore() {
    while (!ended) {
        const int r = avcodec_receive_frame(codec.get(), frame.get());
        if (r == 0) {
            const bool ok = convert(frame.get());
            av_frame_unref(frame.get());
            if (!ok) {
                ended = true;
                return false;
            }
            if (pendingPos < pendingFrames) {
                return true;
            }
            continue;
        }
        if (r != AVERROR(EAGAIN) || inputDone) {
            // End of stream, or a decoder that cannot go on.
            ended = true;
            return false;
        }
        const int rr = av_read_frame(format.get(), packet.get());
        if (rr < 0) {
            avcodec_send_packet(codec.get(), nullptr);
            inputDone = true;
            continue;
        }
        if (packet->stream_index == stream->index) {
            // A damaged packet is skipped; the decoder carries on with the next.
            avcodec_send_packet(codec.get(), packet.get());
        }
        av_packet_unref(packet.get());
    }
    return false;
}

// The decoded length, from packet timestamps less the priming and padding the
// container tells the decoder to drop (MP3 encoder delay, Opus pre-skip).
bool FileDecoder::Impl::countLength(const std::string& path, Counting counting) {
    const AVRational perFrame{1, static_cast<int>(rate)};
    const AVCodecParameters* par = stream->codecpar;
    if (hasExactContainerLength(par->codec_id) && stream->duration > 0) {
        length = static_cast<uint64_t>(av_rescale_q(stream->duration, stream->time_base, perFrame));
        blockBytes = par->block_align;
        blockFrames =
            blockBytes > 0 ? av_get_audio_frame_duration2(stream->codecpar, par->block_align) : 0;
        while (av_read_frame(format.get(), packet.get()) >= 0) {
            const bool ours = packet->stream_index == stream->index;
            dataStart = packet->pos;
            av_packet_unref(packet.get());
            if (ours) {
                break;
            }
        }
        byteSeek = blockBytes > 0 && blockFrames > 0 && dataStart >= 0 &&
                   (format->iformat->flags & AVFMT_NO_BYTE_SEEK) == 0;
        return length > 0;
    }
    // Containers that count samples exactly (Ogg's granule positions).
    if (stream->duration > 0 && stream->time_base.num == 1 &&
        stream->time_base.den == static_cast<int>(rate)) {
        length = static_cast<uint64_t>(stream->duration);
        return true;
    }
    // ASF states the play time in its header, to the millisecond like its
    // packet stamps: the same length without reading the whole file.
    if (std::strcmp(format->iformat->name, "asf") == 0 && stream->duration > 0) {
        length = static_cast<uint64_t>(av_rescale_q(stream->duration, stream->time_base, perFrame));
        return length > 0;
    }
    if (par->codec_id == AV_CODEC_ID_MP3) {
        if (const std::optional<uint64_t> stated = mp3StatedLength(path)) {
            length = *stated;
            return true;
        }
    }
    if (counting == Counting::Later) {
        length = kUnknownLength;
        return true;
    }
    const std::atomic<bool> never{false};
    const std::optional<uint64_t> counted = countPackets(format.get(), stream, rate, never);
    length = counted.value_or(0);
    return length > 0;
}

void FileDecoder::Impl::rewind() {
    if (byteSeek) {
        av_seek_frame(format.get(), stream->index, dataStart, AVSEEK_FLAG_BYTE);
    } else {
        av_seek_frame(format.get(), stream->index, startPts, AVSEEK_FLAG_BACKWARD);
    }
    avcodec_flush_buffers(codec.get());
    pendingFrames = pendingPos = 0;
    inputDone = ended = false;
    placing = !byteSeek;
    target = 0;
    next = 0;
}

namespace {

// The file's demuxer, standing before its first packet, and its audio
// stream; null with `error` set when there is none. `asfOnly` refuses other
// containers before their streams are probed.
ffmpeg::InputContextPtr openAudio(const std::string& path, bool asfOnly, int& index,
                                  const AVCodec*& decoder, int& error) {
    AVFormatContext* raw = nullptr;
    const int r = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    if (r < 0) {
        error = (r == AVERROR(ENOENT) || r == AVERROR(EACCES) || r == AVERROR(EISDIR))
                    ? kErrFileOpen
                    : kErrDecode;
        return nullptr;
    }
    ffmpeg::InputContextPtr format(raw);
    error = kErrDecode;
    if ((asfOnly && std::strcmp(raw->iformat->name, "asf") != 0) ||
        avformat_find_stream_info(raw, nullptr) < 0) {
        return nullptr;
    }
    index = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (index < 0 || decoder == nullptr) {
        return nullptr;
    }
    return format;
}

} // namespace

std::optional<uint64_t> FileDecoder::countFrames(const std::string& path,
                                                 const std::atomic<bool>& cancel) {
    ffmpeg::quietLog();
    int index = -1;
    int error = kOk;
    const AVCodec* decoder = nullptr;
    const ffmpeg::InputContextPtr format = openAudio(path, false, index, decoder, error);
    if (!format || format->streams[index]->codecpar->sample_rate <= 0) {
        return std::nullopt;
    }
    const AVStream* stream = format->streams[index];
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (static_cast<int>(i) != index) {
            format->streams[i]->discard = AVDISCARD_ALL;
        }
    }
    return countPackets(format.get(), stream, static_cast<uint32_t>(stream->codecpar->sample_rate),
                        cancel);
}

std::unique_ptr<FileDecoder> FileDecoder::open(const std::string& path, Container container,
                                               int& error, Counting counting) {
    ffmpeg::quietLog();
    auto d = std::make_unique<Impl>();
    error = kErrMemory;
    if (!d->packet || !d->frame) {
        return nullptr;
    }
    int index = -1;
    const AVCodec* decoder = nullptr;
    d->format = openAudio(path, container == Container::AsfOnly, index, decoder, error);
    if (!d->format) {
        return nullptr;
    }
    AVFormatContext* raw = d->format.get();
    d->stream = raw->streams[index];
    if (container == Container::AsfOnly && !isWmaCodec(d->stream->codecpar->codec_id)) {
        return nullptr;
    }
    for (unsigned i = 0; i < raw->nb_streams; ++i) {
        if (static_cast<int>(i) != index) {
            raw->streams[i]->discard = AVDISCARD_ALL;
        }
    }
    d->codec.reset(avcodec_alloc_context3(decoder));
    if (!d->codec || avcodec_parameters_to_context(d->codec.get(), d->stream->codecpar) < 0) {
        return nullptr;
    }
    d->codec->pkt_timebase = d->stream->time_base;
    if (avcodec_open2(d->codec.get(), decoder, nullptr) < 0) {
        return nullptr;
    }
    const AVCodecParameters* par = d->stream->codecpar;
    if (par->sample_rate <= 0 || par->ch_layout.nb_channels <= 0) {
        return nullptr;
    }
    d->rate = static_cast<uint32_t>(par->sample_rate);
    d->channels = par->ch_layout.nb_channels == 1 ? 1U : 2U;
    d->startPts = d->stream->start_time != AV_NOPTS_VALUE ? d->stream->start_time : 0;
    d->fileSize =
        raw->pb != nullptr ? static_cast<uint64_t>(std::max<int64_t>(0, avio_size(raw->pb))) : 0;
    if (!d->countLength(path, counting)) {
        return nullptr;
    }
    d->rewind();
    // A file that probes as audio but yields no sound is refused now rather
    // than failing silently when played.
    if (!d->decodeMore()) {
        return nullptr;
    }
    error = kOk;
    return std::unique_ptr<FileDecoder>(new FileDecoder(std::move(d)));
}

FileDecoder::FileDecoder(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
FileDecoder::~FileDecoder() = default;

uint32_t FileDecoder::rate() const {
    return d->rate;
}
uint32_t FileDecoder::channels() const {
    return d->channels;
}
uint64_t FileDecoder::lengthFrames() const {
    return d->length;
}
uint64_t FileDecoder::fileSize() const {
    return d->fileSize;
}
uint64_t FileDecoder::nextFrame() const {
    // Until the first frame after a seek is decoded, `next` may still be the
    // start of the block the seek went to.
    return std::max(d->next, d->target);
}

bool FileDecoder::seek(uint64_t frame) {
    frame = std::min(frame, d->length);
    if (frame == 0) {
        d->rewind();
        return true;
    }
    if (d->byteSeek) {
        const int64_t block = static_cast<int64_t>(frame) / d->blockFrames;
        if (av_seek_frame(d->format.get(), d->stream->index, d->dataStart + block * d->blockBytes,
                          AVSEEK_FLAG_BYTE) < 0) {
            return false;
        }
        d->placing = false;
        d->next = static_cast<uint64_t>(block * d->blockFrames);
    } else {
        // Start a little early: a decoder primes itself on the packets before
        // the one it outputs again (WMA drops one, MP3 needs its bit
        // reservoir), and the surplus is cut off by timestamp.
        const int64_t lead = std::min<int64_t>(static_cast<int64_t>(frame), d->rate / 5);
        const int64_t origin = d->originPts != AV_NOPTS_VALUE ? d->originPts : d->startPts;
        const int64_t ts =
            origin + av_rescale_q(static_cast<int64_t>(frame) - lead,
                                  AVRational{1, static_cast<int>(d->rate)}, d->stream->time_base);
        if (av_seek_frame(d->format.get(), d->stream->index, ts, AVSEEK_FLAG_BACKWARD) < 0) {
            return false;
        }
        d->placing = true;
        d->next = frame;
    }
    avcodec_flush_buffers(d->codec.get());
    d->pendingFrames = d->pendingPos = 0;
    d->inputDone = d->ended = false;
    d->target = frame;
    return true;
}

size_t FileDecoder::read(int16_t* out, size_t frames) {
    size_t done = 0;
    while (done < frames && d->next < d->length) {
        if (d->pendingPos >= d->pendingFrames && !d->decodeMore()) {
            break;
        }
        const size_t take = static_cast<size_t>(std::min<uint64_t>(
            {frames - done, d->pendingFrames - d->pendingPos, d->length - d->next}));
        std::memcpy(out + done * d->channels, d->pending.data() + d->pendingPos * d->channels,
                    take * d->channels * sizeof(int16_t));
        d->pendingPos += take;
        d->next += take;
        done += take;
    }
    return done;
}

} // namespace audiolib
