// Decoding files of every kind we play into 16-bit PCM: length, layout,
// sample-exact seeking, and refusal of what is not sound.
#include "audio/lib/ffmpeg/FileDecoder.h"
#include "audio/lib/AudioLib.h"
#include "tests/audio/lib/SoundFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace audiolib {
namespace {

using soundfiles::Kind;

class DecodeEachKind : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override {
        path_ = soundfiles::make(dir_, GetParam());
        ASSERT_FALSE(path_.empty()) << "encoder for " << soundfiles::nameOf(GetParam());
        int error = -1;
        decoder_ = FileDecoder::open(path_.string(), FileDecoder::Container::Any, error);
        ASSERT_TRUE(decoder_) << "error " << error;
        EXPECT_EQ(error, kOk);
    }

    std::vector<int16_t> readFrames(size_t frames) {
        std::vector<int16_t> out(frames * decoder_->channels());
        out.resize(decoder_->read(out.data(), frames) * decoder_->channels());
        return out;
    }

    TempFolder dir_;
    std::filesystem::path path_;
    std::unique_ptr<FileDecoder> decoder_;
};

TEST_P(DecodeEachKind, LengthRateAndLayoutMatchTheSource) {
    EXPECT_EQ(decoder_->rate(), soundfiles::kRate);
    EXPECT_EQ(decoder_->channels(), 2U);
    const uint64_t expected = static_cast<uint64_t>(soundfiles::kSeconds * soundfiles::kRate);
    const uint64_t slack = soundfiles::lengthSlack(GetParam());
    EXPECT_LE(decoder_->lengthFrames(), expected + slack);
    EXPECT_GE(decoder_->lengthFrames() + slack, expected);
    EXPECT_EQ(decoder_->fileSize(), std::filesystem::file_size(path_));
}

TEST_P(DecodeEachKind, ReadingToTheEndGivesExactlyTheLength) {
    uint64_t total = 0;
    std::vector<int16_t> block(4096 * 2);
    for (size_t got; (got = decoder_->read(block.data(), 4096)) > 0;) {
        total += got;
    }
    // Whatever the container claimed, playback must not end early or late
    // against the length it reported (WMA may fall one frame short).
    EXPECT_LE(total, decoder_->lengthFrames());
    EXPECT_GE(total + soundfiles::lengthSlack(GetParam()), decoder_->lengthFrames());
    EXPECT_EQ(decoder_->nextFrame(), total);
}

TEST_P(DecodeEachKind, TheToneStartsOneSecondIn) {
    const std::vector<int16_t> head = readFrames(soundfiles::kRate * 3 / 2);
    const long onset = soundfiles::onsetFrame(head, 2);
    ASSERT_GE(onset, 0);
    EXPECT_NEAR(static_cast<double>(onset) / soundfiles::kRate,
                soundfiles::onsetSeconds(GetParam()), 0.005);
}

TEST_P(DecodeEachKind, SeekLandsOnTheRequestedFrame) {
    // Forward, backward and back to the start: each time the onset must be
    // where the target says, i.e. the frames read are the file's frames.
    for (double target : {0.9, 0.25, 0.7, 0.0, 0.95}) {
        SCOPED_TRACE(target);
        const auto frame = static_cast<uint64_t>(target * soundfiles::kRate);
        ASSERT_TRUE(decoder_->seek(frame));
        EXPECT_EQ(decoder_->nextFrame(), frame);
        const std::vector<int16_t> part = readFrames(soundfiles::kRate * 3 / 2);
        const long onset = soundfiles::onsetFrame(part, 2);
        ASSERT_GE(onset, 0);
        EXPECT_NEAR(target + static_cast<double>(onset) / soundfiles::kRate,
                    soundfiles::onsetSeconds(GetParam()), 0.005);
    }
}

TEST_P(DecodeEachKind, SeekToTheEndReadsNothing) {
    ASSERT_TRUE(decoder_->seek(decoder_->lengthFrames()));
    EXPECT_TRUE(readFrames(1024).empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, DecodeEachKind,
                         ::testing::Values(Kind::Wav, Kind::ImaAdpcm, Kind::Mp3, Kind::Ogg,
                                           Kind::Wma),
                         [](const auto& info) { return soundfiles::nameOf(info.param); });

TEST(DecodeLayout, MonoStaysMonoAndSurroundBecomesStereo) {
    TempFolder dir;
    int error = -1;
    auto mono = FileDecoder::open(soundfiles::makeWav(dir, "mono.wav", 1).string(),
                                  FileDecoder::Container::Any, error);
    ASSERT_TRUE(mono);
    EXPECT_EQ(mono->channels(), 1U);
    EXPECT_EQ(mono->lengthFrames(), 3U * soundfiles::kRate);

    auto six = FileDecoder::open(soundfiles::makeWav(dir, "six.wav", 6).string(),
                                 FileDecoder::Container::Any, error);
    ASSERT_TRUE(six);
    EXPECT_EQ(six->channels(), 2U);
    ASSERT_TRUE(six->seek(2 * soundfiles::kRate));
    std::vector<int16_t> block(2 * 512);
    ASSERT_EQ(six->read(block.data(), 512), 512U);
    // The tone is on every channel: the mix keeps it clearly audible.
    EXPECT_GT(*std::max_element(block.begin(), block.end()), 8000);
}

TEST(DecodeLength, LongWmaDoesNotDriftWithItsMillisecondStamps) {
    TempFolder dir;
    const auto wma = dir / "long.wma";
    ASSERT_TRUE(soundfiles::run("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=30 "
                                "-ac 2 -ar 44100 -c:a wmav2 -b:a 128k " +
                                soundfiles::quoted(wma)));
    int error = -1;
    auto decoder = FileDecoder::open(wma.string(), FileDecoder::Container::AsfOnly, error);
    ASSERT_TRUE(decoder);
    const uint64_t expected = 30 * soundfiles::kRate;
    EXPECT_NEAR(static_cast<double>(decoder->lengthFrames()), static_cast<double>(expected),
                static_cast<double>(soundfiles::lengthSlack(Kind::Wma)));
}

TEST(DecodeLayout, TheFilesOwnRateIsKept) {
    TempFolder dir;
    const auto mp3 = dir / "low.mp3";
    ASSERT_TRUE(soundfiles::run("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=2 "
                                "-ac 1 -ar 22050 -c:a libmp3lame " +
                                soundfiles::quoted(mp3)));
    int error = -1;
    auto decoder = FileDecoder::open(mp3.string(), FileDecoder::Container::Any, error);
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->rate(), 22050U);
    EXPECT_EQ(decoder->channels(), 1U);
    EXPECT_NEAR(static_cast<double>(decoder->lengthFrames()) / 22050, 2.0, 0.03);
}

TEST(DecodeRefusal, WhatIsNotSoundIsRefusedWithAReason) {
    TempFolder dir;
    int error = kOk;
    EXPECT_FALSE(
        FileDecoder::open((dir / "missing.wav").string(), FileDecoder::Container::Any, error));
    EXPECT_EQ(error, kErrFileOpen);

    TempFolder::write(dir / "empty.mp3", "");
    EXPECT_FALSE(
        FileDecoder::open((dir / "empty.mp3").string(), FileDecoder::Container::Any, error));
    EXPECT_EQ(error, kErrDecode);

    std::string noise(64 * 1024, '\0');
    for (size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<char>((i * 7919U + (i >> 5) * 31U) & 0xFF);
    }
    TempFolder::write(dir / "noise.ogg", "OggS" + noise);
    EXPECT_FALSE(
        FileDecoder::open((dir / "noise.ogg").string(), FileDecoder::Container::Any, error));
    EXPECT_EQ(error, kErrDecode);

    TempFolder::write(dir / "text.wav", "RIFF\x10\0\0\0WAVEnot really a wave file");
    EXPECT_FALSE(
        FileDecoder::open((dir / "text.wav").string(), FileDecoder::Container::Any, error));
    EXPECT_EQ(error, kErrDecode);

    EXPECT_FALSE(FileDecoder::open(dir.path().string(), FileDecoder::Container::Any, error));
    EXPECT_NE(error, kOk);
}

TEST(DecodeRefusal, TheWmaEntryTakesOnlyAsf) {
    TempFolder dir;
    const auto mp3 = soundfiles::make(dir, Kind::Mp3);
    const auto wma = soundfiles::make(dir, Kind::Wma);
    ASSERT_FALSE(mp3.empty());
    ASSERT_FALSE(wma.empty());
    int error = kOk;
    EXPECT_FALSE(FileDecoder::open(mp3.string(), FileDecoder::Container::AsfOnly, error));
    EXPECT_EQ(error, kErrDecode);
    // Named like WMA, holding MP3: the content decides, not the name.
    std::filesystem::copy_file(mp3, dir / "fake.wma");
    EXPECT_FALSE(
        FileDecoder::open((dir / "fake.wma").string(), FileDecoder::Container::AsfOnly, error));
    EXPECT_TRUE(FileDecoder::open(wma.string(), FileDecoder::Container::AsfOnly, error));
    EXPECT_EQ(error, kOk);
}

} // namespace
} // namespace audiolib
