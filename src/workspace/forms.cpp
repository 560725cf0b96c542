#include "workspace/forms.h"

#include "platform/settings_store.h"
#include "workspace/error_steps.h"
#include "workspace/vantrel_mdi.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>

namespace pb {

namespace {
std::vector<Form*>& order() {
    static std::vector<Form*> v;
    return v;
}
} // namespace

std::map<std::type_index, Form*>& Forms::map() {
    static std::map<std::type_index, Form*> m;
    return m;
}

void Forms::add(std::type_index type, Form* form) {
    map()[type] = form;
    order().push_back(form);
}

std::vector<Form*> Forms::loaded() {
    return order();
}

void Forms::unload(Form* form) {
    if (!form) return;
    auto& m = map();
    const auto it = std::find_if(m.begin(), m.end(), [&](const auto& p) { return p.second == form; });
    if (it == m.end()) return; // already unloading
    m.erase(it);
    order().erase(std::remove(order().begin(), order().end(), form), order().end());
    // An unload never leaves a window half gone: what its own steps let through stops here.
    // Whatever window it is, its keys reach the settings file in one write.
    SettingsStore::Batch settings;
    try {
        form->Form_Unload();
    } catch (...) {
    }
    Steps(OnError::Ignore)([&] { settings.finish(); });
    QWidget* w = form->widget();
    w->hide();
    // Deleted from the event loop, so a handler of the window still on the stack finishes safely.
    w->deleteLater();
}

void Forms::show(Form* form) {
    if (!form) return;
    QWidget* w = form->widget();
    if (form->isMdiChild()) Forms::get<VantrelMDI>()->adopt(w);
    // A window of its own that no one placed comes up over the middle of the frame, not
    // wherever the window manager finds room (half off the screen, behind the frame).
    VantrelMDI* frame = Forms::find<VantrelMDI>();
    if (!form->isMdiChild() && w->isWindow() && !w->isVisible() && !w->testAttribute(Qt::WA_Moved) && frame &&
        w != frame && frame->isVisible()) {
        if (!w->testAttribute(Qt::WA_Resized)) w->adjustSize(); // the size it will be shown at
        w->move(frame->frameGeometry().center() - w->rect().center());
    }
    const bool wasOpen = w->isVisible();
    if (w->isMinimized())
        w->showNormal();
    else
        w->show();
    // A window already open is brought up again, in front of the others.
    if (!wasOpen) return;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(w); sub && sub->mdiArea()) {
        sub->mdiArea()->setActiveSubWindow(sub);
    } else {
        w->raise();
        w->activateWindow();
    }
}

namespace {
struct Registered {
    std::type_index type;
    Forms::Factory make;
};
std::map<QString, Registered>& factories() {
    static std::map<QString, Registered> f;
    return f;
}
} // namespace

bool Forms::registerWindow(const QString& name, std::type_index type, Factory make) {
    factories().insert_or_assign(name, Registered{type, std::move(make)});
    return true;
}

Form* Forms::byName(const QString& name) {
    const auto it = factories().find(name);
    return it == factories().end() ? nullptr : it->second.make();
}

Form* Forms::findByName(const QString& name) {
    const auto it = factories().find(name);
    if (it == factories().end()) return nullptr;
    const auto loaded = map().find(it->second.type);
    return loaded == map().end() ? nullptr : loaded->second;
}

bool Forms::isRegistered(const QString& name) {
    return factories().count(name) != 0;
}

void Forms::flushDeleted() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace pb
