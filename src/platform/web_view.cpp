#include "platform/web_view.h"

#include <QLabel>

namespace pb {

namespace {

// Shows where the page would be; remembers the address so the surfer's list still works.
class NoEngineView : public WebView {
public:
    explicit NoEngineView(QWidget* parent)
        : m_label(new QLabel(QStringLiteral("No web engine is installed."), parent)) {
        m_label->setAlignment(Qt::AlignCenter);
    }
    QWidget* widget() override { return m_label; }
    void navigate(const QUrl& url) override { m_url = url.toString(); }
    void goBack() override {}
    void goForward() override {}
    void stop() override {}
    void refresh() override {}
    QString locationName() const override { return m_url; }
    QString locationUrl() const override { return m_url; }
    bool busy() const override { return false; }

private:
    QLabel* m_label;
    QString m_url;
};

WebViewFactory& factory() {
    static WebViewFactory f;
    return f;
}

WebViewHostPreparer& preparer() {
    static WebViewHostPreparer p;
    return p;
}

} // namespace

void setWebViewHostPreparer(WebViewHostPreparer prepare) {
    preparer() = std::move(prepare);
}

void prepareWebViewHost(QWidget* window) {
    if (preparer()) preparer()(window);
}

void setWebViewFactory(WebViewFactory make) {
    factory() = std::move(make);
}

std::unique_ptr<WebView> makeWebView(QWidget* parent) {
    if (factory()) return factory()(parent);
    return std::make_unique<NoEngineView>(parent);
}

} // namespace pb
