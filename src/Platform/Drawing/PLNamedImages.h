#pragma once

#include <QImage>
#include <QString>

// The pictures that ship in resources/Images: "<name>.png" and, for high-resolution
// screens, "<name>@2x.png" drawn at twice the pixels. Pictures are read once and kept.
//
// Main thread only.
class PLNamedImages {
public:
    // The picture of the name: the @2x file with a device pixel ratio of 2 when it exists,
    // else the plain file; a null image when there is neither. Either way the image's
    // device-independent size is the picture's size in points.
    static QImage imageNamed(const QString& name);
    // Only the file drawn for the scale (1: "<name>.png", 2: "<name>@2x.png"), with that device
    // pixel ratio; a null image when it is missing. Not kept.
    static QImage imageNamedAtScale(const QString& name, int scale);
    // Forgets the pictures read so far (after the resources folder changed).
    static void clearCache();
};
