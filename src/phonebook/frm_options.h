#pragma once

#include "workspace/top_window.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace pb {

class Data;

// The options dialog: collects changes to the phone book window and carries them
// out together when Apply (or OK) is pressed.
class frmOptions : public TopWindow {
    Q_OBJECT
public:
    frmOptions();
    void Form_Load() override;

    void cmdApply_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdColor_Click();
    void cmdRestore_Click();
    void cmdCustomLabel_Click();
    void SSTab_Click();
    // Every check box and choosing option: only enables Apply.
    void choiceClicked();

    // Shows a font, its colour and a back colour on the sample label.
    void showSampleFont(const QFont& font, int32_t textColour);
    void showSampleBackColour(int32_t stored);

    QTabWidget* SSTab = nullptr;
    QLabel* lblColor = nullptr;
    QLabel* ImagePrev = nullptr;
    QPushButton* cmdColor = nullptr;
    QPushButton* cmdRestore = nullptr;
    QPushButton* cmdCustomLabel = nullptr;
    QCheckBox* chkAuto = nullptr;
    QCheckBox* chkNoSound = nullptr;
    QRadioButton* optDont = nullptr;
    QRadioButton* optSortBy0 = nullptr;
    QRadioButton* optSortBy1 = nullptr;
    QCheckBox* chkPrintBold = nullptr;
    QCheckBox* chkPrintItalic = nullptr;
    QCheckBox* chkPrintUnderline = nullptr;
    QCheckBox* chkPrintColor = nullptr;
    QCheckBox* chkPrintSetup = nullptr;
    QCheckBox* chkBackUp = nullptr;
    QRadioButton* optCancelExport = nullptr;
    QRadioButton* optExportMdb = nullptr;
    QRadioButton* optExportWeb = nullptr;
    QRadioButton* optExportText = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdApply = nullptr;

private:
    void buildControls();
};

} // namespace pb
