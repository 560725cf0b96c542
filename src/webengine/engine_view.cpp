#include "webengine/engine_view.h"

#include "platform/web_view.h"

#include <QDesktopServices>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <vector>

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

// The engine's profile, made with the first view: making it starts the engine's helper
// processes, which a start of the program that shows no page does without.
QWebEngineProfile* engineProfile() {
    static QWebEngineProfile* const profile = [] {
        QWebEngineProfile* p = QWebEngineProfile::defaultProfile();
        // Nothing is downloaded: a request nobody accepts is dropped.
        QObject::connect(p, &QWebEngineProfile::downloadRequested, p,
                         [](QWebEngineDownloadRequest* d) { d->cancel(); });
        return p;
    }();
    return profile;
}

class EngineView;

// The live views, newest last: the engine hands a followed "mailto:" link to the desktop's
// URL handler, which gives it to the newest view here.
std::vector<EngineView*>& liveViews() {
    static std::vector<EngineView*> views;
    return views;
}

class MailLinks : public QObject {
    Q_OBJECT
public Q_SLOTS:
    void open(const QUrl& url);
};

class EngineView : public WebView {
public:
    explicit EngineView(QWidget* parent) : m_view(new QWebEngineView(parent)) {
        liveViews().push_back(this);
        m_page = new SurferPage(engineProfile(), m_view);
        m_view->setPage(m_page);
        m_page->mailLink = [this](const QUrl& url) {
            if (mailLink) mailLink(url);
        };
        m_started =
            QObject::connect(m_view, &QWebEngineView::loadStarted, m_view, [this] { m_loading = true; });
        m_finished = QObject::connect(m_view, &QWebEngineView::loadFinished, m_view, [this](bool) {
            m_loading = false;
            if (downloadComplete) downloadComplete();
        });
    }
    // The view itself goes with its parent window, later: it must not call back into this.
    ~EngineView() override {
        std::erase(liveViews(), this);
        QObject::disconnect(m_started);
        QObject::disconnect(m_finished);
        m_page->mailLink = {};
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
    QMetaObject::Connection m_started;
    QMetaObject::Connection m_finished;
};

void MailLinks::open(const QUrl& url) {
    if (!liveViews().empty() && liveViews().back()->mailLink) liveViews().back()->mailLink(url);
}

} // namespace

void installEngineWebViews() {
    static MailLinks mail;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &mail, "open");
    setWebViewFactory([](QWidget* parent) { return std::make_unique<EngineView>(parent); });
    setWebViewHostPreparer([](QWidget* window) {
        // A hidden drawing widget makes the window's surface one the engine can draw through
        // from the start. Without a working OpenGL the window is left as it is.
        const QOpenGLContext* shared = QOpenGLContext::globalShareContext();
        if (!shared || !shared->isValid() || window->testAttribute(Qt::WA_WState_Created)) return;
        auto* settle = new QOpenGLWidget(window);
        settle->setObjectName(QStringLiteral("engineSurface"));
        settle->hide();
    });
}

} // namespace pb

#include "engine_view.moc"
