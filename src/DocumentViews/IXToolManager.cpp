#include "DocumentViews/IXToolManager.h"

#include "DocumentViews/IXAttachmentsTool.h"
#include "DocumentViews/IXBranchTitleTool.h"
#include "DocumentViews/IXCommentTitleTool.h"
#include "DocumentViews/IXConnectionTool.h"
#include "DocumentViews/IXContextMenuTool.h"
#include "DocumentViews/IXDragBranchTool.h"
#include "DocumentViews/IXDragFloatingTool.h"
#include "DocumentViews/IXInplaceOutlineTool.h"
#include "DocumentViews/IXSelectionTool.h"
#include "DocumentViews/IXTool.h"
#include "DocumentViews/IXToolEnvironment.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXYellowNoteTool.h"
#include "Platform/Core/PLLog.h"
#include "UtilityWidgets/UTBeep.h"

#include <QHash>
#include <QMetaObject>

#include <utility>

namespace {

struct ToolClass {
    const QMetaObject* metaObject = nullptr;
    IXToolManager::Factory factory;
};

template <typename Tool> void addToolClass(QHash<QString, ToolClass>& registry)
{
    registry.insert(QString::fromLatin1(Tool::staticMetaObject.className()),
                    {&Tool::staticMetaObject, [](IXToolManager* manager) -> IXTool* { return new Tool(manager); }});
}

// The application's tool classes, by the names the program asks for. A table rather than
// self-registration, which a static library would drop at link time.
QHash<QString, ToolClass> makeRegistry()
{
    QHash<QString, ToolClass> registry;
    // Selecting and context menus.
    addToolClass<IXSelectionTool>(registry);
    addToolClass<IXContextMenuTool>(registry);
    // Typing titles in place.
    addToolClass<IXBranchTitleTool>(registry);
    addToolClass<IXCommentTitleTool>(registry);
    // Notes and attachments of a branch over the map.
    addToolClass<IXYellowNoteTool>(registry);
    addToolClass<IXAttachmentsTool>(registry);
    // Browsing a branch as an outline over the map.
    addToolClass<IXInplaceOutlineTool>(registry);
    // Moving things on the map.
    addToolClass<IXDragBranchTool>(registry);
    addToolClass<IXDragFloatingTool>(registry);
    addToolClass<IXConnectionTool>(registry);
    return registry;
}

QHash<QString, ToolClass>& registry()
{
    static QHash<QString, ToolClass> classes = makeRegistry();
    return classes;
}

// The registered class of the name; an unknown name is logged the first time it is asked for,
// so that a tool the program asks for but does not have shows once, not on every click.
const ToolClass* findToolClass(IXToolName name)
{
    const QString text = name.toString();
    const auto found = registry().constFind(text);
    if (found != registry().constEnd()) return &*found;
    PLLog::writeOnce(QStringLiteral("No tool class is registered under the name %1").arg(text));
    return nullptr;
}

// Sets a pointer for the length of a scope and puts the old value back.
class ScopedPointer {
public:
    ScopedPointer(IXTool*& slot, IXTool* value) : m_slot(slot), m_old(std::exchange(slot, value)) {}
    ~ScopedPointer() { m_slot = m_old; }

private:
    IXTool*& m_slot;
    IXTool* m_old;
};

}

IXToolManager* IXToolManager::sharedManager()
{
    static IXToolManager* manager = [] {
        auto* made = new IXToolManager;
        IXToolManaging::install(made);
        return made;
    }();
    return manager;
}

IXToolManager::IXToolManager() = default;

IXToolManager::~IXToolManager()
{
    discardCurrentTool();
}

void IXToolManager::registerToolClass(const QMetaObject* toolClass, Factory factory)
{
    registry().insert(QString::fromLatin1(toolClass->className()), {toolClass, std::move(factory)});
}

void IXToolManager::registerToolClass(IXToolName name, const QMetaObject* toolClass, Factory factory)
{
    registry().insert(name.toString(), {toolClass, std::move(factory)});
}

bool IXToolManager::isToolClassRegistered(IXToolName name)
{
    return registry().contains(name.toString());
}

bool IXToolManager::makeCurrentTool(IXTool* tool)
{
    if (IXTool* old = m_currentTool) {
        bool resigned = false;
        {
            ScopedPointer resigning(m_resigningTool, old);
            resigned = old->resignCurrentTool();
        }
        if (!resigned) {
            UTBeep::beep();
            return false;
        }
        if (m_currentTool == old) m_currentTool = nullptr;
        release(old);
    }
    if (!tool->becomeCurrentTool()) return false;
    m_currentTool = tool;
    return true;
}

IXTool* IXToolManager::activateToolNamed(IXToolName toolClassName, const std::shared_ptr<IXNode>& object,
                                         IXLayoutContext* context, const IXToolEvent& event)
{
    IXToolEnvironment* environment = IXToolEnvironment::shared();
    if (!context && environment) context = environment->activeInspectorContext();
    if (!context) return nullptr;
    const ToolClass* found = findToolClass(toolClassName);
    if (!found) return nullptr;
    const ToolClass toolClass = *found;

    if (m_currentTool && m_currentTool->metaObject()->inherits(toolClass.metaObject) &&
        m_currentTool->editedObject() == object)
        return m_currentTool;

    if (environment) environment->focusDocumentView(context);
    // Released on every way out unless it became current.
    std::unique_ptr<IXTool, void (*)(IXTool*)> tool(toolClass.factory(this), &IXToolManager::release);
    tool->setContext(context);
    if (object) tool->setEditedObject(object);
    if (!makeCurrentTool(tool.get())) {
        tool->giveBackObjects();
        return nullptr;
    }
    IXTool* current = tool.release();
    if (!event.isNone()) current->startWithEvent(event);
    return current;
}

IXTool* IXToolManager::activateToolNamed(IXToolName toolClassName, IXLayoutContext* context,
                                         const IXToolEvent& event)
{
    return activateToolNamed(toolClassName, nullptr, context, event);
}

IXTool* IXToolManager::activateToolNamed(IXToolName toolClassName, const std::shared_ptr<IXNode>& object,
                                         IXLayoutContext* context, const PLMouseEvent* event)
{
    return activateToolNamed(toolClassName, object, context, event ? IXToolEvent(*event) : IXToolEvent());
}

bool IXToolManager::commitCurrentTool()
{
    return m_currentTool ? m_currentTool->commitTool() : true;
}

void IXToolManager::discardCurrentTool()
{
    IXTool* old = std::exchange(m_currentTool, nullptr);
    if (!old) return;
    if (old != m_resigningTool) {
        ScopedPointer resigning(m_resigningTool, old);
        if (!old->resignCurrentTool()) old->discardTool();
    }
    release(old);
}

void IXToolManager::release(IXTool* tool)
{
    if (tool) tool->deleteLater();
}
