#include "UtilityWidgets/UTBeep.h"

#include <QApplication>

namespace {
UTBeep::Sound& installedSound()
{
    static UTBeep::Sound sound;
    return sound;
}
}

void UTBeep::beep()
{
    if (const Sound& sound = installedSound())
        sound();
    else
        QApplication::beep();
}

UTBeep::Sound UTBeep::setSound(Sound sound)
{
    return std::exchange(installedSound(), std::move(sound));
}
