// Paints Dorvane's pictures: the start-up splash, the phone book window
// background and the application icon. Everything is drawn with QPainter,
// so the files in src/resources/pictures can be rebuilt whenever needed.
//
// Usage: make_pictures [output-folder]   (default: src/resources/pictures)

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <cstdio>

namespace {

const QColor kDeepBlue(0x1d, 0x3f, 0x6e);
const QColor kMidBlue(0x2f, 0x6d, 0xa8);
const QColor kPaper(0xfb, 0xf8, 0xf0);
const QColor kCover(0xb5, 0x44, 0x2c);
const QColor kCoverDark(0x7e, 0x2b, 0x1b);
const QColor kHandset(0x26, 0x2f, 0x3a);

// A classic telephone handset, drawn in a box of (w x h) centred on the origin,
// lying horizontally with the ear and mouth pieces pointing down.
QPainterPath handsetPath(qreal w, qreal h) {
    QPainterPath p;
    const qreal x0 = -w / 2, x1 = w / 2;
    const qreal top = -h / 2, bottom = h / 2;
    const qreal cupW = w * 0.30; // width of each cup
    const qreal barH = h * 0.36; // thickness of the grip

    p.moveTo(x0 + w * 0.06, top + barH * 0.5);
    // grip, curved slightly upward in the middle
    p.cubicTo(x0 + w * 0.30, top - h * 0.06, x1 - w * 0.30, top - h * 0.06, x1 - w * 0.06, top + barH * 0.5);
    // right cup outer edge
    p.cubicTo(x1 + w * 0.02, top + barH * 0.9, x1, bottom - h * 0.10, x1 - w * 0.02, bottom);
    p.lineTo(x1 - cupW, bottom);
    p.cubicTo(x1 - cupW, bottom - h * 0.25, x1 - cupW + w * 0.02, top + barH * 1.1, x1 - cupW - w * 0.04,
              top + barH);
    // underside of the grip
    p.cubicTo(x0 + w * 0.55, top + barH * 0.75, x0 + w * 0.45, top + barH * 0.75, x0 + cupW + w * 0.04,
              top + barH);
    // left cup
    p.cubicTo(x0 + cupW - w * 0.02, top + barH * 1.1, x0 + cupW, bottom - h * 0.25, x0 + cupW, bottom);
    p.lineTo(x0 + w * 0.02, bottom);
    p.cubicTo(x0, bottom - h * 0.10, x0 - w * 0.02, top + barH * 0.9, x0 + w * 0.06, top + barH * 0.5);
    p.closeSubpath();
    return p;
}

// An open address book seen from the front: two slightly tilted pages on a
// cover, with an A-Z index strip on the right page. Drawn into rect r.
void drawOpenBook(QPainter& p, const QRectF& r, bool detailed) {
    const qreal w = r.width(), h = r.height();
    const QPointF c = r.center();

    // cover behind the pages
    QPainterPath cover;
    cover.addRoundedRect(QRectF(r.left(), r.top() + h * 0.10, w, h * 0.90), w * 0.04, w * 0.04);
    QLinearGradient cg(r.topLeft(), r.bottomLeft());
    cg.setColorAt(0, kCover);
    cg.setColorAt(1, kCoverDark);
    p.setPen(Qt::NoPen);
    p.setBrush(cg);
    p.drawPath(cover);

    // left and right pages, meeting at the spine with a gentle curve
    auto page = [&](bool left) {
        QPainterPath pg;
        const qreal sx = c.x();
        const qreal edge = left ? r.left() + w * 0.05 : r.right() - w * 0.05;
        const qreal topY = r.top() + h * 0.04;
        const qreal botY = r.bottom() - h * 0.07;
        pg.moveTo(sx, topY + h * 0.08);
        pg.cubicTo(sx + (edge - sx) * 0.35, topY - h * 0.02, sx + (edge - sx) * 0.7, topY, edge,
                   topY + h * 0.02);
        pg.lineTo(edge, botY);
        pg.cubicTo(sx + (edge - sx) * 0.7, botY - h * 0.02, sx + (edge - sx) * 0.35, botY - h * 0.04, sx,
                   botY + h * 0.02);
        pg.closeSubpath();
        return pg;
    };
    for (bool left : {true, false}) {
        QLinearGradient pgGrad(QPointF(c.x(), 0), QPointF(left ? r.left() : r.right(), 0));
        pgGrad.setColorAt(0, kPaper.darker(118));
        pgGrad.setColorAt(0.18, kPaper);
        pgGrad.setColorAt(1, kPaper.darker(103));
        p.setBrush(pgGrad);
        p.setPen(QPen(kPaper.darker(135), qMax<qreal>(1.0, w * 0.006)));
        p.drawPath(page(left));
    }

    // ruled entry lines on both pages
    const int lines = detailed ? 6 : 3;
    const qreal lineW = qMax<qreal>(1.0, w * (detailed ? 0.007 : 0.02));
    p.setPen(QPen(QColor(0x6a, 0x8c, 0xb8, detailed ? 200 : 230), lineW, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < lines; ++i) {
        const qreal y = r.top() + h * (0.26 + 0.56 * i / qMax(1, lines - 1) * (lines > 1 ? 1 : 0));
        const qreal lenL = (i % 2 == 0) ? 0.34 : 0.26;
        p.drawLine(QPointF(r.left() + w * 0.12, y), QPointF(r.left() + w * (0.12 + lenL), y));
        const qreal lenR = (i % 3 == 1) ? 0.22 : 0.28;
        p.drawLine(QPointF(c.x() + w * 0.08, y), QPointF(c.x() + w * (0.08 + lenR), y));
    }

    // index tabs sticking out of the right page
    if (detailed) {
        const QColor tabColours[] = {QColor(0xe9, 0xb9, 0x3c), QColor(0x5b, 0xa8, 0x6a),
                                     QColor(0x4d, 0x8f, 0xd1), QColor(0xd0, 0x6a, 0x8c)};
        const qreal tabH = h * 0.13;
        for (int i = 0; i < 4; ++i) {
            QRectF tab(r.right() - w * 0.05, r.top() + h * 0.16 + i * tabH * 1.15, w * 0.055, tabH);
            p.setPen(Qt::NoPen);
            p.setBrush(tabColours[i]);
            p.drawRoundedRect(tab, w * 0.012, w * 0.012);
        }
    }
}

QImage makeSplash() {
    const int W = 480, H = 300;
    QImage img(W, H, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // background: deep blue diagonal gradient with a soft glow behind the artwork
    QLinearGradient bg(0, 0, W, H);
    bg.setColorAt(0, kMidBlue);
    bg.setColorAt(1, kDeepBlue);
    p.fillRect(img.rect(), bg);

    QRadialGradient glow(QPointF(130, 125), 150);
    glow.setColorAt(0, QColor(255, 255, 255, 60));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(img.rect(), glow);

    // faint concentric arcs, like a ring signal spreading out
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        p.setPen(QPen(QColor(255, 255, 255, 18 - i * 2), 2));
        const qreal rad = 170 + i * 34;
        p.drawEllipse(QPointF(130, 125), rad, rad);
    }

    // the book with a handset resting on it
    drawOpenBook(p, QRectF(40, 52, 180, 130), true);

    p.save();
    p.translate(150, 178);
    p.rotate(-14);
    const QPainterPath hs = handsetPath(122, 46);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawPath(hs.translated(3, 5));
    QLinearGradient hg(0, -23, 0, 23);
    hg.setColorAt(0, kHandset.lighter(170));
    hg.setColorAt(0.45, kHandset);
    hg.setColorAt(1, kHandset.darker(140));
    p.setBrush(hg);
    p.setPen(QPen(QColor(0x10, 0x14, 0x1a), 1.2));
    p.drawPath(hs);
    p.restore();

    // title and subtitle
    // the title is sized to fit the space right of the artwork
    const QRectF titleRect(236, 70, 224, 80);
    QFont title(QStringLiteral("DejaVu Serif"));
    title.setBold(true);
    for (int px = 58; px > 20; --px) {
        title.setPixelSize(px);
        if (QFontMetricsF(title).horizontalAdvance(QStringLiteral("Dorvane")) <= titleRect.width()) break;
    }
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 80));
    p.drawText(titleRect.translated(2, 3), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Dorvane"));
    p.setPen(QColor(0xff, 0xfb, 0xf0));
    p.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Dorvane"));

    p.setPen(QPen(QColor(0xe9, 0xb9, 0x3c), 2));
    p.drawLine(QPointF(236, 152), QPointF(452, 152));

    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(18);
    sub.setItalic(true);
    p.setFont(sub);
    p.setPen(QColor(0xdc, 0xe8, 0xf5));
    p.drawText(QRectF(236, 158, 236, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Personal phone book"));

    // calm strip at the bottom where the start-up status is written
    QLinearGradient strip(0, H - 44, 0, H);
    strip.setColorAt(0, QColor(0x12, 0x2a, 0x4a, 0));
    strip.setColorAt(0.25, QColor(0x12, 0x2a, 0x4a, 200));
    strip.setColorAt(1, QColor(0x12, 0x2a, 0x4a, 230));
    p.fillRect(QRectF(0, H - 44, W, 44), strip);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.drawLine(QPointF(16, H - 40.5), QPointF(W - 16, H - 40.5));

    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

QImage makeDataBackground() {
    const int W = 945, H = 600;
    QImage img(W, H, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // pale blue-grey wash, lighter towards the top left
    QLinearGradient bg(0, 0, W * 0.4, H);
    bg.setColorAt(0, QColor(0xf4, 0xf7, 0xfb));
    bg.setColorAt(1, QColor(0xdc, 0xe5, 0xef));
    p.fillRect(img.rect(), bg);

    // a couple of large, very soft blobs for depth
    auto blob = [&](QPointF c, qreal r, QColor col) {
        QRadialGradient g(c, r);
        g.setColorAt(0, col);
        col.setAlpha(0);
        g.setColorAt(1, col);
        p.fillRect(img.rect(), g);
    };
    blob(QPointF(W * 0.85, H * 0.18), 360, QColor(0xff, 0xff, 0xff, 120));
    blob(QPointF(W * 0.12, H * 0.95), 420, QColor(0xc6, 0xd6, 0xe8, 90));

    // faint diagonal lines
    p.setPen(QPen(QColor(0x8a, 0xa4, 0xc2, 22), 1.0));
    for (int x = -H; x < W; x += 14)
        p.drawLine(QPointF(x, H), QPointF(x + H, 0));

    // a few wide, gentle waves across the lower part
    for (int i = 0; i < 3; ++i) {
        QPainterPath wave;
        const qreal base = H * (0.70 + i * 0.09);
        wave.moveTo(0, base);
        wave.cubicTo(W * 0.30, base - 60 + i * 10, W * 0.60, base + 50 - i * 8, W, base - 20);
        wave.lineTo(W, H);
        wave.lineTo(0, H);
        wave.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x9f, 0xb8, 0xd4, 18 + i * 6));
        p.drawPath(wave);
    }

    // The right and bottom edges fade into white, the window's own colour, so that a window
    // larger than the picture shows no seam where the picture ends.
    QLinearGradient right(W * 0.78, 0, W, 0);
    right.setColorAt(0, QColor(255, 255, 255, 0));
    right.setColorAt(1, QColor(255, 255, 255, 255));
    p.fillRect(img.rect(), right);
    QLinearGradient bottom(0, H * 0.80, 0, H);
    bottom.setColorAt(0, QColor(255, 255, 255, 0));
    bottom.setColorAt(1, QColor(255, 255, 255, 255));
    p.fillRect(img.rect(), bottom);

    p.end();
    return img;
}

QImage makeIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    // closed address book standing upright, with a ring spine and index tabs
    const QRectF book(10, 5, 42, 54);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(book.translated(1.2, 1.6), 4, 4);

    // page edges peeking out on the right
    p.setBrush(kPaper.darker(105));
    p.setPen(QPen(kPaper.darker(140), 0.8));
    p.drawRoundedRect(QRectF(book.left() + 4, book.top() + 2, book.width() - 1, book.height() - 4), 3, 3);

    // tabs
    const QColor tabColours[] = {QColor(0xe9, 0xb9, 0x3c), QColor(0x5b, 0xa8, 0x6a),
                                 QColor(0x4d, 0x8f, 0xd1)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(tabColours[i]);
        p.drawRoundedRect(QRectF(book.right() + 0.5, book.top() + 8 + i * 11, 5, 8), 1.5, 1.5);
    }

    // cover
    QLinearGradient cg(book.topLeft(), book.bottomRight());
    cg.setColorAt(0, kCover.lighter(115));
    cg.setColorAt(1, kCoverDark);
    p.setBrush(cg);
    p.setPen(QPen(kCoverDark.darker(130), 1.0));
    p.drawRoundedRect(book, 4, 4);

    // spine band
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawRoundedRect(QRectF(book.left(), book.top(), 7, book.height()), 4, 4);

    // handset on the cover, in pale cream
    p.save();
    p.translate(33.5, 33);
    p.rotate(-35);
    const QPainterPath hs = handsetPath(34, 14);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawPath(hs.translated(0.8, 1.2));
    p.setBrush(kPaper);
    p.setPen(QPen(kPaper.darker(150), 0.6));
    p.drawPath(hs);
    p.restore();

    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

bool save(const QImage& img, const QString& path, const char* format, int quality = -1) {
    QImageWriter w(path, format);
    if (quality >= 0) w.setQuality(quality);
    if (!w.write(img)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(w.errorString()));
        return false;
    }
    std::printf("%s  %dx%d\n", qPrintable(path), img.width(), img.height());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString outDir =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("src/resources/pictures");
    QDir().mkpath(outDir);

    if (!QImageWriter::supportedImageFormats().contains("jpg")) {
        std::fprintf(stderr, "this Qt has no JPEG writer\n");
        return 1;
    }

    bool ok = true;
    ok &= save(makeSplash(), outDir + "/splash.png", "png");
    ok &= save(makeDataBackground(), outDir + "/databack.jpg", "jpg", 88);
    ok &= save(makeIcon(64), outDir + "/dorvane.png", "png");
    ok &= save(makeIcon(256), outDir + "/dorvane-256.png", "png");
    return ok ? 0 : 1;
}
