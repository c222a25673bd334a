#pragma once
// The "Sound Format" dialog: the codec, sample size, rate and channels of a
// WAV recording, read from and written into a WAVEFORMATEX block. The audio
// layer reaches it through the codec dialog hook the application installs,
// so the layer itself never depends on widgets.

#include <QDialog>
#include <cstddef>
#include <cstdint>

class QComboBox;
class QLabel;
class QDialogButtonBox;

class SoundFormatDialog : public QDialog {
    Q_OBJECT
public:
    // Preselects the block's format; blockSize limits which codecs are offered
    // (a codec whose record does not fit the block is left out).
    SoundFormatDialog(const void* block, size_t blockSize, QWidget* parent = nullptr);

    // Writes the current choice into the block; false when it does not fit.
    bool writeChoice(void* block, size_t blockSize) const;

    uint16_t formatTag() const;
    uint16_t bitsPerSample() const;
    uint32_t sampleRate() const;
    uint16_t channels() const;
    // The text under the choice, e.g. "44100 Hz, 16 Bit, Stereo, 172 kB/s".
    QString attributesText() const;

    QComboBox* formatBox() const { return FFormat; }
    QComboBox* bitsBox() const { return FBits; }
    QComboBox* rateBox() const { return FRate; }
    QComboBox* channelsBox() const { return FChannels; }

    // Modal: shows the dialog for the block and writes the choice into it on
    // OK. False on Cancel, block untouched.
    static bool run(QWidget* parent, void* block, size_t blockSize, const char* title);

private:
    void preselect(const void* block, size_t blockSize);
    void updateControls();

    QComboBox* FFormat = nullptr;
    QComboBox* FBits = nullptr;
    QComboBox* FRate = nullptr;
    QComboBox* FChannels = nullptr;
    QLabel* FAttributes = nullptr;
    QDialogButtonBox* FButtons = nullptr;
};
