#pragma once

#include "workspace/top_window.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace pb {

// The help window: a page of hints on using the program.
class frmHelp : public TopWindow {
    Q_OBJECT
public:
    frmHelp();
    void Form_Load() override;
    void cmdCancel_Click();

    QLabel* lblHelp = nullptr;
    QPlainTextEdit* txtHelp = nullptr;
    QPushButton* cmdCancel = nullptr;
};

} // namespace pb
