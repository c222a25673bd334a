// The skin: embedded PNG images by name, loaded into the controls.

#include "app/TfrmMain.h"

#include "ui/TBitmapButton.h"
#include "ui/TImage.h"
#include "ui/TLayout.h"
#include "ui/TTabControl.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QIcon>

// Q_INIT_RESOURCE refers to the resource's symbol, which keeps the linker
// from dropping the skin out of the static library.
static void initSkinResource() {
    Q_INIT_RESOURCE(skin);
}

namespace {

constexpr auto kSkinFolder = ":/skin";

QString findSkinFile(const QString& name) {
    static const bool initialised = (initSkinResource(), true);
    (void)initialised;
    QDirIterator it(QString::fromLatin1(kSkinFolder), QDir::Files);
    while (it.hasNext()) {
        QFileInfo info(it.next());
        if (info.completeBaseName().compare(name, Qt::CaseInsensitive) == 0)
            return info.filePath();
    }
    return {};
}

// Each skin image may have one drawn at twice its resolution beside it, for
// screens of device pixel ratio 2.
QString hiResName(const QString& name) {
    return name + QStringLiteral("@2x");
}

// The 1x image first: it forgets the old 2x image, and a control or look
// whose 1x image is missing keeps both it had.
void loadImage(TImage* image, const QString& name) {
    auto stream = TfrmMain::LoadResourceStream(name);
    if (!stream || !image->loadFromStream(*stream))
        return;
    if (auto hiRes = TfrmMain::LoadResourceStream(hiResName(name)))
        image->loadFromStream(*hiRes, 2.0);
}

void loadLook(TBitmapButton* button, TBitmapButton::Look look, const QString& name) {
    auto stream = TfrmMain::LoadResourceStream(name);
    if (!stream || !button->loadImage(look, *stream))
        return;
    if (auto hiRes = TfrmMain::LoadResourceStream(hiResName(name)))
        button->loadImage(look, *hiRes, 2.0);
}

} // namespace

std::unique_ptr<QIODevice> TfrmMain::LoadResourceStream(const QString& Name) {
    if (Name.isEmpty())
        return nullptr;
    QString path = findSkinFile(Name);
    if (path.isEmpty())
        return nullptr;
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        return nullptr;
    return file;
}

void TfrmMain::LoadButtonSkin(TBitmapButton* button, const QString& normal, const QString& click) {
    using Look = TBitmapButton::Look;
    loadLook(button, Look::Normal, normal);
    loadLook(button, Look::Hot, normal);
    loadLook(button, Look::Down, click);
}

QIcon TfrmMain::ProgramIcon() {
    (void)findSkinFile(QString()); // makes sure the resource is registered
    QIcon icon;
    for (int size : {64, 48, 32, 24, 16})
        icon.addFile(QStringLiteral(":/icons/tovaline-%1.png").arg(size), QSize(size, size));
    return icon;
}

void TfrmMain::LoadSkin() {
    loadImage(imgMain, QStringLiteral("recordmain"));
    LoadButtonSkin(btnList, QStringLiteral("listnormal"), QStringLiteral("listclick"));
    LoadButtonSkin(btnOptions, QStringLiteral("optnormal"), QStringLiteral("optclick"));
    LoadButtonSkin(btnRecord, QStringLiteral("recnormal"), QStringLiteral("recclick"));
    LoadButtonSkin(btnRecStop, QStringLiteral("stopnormal"), QStringLiteral("stopclick"));
    LoadButtonSkin(btnClose, QStringLiteral("closenormal"), QStringLiteral("closeclick"));
    LoadButtonSkin(btnMinize, QStringLiteral("minnormal"), QStringLiteral("minclick"));
    loadImage(imgPanel, QStringLiteral("panelbg"));
    LoadButtonSkin(btnPlayStop, QStringLiteral("sstopnormal"), QStringLiteral("sstopclick"));
    LoadButtonSkin(btnPlay, QStringLiteral("playnormal"), QStringLiteral("playclick"));
    loadImage(imgSound, QStringLiteral("recorder"));

    imgPanel->resize(imgPanel->width(), 0);
    tcOptions->setGeometry(17, 17, 356, 227);
    imgPanel->move(7, 97);
    for (TLayout* ly : {lyWave, lyMP3, lyWMA, lyOGG})
        ly->setGeometry(16, 52, 323, 148);

    FillOptionLists();
}
