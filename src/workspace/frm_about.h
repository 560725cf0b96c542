#pragma once

#include "workspace/top_window.h"

class QLabel;
class QPushButton;

namespace pb {

// The about box: the program's name and version.
class frmAbout : public TopWindow {
    Q_OBJECT
public:
    frmAbout();
    void Form_Load() override;
    void cmdOk_Click();
    // "Dorvane v." and the three parts of the version.
    static QString versionCaption();

    QLabel* lblDescription = nullptr;
    QPushButton* cmdOk = nullptr;
};

} // namespace pb
