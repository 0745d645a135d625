#pragma once

#include <cstdint>

// The options of a picture of the map: which elements are drawn, the file format and, for
// JPEG, the quality. The export panel makes them; the previews include everything.
struct IXPictureExportOptions {
    enum Format { TIFF = 0, JPEG = 1, PNG = 2, PDF = 3 };

    bool includeBranchConnections = true;
    bool includeFloatingPictures = true;
    bool includeFloatingComments = true;
    bool includeObjectIndicator = true;
    bool includeCommentIndicator = true;
    int format = PNG;
    // 0 to 100; JPEG pictures are compressed by quality x 0.01.
    double quality = 0;

    // Every element included, in the format.
    static IXPictureExportOptions everything(int format);
    // The layout context's draw mask for these options (the background is always drawn).
    std::int32_t drawMask() const;
};
