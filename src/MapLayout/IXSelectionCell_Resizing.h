#pragma once

#include "Platform/Drawing/PLRect.h"

#include <QVariantMap>

// The cells that the selection outline resizes with its knobs (branch boxes, texts,
// pictures). The outline reads the state when a knob is pressed, sends new frames while it is
// dragged with undo off, and at the end restores the first state and applies the last one
// with undo on, so that one resize is one undoable change.
//
// The state maps style values by name: "textWidth" (a double), "pictureSize" (a QSizeF),
// "targetOffset" (a QPointF). tracksX and tracksY are -1 when the dragged knob moves the
// rectangle's minimum edge on that axis, +1 its maximum edge, 0 when the axis is not resized.
class IXSelectionCell_Resizing {
public:
    virtual ~IXSelectionCell_Resizing();

    virtual QVariantMap resizing_state() = 0;
    virtual void resizing_setState(const QVariantMap& state) = 0;
    // The rectangle is in the cell's parent's space, as its frame.
    virtual void resizing_setFrame(const PLRect& frame, int tracksX, int tracksY) = 0;

    static constexpr const char* TextWidthKey = "textWidth";
    static constexpr const char* PictureSizeKey = "pictureSize";
    static constexpr const char* TargetOffsetKey = "targetOffset";
};
