#pragma once

#include "DocumentModel/IXToolNames.h"

#include <memory>

class IXNode;
class IXLayoutContext;
class IXTool;
class PLMouseEvent;

// What the document model needs of the application's tool manager, which lives with the
// views and editing tools. The tool manager implements this interface and installs itself at
// start-up; tests install a fake that records what it was asked.
class IXToolManaging {
public:
    virtual ~IXToolManaging();

    // The installed tool manager, or null when none is installed (then nothing is started).
    static IXToolManaging* sharedManager();
    // Installs the tool manager (null uninstalls); the caller keeps ownership.
    static void install(IXToolManaging* manager);

    // Starts the tool of the class (IXToolNames) on the edited object in the layout context (null:
    // the active inspector's context) with the starting event (may be null). Returns the
    // started tool, or null when no tool could be started.
    virtual IXTool* activateToolNamed(IXToolName toolClass, const std::shared_ptr<IXNode>& object,
                                      IXLayoutContext* context, const PLMouseEvent* event) = 0;
    // Ends the current tool, if any: it is asked to resign and discarded when it refuses;
    // afterwards there is no current tool.
    virtual void discardCurrentTool() = 0;
};
