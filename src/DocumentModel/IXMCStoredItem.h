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
};
