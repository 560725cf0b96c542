// Pictures of the editor's toolbar: the program's own where one fits, the rest drawn here.
#include "accessories/editor_icons.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <map>

namespace pb {

namespace {

constexpr int kSize = 32;

QPixmap canvas() {
    QPixmap p(kSize, kSize);
    p.fill(Qt::transparent);
    return p;
}

QIcon letter(const QString& text, bool bold, bool italic, bool underline, bool strike) {
    QPixmap pix = canvas();
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f(QStringLiteral("Serif"));
    f.setPixelSize(24);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setStrikeOut(strike);
    p.setFont(f);
    p.setPen(QColor(30, 40, 70));
    p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, text);
    return QIcon(pix);
}

// Four text lines set left, centred, right or filling the width.
QIcon lines(Qt::Alignment align) {
    QPixmap pix = canvas();
    QPainter p(&pix);
    p.setPen(QPen(QColor(30, 40, 70), 3, Qt::SolidLine, Qt::FlatCap));
    const int widths[] = {24, 16, 24, 12};
    for (int i = 0; i < 4; ++i) {
        const int w = align == Qt::AlignJustify ? 24 : widths[i];
        const int x = align == Qt::AlignRight ? 28 - w : align == Qt::AlignHCenter ? (kSize - w) / 2 : 4;
        const int y = 7 + i * 6;
        p.drawLine(x, y, x + w, y);
    }
    return QIcon(pix);
}

QIcon page() {
    QPixmap pix = canvas();
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 70, 90), 2));
    p.setBrush(Qt::white);
    const QPointF sheet[] = {{7, 3}, {19, 3}, {26, 10}, {26, 29}, {7, 29}};
    p.drawPolygon(sheet, 5);
    p.drawLine(QPointF(19, 3), QPointF(19, 10));
    p.drawLine(QPointF(19, 10), QPointF(26, 10));
    return QIcon(pix);
}

QIcon cross() {
    QPixmap pix = canvas();
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(190, 30, 30), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(8, 8, 24, 24);
    p.drawLine(24, 8, 8, 24);
    return QIcon(pix);
}

} // namespace

QIcon editorIcon(const QString& key) {
    static const std::map<QString, const char*> own = {
        {QStringLiteral("Open"), "tb03-open"},   {QStringLiteral("Save"), "tb02-save"},
        {QStringLiteral("Print"), "tb07-print"}, {QStringLiteral("Mail"), "tb21-send"},
        {QStringLiteral("Cut"), "tb05-cut"},     {QStringLiteral("Copy"), "tb04-copy"},
        {QStringLiteral("Paste"), "tb06-paste"}, {QStringLiteral("Find"), "tb08-find"}};
    if (const auto it = own.find(key); it != own.end())
        return QIcon(QStringLiteral(":/icons/%1.png").arg(QString::fromLatin1(it->second)));
    if (key == QLatin1String("New")) return page();
    if (key == QLatin1String("Delete")) return cross();
    if (key == QLatin1String("Bold")) return letter(QStringLiteral("B"), true, false, false, false);
    if (key == QLatin1String("Italic")) return letter(QStringLiteral("I"), false, true, false, false);
    if (key == QLatin1String("Underline")) return letter(QStringLiteral("U"), false, false, true, false);
    if (key == QLatin1String("Strike Through")) return letter(QStringLiteral("S"), false, false, false, true);
    if (key == QLatin1String("Align Left")) return lines(Qt::AlignLeft);
    if (key == QLatin1String("Center")) return lines(Qt::AlignHCenter);
    if (key == QLatin1String("Align Right")) return lines(Qt::AlignRight);
    if (key == QLatin1String("Justify")) return lines(Qt::AlignJustify);
    return {};
}

} // namespace pb
