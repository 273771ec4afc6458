#include "platform/gui/Sounds.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>

namespace pcn::gui {
namespace {

// PCN_SOUND_PLAYER names a program to play the sounds instead (tests listen
// with it). A window system without a screen has nobody to hear them.
QString soundPlayer() {
    if (qEnvironmentVariableIsSet("PCN_SOUND_PLAYER")) return qEnvironmentVariable("PCN_SOUND_PLAYER");
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return {};
    static const QString installed = QStandardPaths::findExecutable(QStringLiteral("canberra-gtk-play"));
    return installed;
}

}  // namespace

const char* soundThemeName(Sound sound) {
    switch (sound) {
        case Sound::Default: return "complete";
        case Sound::Information: return "dialog-information";
        case Sound::Warning: return "dialog-warning";
        case Sound::Error: return "dialog-error";
    }
    return "bell";
}

void playSound(Sound sound) {
    const QString player = soundPlayer();
    // Detached: the sound plays while the window goes on.
    const bool started =
        !player.isEmpty() &&
        QProcess::startDetached(player, {QStringLiteral("--id"), QString::fromLatin1(soundThemeName(sound)),
                                         QStringLiteral("--description"), QStringLiteral("Parcelon")});
    if (!started) QApplication::beep();
}

}  // namespace pcn::gui
