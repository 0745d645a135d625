#include "Utilities/UTImages.h"

#include "Utilities/UTErrors.h"

#include <QImageWriter>
#include <QSaveFile>

bool UTImages::saveAsPNGToFile(const QImage& image, const QString& path, PLError* error)
{
    auto fail = [&](const QString& cause) {
        PLSetError(error, UTErrors::errorWithFailureReason(QStringLiteral("Cannot write PNG file '%1': %2").arg(path, cause)));
        return false;
    };
    if (image.isNull()) return fail(QStringLiteral("the image is empty"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        file.cancelWriting();
        return fail(writer.errorString());
    }
    if (!file.commit()) return fail(file.errorString());
    return true;
}
