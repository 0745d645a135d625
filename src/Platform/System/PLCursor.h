#pragma once

// The pointer shapes that the map's cells ask their view for while they track the mouse.
enum class PLCursor {
    Arrow,
    PointingHand,
    ResizeLeftRight,
};
