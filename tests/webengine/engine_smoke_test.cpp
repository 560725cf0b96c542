// The real page view: a page from disk loads and its title shows.
#include "platform/web_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

bool waitFor(const std::function<bool()>& done, int ms = 60000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

} // namespace

TEST(EngineView, LoadsALocalPageAndShowsItsTitle) {
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("smoke page.htm"));
    QFile f(page);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><head><title>Smoke Title</title></head><body>Hello</body></html>");
    f.close();

    QWidget host;
    host.resize(400, 300);
    std::unique_ptr<pb::WebView> view = pb::makeWebView(&host);
    int loads = 0;
    view->downloadComplete = [&] { ++loads; };
    host.show();
    view->navigate(QUrl::fromLocalFile(page));
    ASSERT_TRUE(waitFor([&] { return loads > 0 && view->locationName() == QLatin1String("Smoke Title"); }));
    EXPECT_EQ(view->locationUrl(), QUrl::fromLocalFile(page).toString());

    view.reset();
}
