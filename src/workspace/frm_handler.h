#pragma once

#include "workspace/top_window.h"

class QLineEdit;
class QPushButton;

namespace pb {

// Holds one web address for the web surfer; the handler window shows it.
class LinkwardControl : public QWidget {
    Q_OBJECT
public:
    explicit LinkwardControl(QWidget* parent = nullptr);
    QString address() const;
    void setAddress(const QString& address);

private:
    QLineEdit* m_address;
};

// The handler window: an address and a button that opens it in the web surfer.
class frmHandler : public TopWindow {
    Q_OBJECT
public:
    frmHandler();
    void cmdCustom_Click();

    // The publisher's home page, the address the control starts with.
    static const QString kDefaultAddress;

    LinkwardControl* LinkwardControl1 = nullptr;
    QPushButton* cmdCustom = nullptr;
};

} // namespace pb
