#pragma once

#include "DocumentModel/IXWindowControlling.h"

#include <memory>

class IXDocumentNode;

// Stands in for a window's controller where a map is laid out and drawn without a window (the
// render tool, benchmarks, fuzzers): it hands out the document node it holds and the view mode
// it is given, and ignores selections, editors and edits.
class IXDocumentOnlyController : public IXWindowControlling {
public:
    explicit IXDocumentOnlyController(std::shared_ptr<IXDocumentNode> node = nullptr, int layoutMode = 0);
    ~IXDocumentOnlyController() override;

    void setDocumentNode(std::shared_ptr<IXDocumentNode> node);
    void setDocumentLayout(int layoutMode) { m_layoutMode = layoutMode; }

    void setSelection(const IXSelection&) override {}
    void openTextNoteEditorWithReference(const std::shared_ptr<IXReferenceNode>&) override {}
    IXOpenDocument* document() const override { return nullptr; }
    std::shared_ptr<IXDocumentNode> documentNode() const override { return m_node; }
    void addSubbranch() override {}
    int documentLayout() const override { return m_layoutMode; }

private:
    std::shared_ptr<IXDocumentNode> m_node;
    int m_layoutMode;
};
