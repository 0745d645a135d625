#pragma once

// A window controller that asks nothing of a window, for benchmarks of a layout context.

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXWindowControlling.h"

#include <memory>

class BenchController : public IXWindowControlling {
public:
    std::shared_ptr<IXDocumentNode> node;
    int layout = 0;
    void setSelection(const IXSelection&) override {}
    void openTextNoteEditorWithReference(const std::shared_ptr<IXReferenceNode>&) override {}
    IXOpenDocument* document() const override { return nullptr; }
    std::shared_ptr<IXDocumentNode> documentNode() const override { return node; }
    void addSubbranch() override {}
    int documentLayout() const override { return layout; }
    void synchronizeWindowTitleWithDocumentName() override {}
};
