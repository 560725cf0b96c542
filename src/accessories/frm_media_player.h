#pragma once

#include "accessories/child_window.h"
#include "workspace/window_roles.h"

namespace pb {

class MediaPlayerControl;

// Plays a film or a sound file inside the frame.
class frmMediaPlayer : public ChildWindow, public FilmPlayer {
    Q_OBJECT
public:
    frmMediaPlayer();
    void Form_Load() override;

    void mnuOpen_Click();
    void mnuClose_Click();
    void playFile(const QString& path) override;

    MediaPlayerControl* MP = nullptr;
};

} // namespace pb
