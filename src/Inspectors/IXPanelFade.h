#pragma once

#include <functional>

class QObject;
class QVariantAnimation;
class QWidget;

// The fade of a shown or hidden panel: a child widget fades through an opacity effect (it has
// no opacity of its own), a window through its opacity. The panels keep their animation; these
// functions start it and tidy up after it.
class IXPanelFade {
public:
    // Fades the panel in (from transparent) or out, restarting a fade under way. The animation
    // is made on first use as a child of the owner; ended runs after each completed fade.
    static void start(QVariantAnimation*& animation, QWidget* panel, bool in, int milliseconds, QObject* owner,
                      std::function<void()> ended);
    // After a fade: the panel hidden (a fade out) or brought to the front, fully opaque.
    static void finish(QWidget* panel, bool hidden);
};
