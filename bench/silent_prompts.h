#pragma once

#include "platform/common_dialog.h"
#include "platform/prompts.h"
#include "workspace/frm_save.h"

namespace pbbench {

// Answers every question so that nothing waits for a person: No to a yes-or-no box and OK to any
// other, a file dialog with `fileName` (cancelled while it is empty), the print dialog with OK when
// `acceptPrint` is set; the progress window runs its job at once instead of two seconds later.
class SilentPrompts : public pb::Prompts {
public:
    int msgBox(const QString&, int style, const QString&) override {
        return (style & 7) == pb::mb::YesNo ? pb::mb::No : pb::mb::OK;
    }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    void showModal(QDialog& dialog) override {
        if (auto* job = qobject_cast<pb::frmSave*>(&dialog)) job->fireArmed();
    }
    bool commonDialog(pb::CommonDialog& d, DialogKind kind) override {
        if (kind == DialogKind::Print) return acceptPrint;
        if (fileName.isEmpty()) return false;
        d.FileName = fileName;
        return true;
    }
    QString fileName;
    bool acceptPrint = false;
};

} // namespace pbbench
