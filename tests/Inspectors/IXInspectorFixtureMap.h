#pragma once

// A map with every kind of node for the inspectors' tests, shown through a fake window
// controller: the root "Root" with children A, B and C; A and B carry branch pictures (A's
// refers to a file, B's is a web link); floating pictures P (placed by A, a file) and Q
// (free); floating comments N (placed by B) and M (free); connections A to B and B to C.
// Undo is recorded from the end of the set-up on.

#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "IXInspectorTestSupport.h"
#include "TestSupport/QStringPrinter.h"

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>

struct InspectorFixtureMap {
    FakeInspectedController controller;
    QTemporaryDir folder;
    std::shared_ptr<IXBranchNode> root;
    std::shared_ptr<IXBranchNode> a, b, c;
    std::shared_ptr<IXPictureNode> pictureA, pictureB, floatingP, floatingQ;
    std::shared_ptr<IXCommentNode> commentN, commentM;
    std::shared_ptr<IXConnectionNode> linkAB, linkBC;

    InspectorFixtureMap()
    {
        controller.m_layout = controller.m_document->layoutForName(QStringLiteral("mindmap"));
        root = controller.addBranch(QStringLiteral("Root"));
        a = child(QStringLiteral("A"));
        b = child(QStringLiteral("B"));
        c = child(QStringLiteral("C"));
        QImage image(40, 20, QImage::Format_ARGB32);
        image.fill(Qt::darkCyan);
        image.save(filePath(QStringLiteral("a.png")));
        image.save(filePath(QStringLiteral("p.png")));
        pictureA = a->addPicture();
        pictureA->setFilePath(filePath(QStringLiteral("a.png")));
        pictureB = b->addPicture();
        pictureB->setTargetRef(QStringLiteral("https://example.org/b.png"));
        floatingP = std::make_shared<IXPictureNode>();
        floatingP->setTitle(QStringLiteral("P"));
        floatingP->setFilePath(filePath(QStringLiteral("p.png")));
        controller.m_document->addPicture(floatingP);
        floatingP->setFloatingTargetNode(a);
        floatingQ = std::make_shared<IXPictureNode>();
        floatingQ->setTitle(QStringLiteral("Q"));
        controller.m_document->addPicture(floatingQ);
        commentN = std::make_shared<IXCommentNode>();
        commentN->setTitle(QStringLiteral("N"));
        controller.m_document->addComment(commentN);
        commentN->setFloatingTargetNode(b);
        commentM = std::make_shared<IXCommentNode>();
        commentM->setTitle(QStringLiteral("M"));
        controller.m_document->addComment(commentM);
        linkAB = a->addConnection();
        linkAB->setTargetNode(b);
        linkAB->setTitle(QStringLiteral("AB"));
        linkBC = b->addConnection();
        linkBC->setTargetNode(c);
        linkBC->setTitle(QStringLiteral("BC"));
        spinEventLoop();
        controller.m_undo.removeAllActions();
    }

    std::shared_ptr<IXBranchNode> child(const QString& title)
    {
        auto branch = std::make_shared<IXBranchNode>();
        branch->setTitle(title);
        root->insertBranch(branch, -1);
        return branch;
    }
    QString filePath(const QString& name) const { return QDir(folder.path()).filePath(name); }
    std::shared_ptr<IXStyleNode> layoutStyleOf(IXNode* node)
    {
        return controller.m_layout->styleSheet()->styleForNode(node);
    }
    void select(std::initializer_list<std::shared_ptr<IXNode>> nodes)
    {
        controller.select(IXSelection::selectionWithArray(IXSelection::NodeList(nodes)));
        spinEventLoop();
    }
    // One undo step brings back what the change did.
    void undo()
    {
        spinEventLoop();
        controller.m_undo.undo();
        spinEventLoop();
    }
};

// Saves the widget's picture at 1x and 2x into the folder named by IX_SHOTS_DIR, for a look;
// nothing without it.
inline void saveShots(QWidget* widget, const QString& name)
{
    const QString directory = qEnvironmentVariable("IX_SHOTS_DIR");
    if (directory.isEmpty()) return;
    QDir().mkpath(directory);
    widget->grab().save(QDir(directory).filePath(name + QStringLiteral(".png")));
    QPixmap pixmap(widget->size() * 2);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::white);
    widget->render(&pixmap);
    pixmap.save(QDir(directory).filePath(name + QStringLiteral("@2x.png")));
}
