#include "DocumentViews/IXTextEditingTool.h"

#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXMapView.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QAction>
#include <QEvent>

IXMapView* IXTextEditingTool::mapView() const
{
    return context() ? dynamic_cast<IXMapView*>(context()->view()) : nullptr;
}

bool IXTextEditingTool::eventFilter(QObject* watched, QEvent* event)
try {
    if (event->type() == QEvent::Paint && textView() && watched == mapView() && !m_placementPending) {
        m_placementPending = true;
        PLRunLoop::perform(this, "placement", [this] {
            m_placementPending = false;
            adjustToDocumentView();
        });
    }
    return IXTool::eventFilter(watched, event);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}

void IXTextEditingTool::editText(void (QTextEdit::*edit)())
try {
    if (QTextEdit* text = textView()) (text->*edit)();
} catch (...) {
    PLExceptionBoundary::caught();
}

bool IXTextEditingTool::validateMenuItem(QAction* item)
try {
    const QByteArray action = IXActionItem::actionOf(item);
    const QTextEdit* text = textView();
    if (!text) return false;
    if (action == IXCommands::Undo) {
        item->setText(PLLocalizedStrings::string(QStringLiteral("Undo")));
        return text->document()->isUndoAvailable();
    }
    if (action == IXCommands::Redo) {
        item->setText(PLLocalizedStrings::string(QStringLiteral("Redo")));
        return text->document()->isRedoAvailable();
    }
    if (action == IXCommands::Cut || action == IXCommands::Copy) return text->textCursor().hasSelection();
    if (action == IXCommands::Paste) return text->canPaste();
    if (action == IXCommands::SelectAll) return true;
    return false;
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}
