#include "media_files.h"

#include "records.h"

#include <QByteArray>
#include <QtMath>

namespace pbtest {

namespace {

void u32(QByteArray& b, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void u16(QByteArray& b, quint16 v) {
    b.append(static_cast<char>(v & 0xFF));
    b.append(static_cast<char>(v >> 8));
}
QByteArray chunk(const char* id, const QByteArray& data) {
    QByteArray c(id, 4);
    u32(c, static_cast<quint32>(data.size()));
    c += data;
    if (data.size() % 2) c.append('\0');
    return c;
}
QByteArray list(const char* type, const QByteArray& data) {
    return chunk("LIST", QByteArray(type, 4) + data);
}

} // namespace

void writeWav(const QString& path, int ms) {
    const int rate = 8000;
    const int n = rate * ms / 1000;
    QByteArray samples;
    for (int i = 0; i < n; ++i)
        u16(samples, static_cast<quint16>(static_cast<qint16>(6000 * qSin(i * 2 * M_PI * 440 / rate))));
    QByteArray fmt;
    u16(fmt, 1);
    u16(fmt, 1);
    u32(fmt, rate);
    u32(fmt, rate * 2);
    u16(fmt, 2);
    u16(fmt, 16);
    writeFile(path, chunk("RIFF", QByteArray("WAVE") + chunk("fmt ", fmt) + chunk("data", samples)));
}

void writeAvi(const QString& path, int frames) {
    const quint32 w = 32, h = 24, fps = 10, size = w * h * 3;
    QByteArray avih;
    for (quint32 v :
         {1000000 / fps, size * fps, 0u, 0x10u, quint32(frames), 0u, 1u, size, w, h, 0u, 0u, 0u, 0u})
        u32(avih, v);
    QByteArray strh("vidsDIB ");
    for (quint32 v : {0u, 0u, 0u, 1u, fps, 0u, quint32(frames), size, 0xFFFFFFFFu, 0u})
        u32(strh, v);
    u16(strh, 0);
    u16(strh, 0);
    u16(strh, static_cast<quint16>(w));
    u16(strh, static_cast<quint16>(h));
    QByteArray strf;
    u32(strf, 40);
    u32(strf, w);
    u32(strf, h);
    u16(strf, 1);
    u16(strf, 24);
    for (quint32 v : {0u, size, 0u, 0u, 0u, 0u})
        u32(strf, v);
    QByteArray movie, index;
    quint32 offset = 4;
    for (int i = 0; i < frames; ++i) {
        QByteArray pixels;
        for (quint32 p = 0; p < w * h; ++p) {
            pixels.append(static_cast<char>(i * 25));
            pixels.append(static_cast<char>(100));
            pixels.append(static_cast<char>(200));
        }
        const QByteArray c = chunk("00db", pixels);
        movie += c;
        index += "00db";
        u32(index, 0x10);
        u32(index, offset);
        u32(index, size);
        offset += static_cast<quint32>(c.size());
    }
    const QByteArray header =
        list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)));
    writeFile(path, chunk("RIFF", QByteArray("AVI ") + header + list("movi", movie) + chunk("idx1", index)));
}

} // namespace pbtest
