#pragma once

#include "platform/common_dialog.h"
#include "workspace/forms.h"

#include <QMainWindow>
#include <QMdiArea>
#include <cstdint>

namespace pb {

// The workspace frame: hosts the phone book and accessory windows.
class VantrelMDI : public QMainWindow, public Form {
    Q_OBJECT
public:
    VantrelMDI();
    QWidget* widget() override { return this; }
    void Form_Load() override { MDIForm_Load(); }
    void Form_Unload() override { MDIForm_Unload(); }

    void MDIForm_Load();
    void MDIForm_Unload();

    // Puts a child window into the workspace (once).
    void adopt(QWidget* child);
    QMdiArea* area() const { return m_area; }

    void setBackColor(int32_t stored);
    int32_t backColor() const { return m_backColor; }
    // Loads the background picture; "" clears it, a file that is no picture raises 481.
    void setBackPicture(const QString& file);

    QString BackPictureFile;
    CommonDialog MDICD;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void applyBackground();

    QMdiArea* m_area;
    int32_t m_backColor = 0;
    QPixmap m_picture;
};

} // namespace pb
