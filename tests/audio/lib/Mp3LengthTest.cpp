// An MP3's length comes from its info frame when it has one, and from
// counting its packets when not: both exact to the sample.
#include "audio/lib/AudioLib.h"
#include "audio/lib/ffmpeg/FileDecoder.h"
#include "audio/lib/ffmpeg/Mp3InfoTag.h"
#include "tests/audio/lib/SoundFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>

namespace audiolib {

TEST(Mp3Length, TheInfoFrameAndTheCountAgreeWithTheDecodedSound) {
    TempFolder dir;
    const auto wav = soundfiles::makeWav(dir, "source.wav");
    const auto tagged = dir / "tagged.mp3";
    const auto bare = dir / "bare.mp3";
    ASSERT_TRUE(soundfiles::run("lame --quiet -b 128 " + soundfiles::quoted(wav) + " " +
                                soundfiles::quoted(tagged)));
    ASSERT_TRUE(soundfiles::run("lame --quiet -t -b 128 " + soundfiles::quoted(wav) + " " +
                                soundfiles::quoted(bare)));

    std::ifstream in(tagged, std::ios::binary);
    const std::vector<uint8_t> head((std::istreambuf_iterator<char>(in)), {});
    ASSERT_TRUE(mp3InfoTagFrames(head.data(), head.size()).has_value());
    std::ifstream in2(bare, std::ios::binary);
    const std::vector<uint8_t> bareHead((std::istreambuf_iterator<char>(in2)), {});
    EXPECT_FALSE(mp3InfoTagFrames(bareHead.data(), bareHead.size()).has_value());

    for (const auto& file : {tagged, bare}) {
        int error = 0;
        auto decoder = FileDecoder::open(file.string(), FileDecoder::Container::Any, error);
        ASSERT_NE(decoder, nullptr) << file;
        uint64_t decoded = 0;
        std::vector<int16_t> buffer(8192);
        while (const size_t n = decoder->read(buffer.data(), 4096))
            decoded += n;
        EXPECT_EQ(decoder->lengthFrames(), decoded) << file;

        // Left for later, the count happens only where the file states none.
        auto later = FileDecoder::open(file.string(), FileDecoder::Container::Any, error,
                                       FileDecoder::Counting::Later);
        ASSERT_NE(later, nullptr);
        EXPECT_EQ(later->lengthFrames(), file == bare ? FileDecoder::kUnknownLength : decoded);
        uint64_t read = 0;
        while (const size_t n = later->read(buffer.data(), 4096))
            read += n;
        EXPECT_EQ(read, decoded) << "without a length it plays to the end";
        const std::atomic<bool> go{false}, stop{true};
        EXPECT_EQ(FileDecoder::countFrames(file.string(), go), decoded);
        EXPECT_FALSE(FileDecoder::countFrames(file.string(), stop));
    }
}

} // namespace audiolib
