// Draws the window's skin and the program icon as PNG files into a folder.
// Every skin image is drawn twice: at its size, and at double resolution as
// <name>@2x.png for screens of device pixel ratio 2, from the same shapes, so
// the large set is artwork rather than enlarged pixels.
// Its output is committed in resources/; run it again after changing a look:
//   tovaline_skinpainter resources/skin resources/icons

#include <QConicalGradient>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>
#include <functional>

namespace {

using Painter = std::function<void(QPainter&, const QSizeF&)>;

// The painters work in the image's logical pixels; at a larger scale the
// painter's transform puts more device pixels under each of them.
QImage paint(int w, int h, const Painter& fn, int scale = 1) {
    QImage img(w * scale, h * scale, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (scale != 1)
        p.scale(scale, scale);
    fn(p, QSizeF(w, h));
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

QFont boldFont(int px) {
    QFont f;
    f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(px);
    f.setBold(true);
    return f;
}

const QColor kGlyph(0xE6, 0xE6, 0xE8);
const QColor kGlyphDown(0x8E, 0xC8, 0xFF);
const QColor kRecRed(0xE5, 0x39, 0x35);

// ---- top bar and panel ----------------------------------------------------

void drawTopBar(QPainter& p, const QSizeF&) {
    // The control shows 90 of the 92 rows; the bar lives in those 90.
    QRectF bar(0.5, 0.5, 390, 89);
    QLinearGradient g(0, 0, 0, 90);
    g.setColorAt(0.0, QColor(0xF2, 0xF2, 0xF4));
    g.setColorAt(0.5, QColor(0xDA, 0xDA, 0xDD));
    g.setColorAt(1.0, QColor(0xB9, 0xB9, 0xBD));
    p.setPen(QPen(QColor(0x7C, 0x7C, 0x82), 1));
    p.setBrush(g);
    p.drawRoundedRect(bar, 12, 12);
    // A bright line under the top edge gives the bar its bevel.
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(bar.adjusted(1, 1, -1, -1), 11, 11);

    // REC, engraved.
    p.setFont(boldFont(12));
    QRectF recBox(0, 6, 391, 16);
    p.setPen(QColor(255, 255, 255, 220));
    p.drawText(recBox.translated(0, 1), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("REC"));
    p.setPen(QColor(0x9A, 0x1C, 0x1C));
    p.drawText(recBox, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("REC"));

    // The slot holding the list and options buttons and the time.
    QRectF slot(19.5, 39.5, 192, 31);
    p.setPen(QPen(QColor(255, 255, 255, 230), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(slot.translated(0, 1), 15.5, 15.5);
    QLinearGradient sg(0, slot.top(), 0, slot.bottom());
    sg.setColorAt(0, QColor(0x1A, 0x1A, 0x1C));
    sg.setColorAt(1, QColor(0x34, 0x34, 0x38));
    p.setPen(QPen(QColor(0x6A, 0x6A, 0x70), 1));
    p.setBrush(sg);
    p.drawRoundedRect(slot, 15.5, 15.5);
    // Separator between buttons and time.
    p.setPen(QPen(QColor(0x50, 0x50, 0x55), 1));
    p.drawLine(QPointF(118.5, 45), QPointF(118.5, 65));

    // Wells for the record and stop buttons.
    auto well = [&](QPointF c, qreal r) {
        QRadialGradient rg(c + QPointF(0, -r * 0.3), r * 1.3);
        rg.setColorAt(0, QColor(0x8E, 0x8E, 0x94));
        rg.setColorAt(1, QColor(0x5C, 0x5C, 0x62));
        p.setPen(QPen(QColor(255, 255, 255, 220), 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c + QPointF(0, 1), r, r);
        p.setPen(QPen(QColor(0x55, 0x55, 0x5A), 1));
        p.setBrush(rg);
        p.drawEllipse(c, r, r);
    };
    well(QPointF(248.5, 52.5), 27);
    well(QPointF(311, 52), 24.5);
}

void drawPanel(QPainter& p, const QSizeF& s) {
    QPainterPath outline;
    const qreal r = 12;
    QRectF box(0.5, 0, s.width() - 1, s.height() - 0.5);
    outline.moveTo(box.topLeft());
    outline.lineTo(box.topRight());
    outline.lineTo(box.right(), box.bottom() - r);
    outline.quadTo(box.bottomRight(), QPointF(box.right() - r, box.bottom()));
    outline.lineTo(box.left() + r, box.bottom());
    outline.quadTo(box.bottomLeft(), QPointF(box.left(), box.bottom() - r));
    outline.closeSubpath();
    QLinearGradient g(0, 0, 0, s.height());
    g.setColorAt(0, QColor(0x2C, 0x2C, 0x2F));
    g.setColorAt(1, QColor(0x3A, 0x3A, 0x3E));
    p.setPen(QPen(QColor(0x18, 0x18, 0x1A), 1));
    p.setBrush(g);
    p.drawPath(outline);
    // Shadow that the top bar casts on the panel.
    QLinearGradient shade(0, 0, 0, 8);
    shade.setColorAt(0, QColor(0, 0, 0, 110));
    shade.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(1, 0, s.width() - 2, 8), shade);

    // The player area, lighter.
    QRectF player(214.5, 38.5, 157, 185);
    QLinearGradient pg(0, player.top(), 0, player.bottom());
    pg.setColorAt(0, QColor(0x52, 0x52, 0x57));
    pg.setColorAt(1, QColor(0x44, 0x44, 0x49));
    p.setPen(QPen(QColor(0x1C, 0x1C, 0x1E), 1));
    p.setBrush(pg);
    p.drawRoundedRect(player, 9, 9);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(player.adjusted(1, 1, -1, -1), 8, 8);
}

// ---- buttons ---------------------------------------------------------------

enum class Round { Left, Right };

void halfPill(QPainter& p, const QSizeF& s, Round side, bool down) {
    QRectF b(0.5, 0.5, s.width() - 1, s.height() - 1);
    const qreal r = b.height() / 2;
    QPainterPath path;
    if (side == Round::Left) {
        path.moveTo(b.right(), b.top());
        path.lineTo(b.left() + r, b.top());
        path.arcTo(QRectF(b.left(), b.top(), 2 * r, 2 * r), 90, 180);
        path.lineTo(b.right(), b.bottom());
    } else {
        path.moveTo(b.left(), b.top());
        path.lineTo(b.right() - r, b.top());
        path.arcTo(QRectF(b.right() - 2 * r, b.top(), 2 * r, 2 * r), 90, -180);
        path.lineTo(b.left(), b.bottom());
    }
    path.closeSubpath();
    QLinearGradient g(0, 0, 0, s.height());
    g.setColorAt(0, down ? QColor(0x1C, 0x1C, 0x1F) : QColor(0x5A, 0x5A, 0x60));
    g.setColorAt(1, down ? QColor(0x33, 0x33, 0x37) : QColor(0x2A, 0x2A, 0x2E));
    p.setPen(QPen(QColor(0x0E, 0x0E, 0x10), 1));
    p.setBrush(g);
    p.drawPath(path);
    if (!down) {
        p.setPen(QPen(QColor(255, 255, 255, 50), 1));
        p.drawLine(QPointF(side == Round::Left ? r : 1.5, 1.5),
                   QPointF(side == Round::Left ? s.width() - 1.5 : s.width() - r, 1.5));
    }
}

QPointF pillCentre(const QSizeF& s, Round side) {
    return QPointF(s.width() / 2 + (side == Round::Left ? 1.5 : -1.5), s.height() / 2);
}

void listGlyph(QPainter& p, QPointF c, QColor col) {
    p.setPen(Qt::NoPen);
    p.setBrush(col);
    for (int i = -1; i <= 1; ++i) {
        p.drawRect(QRectF(c.x() - 6, c.y() + i * 4 - 1, 2, 2));
        p.drawRect(QRectF(c.x() - 3, c.y() + i * 4 - 1, 9, 2));
    }
}

void gearGlyph(QPainter& p, QPointF c, QColor col) {
    p.save();
    p.translate(c);
    p.setPen(Qt::NoPen);
    p.setBrush(col);
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.rotate(i * 45.0);
        p.drawRoundedRect(QRectF(-1.3, -6.5, 2.6, 3.5), 0.6, 0.6);
        p.restore();
    }
    QPainterPath ring;
    ring.addEllipse(QPointF(0, 0), 4.6, 4.6);
    ring.addEllipse(QPointF(0, 0), 1.9, 1.9);
    p.drawPath(ring);
    p.restore();
}

void squareGlyph(QPainter& p, QPointF c, qreal half, QColor col) {
    p.setPen(Qt::NoPen);
    p.setBrush(col);
    p.drawRoundedRect(QRectF(c.x() - half, c.y() - half, 2 * half, 2 * half), 1, 1);
}

void playGlyph(QPainter& p, QPointF c, QColor col) {
    QPainterPath tri;
    tri.moveTo(c.x() - 3.5, c.y() - 5);
    tri.lineTo(c.x() + 5, c.y());
    tri.lineTo(c.x() - 3.5, c.y() + 5);
    tri.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(col);
    p.drawPath(tri);
}

void barsGlyph(QPainter& p, QPointF c, qreal h, qreal w, qreal gap, QColor col) {
    p.setPen(Qt::NoPen);
    p.setBrush(col);
    p.drawRoundedRect(QRectF(c.x() - gap / 2 - w, c.y() - h / 2, w, h), 1, 1);
    p.drawRoundedRect(QRectF(c.x() + gap / 2, c.y() - h / 2, w, h), 1, 1);
}

void roundButton(QPainter& p, const QSizeF& s, bool down) {
    QPointF c(s.width() / 2, s.height() / 2);
    const qreal r = s.width() / 2 - 1;
    QRadialGradient g(c + QPointF(0, -r * 0.5), r * 1.6);
    g.setColorAt(0, down ? QColor(0x2A, 0x2A, 0x2E) : QColor(0x6A, 0x6A, 0x72));
    g.setColorAt(0.6, down ? QColor(0x1C, 0x1C, 0x1F) : QColor(0x38, 0x38, 0x3D));
    g.setColorAt(1, down ? QColor(0x14, 0x14, 0x16) : QColor(0x24, 0x24, 0x27));
    p.setPen(QPen(QColor(0x0C, 0x0C, 0x0E), 1.2));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    p.setPen(QPen(QColor(255, 255, 255, down ? 25 : 70), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r - 1.5, r - 1.5);
}

void recDot(QPainter& p, QPointF c, qreal r, bool down) {
    QRadialGradient g(c + QPointF(-r * 0.3, -r * 0.4), r * 1.4);
    g.setColorAt(0, down ? QColor(0xC0, 0x40, 0x3C) : QColor(0xFF, 0x8A, 0x80));
    g.setColorAt(0.5, down ? QColor(0x9A, 0x20, 0x1E) : kRecRed);
    g.setColorAt(1, down ? QColor(0x6A, 0x12, 0x10) : QColor(0xA8, 0x1E, 0x1C));
    p.setPen(QPen(QColor(0x40, 0x08, 0x08), 0.8));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

void tile(QPainter& p, const QSizeF& s, bool down) {
    QLinearGradient g(0, 0, 0, s.height());
    g.setColorAt(0, down ? QColor(0x1C, 0x1C, 0x1F) : QColor(0x5C, 0x5C, 0x62));
    g.setColorAt(1, down ? QColor(0x30, 0x30, 0x34) : QColor(0x2C, 0x2C, 0x30));
    p.setPen(QPen(QColor(0x10, 0x10, 0x12), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, s.width() - 1, s.height() - 1), 2.5, 2.5);
}

// ---- the disc -------------------------------------------------------------

void drawDisc(QPainter& p, const QSizeF& s) {
    QPointF c(s.width() / 2, s.height() / 2);
    const qreal R = s.width() / 2 - 4;
    QPainterPath disc;
    disc.addEllipse(c, R, R);
    disc.addEllipse(c, R * 0.09, R * 0.09);
    // Silver base, then the rainbow sheen of the data side.
    QRadialGradient base(c, R);
    base.setColorAt(0, QColor(0xE8, 0xE8, 0xEC));
    base.setColorAt(1, QColor(0xB4, 0xB6, 0xBE));
    p.setPen(QPen(QColor(0x70, 0x72, 0x7A), 2));
    p.setBrush(base);
    p.drawPath(disc);
    QConicalGradient sheen(c, 35);
    const QColor stops[] = {
        QColor(255, 255, 255, 0),   QColor(120, 200, 255, 120), QColor(200, 120, 255, 110),
        QColor(255, 255, 255, 150), QColor(255, 230, 120, 120), QColor(120, 255, 180, 100),
        QColor(255, 255, 255, 0),   QColor(120, 200, 255, 120), QColor(255, 160, 200, 110),
        QColor(255, 255, 255, 150), QColor(255, 230, 120, 110), QColor(255, 255, 255, 0)};
    const int n = static_cast<int>(std::size(stops));
    for (int i = 0; i < n; ++i)
        sheen.setColorAt(static_cast<qreal>(i) / (n - 1), stops[i]);
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawPath(disc);
    // Fine tracks.
    p.setBrush(Qt::NoBrush);
    for (qreal t = R * 0.36; t < R - 3; t += 6) {
        p.setPen(QPen(QColor(255, 255, 255, 28), 1));
        p.drawEllipse(c, t, t);
    }
    // The clear hub and the clamping ring.
    QPainterPath hub;
    hub.addEllipse(c, R * 0.33, R * 0.33);
    hub.addEllipse(c, R * 0.09, R * 0.09);
    p.setPen(QPen(QColor(0x8A, 0x8C, 0x94), 1.5));
    p.setBrush(QColor(0xD8, 0xDA, 0xE0, 200));
    p.drawPath(hub);
    p.setPen(QPen(QColor(0x9A, 0x9C, 0xA4), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, R * 0.2, R * 0.2);
    p.drawEllipse(c, R * 0.09, R * 0.09);
}

// ---- the program icon -----------------------------------------------------

void drawIcon(QPainter& p, const QSizeF& s) {
    const qreal w = s.width();
    QRectF body(w * 0.04, w * 0.04, w * 0.92, w * 0.92);
    QLinearGradient g(0, body.top(), 0, body.bottom());
    g.setColorAt(0, QColor(0x5A, 0x5A, 0x62));
    g.setColorAt(1, QColor(0x1E, 0x1E, 0x22));
    p.setPen(w >= 24 ? QPen(QColor(0x0C, 0x0C, 0x0E), std::max(1.0, w / 40)) : Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(body, w * 0.2, w * 0.2);
    QPointF c(w / 2, w / 2);
    if (w >= 32) {
        p.setPen(QPen(QColor(0xE0, 0xE0, 0xE4), w / 16));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, w * 0.3, w * 0.3);
    }
    recDot(p, c, w >= 32 ? w * 0.19 : w * 0.27, false);
}

bool save(const QImage& img, const QString& folder, const QString& name) {
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <skin folder> <icon folder>\n", argv[0]);
        return 2;
    }
    const QString skin = QString::fromLocal8Bit(argv[1]);
    const QString icons = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(skin);
    QDir().mkpath(icons);

    struct Item {
        const char* name;
        int w, h;
        Painter fn;
        // A picture fitted into a smaller control already has more pixels
        // than a 2x screen shows of it.
        bool twice = true;
    };
    auto pill = [](Round side, bool down, std::function<void(QPainter&, QPointF, QColor)> glyph) {
        return [=](QPainter& p, const QSizeF& s) {
            halfPill(p, s, side, down);
            glyph(p, pillCentre(s, side), down ? kGlyphDown : kGlyph);
        };
    };
    auto round = [](bool down, std::function<void(QPainter&, QPointF)> glyph) {
        return [=](QPainter& p, const QSizeF& s) {
            roundButton(p, s, down);
            glyph(p, QPointF(s.width() / 2, s.height() / 2 + (down ? 0.5 : 0)));
        };
    };
    auto tileWith = [](bool down, std::function<void(QPainter&, const QSizeF&, QColor)> glyph) {
        return [=](QPainter& p, const QSizeF& s) {
            tile(p, s, down);
            glyph(p, s, down ? kGlyphDown : kGlyph);
        };
    };
    auto minGlyph = [](QPainter& p, const QSizeF& s, QColor col) {
        p.setPen(Qt::NoPen);
        p.setBrush(col);
        p.drawRect(QRectF(3, s.height() - 5, s.width() - 6, 2));
    };
    auto closeGlyph = [](QPainter& p, const QSizeF& s, QColor col) {
        p.setPen(QPen(col, 1.6, Qt::SolidLine, Qt::RoundCap));
        const qreal cx = s.width() / 2, cy = s.height() / 2;
        p.drawLine(QPointF(cx - 3, cy - 3), QPointF(cx + 3, cy + 3));
        p.drawLine(QPointF(cx + 3, cy - 3), QPointF(cx - 3, cy + 3));
    };
    auto pause = [](QPainter& p, QPointF c, QColor col) { barsGlyph(p, c, 10, 3, 3, col); };

    const std::vector<Item> items = {
        {"recordmain", 391, 92, drawTopBar},
        {"panelbg", 391, 256, drawPanel},
        {"listnormal", 43, 19, pill(Round::Left, false, listGlyph)},
        {"listclick", 43, 19, pill(Round::Left, true, listGlyph)},
        {"optnormal", 43, 19, pill(Round::Right, false, gearGlyph)},
        {"optclick", 43, 19, pill(Round::Right, true, gearGlyph)},
        {"recnormal", 45, 45, round(false, [](QPainter& p, QPointF c) { recDot(p, c, 9, false); })},
        {"recclick", 45, 45, round(true, [](QPainter& p, QPointF c) { recDot(p, c, 9, true); })},
        {"pausenormal", 45, 45,
         round(false, [](QPainter& p, QPointF c) { barsGlyph(p, c, 16, 5, 5, kGlyph); })},
        {"pauseclick", 45, 45,
         round(true, [](QPainter& p, QPointF c) { barsGlyph(p, c, 16, 5, 5, kGlyphDown); })},
        {"stopnormal", 40, 40,
         round(false, [](QPainter& p, QPointF c) { squareGlyph(p, c, 7, kGlyph); })},
        {"stopclick", 40, 40,
         round(true, [](QPainter& p, QPointF c) { squareGlyph(p, c, 7, kGlyphDown); })},
        {"minnormal", 13, 15, tileWith(false, minGlyph)},
        {"minclick", 13, 15, tileWith(true, minGlyph)},
        {"closenormal", 13, 15, tileWith(false, closeGlyph)},
        {"closeclick", 13, 15, tileWith(true, closeGlyph)},
        {"sstopnormal", 43, 19,
         pill(Round::Left, false,
              [](QPainter& p, QPointF c, QColor col) { squareGlyph(p, c, 4, col); })},
        {"sstopclick", 43, 19,
         pill(Round::Left, true,
              [](QPainter& p, QPointF c, QColor col) { squareGlyph(p, c, 4, col); })},
        {"playnormal", 43, 19, pill(Round::Right, false, playGlyph)},
        {"playclick", 43, 19, pill(Round::Right, true, playGlyph)},
        {"spausenormal", 43, 19, pill(Round::Right, false, pause)},
        {"spauseclick", 43, 19, pill(Round::Right, true, pause)},
        {"recorder", 256, 256, drawDisc, false},
    };
    bool ok = true;
    for (const Item& it : items) {
        const QString name = QString::fromLatin1(it.name);
        ok &= save(paint(it.w, it.h, it.fn), skin, name);
        if (it.twice)
            ok &= save(paint(it.w, it.h, it.fn, 2), skin, name + QStringLiteral("@2x"));
    }
    for (int size : {64, 48, 32, 24, 16})
        ok &= save(paint(size, size, drawIcon), icons, QStringLiteral("tovaline-%1").arg(size));
    return ok ? 0 : 1;
}
