#include "app/CodecDialogHook.h"

#include "audio/lib/AudioLib.h"
#include "ui/SoundFormatDialog.h"

#include <QPointer>
#include <QWidget>

void InstallCodecDialogHook(QWidget* parent) {
    QPointer<QWidget> owner(parent);
    audiolib::setCodecDialogHook([owner](void* form, uint32_t formlen, const char* title) {
        return SoundFormatDialog::run(owner.data(), form, formlen, title);
    });
}

void RemoveCodecDialogHook() {
    audiolib::setCodecDialogHook(nullptr);
}
