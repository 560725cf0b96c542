// Paints Dorvane's toolbar icons (32x32 PNG, transparent background).
//
// Every glyph is drawn here with QPainter, so src/resources/icons can be
// rebuilt at any time:
//
//   g++ -std=c++20 -fPIC tools/make_icons.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_icons
//   QT_QPA_PLATFORM=offscreen /tmp/make_icons [output-dir]
//
// The output directory defaults to src/resources/icons relative to the
// current directory (run it from the repository root).
//
// Style: flat shapes, 2 px rounded slate outlines, a few accent colours.
// Outlines sit on whole-pixel coordinates so they stay crisp at 32 px and
// still read when the toolbar scales them down to 24 px.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <QTransform>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <utility>
#include <vector>

namespace {

const QColor kInk{0x2f, 0x3b, 0x4a};
const QColor kBlue{0x2f, 0x7e, 0xd8};
const QColor kGreen{0x3a, 0xa6, 0x57};
const QColor kRed{0xd9, 0x53, 0x4f};
const QColor kAmber{0xf0, 0xad, 0x4e};
const QColor kPaper{0xff, 0xff, 0xff};
const QColor kBlueTint{0xd6, 0xe6, 0xf8};
const QColor kAmberTint{0xfb, 0xe2, 0xbb};
const QColor kInkTint{0xdd, 0xe3, 0xea};
const QColor kLine{0x9a, 0xa7, 0xb6}; // text lines on paper

constexpr int kSize = 32;

QPen roundPen(const QColor& c, qreal w = 2.0) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPainterPath roundRect(qreal x, qreal y, qreal w, qreal h, qreal r = 2.0) {
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), r, r);
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> pts) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(pts)));
    path.closeSubpath();
    return path;
}

void fillOutline(QPainter& p, const QPainterPath& path, const QColor& fill, const QColor& line = kInk,
                 qreal w = 2.0) {
    p.setPen(roundPen(line, w));
    p.setBrush(fill);
    p.drawPath(path);
}

void stroke(QPainter& p, const QPainterPath& path, const QColor& c, qreal w = 2.0) {
    p.setPen(roundPen(c, w));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void line(QPainter& p, qreal x1, qreal y1, qreal x2, qreal y2, const QColor& c = kInk, qreal w = 2.0) {
    p.setPen(roundPen(c, w));
    p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

// A white halo under a shape keeps it apart from whatever it overlaps.
void halo(QPainter& p, const QPainterPath& path, qreal w = 5.0) {
    p.setPen(roundPen(kPaper, w));
    p.setBrush(kPaper);
    p.drawPath(path);
}

// ---------------------------------------------------------------------------
// Reusable motifs

// Index card of a contact: small portrait on the left, two text lines.
void contactCard(QPainter& p, qreal x, qreal y, qreal w, qreal h, bool blank = false) {
    fillOutline(p, roundRect(x, y, w, h, 2.5), kPaper);
    if (blank) return;
    const qreal cy = y + h / 2.0;
    // portrait
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(x + 6, cy - 2.5), 2.2, 2.2);
    QPainterPath shoulders;
    shoulders.moveTo(x + 2.5, cy + 4.5);
    shoulders.cubicTo(x + 2.5, cy + 0.5, x + 9.5, cy + 0.5, x + 9.5, cy + 4.5);
    shoulders.closeSubpath();
    p.drawPath(shoulders);
    // text
    line(p, x + 12.5, cy - 2, x + w - 3.5, cy - 2, kLine, 2);
    line(p, x + 12.5, cy + 2.5, x + w - 6, cy + 2.5, kLine, 2);
}

void plusBadge(QPainter& p, QPointF c, qreal r = 6.5, const QColor& fill = kGreen) {
    p.setPen(roundPen(kPaper, 2));
    p.setBrush(fill);
    p.drawEllipse(c, r, r);
    const qreal a = r - 2.8;
    line(p, c.x() - a, c.y(), c.x() + a, c.y(), kPaper, 2.2);
    line(p, c.x(), c.y() - a, c.x(), c.y() + a, kPaper, 2.2);
}

// Sheet of paper with a folded top-right corner.
void page(QPainter& p, qreal x, qreal y, qreal w, qreal h, int lines = 0, qreal lineGap = 4.0,
          qreal firstLine = 9.0) {
    const qreal f = 5.0;
    QPainterPath path;
    path.moveTo(x + 1.5, y);
    path.lineTo(x + w - f, y);
    path.lineTo(x + w, y + f);
    path.lineTo(x + w, y + h - 1.5);
    path.quadTo(x + w, y + h, x + w - 1.5, y + h);
    path.lineTo(x + 1.5, y + h);
    path.quadTo(x, y + h, x, y + h - 1.5);
    path.lineTo(x, y + 1.5);
    path.quadTo(x, y, x + 1.5, y);
    path.closeSubpath();
    fillOutline(p, path, kPaper);
    QPainterPath fold;
    fold.moveTo(x + w - f, y);
    fold.lineTo(x + w - f, y + f);
    fold.lineTo(x + w, y + f);
    fillOutline(p, fold, kInkTint);
    for (int i = 0; i < lines; ++i) {
        const qreal ly = y + firstLine + i * lineGap;
        const qreal end = (i == lines - 1) ? x + w * 0.6 : x + w - 4;
        line(p, x + 4, ly, end, ly, kLine, 2);
    }
}

// Open folder; `inside` paints whatever pokes out between back and front.
void openFolder(QPainter& p, const std::function<void()>& inside = {}) {
    QPainterPath back;
    back.moveTo(4, 25);
    back.lineTo(4, 8);
    back.quadTo(4, 6, 6, 6);
    back.lineTo(11, 6);
    back.lineTo(13.5, 9);
    back.lineTo(24, 9);
    back.quadTo(26, 9, 26, 11);
    back.lineTo(26, 14);
    fillOutline(p, back, kAmberTint);
    if (inside) inside();
    QPainterPath front = polygon({{4, 26}, {8.5, 14}, {29, 14}, {24.5, 26}});
    fillOutline(p, front, kAmber);
}

// Globe: blue disc with a light graticule.
void globe(QPainter& p, QPointF c, qreal r, bool haloed = false) {
    QPainterPath disc;
    disc.addEllipse(c, r, r);
    if (haloed) halo(p, disc, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPath(disc);

    p.save();
    p.setClipPath(disc);
    const QColor grid(0xff, 0xff, 0xff, 200);
    const qreal w = r >= 10 ? 1.5 : 1.3;
    p.setPen(roundPen(grid, w));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.45, r); // meridians
    p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y())); // equator
    const qreal lat = r * 0.52;
    const qreal half = std::sqrt(r * r - lat * lat);
    // parallels bow slightly, as if seen from a little above the equator
    const qreal bow = r * 0.16;
    for (qreal y : {c.y() - lat, c.y() + lat}) {
        QPainterPath parallel;
        parallel.moveTo(c.x() - half - 1, y);
        parallel.quadTo(c.x(), y + 2 * bow, c.x() + half + 1, y);
        p.drawPath(parallel);
    }
    p.restore();

    stroke(p, disc, kInk, 2);
}

// Pen lying at `angleDeg` (0 = tip to the left), tip at `tip`.
void writingPen(QPainter& p, QPointF tip, qreal angleDeg, qreal length = 19) {
    p.save();
    p.translate(tip);
    p.rotate(angleDeg);
    // local frame: tip at origin, body towards +x
    QPainterPath body = roundRect(5, -3, length - 5, 6, 1.5);
    QPainterPath nib = polygon({{0.5, 0}, {5, -3}, {5, 3}});
    halo(p, body.united(nib), 5);
    fillOutline(p, nib, kAmberTint);
    fillOutline(p, body, kBlue);
    line(p, length - 4.5, -2, length - 4.5, 2, kInk, 1.6); // cap ring
    p.restore();
}

// Envelope with its flap drawn as a V.
void envelope(QPainter& p, qreal x, qreal y, qreal w, qreal h) {
    fillOutline(p, roundRect(x, y, w, h, 2), kPaper);
    QPainterPath flap;
    flap.moveTo(x + 1, y + 1);
    flap.lineTo(x + w / 2, y + h * 0.58);
    flap.lineTo(x + w - 1, y + 1);
    stroke(p, flap, kInk, 2);
}

// Horizontal arrow, filled, pointing right (dir=+1) or left (dir=-1).
QPainterPath arrow(qreal tailX, qreal tipX, qreal cy, qreal headLen = 10, qreal headHalf = 9,
                   qreal shaftHalf = 3.5) {
    const qreal dir = tipX > tailX ? 1.0 : -1.0;
    const qreal neck = tipX - dir * headLen;
    return polygon({{tailX, cy - shaftHalf},
                    {neck, cy - shaftHalf},
                    {neck, cy - headHalf},
                    {tipX, cy},
                    {neck, cy + headHalf},
                    {neck, cy + shaftHalf},
                    {tailX, cy + shaftHalf}});
}

// ---------------------------------------------------------------------------
// Phone book window toolbar

void drawNewRecord(QPainter& p) {
    contactCard(p, 3, 6, 24, 17, true);
    line(p, 7, 12, 18, 12, kLine, 2);
    line(p, 7, 16.5, 14, 16.5, kLine, 2);
    plusBadge(p, {23.5, 23.5}, 7);
}

void drawSave(QPainter& p) {
    QPainterPath body;
    body.moveTo(7, 5);
    body.lineTo(23, 5);
    body.lineTo(27, 9);
    body.lineTo(27, 25);
    body.quadTo(27, 27, 25, 27);
    body.lineTo(7, 27);
    body.quadTo(5, 27, 5, 25);
    body.lineTo(5, 7);
    body.quadTo(5, 5, 7, 5);
    body.closeSubpath();
    fillOutline(p, body, kBlue);
    // shutter
    fillOutline(p, roundRect(10, 5, 11, 7, 1), kInkTint);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(16.5, 7, 2.5, 3));
    // label
    fillOutline(p, roundRect(9, 16, 14, 11, 1.5), kPaper);
    line(p, 12, 20, 20, 20, kLine, 1.6);
    line(p, 12, 23.5, 18, 23.5, kLine, 1.6);
}

void drawOpen(QPainter& p) {
    openFolder(p);
}

void drawCopy(QPainter& p) {
    contactCard(p, 9, 4, 19, 15, true);
    line(p, 13, 9, 24, 9, kLine, 2);
    contactCard(p, 3, 12, 20, 15);
}

void drawCut(QPainter& p) {
    // blades
    line(p, 12.5, 18, 21, 3.5, kInk, 3);
    line(p, 19.5, 18, 11, 3.5, kInk, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(kInkTint);
    p.drawEllipse(QPointF(16, 12.3), 1.3, 1.3);
    // handles
    p.setPen(roundPen(kRed, 3));
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(10, 23), 4.2, 4.2);
    p.drawEllipse(QPointF(22, 23), 4.2, 4.2);
}

void drawPaste(QPainter& p) {
    fillOutline(p, roundRect(5, 5, 20, 24, 2.5), kAmber);
    fillOutline(p, roundRect(10, 3, 10, 5, 1.5), kInkTint);
    // the card being pasted
    contactCard(p, 12, 13, 17, 13, true);
    line(p, 15.5, 17.5, 25.5, 17.5, kLine, 2);
    line(p, 15.5, 21.5, 22, 21.5, kLine, 2);
}

void drawPrint(QPainter& p) {
    fillOutline(p, roundRect(9, 4, 14, 9, 1), kPaper);
    fillOutline(p, roundRect(4, 11, 24, 12, 2.5), kInkTint);
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(23.5, 15.5), 1.6, 1.6);
    fillOutline(p, roundRect(9, 18, 14, 10, 1), kPaper);
    line(p, 12, 22, 20, 22, kLine, 1.6);
    line(p, 12, 25, 17, 25, kLine, 1.6);
}

void drawFind(QPainter& p) {
    line(p, 19.5, 19.5, 27, 27, kInk, 4.5);
    p.setPen(roundPen(kInk, 2));
    p.setBrush(kBlueTint);
    p.drawEllipse(QPointF(13, 13), 8.5, 8.5);
    // glint
    QPainterPath glint;
    glint.arcMoveTo(QRectF(8, 8, 10, 10), 100);
    glint.arcTo(QRectF(8, 8, 10, 10), 100, 70);
    stroke(p, glint, kPaper, 2);
}

void drawPrevious(QPainter& p) {
    fillOutline(p, arrow(27, 5, 16), kBlue);
}

void drawNext(QPainter& p) {
    fillOutline(p, arrow(5, 27, 16), kBlue);
}

void drawEnd(QPainter& p) {
    fillOutline(p, arrow(4, 22, 16, 9.5), kBlue);
    fillOutline(p, roundRect(24, 6, 4, 20, 1), kInk);
}

void drawBeginning(QPainter& p) {
    fillOutline(p, roundRect(4, 6, 4, 20, 1), kInk);
    fillOutline(p, arrow(28, 10, 16, 9.5), kBlue);
}

void notepadSheet(QPainter& p, qreal x, qreal y, qreal w, qreal h) {
    fillOutline(p, roundRect(x, y, w, h, 2), kPaper);
    // binding strip with rings
    QPainterPath strip = roundRect(x, y, w, 5, 2);
    fillOutline(p, strip, kAmber);
    for (qreal rx = x + 4; rx < x + w - 2; rx += 4.5)
        line(p, rx, y - 1.5, rx, y + 2, kInk, 1.6);
    for (int i = 0; i < 3; ++i) {
        const qreal ly = y + 10 + i * 4;
        if (ly > y + h - 3) break;
        line(p, x + 3.5, ly, x + w - (i == 2 ? 8 : 3.5), ly, kLine, 2);
    }
}

void drawNotePapers(QPainter& p) {
    fillOutline(p, roundRect(10, 6, 18, 21, 2), kPaper);
    notepadSheet(p, 4, 5, 19, 23);
}

void drawInsert(QPainter& p) {
    contactCard(p, 3, 13, 26, 15);
    QPainterPath a = polygon({{13, 2}, {19, 2}, {19, 9}, {23.5, 9}, {16, 17}, {8.5, 9}, {13, 9}});
    fillOutline(p, a, kGreen);
}

void drawWrite(QPainter& p) {
    envelope(p, 2, 12, 22, 16);
    writingPen(p, {17, 19}, -55, 17);
}

void drawSend(QPainter& p) {
    const QPointF tip(28, 4), left(3, 14), fold(13, 18.5), tail(20, 27);
    // the wing folded underneath
    fillOutline(p, polygon({tip, fold, {12.5, 27}, {16.5, 22.6}}), kBlue);
    fillOutline(p, polygon({tip, left, fold}), kPaper);
    fillOutline(p, polygon({tip, fold, tail}), kBlueTint);
}

void drawPreview(QPainter& p) {
    page(p, 4, 3, 18, 24, 3, 4, 8);
    globe(p, {21, 21}, 8, true);
}

void drawLock(QPainter& p) {
    QPainterPath shackle;
    shackle.moveTo(10.5, 15);
    shackle.lineTo(10.5, 10.5);
    shackle.arcTo(QRectF(10.5, 4, 11, 11), 180, -180);
    shackle.lineTo(21.5, 15);
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shackle);
    fillOutline(p, roundRect(6, 14, 20, 14, 2.5), kAmber);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(16, 19.5), 2.2, 2.2);
    line(p, 16, 20, 16, 24, kInk, 2.2);
}

QPainterPath gearPath(QPointF c, qreal outer, qreal inner, int teeth) {
    QPainterPath path;
    const qreal step = 2 * std::numbers::pi / teeth;
    const qreal topHalf = step * 0.18;  // half-width of a tooth's top
    const qreal baseHalf = step * 0.28; // half-width at its root
    auto at = [&](qreal r, qreal a) { return QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a)); };
    for (int i = 0; i < teeth; ++i) {
        const qreal a = i * step - std::numbers::pi / 2;
        const QPointF p1 = at(inner, a - baseHalf);
        if (i == 0)
            path.moveTo(p1);
        else
            path.lineTo(p1);
        path.lineTo(at(outer, a - topHalf));
        path.lineTo(at(outer, a + topHalf));
        path.lineTo(at(inner, a + baseHalf));
        // valley follows the root circle
        const QPointF next = at(inner, a + step - baseHalf);
        path.lineTo(next);
    }
    path.closeSubpath();
    return path;
}

void drawOptions(QPainter& p) {
    const QPointF c(16, 16);
    QPainterPath g = gearPath(c, 13, 9.8, 8);
    QPainterPath hole;
    hole.addEllipse(c, 4, 4);
    fillOutline(p, g.subtracted(hole), kInkTint);
    p.setPen(roundPen(kInk, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 4, 4);
}

// ---------------------------------------------------------------------------
// Workspace frame toolbar

void drawFileOpener(QPainter& p) {
    openFolder(p, [&p] {
        fillOutline(p, roundRect(10, 3, 14, 14, 1.5), kPaper);
        line(p, 13, 7, 21, 7, kLine, 1.8);
        line(p, 13, 10.5, 19, 10.5, kLine, 1.8);
    });
}

void drawPhoneBook(QPainter& p) {
    // index tabs peeking out on the right
    fillOutline(p, roundRect(22, 6, 6, 5, 1.5), kAmber);
    fillOutline(p, roundRect(22, 13, 6, 5, 1.5), kGreen);
    fillOutline(p, roundRect(22, 20, 6, 5, 1.5), kRed);
    // cover
    fillOutline(p, roundRect(5, 3, 20, 26, 2.5), kBlue);
    line(p, 9.5, 4, 9.5, 28, kInk, 2);
    // owner label with a portrait
    fillOutline(p, roundRect(12, 8, 10, 12, 1.5), kPaper);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(17, 12), 2, 2);
    QPainterPath shoulders;
    shoulders.moveTo(13.5, 18.5);
    shoulders.cubicTo(13.5, 14.3, 20.5, 14.3, 20.5, 18.5);
    shoulders.closeSubpath();
    p.drawPath(shoulders);
}

QPainterPath stadium(QPointF c, qreal len, qreal thick) {
    QPainterPath path;
    path.addRoundedRect(QRectF(c.x() - len / 2, c.y() - thick / 2, len, thick), thick / 2, thick / 2);
    return path;
}

void chainLink(QPainter& p, QPointF c, qreal angle) {
    p.save();
    p.translate(c);
    p.rotate(angle);
    // the two links sit slightly off-axis so their sides do not coincide
    const QPainterPath a = stadium({-4.5, -1.3}, 13, 7);
    const QPainterPath b = stadium({4.5, 1.3}, 13, 7);
    stroke(p, a, kPaper, 6);
    stroke(p, a, kInk, 2.4);
    stroke(p, b, kPaper, 6);
    stroke(p, b, kInk, 2.4);
    // let the first link pass over the second at its upper crossing
    p.save();
    p.setClipRect(QRectF(-0.5, -7, 4.5, 4.5));
    stroke(p, a, kPaper, 6);
    stroke(p, a, kInk, 2.4);
    p.restore();
    p.restore();
}

void drawLinkward(QPainter& p) {
    globe(p, {13, 13}, 10.5);
    chainLink(p, {19.5, 20.5}, -45);
}

void drawWebBrowser(QPainter& p) {
    globe(p, {16, 16}, 12.5);
}

void drawTextEditor(QPainter& p) {
    page(p, 4, 3, 20, 26, 4, 4, 9);
    writingPen(p, {17, 26}, -125, 18);
}

void stickyNote(QPainter& p, qreal x, qreal y, qreal s, const QColor& fill, bool withText) {
    const qreal f = 5;
    QPainterPath note;
    note.moveTo(x + 1.5, y);
    note.lineTo(x + s - 1.5, y);
    note.quadTo(x + s, y, x + s, y + 1.5);
    note.lineTo(x + s, y + s - f);
    note.lineTo(x + s - f, y + s);
    note.lineTo(x + 1.5, y + s);
    note.quadTo(x, y + s, x, y + s - 1.5);
    note.lineTo(x, y + 1.5);
    note.quadTo(x, y, x + 1.5, y);
    note.closeSubpath();
    fillOutline(p, note, fill);
    QPainterPath curl = polygon({{x + s, y + s - f}, {x + s - f, y + s - f}, {x + s - f, y + s}});
    fillOutline(p, curl, kAmberTint);
    if (withText) {
        line(p, x + 4, y + 5.5, x + s - 4, y + 5.5, kInk, 1.8);
        line(p, x + 4, y + 9.5, x + s - 6, y + 9.5, kInk, 1.8);
    }
}

void drawNotes(QPainter& p) {
    p.save();
    p.translate(16, 16);
    p.rotate(-10);
    p.translate(-16, -16);
    stickyNote(p, 11, 3, 17, kInkTint, false);
    p.restore();
    stickyNote(p, 8, 8, 17, kBlueTint, false);
    stickyNote(p, 4, 12, 17, kAmber, true);
}

void drawPhone(QPainter& p) {
    // Handset on the diagonal: earpiece top left, mouthpiece bottom right,
    // the back of the handle bulging towards the lower left.  The outline is
    // mirror-symmetric about the line x + y = 32.
    QPainterPath h;
    h.moveTo(8.5, 3.5); // earpiece rim
    h.lineTo(13.5, 8.5);
    h.lineTo(11, 11);                     // into the handle
    h.cubicTo(9.5, 14, 18, 22.5, 21, 21); // inside of the handle
    h.lineTo(23.5, 18.5);                 // mouthpiece rim
    h.lineTo(28.5, 23.5);
    h.lineTo(25, 27);
    h.cubicTo(14, 30, 2, 18, 5, 7); // back of the handle
    h.closeSubpath();
    fillOutline(p, h, kGreen);
}

void drawTechSupport(QPainter& p) {
    p.setPen(roundPen(kInk, 2));
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(16, 16), 12.5, 12.5);
    QPainterPath q;
    q.moveTo(11.5, 12.5);
    q.cubicTo(11.5, 6.5, 20.5, 6.5, 20.5, 12);
    q.cubicTo(20.5, 15.5, 16, 15.5, 16, 19);
    stroke(p, q, kPaper, 3.2);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(16, 23.5), 2, 2);
}

// ---------------------------------------------------------------------------

// The surfer's buttons: a stop sign, a circling arrow and a house.
void drawStop(QPainter& p) {
    QPainterPath octagon;
    for (int i = 0; i < 8; ++i) {
        const qreal a = (22.5 + 45.0 * i) * std::numbers::pi / 180.0;
        const QPointF pt(16 + 12.5 * std::cos(a), 16 + 12.5 * std::sin(a));
        if (i == 0)
            octagon.moveTo(pt);
        else
            octagon.lineTo(pt);
    }
    octagon.closeSubpath();
    fillOutline(p, octagon, kRed);
    line(p, 11, 11, 21, 21, kPaper, 3);
    line(p, 21, 11, 11, 21, kPaper, 3);
}

void drawRefresh(QPainter& p) {
    QPainterPath ring;
    ring.arcMoveTo(QRectF(6, 6, 20, 20), 60);
    ring.arcTo(QRectF(6, 6, 20, 20), 60, 280);
    stroke(p, ring, kGreen, 3.5);
    fillOutline(p, polygon({{19, 3}, {27, 9}, {18, 13}}), kGreen, kGreen, 1.5);
}

void drawHome(QPainter& p) {
    fillOutline(p, polygon({{16, 4}, {29, 16}, {3, 16}}), kRed);
    fillOutline(p, roundRect(7, 15, 18, 13, 1), kAmberTint);
    fillOutline(p, roundRect(13.5, 19, 5, 9, 1), kBlue);
}

bool render(const QString& dir, const QString& name, const std::function<void(QPainter&)>& draw) {
    QImage img(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        draw(p);
    }
    const QString file = dir + QLatin1Char('/') + name;
    if (!img.save(file, "PNG")) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("src/resources/icons");
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "make_icons: cannot create %s\n", qPrintable(dir));
        return 1;
    }

    const std::vector<std::pair<const char*, void (*)(QPainter&)>> icons = {
        {"tb01-newrecord.png", drawNewRecord},
        {"tb02-save.png", drawSave},
        {"tb03-open.png", drawOpen},
        {"tb04-copy.png", drawCopy},
        {"tb05-cut.png", drawCut},
        {"tb06-paste.png", drawPaste},
        {"tb07-print.png", drawPrint},
        {"tb08-find.png", drawFind},
        {"tb13-previous.png", drawPrevious},
        {"tb14-end.png", drawEnd},
        {"tb15-beginning.png", drawBeginning},
        {"tb16-next.png", drawNext},
        {"tb17-notepapers.png", drawNotePapers},
        {"tb18-insert.png", drawInsert},
        {"tb20-write.png", drawWrite},
        {"tb21-send.png", drawSend},
        {"tb22-preview.png", drawPreview},
        {"tb24-lock.png", drawLock},
        {"tb26-options.png", drawOptions},
        {"mdi-fileopener.png", drawFileOpener},
        {"mdi-phonebook.png", drawPhoneBook},
        {"mdi-linkward.png", drawLinkward},
        {"mdi-webbrowser.png", drawWebBrowser},
        {"mdi-texteditor.png", drawTextEditor},
        {"mdi-notepapers.png", drawNotes},
        {"mdi-phone.png", drawPhone},
        {"mdi-techsupp.png", drawTechSupport},
        {"web-stop.png", drawStop},
        {"web-refresh.png", drawRefresh},
        {"web-home.png", drawHome},
    };

    int failures = 0;
    for (const auto& [name, draw] : icons)
        failures += render(dir, QString::fromLatin1(name), draw) ? 0 : 1;
    std::printf("make_icons: wrote %d icons to %s\n", int(icons.size()) - failures, qPrintable(dir));
    return failures == 0 ? 0 : 1;
}
