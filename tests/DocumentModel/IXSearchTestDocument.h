#pragma once

// A document that holds every kind of text the search walk visits, for the tests of the walk,
// of find and replace and of spelling. Its texts in walking order are `SearchTestDocument::
// forwardTexts`.

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "Platform/Core/PLUndoManager.h"

#include <QStringList>

#include <memory>

struct SearchTestDocument {
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();
    std::shared_ptr<IXBranchNode> alpha, beta, betaChild, gamma;
    std::shared_ptr<IXCommentNode> note, comment, floatingComment;
    std::shared_ptr<IXReferenceNode> attachment;
    std::shared_ptr<IXConnectionNode> connection;
    std::shared_ptr<IXPictureNode> picture, floatingPicture;

    static std::shared_ptr<IXBranchNode> branch(const QString& title)
    {
        auto made = std::make_shared<IXBranchNode>();
        made->setTitle(title);
        return made;
    }

    // Texts are given in walking order: the root's title, its sub-branches, its note (title,
    // text), attachment, connection, comment and picture, then the second root, the floating
    // comment and the floating picture.
    explicit SearchTestDocument(const QStringList& texts = forwardTexts(), PLUndoManager* undo = nullptr)
    {
        if (undo) document->setUndoManager(undo);
        alpha = branch(texts[0]);
        document->addRootBranch(alpha);
        beta = branch(texts[1]);
        alpha->insertBranch(beta, -1);
        betaChild = branch(texts[2]);
        beta->insertBranch(betaChild, -1);
        note = alpha->addTextnote();
        note->setTitle(texts[3]);
        note->setTextString(texts[4]);
        attachment = alpha->addAttachment();
        attachment->setTitle(texts[5]);
        connection = alpha->addConnection();
        connection->setTitle(texts[6]);
        comment = alpha->addComment();
        comment->setTitle(texts[7]);
        picture = alpha->addPicture();
        picture->setTitle(texts[8]);
        gamma = branch(texts[9]);
        document->addRootBranch(gamma);
        floatingComment = std::make_shared<IXCommentNode>();
        floatingComment->setPlainText(true);
        document->addComment(floatingComment);
        floatingComment->setTitle(texts[10]);
        floatingPicture = std::make_shared<IXPictureNode>();
        document->addPicture(floatingPicture);
        floatingPicture->setTitle(texts[11]);
    }
    ~SearchTestDocument() { document->setUndoManager(nullptr); }

    static QStringList forwardTexts()
    {
        return {"Alpha",   "Beta",   "Beta child", "Note title", "note text", "Link",
                "Connect", "Remark", "Photo",      "Gamma",      "Floating",  "Label"};
    }
};
