#pragma once

#include "accessories/child_window.h"

namespace pb {

class MediaPlayerControl;

// Plays a film or a sound file inside the frame.
class frmMediaPlayer : public ChildWindow {
    Q_OBJECT
public:
    frmMediaPlayer();
    void Form_Load() override;

    void mnuOpen_Click();
    void mnuClose_Click();

    MediaPlayerControl* MP = nullptr;
};

} // namespace pb
