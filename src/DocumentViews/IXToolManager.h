#pragma once

#include "DocumentModel/IXToolManaging.h"

#include <QString>

#include <functional>
#include <memory>

class IXTool;
class IXToolEvent;
struct QMetaObject;

// The application's one tool manager: it holds at most one current tool and starts tools by
// their class name, so that views, cells, commands and panels start tools they do not link.
//
// A request for the class and the very object of the current tool returns the running tool
// and changes nothing. Otherwise the current tool must resign (commit, then discard) before a
// new one becomes current; when its commit refuses, the manager beeps and the old tool stays.
// The manager owns the current tool and releases tools on a later turn of the event loop.
//
// Tool classes are registered under their class name with a factory: the application's tools
// in one table (IXToolManager.cpp), others (tests) with registerToolClass. Main thread only.
class IXToolManager : public IXToolManaging {
public:
    using Factory = std::function<IXTool*(IXToolManager* manager)>;

    // The application's manager, made on first use, installed as the model's tool manager and
    // never released.
    static IXToolManager* sharedManager();

    IXToolManager();
    // Ends the current tool first.
    ~IXToolManager() override;
    IXToolManager(const IXToolManager&) = delete;
    IXToolManager& operator=(const IXToolManager&) = delete;

    // Registers a tool class under its class name (which is how the program asks for it).
    template <typename Tool>
    static void registerToolClass()
    {
        registerToolClass(&Tool::staticMetaObject, [](IXToolManager* manager) -> IXTool* { return new Tool(manager); });
    }
    static void registerToolClass(const QMetaObject* toolClass, Factory factory);
    // Registers a class under another name: tests stand in for tools by the names the program
    // asks for.
    static void registerToolClass(IXToolName name, const QMetaObject* toolClass, Factory factory);
    // Whether a tool class is registered under the name.
    static bool isToolClassRegistered(IXToolName name);

    IXTool* currentTool() const { return m_currentTool; }

    // Makes the tool current after the current one resigned; false (with a beep) when the
    // current tool refuses, false without a current tool when the new one does not activate.
    // The manager owns the tool once this answers true.
    bool makeCurrentTool(IXTool* tool);

    // Starts the named tool on the object (may be null) in the context (null: the active
    // inspector's) with the starting event (may be none). Returns the tool that is current
    // afterwards for this request, or null: unknown class (logged once per name), no
    // context, or a refusal.
    IXTool* activateToolNamed(IXToolName toolClass, const std::shared_ptr<IXNode>& object, IXLayoutContext* context,
                              const IXToolEvent& event);
    IXTool* activateToolNamed(IXToolName toolClass, IXLayoutContext* context, const IXToolEvent& event);
    IXTool* activateToolNamed(IXToolName toolClass, const std::shared_ptr<IXNode>& object, IXLayoutContext* context,
                              const PLMouseEvent* event) override;

    // Asks the current tool to commit; true when there is none.
    bool commitCurrentTool();
    // Ends the current tool: it resigns, which keeps a change that can be committed; when it
    // refuses it is discarded anyway. Afterwards there is no current tool.
    void discardCurrentTool() override;

private:
    // Releases a tool on a later turn of the event loop.
    static void release(IXTool* tool);

    IXTool* m_currentTool = nullptr;
    // The tool being asked to resign, whose own discard must not make it resign again.
    IXTool* m_resigningTool = nullptr;
};
