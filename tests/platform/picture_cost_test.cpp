#include "hostile_pictures.h"
#include "platform/picture_file.h"
#include "platform/rtf.h"
#include "platform/vb_error.h"
#include "records.h"

#include <QPixmap>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QThreadPool>
#include <QUrl>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

// What reading one picture, or one document of pictures, may cost at most,
// however its bytes were made.
constexpr long kMostPeakMb = 300;
constexpr double kMostCpuSeconds = 2.0;

using namespace pbtest;

namespace {

// A read still running past this has failed already: it is stopped there.
constexpr int kCpuCutoffMs = int(kMostCpuSeconds * 1000) + 500;
// A child that is not busy but stuck is stopped after this long.
constexpr unsigned kWallCutoffSeconds = 30;

struct Cost {
    long peakMb = 0;
    double cpuSeconds = 0;
    int status = 0;
};

double seconds(const timeval& t) {
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

// Runs `read` in a child process of its own and gives what the child cost; the
// child's exit code is what `read` returns, 2 for an exception.
Cost costOf(const std::function<int()>& read) {
    // The pool's threads are not forked: a child converting an image would wait for them forever.
    QThreadPool::globalInstance()->waitForDone();
    const pid_t child = ::fork();
    if (child == 0) {
        // The decoders complain about every hostile picture; the parent says what matters.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        itimerval cpu{};
        cpu.it_value.tv_sec = kCpuCutoffMs / 1000;
        cpu.it_value.tv_usec = kCpuCutoffMs % 1000 * 1000;
        setitimer(ITIMER_PROF, &cpu, nullptr);
        alarm(kWallCutoffSeconds);
        int code = 2;
        try {
            code = read();
        } catch (...) {
        }
        _exit(code);
    }
    Cost cost;
    rusage use{};
    if (child < 0 || ::wait4(child, &cost.status, 0, &use) != child) return {0, 0, -1};
    cost.peakMb = use.ru_maxrss / 1024;
    cost.cpuSeconds = seconds(use.ru_utime) + seconds(use.ru_stime);
    return cost;
}

std::string describe(const Cost& c) {
    std::string how;
    if (c.status == -1)
        how = "could not run, ";
    else if (WIFSIGNALED(c.status))
        how = WTERMSIG(c.status) == SIGPROF   ? "stopped at the CPU cut-off, "
              : WTERMSIG(c.status) == SIGALRM ? "stuck, "
                                              : "crashed, ";
    else if (WEXITSTATUS(c.status) != 0)
        how = WEXITSTATUS(c.status) == 2 ? "threw, " : "showed no picture or the wrong one, ";
    return how + std::to_string(c.peakMb) + " MB at peak, " + std::to_string(c.cpuSeconds) + " s CPU";
}

void expectCheap(const Cost& c, const char* what) {
    const std::string said = std::string(what) + ": " + describe(c);
    EXPECT_TRUE(WIFEXITED(c.status) && WEXITSTATUS(c.status) == 0) << said;
    EXPECT_LE(c.peakMb, kMostPeakMb) << said;
    EXPECT_LE(c.cpuSeconds, kMostCpuSeconds) << said;
}

// The pictures the document shows (a placeholder shows none).
QList<QImage> shownPictures(const QTextDocument& doc) {
    QList<QImage> pictures;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto f = b.begin(); !f.atEnd(); ++f)
            if (const QTextCharFormat c = f.fragment().charFormat(); c.isImageFormat())
                pictures.append(doc.resource(QTextDocument::ImageResource, QUrl(c.toImageFormat().name()))
                                    .value<QImage>());
    return pictures;
}

// Exit codes for the child: 0 when the read ended as allowed, 1 when not. An
// empty `size` allows a refused picture and a picture of any size.
int fileShows(const QString& path, QSize size) {
    try {
        // Into a pixmap, as every window shows it.
        const QPixmap shown = QPixmap::fromImage(pb::readPicture(path));
        return !size.isEmpty() && shown.size() != size;
    } catch (const pb::VbError& e) {
        if (e.number() != pb::err::InvalidPicture && e.number() != pb::err::OutOfMemory) return 2;
        return !size.isEmpty();
    }
}

int documentShows(const QByteArray& rtf, QSize size, int pictures) {
    QTextDocument doc;
    pb::rtf::read(rtf, doc);
    if (size.isEmpty()) return 0;
    const QList<QImage> shown = shownPictures(doc);
    return shown.size() != pictures ||
           std::any_of(shown.begin(), shown.end(), [&](const QImage& i) { return i.size() != size; });
}

QByteArray minimalRtf(const QByteArray& picture, const char* blip) {
    return "{\\rtf1 {\\pict\\" + QByteArray(blip) + ' ' + picture.toHex() + "}}";
}

// The hostile pictures, made once: the largest takes a while.
const QByteArray& made(const std::string& name) {
    static std::map<std::string, QByteArray> pictures;
    if (auto found = pictures.find(name); found != pictures.end()) return found->second;
    static const std::map<std::string, std::function<QByteArray()>> makers = {
        // 257 bytes claiming 5600 x 5600 behind an 8 x 8 decoy.
        {"HiddenSizeJpeg", [] { return hostile::hiddenSizeJpeg(false); }},
        // The same as a progressive JPEG, whose decoder keeps every coefficient.
        {"HiddenSizeProgressiveJpeg", [] { return hostile::hiddenSizeJpeg(true); }},
        // An honest 5600 x 5600 progressive JPEG of one colour, in 180 KB.
        {"HonestHugeProgressiveJpeg", [] { return hostile::progressiveJpeg(hostile::kHiddenSide); }},
        // 2400 x 2400 with one refinement scan 1,500 times over, in 77 KB.
        {"ManyScanJpeg", [] { return hostile::manyScanJpeg(2400, 1500); }},
        // The same with 60,000 scans, in 1 MB.
        {"ManyMoreScanJpeg", [] { return hostile::manyScanJpeg(2400, 60000); }},
        // 5000 x 5000 at a bit a pixel in 6 KB: 25 million pixels to hold.
        {"OneBitPng", [] { return hostile::monoPng(5000); }},
        // 64 x 64 whose compressed data goes on for 2 GiB of zeros after the rows, in 2 MB.
        {"PngWithTrailingZeros", [] { return hostile::pngWithTrailingZeros(qint64(2) << 30); }},
    };
    return pictures[name] = makers.at(name)();
}

class PictureCost : public ::testing::Test {
protected:
    QTemporaryDir dir;
};

class HostilePicture : public PictureCost, public ::testing::WithParamInterface<std::string> {};

} // namespace

TEST_P(HostilePicture, CostsLittleReadFromAFile) {
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("picture"));
    writeFile(path, made(GetParam()));
    expectCheap(costOf([&] { return fileShows(path, {}); }), "the file");
}

TEST_P(HostilePicture, CostsLittleInADocument) {
    const QByteArray& picture = made(GetParam());
    const QByteArray rtf = minimalRtf(picture, picture.startsWith("\x89PNG") ? "pngblip" : "jpegblip");
    expectCheap(costOf([&] { return documentShows(rtf, {}, 0); }), "the document");
}

INSTANTIATE_TEST_SUITE_P(, HostilePicture,
                         ::testing::Values("HiddenSizeJpeg", "HiddenSizeProgressiveJpeg",
                                           "HonestHugeProgressiveJpeg", "ManyScanJpeg", "ManyMoreScanJpeg",
                                           "OneBitPng", "PngWithTrailingZeros"),
                         [](const auto& info) { return info.param; });

TEST_F(PictureCost, DocumentsOfManyHostilePicturesCostLittle) {
    // 40 one-bit 5000 x 5000 PNGs in 480 KB: a billion pixels if all were held.
    const QByteArray pngs = hostile::rtfWithPictures(made("OneBitPng"), "pngblip", 40);
    expectCheap(costOf([&] { return documentShows(pngs, {}, 0); }), "forty one-bit PNGs");
    // Eight hidden-size JPEGs in 4 KB, each under the document's pixel limit.
    const QByteArray jpegs = hostile::rtfWithPictures(made("HiddenSizeJpeg"), "jpegblip", 8);
    expectCheap(costOf([&] { return documentShows(jpegs, {}, 0); }), "eight hidden-size JPEGs");
}

TEST_F(PictureCost, OrdinaryPicturesStillShowFromAFileAndInADocument) {
    ASSERT_TRUE(dir.isValid());
    const struct {
        const char* name;
        QByteArray bytes;
        QSize size;
        const char* blip; // none: documents hold no such picture
    } cases[] = {
        {"PNG", hostile::picture(1000, 800, "png"), {1000, 800}, "pngblip"},
        {"baseline JPEG", hostile::picture(1600, 1200, "jpeg"), {1600, 1200}, "jpegblip"},
        {"progressive JPEG", hostile::picture(1600, 1200, "jpeg", true), {1600, 1200}, "jpegblip"},
        {"GIF", hostile::gif(640, 480), {640, 480}, nullptr},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        writeFile(path, c.bytes);
        expectCheap(costOf([&] { return fileShows(path, c.size); }), c.name);
        if (!c.blip) continue;
        const QByteArray twice = hostile::rtfWithPictures(c.bytes, c.blip, 2);
        expectCheap(costOf([&] { return documentShows(twice, c.size, 2); }), c.name);
    }
}
