#pragma once

#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXCommentNodeObserver.h"
#include "DocumentModel/IXConnectionNodeObserver.h"
#include "DocumentModel/IXDocumentNodeObserver.h"
#include "DocumentModel/IXNodeObserver.h"
#include "DocumentModel/IXPictureNodeObserver.h"
#include "DocumentModel/IXReferenceNodeObserver.h"
#include "DocumentModel/IXStyleNodeObserver.h"

class IXLayoutContext;

// Turns the document's change notices into work for a layout context: a list that gained or
// lost nodes schedules the reload of its layer; any other change invalidates the layout of
// the node's cell; a node that leaves drops out of the selection, highlights and filter, and
// the context ends with its layout node. The context registers it with its document.
class IXLayoutModelObserver : public IXNodeObserver,
                              public IXDocumentNodeObserver,
                              public IXBranchNodeObserver,
                              public IXStyleNodeObserver,
                              public IXReferenceNodeObserver,
                              public IXPictureNodeObserver,
                              public IXCommentNodeObserver,
                              public IXConnectionNodeObserver {
public:
    explicit IXLayoutModelObserver(IXLayoutContext& context) : m_context(context) {}
    IXLayoutModelObserver(const IXLayoutModelObserver&) = delete;
    IXLayoutModelObserver& operator=(const IXLayoutModelObserver&) = delete;

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfNodeDetach(IXNode* node) override;
    void notifiedOfStyleNode(IXStyleNode* style, const QString& property) override;
    void notifiedOfDocumentNode(IXDocumentNode* document, const QString& property) override;
    void notifiedOfBranchNode(IXNode* branch, const QString& property) override;
    void notifiedOfReferenceNode(IXReferenceNode* reference, const QString& property) override;
    void notifiedOfPictureNode(IXPictureNode* picture, const QString& property) override;
    void notifiedOfCommentNode(IXCommentNode* comment, const QString& property) override;
    void notifiedOfConnectionNode(IXConnectionNode* connection, const QString& property) override;

private:
    // Whether a change of the branch's sub-branches may add or drop connection cells.
    bool branchesMayChangeConnections(IXNode* branch) const;

    IXLayoutContext& m_context;
};
