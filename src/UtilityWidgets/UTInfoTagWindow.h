#pragma once

#include <QMargins>
#include <QWidget>

class QTimer;
class UTInfoTagBgView;

// The info tag's window: a frameless, translucent tool-tip window that shows without taking
// the focus and lets the pointer through. Its frame (`frame`, global coordinates) is the
// content view's area; a soft shadow is drawn in a margin around it. Showing it
// (`orderFront`) stops a fade and moves the frame onto the screen it is on. A fade takes
// `FadeOutStep` off the alpha every `FadeOutInterval` seconds on a timer and hides the window
// when the alpha reaches 0; hiding, by a fade or otherwise, stops the fade and puts the
// alpha back to its value before the fade, ready for the next showing.
//
// The window owns its content view. Main thread only.
class UTInfoTagWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr float FadeOutStep = 0.03f;
    static constexpr float FadeOutInterval = 0.01f;
    // Room for the shadow around the frame, deeper below.
    static constexpr QMargins ShadowMargins{4, 3, 4, 5};

    UTInfoTagWindow();

    UTInfoTagBgView* contentView() const { return m_contentView; }

    QRect frame() const;
    void setFrame(const QRect& frame);

    // The window's opacity, 0...1, applied when drawing (it works on every platform).
    float alphaValue() const { return m_alphaValue; }
    void setAlphaValue(float alpha);

    void fadeOut();
    bool isFadingOut() const;

    // Shows the window in front without activating it.
    void orderFront();

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void setFadingOut(bool fading);
    void fadeOutTick();
    void adjustFrame();

    UTInfoTagBgView* m_contentView;
    float m_storedAlphaValue = 1;
    QTimer* m_fadeOutTimer = nullptr;
    float m_fadeOutStep = FadeOutStep;
    float m_fadeOutInterval = FadeOutInterval;
    float m_alphaValue = 1;
};
