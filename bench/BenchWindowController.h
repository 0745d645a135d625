#pragma once

// A window controller for benchmarks: it gives the document node and ignores everything else.

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXWindowControlling.h"

#include <memory>

class BenchController : public IXWindowControlling {
public:
    std::shared_ptr<IXDocumentNode> node;
    void setSelection(const IXSelection&) override {}
    void openTextNoteEditorWithReference(const std::shared_ptr<IXReferenceNode>&) override {}
    IXOpenDocument* document() const override { return nullptr; }
    std::shared_ptr<IXDocumentNode> documentNode() const override { return node; }
    void addSubbranch() override {}
    int documentLayout() const override { return 0; }
};
