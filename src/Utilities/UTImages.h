#pragma once

#include "Platform/Core/PLError.h"

#include <QImage>
#include <QString>

class UTImages {
public:
    // Writes the image as a PNG file, replacing the file only once the whole picture is
    // written. False with an error (the failure reason names the path and the cause) when the
    // image is empty or cannot be written.
    static bool saveAsPNGToFile(const QImage& image, const QString& path, PLError* error = nullptr);
};
