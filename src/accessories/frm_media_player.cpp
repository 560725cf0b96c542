#include "accessories/frm_media_player.h"

#include "platform/units.h"
#include "workspace/error_steps.h"
#include "workspace/media_control.h"
#include "workspace/menu_builder.h"
#include "workspace/module_services.h"
#include "workspace/vantrel_mdi.h"

#include <QMenuBar>
#include <QVBoxLayout>

namespace pb {

PB_REGISTER_WINDOW("frmMediaPlayer", frmMediaPlayer)

frmMediaPlayer::frmMediaPlayer() : ChildWindow("frmMediaPlayer", QStringLiteral("Media Player")) {
    MP = new MediaPlayerControl(m_content);
    m_layout->addWidget(MP, 1);

    MenuBuilder b{this, menus(), m_actions};
    QMenu* file = b.top("mnuFile", "&File");
    b.item(file, "mnuOpen", "&Open...", "Ctrl+O", [this] { mnuOpen_Click(); });
    b.sep(file);
    b.item(file, "mnuClose", "&Close MediaPlayer", "Alt+Backspace", [this] { mnuClose_Click(); });
    for (const auto& [name, caption] :
         {std::pair{"mnuEdit", "&Edit"}, {"mnuView", "&View"}, {"mnuTools", "&Tools"}})
        b.top(name, caption)->setEnabled(false);
    b.onlineMenu(OnlineMenu::MediaPlayer);
    b.windowMenu();
    QMenu* help = b.top("mnuHelp", "&Help");
    b.item(help, "mnuContents", "&Contents...", "F1", [] { ShowForm(QStringLiteral("frmHelp")); });
    b.sep(help);
    b.item(help, "mnuAbout", "&About Dorvane...", nullptr, ShowAbout);
}

void frmMediaPlayer::Form_Load() {
    resize(twipsToPixels(10000), twipsToPixels(10000));
}

void frmMediaPlayer::mnuOpen_Click() {
    CommonDialog& d = Forms::get<VantrelMDI>()->MDICD;
    Steps step([](const VbError& e) {
        if (e.number() == err::Cancelled) return ErrorAnswer::Abort;
        return secondFormErrorDialog(e);
    });
    bool chosen = false;
    if (!step([&] {
            d.DialogTitle = QStringLiteral("Select A Media File To Play");
            d.Filter =
                QStringLiteral("All Media Files|*.avi;*.mpeg;*.mpg;*.mpe;*.mpa;*.m1v;*.mpv2;*.wmv;*.wmx;"
                               "*.ivf;*.dat;*.asf;*.wav;*.mp3;*.mid;*.midi|All Files|*.*");
            d.ShowOpen();
            // With its cancel error off the dialog still holds the last file: a cancel plays nothing.
            chosen = d.Accepted;
        }) ||
        !chosen)
        return;
    const QString file = d.FileName;
    step([&] { MP->Open(file); });
}

void frmMediaPlayer::playFile(const QString& path) {
    Forms::show(this);
    MP->Open(path);
}

void frmMediaPlayer::mnuClose_Click() {
    Forms::unload(this);
}

} // namespace pb
