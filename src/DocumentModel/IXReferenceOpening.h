#pragma once

#include <QMetaType>
#include <QString>
#include <QUrl>

#include <memory>

class IXNode;
class IXReferenceNode;

// What opening a reference means, as the model sees it: the window controller that receives
// the "openReference:" action decides how to open it, does so and reports what went wrong.
// The model only names the target; it opens nothing itself.
struct IXReferenceOpening {
    enum class Kind {
        Nothing,           // package parts, catalog items, a linked document that is gone
        TextNote,          // the reference itself, in the window's note editor
        WebAddress,        // url, with the desktop's handler (web and mail)
        File,              // path (located; it may not exist), with the desktop's application
        Branch,            // branch in this document (null when it is gone)
        BranchInDocument,  // the reference's target branch in the document at path
    };

    Kind kind = Kind::Nothing;
    // The reference asked to open.
    std::shared_ptr<IXReferenceNode> reference;
    QUrl url;
    QString path;
    std::shared_ptr<IXNode> branch;
    // The branches above the target are expanded first (connections do, plain links do not).
    bool expandsBranchesAbove = false;
};

Q_DECLARE_METATYPE(IXReferenceOpening)
