#include "ui/SoundFormatDialog.h"

#include "audio/WaveFormatBlock.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <cstdlib>
#include <vector>

namespace {

struct Codec {
    const char* name;
    uint16_t tag;
};

constexpr std::array<Codec, 5> kCodecs{{
    {"PCM", audiolib::kWavePcm},
    {"A-law", audiolib::kWaveALaw},
    {"u-law", audiolib::kWaveMuLaw},
    {"IMA ADPCM", audiolib::kWaveImaAdpcm},
    {"MS ADPCM", audiolib::kWaveMsAdpcm},
}};

constexpr std::array<uint32_t, 6> kRates{8000, 11025, 16000, 22050, 32000, 44100};
constexpr std::array<uint16_t, 3> kBits{8, 16, 24};

// Room enough for every codec's record, so the fit check asks only the codec.
constexpr size_t kScratch = 64;

bool codecFits(uint16_t tag, size_t blockSize) {
    std::array<uint8_t, kScratch> scratch{};
    size_t need = wavefmt::writeCodecBlock(scratch.data(), scratch.size(), tag, 2, 16, 44100);
    return need != 0 && need <= blockSize;
}

} // namespace

SoundFormatDialog::SoundFormatDialog(const void* block, size_t blockSize, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Sound Format"));
    setModal(true);

    FFormat = new QComboBox(this);
    for (const Codec& c : kCodecs)
        if (codecFits(c.tag, blockSize))
            FFormat->addItem(QString::fromLatin1(c.name), c.tag);
    FBits = new QComboBox(this);
    for (uint16_t b : kBits)
        FBits->addItem(QStringLiteral("%1 Bit").arg(b), b);
    FRate = new QComboBox(this);
    for (uint32_t r : kRates)
        FRate->addItem(QStringLiteral("%1 Hz").arg(r), r);
    FChannels = new QComboBox(this);
    FChannels->addItem(QStringLiteral("Mono"), 1);
    FChannels->addItem(QStringLiteral("Stereo"), 2);
    FAttributes = new QLabel(this);
    FButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Format:"), FFormat);
    form->addRow(QStringLiteral("Sample size:"), FBits);
    form->addRow(QStringLiteral("Sample rate:"), FRate);
    form->addRow(QStringLiteral("Channels:"), FChannels);
    form->addRow(QStringLiteral("Attributes:"), FAttributes);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(FButtons);

    connect(FButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(FButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QComboBox* box : {FFormat, FBits, FRate, FChannels})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { updateControls(); });

    preselect(block, blockSize);
    updateControls();
}

void SoundFormatDialog::preselect(const void* block, size_t blockSize) {
    const audiolib::WaveFormat head =
        audiolib::readWaveFormat(block, blockSize).value_or(audiolib::pcmWaveFormat(2, 16, 44100));

    int f = FFormat->findData(head.formatTag);
    FFormat->setCurrentIndex(f >= 0 ? f : 0);
    int b = FBits->findData(head.bitsPerSample);
    FBits->setCurrentIndex(b >= 0 ? b : FBits->findData(16));
    FChannels->setCurrentIndex(head.channels == 1 ? 0 : 1);

    // A rate we do not list gets the nearest one we do.
    int best = static_cast<int>(kRates.size()) - 1;
    long bestDistance = -1;
    for (size_t i = 0; i < kRates.size(); ++i) {
        long d = std::labs(static_cast<long>(kRates[i]) - static_cast<long>(head.samplesPerSec));
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    FRate->setCurrentIndex(best);
}

uint16_t SoundFormatDialog::formatTag() const {
    return static_cast<uint16_t>(FFormat->currentData().toUInt());
}

uint16_t SoundFormatDialog::bitsPerSample() const {
    return static_cast<uint16_t>(FBits->currentData().toUInt());
}

uint32_t SoundFormatDialog::sampleRate() const {
    return FRate->currentData().toUInt();
}

uint16_t SoundFormatDialog::channels() const {
    return static_cast<uint16_t>(FChannels->currentData().toUInt());
}

void SoundFormatDialog::updateControls() {
    // Only PCM stores a choice of sample size; the others fix their own.
    FBits->setEnabled(formatTag() == audiolib::kWavePcm);
    FAttributes->setText(attributesText());
    FButtons->button(QDialogButtonBox::Ok)->setEnabled(FFormat->count() > 0);
}

QString SoundFormatDialog::attributesText() const {
    std::array<uint8_t, kScratch> scratch{};
    const size_t n = wavefmt::writeCodecBlock(scratch.data(), scratch.size(), formatTag(),
                                              channels(), bitsPerSample(), sampleRate());
    const auto h = audiolib::readWaveFormat(scratch.data(), n);
    if (n == 0 || !h)
        return {};
    return QStringLiteral("%1 Hz, %2 Bit, %3, %4 kB/s")
        .arg(h->samplesPerSec)
        .arg(h->bitsPerSample)
        .arg(h->channels == 1 ? QStringLiteral("Mono") : QStringLiteral("Stereo"))
        .arg((h->avgBytesPerSec + 500) / 1000);
}

bool SoundFormatDialog::writeChoice(void* block, size_t blockSize) const {
    return wavefmt::writeCodecBlock(block, blockSize, formatTag(), channels(), bitsPerSample(),
                                    sampleRate()) != 0;
}

bool SoundFormatDialog::run(QWidget* parent, void* block, size_t blockSize, const char* title) {
    SoundFormatDialog dialog(block, blockSize, parent);
    if (title != nullptr && *title != '\0')
        dialog.setWindowTitle(QString::fromUtf8(title));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return dialog.writeChoice(block, blockSize);
}
