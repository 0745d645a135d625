#pragma once

// A window's side of the inspectors for benchmarks that drive an inspector without a document
// window: it holds the map's nodes and the selection, and announces a new selection as a window
// controller does.
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXInspectorController.h"
#include "Platform/Core/PLIdentity.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Core/PLUndoManager.h"

#include <QWidget>

class BenchInspectedController : public IXInspectedController {
public:
    IXSelection selection() const override { return m_selection; }
    std::shared_ptr<IXLayoutNode> layoutNode() const override { return m_layout; }
    std::shared_ptr<IXDocumentNode> documentNode() const override { return m_document; }
    int documentLayout() const override { return 0; }
    QWidget* window() const override { return const_cast<QWidget*>(&m_window); }

    void select(const IXSelection& selection)
    {
        m_selection = selection;
        PLNotificationCenter::defaultCenter().post(IXInspectorSelectionChangedNotification, PLIdentityOf(this));
    }

    PLUndoManager m_undo;
    std::shared_ptr<IXDocumentNode> m_document;
    std::shared_ptr<IXLayoutNode> m_layout;
    IXSelection m_selection;
    QWidget m_window;
};
