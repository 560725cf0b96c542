#include "webengine/engine_view.h"

#include "platform/web_view.h"

#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace pb {

namespace {

// A page that keeps every link in its own view and hands mail links on.
class SurferPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;
    std::function<void(const QUrl&)> mailLink;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0) {
            if (mailLink) mailLink(url);
            return false;
        }
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }
    // A link that asks for a new window opens here.
    QWebEnginePage* createWindow(WebWindowType) override { return this; }
};

class EngineView : public WebView {
public:
    explicit EngineView(QWidget* parent) : m_view(new QWebEngineView(parent)) {
        m_page = new SurferPage(m_view);
        m_view->setPage(m_page);
        m_page->mailLink = [this](const QUrl& url) {
            if (mailLink) mailLink(url);
        };
        QObject::connect(m_view, &QWebEngineView::loadStarted, m_view, [this] { m_loading = true; });
        QObject::connect(m_view, &QWebEngineView::loadFinished, m_view, [this](bool) {
            m_loading = false;
            if (downloadComplete) downloadComplete();
        });
    }
    QWidget* widget() override { return m_view; }
    void navigate(const QUrl& url) override { m_view->setUrl(url); }
    void goBack() override { m_view->back(); }
    void goForward() override { m_view->forward(); }
    void stop() override { m_view->stop(); }
    void refresh() override { m_view->reload(); }
    QString locationName() const override { return m_view->title(); }
    QString locationUrl() const override { return m_view->url().toString(); }
    bool busy() const override { return m_loading; }

private:
    QWebEngineView* m_view;
    SurferPage* m_page;
    bool m_loading = false;
};

} // namespace

void installEngineWebViews() {
    // Nothing is downloaded: a request nobody accepts is dropped.
    QObject::connect(QWebEngineProfile::defaultProfile(), &QWebEngineProfile::downloadRequested,
                     QWebEngineProfile::defaultProfile(), [](QWebEngineDownloadRequest* d) { d->cancel(); });
    setWebViewFactory([](QWidget* parent) { return std::make_unique<EngineView>(parent); });
}

} // namespace pb
