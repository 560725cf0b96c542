#pragma once

#include "platform/web_view.h"

#include <QLabel>
#include <QStringList>

namespace pbtest {

// A page view that loads nothing: it records what the surfer asked of it and
// reports the title and address a test gives it.
class RecordingWebView : public pb::WebView {
public:
    explicit RecordingWebView(QWidget* parent) : m_widget(new QLabel(parent)) {}
    QWidget* widget() override { return m_widget; }
    void navigate(const QUrl& url) override {
        calls << QStringLiteral("navigate ") + url.toString();
        navigated << url.toString();
    }
    void goBack() override { calls << QStringLiteral("back"); }
    void goForward() override { calls << QStringLiteral("forward"); }
    void stop() override { calls << QStringLiteral("stop"); }
    void refresh() override { calls << QStringLiteral("refresh"); }
    QString locationName() const override { return title; }
    QString locationUrl() const override { return url; }
    bool busy() const override { return false; }
    // A page has loaded: the engine tells the surfer.
    void finishLoad(const QString& newTitle) {
        title = newTitle;
        if (downloadComplete) downloadComplete();
    }

    QStringList calls;
    QStringList navigated;
    QString title;
    QString url; // what the engine reports: the page before the navigation commits

private:
    QLabel* m_widget;
};

// Puts recording views in the place of the engine's for as long as it lives.
class RecordingWebViews {
public:
    RecordingWebViews() {
        pb::setWebViewFactory([this](QWidget* parent) {
            auto v = std::make_unique<RecordingWebView>(parent);
            last = v.get();
            return v;
        });
    }
    ~RecordingWebViews() { pb::setWebViewFactory({}); }
    RecordingWebView* last = nullptr;
};

} // namespace pbtest
