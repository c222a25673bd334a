#include "tests/audio/lib/support/AudioCheck.h"

#include "audio/lib/LittleEndian.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
}

#include <cmath>
#include <complex>
#include <cstring>
#include <fstream>
#include <numbers>

namespace audiotest {

std::vector<int16_t> stereoTone(double hz, double seconds) {
    const size_t frames = static_cast<size_t>(seconds * 44100);
    std::vector<int16_t> out(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        const double v =
            16384.0 * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / 44100);
        out[2 * i] = out[2 * i + 1] = static_cast<int16_t>(std::lround(v));
    }
    return out;
}

namespace {

float sampleAt(const AVFrame* f, int ch, int i) {
    const auto fmt = static_cast<AVSampleFormat>(f->format);
    const bool planar = av_sample_fmt_is_planar(fmt);
    const int channels = f->ch_layout.nb_channels;
    const int idx = planar ? i : i * channels + ch;
    const uint8_t* plane = f->extended_data[planar ? ch : 0];
    switch (av_get_packed_sample_fmt(fmt)) {
    case AV_SAMPLE_FMT_U8:
        return (plane[idx] - 128) / 128.0f;
    case AV_SAMPLE_FMT_S16:
        return reinterpret_cast<const int16_t*>(plane)[idx] / 32768.0f;
    case AV_SAMPLE_FMT_S32:
        return static_cast<float>(reinterpret_cast<const int32_t*>(plane)[idx] / 2147483648.0);
    case AV_SAMPLE_FMT_FLT:
        return reinterpret_cast<const float*>(plane)[idx];
    case AV_SAMPLE_FMT_DBL:
        return static_cast<float>(reinterpret_cast<const double*>(plane)[idx]);
    default:
        return 0;
    }
}

void takeFrame(const AVFrame* f, Decoded& out) {
    const int channels = f->ch_layout.nb_channels;
    for (int i = 0; i < f->nb_samples; ++i) {
        float sum = 0;
        for (int ch = 0; ch < channels; ++ch)
            sum += sampleAt(f, ch, i);
        out.mono.push_back(sum / static_cast<float>(channels));
    }
}

} // namespace

std::optional<Decoded> decodeFile(const std::filesystem::path& file) {
    // Chatter about packet layout is no finding; errors still show.
    av_log_set_level(AV_LOG_ERROR);
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, ("file:" + file.string()).c_str(), nullptr, nullptr) < 0)
        return std::nullopt;
    std::optional<Decoded> result;
    AVCodecContext* dec = nullptr;
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    const AVCodec* codec = nullptr;
    int stream = -1;
    if (avformat_find_stream_info(fmt, nullptr) >= 0)
        stream = av_find_best_stream(fmt, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (stream >= 0 && codec && (dec = avcodec_alloc_context3(codec)) &&
        avcodec_parameters_to_context(dec, fmt->streams[stream]->codecpar) >= 0 &&
        avcodec_open2(dec, codec, nullptr) >= 0) {
        Decoded d;
        d.codec = codec->name;
        d.rate = dec->sample_rate;
        d.channels = dec->ch_layout.nb_channels;
        if (const AVDictionaryEntry* t = av_dict_get(fmt->metadata, "title", nullptr, 0))
            d.title = t->value;
        bool ok = true;
        auto drain = [&] {
            int r;
            while ((r = avcodec_receive_frame(dec, frame)) >= 0)
                takeFrame(frame, d);
            return r == AVERROR(EAGAIN) || r == AVERROR_EOF;
        };
        while (ok && av_read_frame(fmt, pkt) >= 0) {
            if (pkt->stream_index == stream)
                ok = avcodec_send_packet(dec, pkt) >= 0 && drain();
            av_packet_unref(pkt);
        }
        if (ok && avcodec_send_packet(dec, nullptr) >= 0 && drain())
            result = std::move(d);
    }
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&dec);
    avformat_close_input(&fmt);
    return result;
}

namespace {

void fft(std::vector<std::complex<double>>& a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const double ang = -2 * std::numbers::pi / static_cast<double>(len);
        const std::complex<double> w(std::cos(ang), std::sin(ang));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> wk(1);
            for (size_t k = 0; k < len / 2; ++k, wk *= w) {
                const auto u = a[i + k];
                const auto v = a[i + k + len / 2] * wk;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

// The strongest frequency of n samples (a power of two) from `from`.
template <typename Sample> double peakFrequency(const Sample* from, size_t n, int rate) {
    std::vector<std::complex<double>> a(n);
    for (size_t i = 0; i < n; ++i) {
        // Hann window: keeps the tone's energy in its own bins.
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) /
                                              static_cast<double>(n - 1));
        a[i] = static_cast<double>(from[i]) * w;
    }
    fft(a);
    size_t best = 1;
    for (size_t k = 1; k < n / 2; ++k)
        if (std::abs(a[k]) > std::abs(a[best]))
            best = k;
    // A parabola through the peak and its neighbours finds it between bins.
    const double l = std::abs(a[best - 1]), c = std::abs(a[best]), r = std::abs(a[best + 1]);
    const double denom = l - 2 * c + r;
    const double offset = denom != 0 ? 0.5 * (l - r) / denom : 0;
    return (static_cast<double>(best) + offset) * rate / static_cast<double>(n);
}

} // namespace

double loudestFrequency(const std::vector<float>& samples, int rate) {
    size_t n = 1;
    while (n * 2 <= samples.size() && n < 65536)
        n *= 2;
    if (n < 1024 || rate <= 0)
        return 0;
    return peakFrequency(samples.data() + (samples.size() - n) / 2, n, rate);
}

double loudestFrequency(const std::vector<int16_t>& samples, size_t offset, int rate) {
    constexpr size_t n = 65536;
    if (samples.size() < offset + n || rate <= 0)
        return 0;
    return peakFrequency(samples.data() + offset, n, rate);
}

std::optional<WavHeader> readWavHeader(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    auto u32 = [&](size_t at) { return audiolib::le::get32(bytes.data() + at); };
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return std::nullopt;
    WavHeader h;
    h.fileSize = bytes.size();
    h.riffSize = u32(4);
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const uint32_t size = u32(at + 4);
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && at + 8 + size <= bytes.size()) {
            // Plain PCM headers stop before cbSize.
            std::vector<uint8_t> chunk(bytes.begin() + static_cast<long>(at + 8),
                                       bytes.begin() + static_cast<long>(at + 8 + size));
            if (chunk.size() == 16)
                chunk.resize(18, 0);
            auto f = audiolib::readWaveFormat(chunk.data(), chunk.size());
            if (!f)
                return std::nullopt;
            h.format = *f;
            haveFormat = true;
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            h.dataSize = size;
            h.dataOffset = at + 8;
            return haveFormat ? std::optional(h) : std::nullopt;
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

} // namespace audiotest
