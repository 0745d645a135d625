#pragma once

// Support for the inspectors' tests: a document window controller made of a plain widget, a
// document node and a selection, that posts the selection notice as the shell's does; a
// lookup from windows to such controllers; and a way to let the event loop turn.

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXInspectorController.h"
#include "Platform/Core/PLIdentity.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Core/PLUndoManager.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <memory>

class FakeInspectedController : public IXInspectedController {
public:
    FakeInspectedController()
        : m_document(std::make_shared<IXDocumentNode>())
    {
        m_document->setUndoManager(&m_undo);
    }
    ~FakeInspectedController() override { m_document->setUndoManager(nullptr); }

    IXSelection selection() const override { return m_selection; }
    std::shared_ptr<IXLayoutNode> layoutNode() const override { return m_layout; }
    std::shared_ptr<IXDocumentNode> documentNode() const override { return m_document; }
    int documentLayout() const override { return m_documentLayout; }
    QWidget* window() const override { return const_cast<QWidget*>(&m_window); }

    void select(const IXSelection& selection)
    {
        m_selection = selection;
        PLNotificationCenter::defaultCenter().post(IXInspectorSelectionChangedNotification, PLIdentityOf(this));
    }
    // A root branch of the document with the title, appended.
    std::shared_ptr<IXBranchNode> addBranch(const QString& title)
    {
        auto branch = std::make_shared<IXBranchNode>();
        branch->setTitle(title);
        m_document->addRootBranch(branch);
        return branch;
    }

    PLUndoManager m_undo;
    std::shared_ptr<IXDocumentNode> m_document;
    std::shared_ptr<IXLayoutNode> m_layout;
    IXSelection m_selection;
    int m_documentLayout = 0;
    QWidget m_window;
};

// Finds the fake controllers of their windows while it lives.
class FakeControllerLookup {
public:
    explicit FakeControllerLookup(std::initializer_list<FakeInspectedController*> controllers)
        : m_controllers(controllers)
    {
        IXInspectorController::installControllerLookup([this](const QWidget* window) -> IXInspectedController* {
            for (FakeInspectedController* controller : m_controllers)
                if (controller->window() == window) return controller;
            return nullptr;
        });
    }
    ~FakeControllerLookup()
    {
        IXInspectorController::setCurrentWindow(nullptr);
        IXInspectorController::installControllerLookup({});
    }

private:
    QList<FakeInspectedController*> m_controllers;
};

// Lets the event loop turn, so that deferred work runs.
inline void spinEventLoop(int milliseconds = 0)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::processEvents();
}
