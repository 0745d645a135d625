#include "DocumentViews/IXTool.h"

#include "DocumentModel/IXOpenDocument.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXToolManager.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLLog.h"

IXTool::IXTool(IXToolManager* manager) : m_manager(manager) {}

IXTool::~IXTool()
{
    // Releasing a tool that still edits or holds its context is a programming error; a
    // destructor cannot stop with an assertion, so it says so and lets go of both, leaving no
    // editor registered with the document and no observer with the context.
    if (m_isEditing || m_context) {
        PLLog::write(QStringLiteral("IXTool %1 released while %2")
                         .arg(QString::fromLatin1(metaObject()->className()),
                              m_isEditing ? QStringLiteral("editing") : QStringLiteral("holding its context")));
        endEditing();
        if (m_context) m_context->removeObserver(this);
    }
}

void IXTool::setContext(IXLayoutContext* context)
{
    if (context == m_context) return;
    if (m_isActive) {
        discardTool();
        if (context == m_context) return;
    }
    replaceContext(context);
}

void IXTool::replaceContext(IXLayoutContext* context)
{
    if (context == m_context) return;
    if (m_isEditing) endEditing();
    if (m_context) m_context->removeObserver(this);
    contextWillChange();
    m_context = context;
    contextDidChange();
    if (m_context) m_context->addObserver(this);
}

void IXTool::notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context)
{
    setContext(nullptr);
    discardTool();
}

bool IXTool::respondsToSelector(std::string_view selector) const
{
    return selector == IXLayoutContextWillInvalidate.selector();
}

std::shared_ptr<IXNode> IXTool::editedObject() const
{
    return nullptr;
}

void IXTool::setEditedObject(const std::shared_ptr<IXNode>&) {}

void IXTool::giveBackObjects()
{
    setContext(nullptr);
    releaseEditedObject();
}

void IXTool::releaseEditedObject() { }

QTextEdit* IXTool::textView() const
{
    return nullptr;
}

std::optional<PLPoint> IXTool::commandPoint() const
{
    return std::nullopt;
}

bool IXTool::becomeCurrentTool()
{
    return activateTool();
}

bool IXTool::resignCurrentTool()
{
    if (!commitTool()) return false;
    discardTool();
    endEditing();
    return true;
}

void IXTool::beginEditing()
{
    if (m_isEditing) return;
    m_editingDocument = m_context ? m_context->document() : nullptr;
    if (m_editingDocument) m_editingDocument->objectDidBeginEditing(this);
    m_isEditing = true;
}

void IXTool::endEditing()
{
    if (!m_isEditing) return;
    if (IXOpenDocument* document = std::exchange(m_editingDocument, nullptr)) document->objectDidEndEditing(this);
    m_isEditing = false;
}

void IXTool::discardEditing()
{
    endEditing();
    discardTool();
}

bool IXTool::commitEditing()
{
    if (!commitTool()) return false;
    endEditing();
    return true;
}

void IXTool::contextWillChange() {}

void IXTool::contextDidChange() {}

bool IXTool::activateTool()
{
    PL_ASSERT_PARAM(m_context, "_context");
    m_isActive = true;
    return true;
}

bool IXTool::commitTool()
{
    return true;
}

void IXTool::discardTool()
{
    m_isActive = false;
    if (m_isEditing) endEditing();
    setContext(nullptr);
    if (m_manager && m_manager->currentTool() == this) m_manager->discardCurrentTool();
}

void IXTool::startWithEvent(const IXToolEvent&) {}

bool IXTool::onNextEvent(QEvent*)
{
    return false;
}

bool IXTool::onSendEvent(QWindow*, QEvent*)
{
    return false;
}
