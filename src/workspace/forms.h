#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <typeindex>
#include <vector>

class QMenuBar;

namespace pb {

// A window of the program: loaded once on first use, unloaded by its Close
// command or the frame's unload. Settings are saved in Form_Unload, never in a
// destructor.
class Form {
public:
    virtual ~Form() = default;
    virtual QWidget* widget() = 0;
    virtual void Form_Load() {}
    virtual void Form_Unload() {}
    // An MDI child is shown inside the frame; other windows stand on their own.
    virtual bool isMdiChild() const { return false; }
    // The menus an MDI child puts in the frame's menu bar while it is the active one;
    // none leaves the frame's own menus there.
    virtual QMenuBar* childMenus() const { return nullptr; }
};

// The one instance of each window.
class Forms {
public:
    // The loaded window, created (and its Form_Load run) on first use.
    template <class F> static F* get() {
        if (F* f = find<F>()) return f;
        auto* f = new F();
        add(typeid(F), f);
        f->Form_Load();
        return f;
    }
    template <class F> static F* find() {
        const auto it = map().find(typeid(F));
        return it == map().end() ? nullptr : static_cast<F*>(it->second);
    }
    template <class F> static void unload() { unload(find<F>()); }
    // Runs the window's Form_Unload, then removes it; safe while one of its handlers runs.
    static void unload(Form* form);
    // Every loaded window, in the order they were loaded.
    static std::vector<Form*> loaded();
    // Shows a window modeless and restores it from minimised; MDI children go into the frame.
    static void show(Form* form);
    // Destroys what unloading scheduled (tests and shut-down).
    static void flushDeleted();

    // Windows announce themselves by name (PB_REGISTER_WINDOW), so whoever opens one
    // by name needs none of their headers.
    using Factory = std::function<Form*()>;
    static bool registerWindow(const QString& name, std::type_index type, Factory make);
    // The loaded window of that name, created on first use; nullptr for a name nobody registered.
    static Form* byName(const QString& name);
    // The window of that name if it is loaded; nullptr otherwise (nothing is created).
    static Form* findByName(const QString& name);
    // Whether a window registered itself under that name.
    static bool isRegistered(const QString& name);

private:
    static void add(std::type_index type, Form* form);
    static std::map<std::type_index, Form*>& map();
};

} // namespace pb

// Registers window class `Type` under `name` from the window's own source file.
#define PB_REGISTER_WINDOW(name, Type)                                                                       \
    namespace {                                                                                              \
    [[maybe_unused]] const bool registered##Type =                                                           \
        ::pb::Forms::registerWindow(QStringLiteral(name), typeid(Type),                                      \
                                    [] { return static_cast<::pb::Form*>(::pb::Forms::get<Type>()); });      \
    }
