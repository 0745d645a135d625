#include "Platform/System/PLScreen.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
std::optional<PLSize> pinnedSize;
}

PLSize PLScreen::mainScreenSize()
{
    if (pinnedSize) return *pinnedSize;
    if (qGuiApp) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QSize size = screen->size();
            return PLSize(float(size.width()), float(size.height()));
        }
    }
    return PLSize(1024, 768);
}

void PLScreen::setMainScreenSize(std::optional<PLSize> size)
{
    pinnedSize = size;
}
