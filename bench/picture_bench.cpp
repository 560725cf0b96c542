// A record's photo and a photo behind the frame, as a user meets them.
#include "picture_bench.h"

#include "book_files.h"
#include "data/book_files.h"
#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "platform/app_path.h"
#include "platform/picture_file.h"
#include "platform/settings_store.h"
#include "silent_prompts.h"
#include "workspace/forms.h"
#include "workspace/vantrel_mdi.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QProcess>
#include <cstdio>
#include <cstdlib>

using namespace pb;

namespace pbbench {

namespace {

// A photo-like picture: smooth light with grain, as a camera gives, saved as a JPEG.
QByteArray photo(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    quint32 grain = 12345;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            grain = grain * 1664525u + 1013904223u;
            const int g = int(grain >> 28) - 8;
            line[x] = qRgb(std::clamp(x * 255 / width + g, 0, 255), std::clamp(y * 255 / height + g, 0, 255),
                           std::clamp(128 + (x ^ y) % 64 + g, 0, 255));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(88);
    if (!writer.write(image)) std::exit(40);
    return bytes;
}

const char* const kRecordPhoto = "photo-2mp.jpg";
const char* const kBackgroundPhoto = "background-24mp.jpg";
// A start is one sample, and the machine's other work varies: the best of several processes.
constexpr int kStarts = 9;

double peakMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ')[0].toDouble() / 1024.0;
    return 0;
}

std::pair<double, double> startInChild(const QString& folder, const QString& picture) {
    QProcess child;
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--picture-start"), folder, picture});
    if (!child.waitForFinished(120000) || child.exitCode() != 0) {
        std::fprintf(stderr, "the start with \"%s\" ended with %d\n", qPrintable(picture), child.exitCode());
        std::exit(41);
    }
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    if (figures.size() != 2) std::exit(42);
    return {figures[0].toDouble(), figures[1].toDouble()};
}

} // namespace

int runPictureChild(int argc, char** argv) {
    if (argc < 4 || QByteArray(argv[1]) != "--picture-start") return -1;
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const QString picture = QString::fromLocal8Bit(argv[3]);
    SilentPrompts prompts;
    setProgramFolder(folder);
    SettingsStore::setFolder(folder + QStringLiteral("/config-start"));
    SettingsStore::SaveSetting(kAppName, kSection, QStringLiteral("MDIFormBackPicture"),
                               picture.isEmpty() ? QStringLiteral("0") : picture);
    setPrompts(&prompts);
    ModulePhoneBook& m = pbm();
    m.DataBasePath = folder + QLatin1Char('/');
    m.DataBaseName = QStringLiteral("Dorvane2DataBase.q7B");
    // Timed from where the program starts its picture helper, on to the frame and the book shown.
    QElapsedTimer clock;
    clock.start();
    startPictureHelper();
    VantrelMDI* frame = Forms::get<VantrelMDI>();
    Forms::get<Data>();
    frame->show();
    QCoreApplication::processEvents();
    frame->repaint();
    const double ms = clock.nsecsElapsed() / 1e6;
    if (!picture.isEmpty() && frame->BackPictureFile != picture) return 43;
    std::printf("%.3f %.1f\n", ms, peakMb());
    std::fflush(stdout);
    std::_Exit(0);
}

PictureBench benchPictures(const QString& folder, Data* d) {
    PictureBench b;
    ModulePhoneBook& m = pbm();
    const QString attachments = m.names().attachmentsFolder();
    QDir().mkpath(attachments);
    const QString recordPhoto = attachments + QLatin1Char('/') + QLatin1String(kRecordPhoto);
    writeBook(recordPhoto, photo(1632, 1224));
    m.current = 1;
    m.readRecord(1);
    const PhoneRecord before = m.Rec;
    m.Rec.set(PhoneRecord::PictureFile, QString::fromLatin1(kRecordPhoto));
    const Work decode{[&] {
        QImageReader reader(recordPhoto);
        reader.setAutoTransform(true);
        if (reader.read().isNull()) std::exit(44);
    }};
    b.record =
        timeTable(decode, {{QStringLiteral("Show a record whose picture is a 2-megapixel JPEG (the whole "
                                           "step: fields, list, picture scaled into its box)"),
                            {[&] { d->ToDisplay(); },
                             {},
                             [&] {
                                 if (d->imgPreview->pixmap().isNull()) std::exit(45);
                             }},
                            1.5}});
    m.Rec = before;
    d->ToDisplay();

    const QString background = folder + QLatin1Char('/') + QLatin1String(kBackgroundPhoto);
    writeBook(background, photo(6000, 4000));
    b.startMs = b.startPhotoMs = 1e300;
    for (int run = 0; run < kStarts; ++run) {
        const auto [plain, plainMb] = startInChild(folder, QString());
        const auto [withPhoto, photoMb] = startInChild(folder, background);
        b.startMs = std::min(b.startMs, plain);
        b.startPhotoMs = std::min(b.startPhotoMs, withPhoto);
        b.startMb = plainMb;
        b.startPhotoMb = photoMb;
    }
    return b;
}

bool printPictureBench(const PictureBench& b) {
    std::printf("\nA record's picture, best of %d of each.\n\n", b.record.rounds);
    const bool ok =
        printTable(b.record, QStringLiteral("Decode the same JPEG in this process (`QImageReader`)"),
                   QStringLiteral("decode"));
    std::printf("\nThe program's start on the same book (frame and phone book window, shown and painted), "
                "each in a process of its own, best of %d:\n\n",
                kStarts);
    std::printf("| Start | Time (ms) | Peak memory (MB) |\n|---|---:|---:|\n");
    std::printf("| No background picture | %.2f | %.0f |\n", b.startMs, b.startMb);
    std::printf("| A 24-megapixel JPEG photo (6000 × 4000) as the frame's background | %.2f | %.0f |\n",
                b.startPhotoMs, b.startPhotoMb);
    return ok;
}

} // namespace pbbench
