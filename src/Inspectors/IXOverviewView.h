#pragma once

#include "Inspectors/IXOverviewBaseView.h"

// The overview's picture fitted into the view (the floating overview panel): the picture keeps
// the document's proportions, centred in the view, with the visible part marked. A drag that
// starts outside the marked part (or while the whole document is visible) keeps the visible
// part centred under the pointer.
class IXOverviewView : public IXOverviewBaseView {
    Q_OBJECT
public:
    explicit IXOverviewView(QWidget* parent = nullptr);
    ~IXOverviewView() override;

    // Always rebuilds.
    void setDocumentFrame(const PLRect& frame) override;
    PLSize previewSizeForDocumentSize(PLSize size) const override;
    void reconstruct() override;
    PLRect scaledVisibleRect() const override;
    PLPoint documentPointForViewPoint(PLPoint point) const override;
    // Where the picture is drawn, y-up in the view.
    const PLRect& workFrame() const { return m_workFrame; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void outsideDragTo(PLPoint point, QPoint global) override;

private:
    PLRect m_workFrame;
};
