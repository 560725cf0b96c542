#pragma once

#include "book_fixture.h"
#include "export/data_report.h"
#include "workspace/frm_save.h"
#include "workspace/vantrel_mdi.h"

namespace pbtest {

// A phone book whose progress window runs its job at once, as its timer would later, with every
// caption line of the frame recorded.
class ExportFixture : public BookFixture {
protected:
    void SetUp() override {
        BookFixture::SetUp();
        prompts->onModal = [this](QDialog& dlg) {
            captionWhenShown = pb::Forms::get<pb::VantrelMDI>()->windowTitle();
            ++modals;
            static_cast<pb::frmSave&>(dlg).fireArmed();
        };
        pb::Forms::get<pb::VantrelMDI>()->captionObserver = [this](const QString& line) { captions << line; };
    }
    void TearDown() override {
        pb::report::closeConnection();
        BookFixture::TearDown();
    }
    // The next Save dialog is answered with this file.
    void chooseSave(const QString& path) {
        prompts->expectDialog(ScriptedPrompts::Kind::Save, [path](pb::CommonDialog& dlg) {
            dlg.FileName = path;
            return true;
        });
    }
    int modals = 0;
    QString captionWhenShown;
    QStringList captions;
};

} // namespace pbtest
