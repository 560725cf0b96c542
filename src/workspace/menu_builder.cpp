#include "workspace/menu_builder.h"

#include "workspace/vantrel_mdi.h"

namespace pb {

void Popup::show(QMenu* menu, const QPoint& at) {
    if (watcher)
        watcher(menu, at);
    else
        menu->popup(at);
}

QAction* MenuBuilder::item(QMenu* menu, const char* name, const char* caption, const char* shortcut,
                           Handler handler, bool hidden) {
    auto* a = menu->addAction(QString::fromLatin1(caption));
    a->setObjectName(QString::fromLatin1(name));
    if (shortcut) {
        a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        window->addAction(a); // shortcuts act while the window has the focus
    }
    if (handler)
        QObject::connect(a, &QAction::triggered, window, [handler] { handler(); });
    else
        a->setEnabled(false);
    a->setVisible(!hidden);
    actions[a->objectName()] = a;
    return a;
}

QMenu* MenuBuilder::named(QMenu* m, const char* name) {
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    actions[m->objectName()] = m->menuAction();
    return m;
}

QMenu* MenuBuilder::sub(QMenu* parent, const char* name, const char* caption, bool hidden) {
    QMenu* m = named(parent->addMenu(QString::fromLatin1(caption)), name);
    m->menuAction()->setVisible(!hidden);
    return m;
}

QMenu* MenuBuilder::top(const char* name, const char* caption) {
    return named(bar->addMenu(QString::fromLatin1(caption)), name);
}

QMenu* MenuBuilder::onlineMenu(OnlineMenu which, std::function<void(const QString&)> open) {
    if (!open) open = ShowPublisherPage;
    QMenu* online = top("mnuOnline", "&Online");
    QMenu* news = nullptr;
    for (const OnlineItem& it : onlineItems(which)) {
        QMenu* in = online;
        if (it.inNews) {
            if (!news) news = sub(online, "mnuNews", newsCaption(which));
            in = news;
        }
        if (it.lineBefore) sep(in);
        const QString page = QString::fromLatin1(it.page);
        item(in, it.name, it.caption, nullptr, [open, page] { open(page); });
    }
    return online;
}

QMenu* MenuBuilder::windowMenu() {
    QMenu* window = top("mnuWindow", "&Window");
    const auto arrange = [](int how) { return [how] { Forms::get<VantrelMDI>()->Arrange(how); }; };
    item(window, "mnuTH", "Tile &Horizentally", nullptr, arrange(1));
    item(window, "mnuTV", "Tile &Vertically", nullptr, arrange(2));
    item(window, "mnuCascade", "&Cascade", nullptr, arrange(0));
    item(window, "mnuArrange", "&Arrange Icons", nullptr, arrange(3));
    VantrelMDI::listChildWindows(window);
    return window;
}

} // namespace pb
