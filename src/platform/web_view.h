#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class QWidget;

namespace pb {

// The page area of the web surfer. The program installs a real browser engine;
// without one (the test programs) a view that loads nothing stands in.
class WebView {
public:
    virtual ~WebView() = default;
    virtual QWidget* widget() = 0;
    virtual void navigate(const QUrl& url) = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void stop() = 0;
    virtual void refresh() = 0;
    // The shown page's title and address, as the engine reports them now.
    virtual QString locationName() const = 0;
    virtual QString locationUrl() const = 0;
    virtual bool busy() const = 0;

    // Set by the window that hosts the view: a page has finished loading, and a
    // "mailto:" link was followed (the view never loads those itself).
    std::function<void()> downloadComplete;
    std::function<void(const QUrl&)> mailLink;
};

using WebViewFactory = std::function<std::unique_ptr<WebView>(QWidget* parent)>;
// Installs the engine's views (the program) or a fake (tests); an empty one restores the stand-in.
void setWebViewFactory(WebViewFactory make);
std::unique_ptr<WebView> makeWebView(QWidget* parent);

// A top-level window that may come to hold page views calls this before it is first shown.
// The engine draws through the window's own surface: settled now, a page view coming later
// does not make the window be built anew (which moves it and sends it behind its dialogs).
using WebViewHostPreparer = std::function<void(QWidget* window)>;
void setWebViewHostPreparer(WebViewHostPreparer prepare);
void prepareWebViewHost(QWidget* window);

} // namespace pb
