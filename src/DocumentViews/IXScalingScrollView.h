#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QRectF>
#include <QScrollArea>

#include <array>

class IXScaling;
class QAction;

// The scroll view that holds a document view and zooms it. It keeps the zoom factor (whole
// per cent, within the view's range), shows a zoom pop-up at the left end of its horizontal
// scroller with the zoom steps in range, a custom entry for a factor between steps, "Other…"
// which opens an inline per-cent editor over the pop-up, and "Fit"; it zooms in and out by
// steps, to fit, to a rectangle, and with the wheel while Alt (Option) or Ctrl is held (a
// mouse wheel's notch is one step, as zoomIn: and zoomOut: take it; a touchpad's fine deltas
// zoom by the per-line formula with its acceleration); and it
// announces every scroll with the notice "IXScrollViewReflectScrolledClipView" (object: the
// scroll view) on the default notification centre, which tools with floating editors follow.
//
// The zooming itself is the document view's: a view that implements IXScaling is told of
// every change (reflectScalingFactor) and reads scaleFactor. Other views get no pop-up and
// keep the factor 1.0. The scroll view owns its document view, pop-up and editor.
//
// Actions (for menus, through the application's action routing): zoomIn:, zoomOut:,
// actualSize:, fitToScreen:, scaleToFit:; validateMenuItem disables zoom in at the maximum and
// zoom out at the minimum. Main thread only.
class IXScalingScrollView : public QScrollArea {
    Q_OBJECT
public:
    static const QString ReflectScrolledClipViewNotification;
    static constexpr std::array<double, 12> ZoomSteps = {0.05, 0.1, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 4.0, 8.0, 16.0};

    explicit IXScalingScrollView(QWidget* parent = nullptr);
    ~IXScalingScrollView() override;

    // The zooming scroll view that encloses the view, or null.
    static IXScalingScrollView* scalingScrollView(const QWidget* view);

    // Installs the document view (the old one is deleted).
    void setDocumentView(QWidget* view);
    QWidget* documentView() const { return widget(); }
    IXScaling* scalingView() const { return m_scalingView; }

    double scaleFactor() const { return m_scaleFactor; }
    // Rounds up to whole per cent, clamps to the view's range, updates the pop-up and tells
    // the view.
    void setScaleFactor(double factor);
    // Zooms so that the rectangle (unscaled view coordinates) fills the visible area, and
    // centres it.
    void scaleToRect(const QRectF& rect);

    // Whether there is a horizontal scroller; without one there is no pop-up and the factor
    // is 1.0.
    void setHasHorizontalScroller(bool flag);

    // The pop-up and the inline editor (null until made).
    QComboBox* zoomPopup() const { return m_popup; }
    QLineEdit* percentEditor() const { return m_editor; }

    Q_INVOKABLE void zoomIn(QObject* sender);
    Q_INVOKABLE void zoomOut(QObject* sender);
    Q_INVOKABLE void actualSize(QObject* sender);
    Q_INVOKABLE void fitToScreen(QObject* sender);
    Q_INVOKABLE void scaleToFit(QObject* sender);
    Q_INVOKABLE bool validateMenuItem(QAction* item);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makePopup();
    void removePopup();
    // Lays the pop-up into the scroller's strip, or takes it out.
    void tile();
    void popupAction(int index);
    void beginPercentEditing();
    void endPercentEditing(bool apply);
    // Posts the scroll notice.
    void reflectScrolledClipView();

    double m_scaleFactor = 1.0;
    IXScaling* m_scalingView = nullptr;
    QMetaObject::Connection m_scalingViewGone;
    QPointer<QComboBox> m_popup;
    QPointer<QLineEdit> m_editor;
    bool m_hasHorizontalScroller = true;
};
