#pragma once

#include <QString>

#include <memory>
#include <optional>

class IXMCStoredItem;

// What the document model needs of the multimedia catalog's store: the items that "mmc:"
// targets name by id. The catalog implements this interface and installs its single store at
// start-up; tests install a fake. Without an installed store no "mmc:" target resolves.
class IXMCStoring {
public:
    virtual ~IXMCStoring();

    // The installed store, or null when none is installed.
    static IXMCStoring* sharedInstance();
    // Installs the store (null uninstalls); the caller keeps ownership.
    static void install(IXMCStoring* storage);

    // The catalog item with that id, or null; the store loads its data on first use.
    virtual std::shared_ptr<IXMCStoredItem> itemForId(const QString& itemId) = 0;
    // Notes the item as recently used (a drop onto a map); the catalog lists its recent items.
    virtual void addToRecent(const std::shared_ptr<IXMCStoredItem>&) { }

    // The attachment subtype of a media type: "TEXT" 5, "IMAGE" 6, "VIDEO" 7, "SOUND" 8,
    // "FLASH" 9; none for another type.
    static std::optional<int> referenceTypeForMediaType(const QString& mediaType);
};
