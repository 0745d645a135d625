#pragma once

#include <QString>

// What the document class needs of the template storage: where user templates live and a
// refresh after one was saved. The templates subsystem installs it; without one, saving as a
// template starts in the last document folder and nothing is refreshed.
class IXTemplateStoring {
public:
    virtual ~IXTemplateStoring();

    static IXTemplateStoring* shared();
    static void install(IXTemplateStoring* storage);

    // The user templates folder, created when missing; empty when it cannot be created.
    virtual QString templateUsersFolder() = 0;
    // Reloads the folders whose templates may have changed.
    virtual void updateDynamicItems() = 0;
};
