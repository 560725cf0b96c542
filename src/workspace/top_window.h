#pragma once

#include "workspace/forms.h"

#include <QDialog>

namespace pb {

// A window of its own beside the frame (options, about, help, handler): owned by
// the frame, opened at most once through the registry, and unloaded through the
// registry when its title bar closes it, so the next opening loads it afresh.
class TopWindow : public QDialog, public Form {
    Q_OBJECT
public:
    TopWindow();
    QWidget* widget() override { return this; }
    // Escape and the title bar's close button both unload the window.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace pb
