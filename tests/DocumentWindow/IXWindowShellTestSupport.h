#pragma once

// A test with the shell's window controllers installed: documents opened through the document
// controller get their windows, and every document is closed again after the test.
#include "DocumentViews/IXToolEnvironment.h"
#include "DocumentViews/IXWindowControllerLookup.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXWindowController.h"
#include "IXShellTestSupport.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXMapCellFactory.h"

class WindowShellTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        IXLayoutCellFactory::install(&m_cells);
        IXWindowController::installAsShellControllers();
    }
    void TearDown() override
    {
        for (IXDocument* document : IXDocumentController::shared().documents())
            IXDocumentController::shared().removeDocument(document);
        IXDocument::setWindowControllerFactory({});
        IXWindowControllerLookup::install(nullptr);
        IXToolEnvironment::install(nullptr);
        IXLayoutCellFactory::install(nullptr);
        spin(10);
    }

    // Opens the file with its window, which has shown its view when this returns.
    IXDocument* open(const QString& path)
    {
        PLError error;
        IXDocument* document = IXDocumentController::shared().openDocument(path, true, &error);
        EXPECT_TRUE(document) << error.localizedDescription().toStdString();
        spin(IXWindowController::DocumentOpenDelayMilliseconds + 50);
        return document;
    }

    static IXWindowController* controllerOf(IXDocument* document)
    {
        return dynamic_cast<IXWindowController*>(document->windowControllers().front());
    }

    IXMapCellFactory m_cells;
};
