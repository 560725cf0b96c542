#include "accessories/rich_text_box.h"
#include "hostile_pictures.h"
#include "platform/picture_file.h"
#include "platform/rtf.h"
#include "platform/vb_error.h"
#include "records.h"

#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QScrollBar>
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
        // The helper and its decoders are waited for, so that what they cost is counted here.
        pb::stopPictureHelper();
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

// Read into the editor's box and painted screen by screen, as a reader scrolls through it.
int documentShows(const QByteArray& rtf, QSize size, int pictures) {
    pb::RichTextBox box;
    box.resize(1200, 900);
    pb::rtf::read(rtf, *box.document());
    QPixmap screen(box.viewport()->size());
    QScrollBar* bar = box.verticalScrollBar();
    for (int y = 0; y <= bar->maximum(); y += box.viewport()->height()) {
        bar->setValue(y);
        box.viewport()->render(&screen);
    }
    if (size.isEmpty()) return 0;
    const QList<QImage> shown = shownPictures(*box.document());
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
        // 16 x 16 with 40 compressed text chunks of 7.9 MB each, in 308 KB.
        {"PngOfTextChunks", [] { return hostile::pngWithText(40, 7'900'000, true); }},
        // An icon whose 65,535 entries all name one PNG of 100,000 empty chunks, in 2.2 MB.
        {"IconOfOnePngManyTimes", [] { return hostile::iconOfOnePng(65535, 100'000); }},
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
                                           "OneBitPng", "PngWithTrailingZeros", "PngOfTextChunks",
                                           "IconOfOnePngManyTimes"),
                         [](const auto& info) { return info.param; });

TEST_F(PictureCost, DocumentsOfManyHostilePicturesCostLittle) {
    // 40 one-bit 5000 x 5000 PNGs in 480 KB: a billion pixels if all were held.
    const QByteArray pngs = hostile::rtfWithPictures(made("OneBitPng"), "pngblip", 40);
    expectCheap(costOf([&] { return documentShows(pngs, {}, 0); }), "forty one-bit PNGs");
    // Eight hidden-size JPEGs in 4 KB, each under the document's pixel limit.
    const QByteArray jpegs = hostile::rtfWithPictures(made("HiddenSizeJpeg"), "jpegblip", 8);
    expectCheap(costOf([&] { return documentShows(jpegs, {}, 0); }), "eight hidden-size JPEGs");
    // Every picture costs its decoding work, shown or not: 300 JPEGs of 500 scans each that fail
    // at their last scan, and twenty that decode.
    const QByteArray failing =
        hostile::rtfWithPictures(hostile::failingManyScanJpeg(1600, 500), "jpegblip", 300);
    expectCheap(costOf([&] { return documentShows(failing, {}, 0); }), "300 JPEGs failing after their work");
    const QByteArray working = hostile::rtfWithPictures(hostile::manyScanJpeg(1600, 500), "jpegblip", 20);
    expectCheap(costOf([&] { return documentShows(working, {}, 0); }), "twenty JPEGs of 500 scans");
}

TEST_F(PictureCost, TheEditorPaintsNoMoreThanItRead) {
    // Four 7240 x 7240 RGBA PNGs, 210 MB each as pixels: the document keeps one.
    const QByteArray big =
        hostile::png(7240, 7240, 8, 6, [](int, QByteArray& row) { row.fill('\0', 1 + 7240 * 4); });
    const QByteArray four = hostile::rtfWithPictures(big, "pngblip", 4);
    expectCheap(costOf([&] {
                    return documentShows(four, {7240, 7240}, 1);
                }),
                "four huge PNGs read and painted");
}

TEST_F(PictureCost, TextFormatsAndTextChunksCostLittleFromAFile) {
    ASSERT_TRUE(dir.isValid());
    const struct {
        const char* name;
        std::function<QByteArray()> make;
    } cases[] = {
        {"900 text chunks of 200 KB", [] { return hostile::pngWithText(900, 200'000, false); }},
        {"an ASCII PPM of 216 MB", [] { return hostile::asciiPpm(6000); }},
        {"an XPM of 105 MB", [] { return hostile::xpm(7200); }},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        writeFile(path, c.make()); // made here and let go: the child starts from what the parent holds
        expectCheap(costOf([&] { return fileShows(path, {}); }), c.name);
        QFile::remove(path);
    }
}

TEST_F(PictureCost, APhotoBehindTheFrameKeepsOnlyWhatTheScreenShows) {
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    writeFile(path, hostile::withOrientation(hostile::photoJpeg(6000, 4000, {}), 6));
    const QSize screen = pb::PictureView::onScreen().box;
    const Cost cost = costOf([&] {
        const QPixmap shown = QPixmap::fromImage(pb::readPicture(path, pb::PictureView::onScreen()));
        return int(shown.size() != screen.boundedTo(QSize(4000, 6000)));
    });
    expectCheap(cost, "a 24-megapixel background");
    // The photo as decoded would be 96 MB: none of it is held for long.
    EXPECT_LE(cost.peakMb, kMostPeakMb / 2) << describe(cost);
}

TEST_F(PictureCost, OrdinaryPicturesShowAtTheirSize) {
    ASSERT_TRUE(dir.isValid());
    struct Case {
        std::string name;
        std::function<QByteArray()> make;
        QSize size;
    };
    std::vector<Case> cases = {
        {"a 24-megapixel 16-bit PNG",
         [] {
             return hostile::png(6000, 4000, 16, 2, [](int y, QByteArray& row) {
                 row.append('\0');
                 for (int x = 0; x < 6000; ++x)
                     row.append(char(x / 24))
                         .append(char(y))
                         .append(char(y / 16))
                         .append('\x80')
                         .append(char(x))
                         .append('\0');
             });
         },
         {6000, 4000}},
        {"a 4K screenshot",
         [] {
             return hostile::png(3840, 2160, 8, 2, [](int y, QByteArray& row) {
                 row.append('\0');
                 for (int x = 0; x < 3840; ++x)
                     row.append(QByteArray((x / 300 + y / 40) % 3 ? "\xF0\xF0\xF0" : "\x20\x60\xC0", 3));
             });
         },
         {3840, 2160}},
        {"a 24-megapixel bitmap", [] { return hostile::bmp(6000, 4000); }, {6000, 4000}},
        {"a CMYK JPEG",
         [] {
             return hostile::photoJpeg(3000, 2000, {false, 1, 1, true});
         },
         {3000, 2000}},
        {"a GIF of 300 frames", [] { return hostile::gif(480, 270, 300); }, {480, 270}},
    };
    for (const bool progressive : {false, true})
        for (const auto& [h, v, sampling] : {std::tuple{2, 2, "4:2:0"}, {2, 1, "4:2:2"}, {1, 1, "4:4:4"}})
            for (const bool turned : {false, true})
                cases.push_back(
                    {std::string("a 24-megapixel ") + (progressive ? "progressive " : "baseline ") +
                         sampling + " JPEG" + (turned ? " held upright" : ""),
                     [=] {
                         const QByteArray jpeg = hostile::photoJpeg(6000, 4000, {progressive, h, v});
                         return turned ? hostile::withOrientation(jpeg, 6) : jpeg;
                     },
                     turned ? QSize(4000, 6000) : QSize(6000, 4000)});
    for (const Case& c : cases) {
        const QString path = dir.filePath(QStringLiteral("picture"));
        writeFile(path, c.make());
        expectCheap(costOf([&] { return fileShows(path, c.size); }), c.name.c_str());
    }
    // Small ones in documents too, twice over.
    for (const auto& [bytes, blip, size] :
         {std::tuple{hostile::picture(1000, 800, "png"), "pngblip", QSize(1000, 800)},
          {hostile::picture(1600, 1200, "jpeg", true), "jpegblip", QSize(1600, 1200)}}) {
        const QByteArray twice = hostile::rtfWithPictures(bytes, blip, 2);
        expectCheap(costOf([&] { return documentShows(twice, size, 2); }), blip);
    }
}

TEST_F(PictureCost, AStoppedOrHungDecoderIsNoPictureAndTheNextOneShows) {
    const auto signalHelper = [](int signal) {
        for (const QString& task :
             QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile children(QStringLiteral("/proc/self/task/%1/children").arg(task));
            children.open(QIODevice::ReadOnly);
            for (const QByteArray& pid : children.readAll().split(' ')) {
                QFile name(QStringLiteral("/proc/%1/comm").arg(pid.toInt()));
                if (name.open(QIODevice::ReadOnly) && name.readAll().startsWith("dorvane-picture"))
                    ::kill(pid.toInt(), signal);
            }
        }
    };
    const QByteArray small = hostile::picture(64, 48, "png");
    // Ended at its CPU limit.
    EXPECT_TRUE(pb::decodePicture(made("ManyMoreScanJpeg")).isNull());
    EXPECT_EQ(pb::decodePicture(small).size(), QSize(64, 48));
    // A helper that stops answering is ended, and one that died is started again.
    signalHelper(SIGSTOP);
    pb::PictureBudget budget{pb::kPictureBytes, 100'000};
    EXPECT_TRUE(pb::decodePicture(small, {}, budget).isNull());
    EXPECT_EQ(pb::decodePicture(small).size(), QSize(64, 48));
    signalHelper(SIGKILL);
    EXPECT_EQ(pb::decodePicture(small).size(), QSize(64, 48));
}
