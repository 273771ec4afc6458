#pragma once
// The sounds that tell how something ended, so that a user who looked away
// hears whether a build, a signing or a transfer worked. They come from the
// desktop's sound theme through canberra-gtk-play when it is installed; else
// every sound is the plain system beep.

namespace pcn::gui {

enum class Sound {
    Default,      // a task completed
    Information,  // a check came out well
    Warning,
    Error,        // a task failed
};

void playSound(Sound sound);

// The sound theme's name for a sound.
const char* soundThemeName(Sound sound);

}  // namespace pcn::gui
