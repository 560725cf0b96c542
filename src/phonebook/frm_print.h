#pragma once

#include "workspace/top_window.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace pb {

// The print dialog: the shown record or the whole book, shown in the text editor
// ("To a File") or printed. Its four choices are kept in the settings.
class frmPrint : public TopWindow {
    Q_OBJECT
public:
    frmPrint();
    void Form_Load() override;
    void Form_Unload() override;

    void cmdPrint_Click();
    void cmdExit_Click();

    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* Option1 = nullptr; // This Record
    QRadioButton* Option2 = nullptr; // All Records
    QRadioButton* Option3 = nullptr; // To a File
    QRadioButton* Option4 = nullptr; // To a Printer
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdExit = nullptr;

private:
    QRadioButton* option(int i) const;
};

} // namespace pb
