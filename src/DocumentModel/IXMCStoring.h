#pragma once

#include <QString>

#include <memory>

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
};
