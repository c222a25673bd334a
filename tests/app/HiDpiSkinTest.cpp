// The skin on a screen of device pixel ratio 2 (the test runs with
// QT_SCALE_FACTOR=2): drawn from the double-resolution artwork, which the
// skin painter makes and which is no enlargement of the 1x images.

#include "app/TfrmMain.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowFixture.h"
#include "ui/TBitmapButton.h"
#include "ui/TImage.h"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QImage skin(const QString& name) {
    QImage image;
    if (auto stream = TfrmMain::LoadResourceStream(name))
        image.loadFromData(stream->readAll());
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// What the control itself draws, on nothing, at the screen's ratio, in
// device pixels.
QImage shot(QWidget* w) {
    const qreal ratio = w->devicePixelRatioF();
    QImage image((QSizeF(w->size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    w->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    image.setDevicePixelRatio(1.0);
    return image;
}

class HiDpiSkin : public WindowFixture {};

TEST_F(HiDpiSkin, AtRatioTwoTheWindowIsDrawnFromTheDoubleResolutionArtwork) {
    installConfig();
    auto w = makeWindow();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    ASSERT_EQ(w->devicePixelRatioF(), 2.0);

    const QImage record2x = skin("recnormal@2x");
    ASSERT_EQ(record2x.size(), QSize(90, 90));
    EXPECT_EQ(shot(w->btnRecord), record2x) << "every device pixel from the 2x image";

    // The top bar's rounded corner, where nothing lies over the bar.
    const QRect corner(0, 0, 48, 80);
    EXPECT_EQ(shot(w->imgMain).copy(corner), skin("recordmain@2x").copy(corner));
}

// The spectrum is drawn in whole pixels: at ratio 2 each of its pixels is a
// block of 2x2 device pixels, as drawing it at device pixels gives, and no
// smoothed enlargement.
TEST_F(HiDpiSkin, TheSpectrumIsDrawnAtDevicePixels) {
    installConfig();
    auto w = makeWindow();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    const QSize size = w->imgSound->size();
    QImage frame(size, QImage::Format_RGBX8888);
    frame.fill(Qt::black);
    for (int y = size.height() / 2; y < size.height(); ++y)
        for (int x = 3; x < 8; ++x)
            frame.setPixelColor(x, y, Qt::white);
    w->imgSound->setPixelBitmap(frame);
    const QImage expected = frame.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                .scaled(size * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    EXPECT_EQ(shot(w->imgSound), expected);
}

TEST_F(HiDpiSkin, ThePainterMakesTheCommittedSkinAndThe2xSetIsNoEnlargement) {
    TempFolder out;
    const QString skinDir = QString::fromStdString((out / "skin").string());
    QProcess painter;
    // Drawn as it is for the commit, not on this test's scaled screen.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_SCALE_FACTOR"));
    painter.setProcessEnvironment(env);
    painter.start(QStringLiteral(TOVALINE_SKINPAINTER),
                  {skinDir, QString::fromStdString((out / "icons").string())});
    ASSERT_TRUE(painter.waitForFinished(60000));
    ASSERT_EQ(painter.exitCode(), 0);

    const QStringList painted = QDir(skinDir).entryList({"*.png"}, QDir::Files, QDir::Name);
    ASSERT_FALSE(painted.isEmpty());
    int hiRes = 0;
    for (const QString& file : painted) {
        const QString name = file.chopped(4);
        const QImage committed = skin(name);
        ASSERT_FALSE(committed.isNull()) << name.toStdString() << " is not embedded";
        QImage fresh(QDir(skinDir).filePath(file));
        EXPECT_EQ(committed, fresh.convertToFormat(QImage::Format_ARGB32_Premultiplied))
            << name.toStdString() << " differs from what the painter draws";
        if (!name.endsWith("@2x"))
            continue;
        ++hiRes;
        const QImage single = skin(name.chopped(3));
        EXPECT_EQ(committed.size(), single.size() * 2) << name.toStdString();
        EXPECT_NE(committed,
                  single.scaled(single.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation))
            << name.toStdString() << " is the 1x image pixel-doubled";
        EXPECT_NE(committed,
                  single.scaled(single.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation))
            << name.toStdString() << " is the 1x image smoothly enlarged";
    }
    EXPECT_EQ(hiRes, 22);
}

} // namespace
