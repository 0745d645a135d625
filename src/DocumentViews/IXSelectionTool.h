#pragma once

#include "DocumentModel/IXSelection.h"
#include "DocumentViews/IXTool.h"
#include "Platform/Drawing/PLRect.h"

#include <QPointer>

#include <optional>

class IXHighlightView;
class QWidget;

// The tool of a plain press on the map that no cell took. The press selects the document (so a
// click on empty canvas deselects every object); dragging spans a rubber band from the press
// to the pointer, highlights the branches, pictures and comments whose cells it touches, and
// the release makes them the selection (the document when none). Escape, or a lost grab, ends
// the gesture with the document selected.
//
// The gesture runs in an IXTrackingLoop inside startWithEvent; the tool lives for that one
// gesture. Points are in the view's y-up space. Main thread only.
class IXSelectionTool : public IXTool {
    Q_OBJECT
public:
    explicit IXSelectionTool(IXToolManager* manager);
    ~IXSelectionTool() override;

    // Clears the highlights.
    bool activateTool() override;
    // Sets the selection a release would set and ends the tool; refuses without one.
    bool commitTool() override;
    // Takes the rubber band away, clears the highlights and ends the tool.
    void discardTool() override;
    // A left mouse-down starts the gesture; any other event ends the tool at once.
    void startWithEvent(const IXToolEvent& event) override;

    // The steps of the gesture, which startWithEvent runs from its tracking loop: the press
    // (selects the document) and each drag (moves the band, highlights what it touches).
    void pressAt(PLPoint point);
    void dragTo(PLPoint point);

    // The rubber band while the mouse is dragged, else null.
    QWidget* highlightView() const;
    // The rubber band's rectangle (view space) spanned by the press and the latest drag.
    PLRect rubberBand() const;

private:
    void updateView();
    void updateSelection();

    QPointer<IXHighlightView> m_highlightView;
    std::optional<IXSelection> m_selection;
    PLPoint m_startPoint;
    PLPoint m_currentPoint;
};
