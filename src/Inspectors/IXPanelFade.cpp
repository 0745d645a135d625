#include "Inspectors/IXPanelFade.h"

#include "Platform/Core/PLExceptionBoundary.h"

#include <QGraphicsOpacityEffect>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

void IXPanelFade::start(QVariantAnimation*& animation, QWidget* panel, bool in, int milliseconds, QObject* owner,
                        std::function<void()> ended)
{
    if (!panel) return;
    if (!animation) {
        animation = new QVariantAnimation(owner);
        animation->setDuration(milliseconds);
        const QPointer<QWidget> faded(panel);
        PLExceptionBoundary::connect(
            animation, &QVariantAnimation::valueChanged, owner, [faded](const QVariant& value) {
                if (!faded) return;
                if (auto* effect = qobject_cast<QGraphicsOpacityEffect*>(faded->graphicsEffect()))
                    effect->setOpacity(value.toDouble());
                else
                    faded->setWindowOpacity(value.toDouble());
            });
        PLExceptionBoundary::connect(animation, &QVariantAnimation::finished, owner, std::move(ended));
    }
    animation->stop();
    if (!panel->isWindow() && !panel->graphicsEffect()) {
        auto* effect = new QGraphicsOpacityEffect(panel);
        effect->setOpacity(in ? 0.0 : 1.0);
        panel->setGraphicsEffect(effect);
    }
    animation->setStartValue(in ? 0.0 : 1.0);
    animation->setEndValue(in ? 1.0 : 0.0);
    animation->start();
}

void IXPanelFade::finish(QWidget* panel, bool hidden)
{
    if (!panel) return;
    if (hidden)
        panel->hide();
    else
        panel->raise();
    panel->setGraphicsEffect(nullptr);
    panel->setWindowOpacity(1.0);
}
