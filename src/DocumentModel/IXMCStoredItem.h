#pragma once

#include <QString>

// What the document model needs of an item of the multimedia catalog: the file that holds
// its media. The catalog's items implement it.
class IXMCStoredItem {
public:
    virtual ~IXMCStoredItem();

    // The path of the item's media file (inside the catalog's bundle of the item, or of the
    // item it links to, when there is one).
    virtual QString filePath() const = 0;
    // What a drop onto a map needs: the item's name, whether it is a picture, whether its
    // media lies outside the catalog (a link to a file), and its media type ("TEXT", "IMAGE",
    // "VIDEO", "SOUND", "FLASH"; its attribute "MediaFileType").
    virtual QString name() const { return {}; }
    virtual bool isImage() const { return false; }
    virtual bool isExternalItem() const { return false; }
    virtual QString mediaFileType() const { return {}; }
};
