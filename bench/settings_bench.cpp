// File > Open of the largest book: the whole command (unload with its settings, reload, paint) and
// the syncs of the settings file it causes, against the window's whole load with the same paint.
// The open reloads the window in place, where the load builds it anew: within the load's time, it
// has no room for a sync of the settings file per key.
#include "settings_bench.h"

#include "data/module_phonebook.h"
#include "phonebook/data.h"
#include "platform/settings_store.h"
#include "silent_prompts.h"
#include "workspace/forms.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace pb;

namespace pbbench {

namespace {

void paint() {
    QCoreApplication::processEvents();
    if (Data* d = Forms::find<Data>()) d->repaint();
}

} // namespace

SettingsBench benchSettings(const QString& path, SilentPrompts& silent) {
    SettingsBench b;
    int syncsBefore = 0;
    const auto loaded = [] {
        Data* d = Forms::get<Data>();
        Forms::show(d);
        return d;
    };
    b.open =
        timeTable({[&] {
                       loaded();
                       paint();
                   },
                   [] {
                       Forms::unload<Data>();
                       Forms::flushDeleted();
                   }},
                  {{QStringLiteral("File > Open of the same book (the whole command: unload, reload, paint)"),
                    {[&] {
                         Forms::find<Data>()->mnuOpen_Click();
                         paint();
                     },
                     [&] {
                         loaded();
                         silent.fileName = path;
                         syncsBefore = SettingsStore::syncCount();
                     },
                     [&] {
                         silent.fileName.clear();
                         if (pbm().RecordCount != kMaxRecords) std::exit(40);
                         b.syncsPerOpen = std::max(b.syncsPerOpen, SettingsStore::syncCount() - syncsBefore);
                     }},
                    1}},
                  15);
    Forms::unload<Data>();
    Forms::flushDeleted();
    return b;
}

bool printSettingsBench(const SettingsBench& b) {
    std::printf("\nFile > Open of the same book in the frame, best of %d of each.\n\n", b.open.rounds);
    Table shown = b.open;
    shown.rows[0].what += QStringLiteral(": %1 settings-file %2 a command (at most 1)")
                              .arg(b.syncsPerOpen)
                              .arg(b.syncsPerOpen == 1 ? QStringLiteral("sync") : QStringLiteral("syncs"));
    const bool ok = printTable(shown, QStringLiteral("Load the phone book window (whole load) and paint it"),
                               QStringLiteral("whole load"));
    return ok && b.syncsPerOpen <= 1;
}

} // namespace pbbench
