#include "workspace/vantrel_mdi.h"

#include "data/module_phonebook.h"
#include "platform/settings_store.h"
#include "platform/units.h"
#include "platform/vb_convert.h"
#include "platform/vb_error.h"
#include "workspace/error_steps.h"
#include "workspace/frm_splash.h"
#include "workspace/module_services.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QMdiSubWindow>

namespace pb {

VantrelMDI::VantrelMDI() {
    setObjectName(QStringLiteral("VantrelMDI"));
    setWindowTitle(QStringLiteral("Dorvane"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/dorvane.png")));
    m_area = new QMdiArea(this);
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_area);
    resize(1100, 780);
    applyBackground();
}

void VantrelMDI::MDIForm_Load() {
    // Any failure clears the picture name and ends the load: on a first run the
    // picture "0" does not exist, so the sound setting is not read and sounds stay off.
    Steps step(OnError::LeaveSilently);
    const auto get = [](const char* key, const char* def) {
        return SettingsStore::GetSetting(kAppName, kSection, QString::fromLatin1(key),
                                         QString::fromLatin1(def));
    };
    bool ok = step([&] { BackPictureFile = get("MDIFormBackPicture", "0"); }) &&
              step([&] { setBackColor(convert::toInt32(get("MDIFormBackColor", "0"))); }) &&
              step([&] { setBackPicture(BackPictureFile); }) &&
              step([&] { pbm().PlaySoundEffect = convert::toBool(get("playSoundEffect", "True")); });
    if (!ok) BackPictureFile.clear();
}

void VantrelMDI::MDIForm_Unload() {
    Steps step(OnError::Ignore);
    step([&] {
        SettingsStore::SaveSetting(kAppName, kSection, QStringLiteral("MDIFormBackPicture"), BackPictureFile);
    });
    step([&] {
        SettingsStore::SaveSetting(kAppName, kSection, QStringLiteral("MDIFormBackColor"),
                                   QString::number(m_backColor));
    });
    step([&] {
        SettingsStore::SaveSetting(kAppName, kSection, QStringLiteral("playSoundEffect"),
                                   convert::fromBool(pbm().PlaySoundEffect));
    });
    for (Form* f : Forms::loaded())
        if (f != this && !dynamic_cast<frmSplash*>(f)) step([&] { Forms::unload(f); });
    step([] { Forms::unload<frmSplash>(); });
    step([] { releaseErrHelp(); });
}

void VantrelMDI::adopt(QWidget* child) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(child)) {
        if (sub->mdiArea() != m_area) m_area->addSubWindow(sub);
    }
    if (!isVisible()) show();
}

void VantrelMDI::setBackColor(int32_t stored) {
    m_backColor = stored;
    applyBackground();
}

void VantrelMDI::setBackPicture(const QString& file) {
    if (file.isEmpty()) {
        m_picture = QPixmap();
    } else {
        if (!QFileInfo::exists(file)) throw VbError(err::FileNotFound);
        QImageReader reader(file);
        const QImage image = reader.read();
        if (image.isNull()) throw VbError(err::InvalidPicture);
        m_picture = QPixmap::fromImage(image);
    }
    applyBackground();
}

void VantrelMDI::applyBackground() {
    if (!m_picture.isNull()) {
        m_area->setBackground(QBrush(m_picture));
        return;
    }
    m_area->setBackground(QBrush(colourFromStored(m_backColor)));
}

void VantrelMDI::closeEvent(QCloseEvent* event) {
    // The children go first, each with its own unload, then the frame's own.
    for (Form* f : Forms::loaded())
        if (f != this && f->isMdiChild()) Forms::unload(f);
    Forms::unload(this);
    event->accept();
}

} // namespace pb
