// The real page view: a page from disk loads and its title shows.
#include "platform/web_view.h"
#include "records.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

TEST(EngineView, LoadsALocalPageAndShowsItsTitle) {
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("smoke page.htm"));
    pbtest::writeFile(page, "<html><head><title>Smoke Title</title></head><body>Hello</body></html>");

    QWidget host;
    host.resize(400, 300);
    std::unique_ptr<pb::WebView> view = pb::makeWebView(&host);
    int loads = 0;
    view->downloadComplete = [&] { ++loads; };
    host.show();
    view->navigate(QUrl::fromLocalFile(page));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return loads > 0 && view->locationName() == QLatin1String("Smoke Title"); }, 60000));
    EXPECT_EQ(view->locationUrl(), QUrl::fromLocalFile(page).toString());

    view.reset();
}
