#include "ui/SoundFormatDialog.h"
#include "audio/WaveFormatBlock.h"
#include "tests/support/QtFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <vector>

namespace {

class SoundFormatDialogTest : public QtFixture {
protected:
    static std::vector<uint8_t> pcmBlock(uint16_t ch, uint16_t bits, uint32_t rate) {
        std::vector<uint8_t> block(64, 0);
        audiolib::writeWaveFormat(audiolib::pcmWaveFormat(ch, bits, rate), block.data(),
                                  block.size());
        return block;
    }

    // Answers the next modal dialog once it is up.
    static void answerNextDialog(bool accept, int formatIndex = -1) {
        QTimer::singleShot(0, [=] {
            auto* dialog = qobject_cast<SoundFormatDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            if (formatIndex >= 0)
                dialog->formatBox()->setCurrentIndex(formatIndex);
            accept ? dialog->accept() : dialog->reject();
        });
    }
};

} // namespace

TEST_F(SoundFormatDialogTest, PreselectsTheBlocksFormat) {
    auto block = pcmBlock(1, 8, 8000);
    SoundFormatDialog dialog(block.data(), block.size());
    EXPECT_EQ(dialog.windowTitle(), "Sound Format");
    EXPECT_EQ(dialog.formatTag(), audiolib::kWavePcm);
    EXPECT_EQ(dialog.bitsPerSample(), 8);
    EXPECT_EQ(dialog.sampleRate(), 8000u);
    EXPECT_EQ(dialog.channels(), 1);
    EXPECT_EQ(dialog.attributesText(), "8000 Hz, 8 Bit, Mono, 8 kB/s");

    auto stereo = pcmBlock(2, 24, 22050);
    SoundFormatDialog d2(stereo.data(), stereo.size());
    EXPECT_EQ(d2.bitsPerSample(), 24);
    EXPECT_EQ(d2.sampleRate(), 22050u);
    EXPECT_EQ(d2.channels(), 2);
}

TEST_F(SoundFormatDialogTest, UnlistedValuesFallBackSensibly) {
    auto block = pcmBlock(2, 12, 47000);
    SoundFormatDialog dialog(block.data(), block.size());
    EXPECT_EQ(dialog.sampleRate(), 44100u) << "nearest listed rate";
    EXPECT_EQ(dialog.bitsPerSample(), 16);

    std::vector<uint8_t> empty(4, 0);
    SoundFormatDialog fromNothing(empty.data(), empty.size());
    EXPECT_EQ(fromNothing.formatBox()->count(), 0) << "no codec fits a 4-byte block";
}

TEST_F(SoundFormatDialogTest, SmallBlocksOnlyOfferCodecsThatFit) {
    auto block = pcmBlock(2, 16, 44100);
    SoundFormatDialog dialog(block.data(), 20);
    QStringList names;
    for (int i = 0; i < dialog.formatBox()->count(); ++i)
        names << dialog.formatBox()->itemText(i);
    EXPECT_EQ(names, QStringList({"PCM", "A-law", "u-law", "IMA ADPCM"}));
}

TEST_F(SoundFormatDialogTest, OkWritesTheChoiceCancelLeavesTheBlock) {
    auto block = pcmBlock(1, 16, 22050);
    answerNextDialog(true, 3); // IMA ADPCM
    ASSERT_TRUE(SoundFormatDialog::run(nullptr, block.data(), block.size(), nullptr));
    const auto h = audiolib::readWaveFormat(block.data(), block.size());
    ASSERT_TRUE(h);
    EXPECT_EQ(h->formatTag, audiolib::kWaveImaAdpcm);
    EXPECT_EQ(h->channels, 1);
    EXPECT_EQ(h->samplesPerSec, 22050u);
    EXPECT_EQ(h->extra.size(), 2u);

    auto before = block;
    answerNextDialog(false, 1);
    EXPECT_FALSE(SoundFormatDialog::run(nullptr, block.data(), block.size(), "Pick"));
    EXPECT_EQ(block, before);
}

TEST_F(SoundFormatDialogTest, SampleSizeOnlyForPcm) {
    auto block = pcmBlock(2, 16, 44100);
    SoundFormatDialog dialog(block.data(), block.size());
    EXPECT_TRUE(dialog.bitsBox()->isEnabled());
    dialog.formatBox()->setCurrentIndex(1);
    EXPECT_FALSE(dialog.bitsBox()->isEnabled());
    EXPECT_EQ(dialog.attributesText(), "44100 Hz, 8 Bit, Stereo, 88 kB/s");
}
