#pragma once

#include "Inspectors/IXInspectorController.h"
#include "Inspectors/IXOverviewHost.h"

#include <QPointer>
#include <QVariant>

#include <functional>

class IXOverviewBaseView;
class IXOverviewFramedView;
class IXOverviewView;
class IXOverviewWindow;
class QVariantAnimation;

// The overview of the bound document window: a small window with a picture of the whole map
// of the window's document view and a frame around the part the window shows; clicking or
// dragging in it scrolls the map. The picture is made only when the view's change count moved
// since the last one (so scrolling, and the frequent checks after every frame of the map,
// cost no drawing); scrolling the map moves only the frame.
//
// Its window takes one of two forms: made for one document window (all-in-one layout) it is
// an IXOverviewWindow glued over that window's map area as a child widget, first shown in the
// area's top-right corner and back where it was after hide and show; made without one it is
// a floating panel titled "Overview" that follows the active document window, its frame kept
// in the preferences. Both fade in and out. In the outline and the print layout there is no
// picture and no visible part. Main thread only.
class IXOverviewInspector : public IXInspectorController, public IXOverviewHost {
    Q_OBJECT
public:
    static constexpr int FadeMilliseconds = 200;
    static constexpr int PanelSide = 200;
    static constexpr int PanelMinimumSide = 150;
    static constexpr int PanelMaximumSide = 600;
    static const QString WindowFrameKey;  // "IXOverviewWindow"

    // Where the floating panel keeps its frame; either may be missing (tests).
    struct Services {
        std::function<QVariant(const QString& key)> preference;
        std::function<void(const QString& key, const QVariant& value)> setPreference;
    };
    static void installServices(Services services);

    // The floating panel that follows the active document window.
    IXOverviewInspector();
    // The glued window of one document window.
    explicit IXOverviewInspector(IXInspectedController* controller);
    ~IXOverviewInspector() override;

    // Not in the outline (3) or the print layout (9).
    bool isApplicable() const override;
    QString inspectorTitle() const override;
    QWidget* inspectorView() override;
    void setController(IXInspectedController* controller) override;

    // --- Window ---
    bool isSlave() const { return m_slave; }
    // Made on first request.
    QWidget* window();
    IXOverviewWindow* overviewWindow() const;
    IXOverviewFramedView* framedView() const;
    IXOverviewView* plainView() const;
    IXOverviewBaseView* previewView() const { return m_overView; }
    void show();
    void hide();
    bool isVisible() const;
    // The glued window's origin relative to the host area's origin (y-up), and where it was
    // when last hidden (the zero point before).
    PLPoint origin() const;
    void setOrigin(PLPoint origin);
    PLPoint lastPosition() const { return m_lastPosition; }

    // --- IXOverviewHost ---
    // The map area, y-up in the document window's mirrored coordinates (the glued window's
    // frame space); empty without a document view.
    PLRect hostWindowFrame() const override;
    float hostWindowWidth() const override;
    void setVisibleFrameToPoint(PLPoint point) override;
    void updatePreview() override;

    // --- Following the view ---
    QWidget* documentView() const { return m_documentView; }
    int lastChangeCount() const { return m_lastChangeCount; }
    // How many pictures were made.
    int previewCount() const { return m_previewCount; }
    void updateCurrentView();
    void updateOverviewData();
    void updateOverviewVisibleRect();
    void resetOverview();
    // The window's document view changed (another layout): follow it now and settle on the
    // next turn.
    void documentViewDidChange();

protected:
    void selectionDidChange() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadWindow();
    QWidget* hostWidget() const;
    QRect hostAreaInHost() const;
    void observeHost();
    void documentWindowDidResize();
    void placePanel();
    void fade(bool in);
    void fadeEnded();

    bool m_slave = false;
    bool m_hideAnimation = false;
    QPointer<QWidget> m_window;
    IXOverviewBaseView* m_overView = nullptr;
    QPointer<QWidget> m_documentView;
    QPointer<QWidget> m_observedScroller;
    QPointer<QWidget> m_observedHost;
    QPointer<QWidget> m_observedArea;
    QVariantAnimation* m_animation = nullptr;
    PLPoint m_lastPosition;
    int m_lastChangeCount = -1;
    int m_currentLayoutTag = -1;
    int m_previewCount = 0;
};
