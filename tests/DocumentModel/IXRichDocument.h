#pragma once

// A document with every kind of node and part, for the whole-model tests: branches with
// titles, dates of every scale, icons, pictures ("local:" parts), comments, RTF and RTFD text
// notes, connections, links and attached files (registered as additional folders), floating
// pictures and comments pointing at branches, node styles in the document sheet and in two
// layout sheets, option parts and parts the model does not know. The clock and the author
// are fixed, so that saves can be compared byte for byte.

#include "DocumentModel/IXBranchNode.h"
#include "IXBranchTestSupport.h"
#include "IXReferenceTestSupport.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "Platform/Text/PLAttributedString.h"
#include "Platform/Text/PLTextAttachment.h"
#include "Utilities/UTZipArchive.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

// Pins the clock of "modified" for the lifetime of the object.
class FixedClock {
public:
    FixedClock() { IXDocumentNode::setClock([] { return QDateTime(QDate(2009, 4, 21), QTime(10, 30)); }); }
    ~FixedClock() { IXDocumentNode::setClock(nullptr); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};

// Every node below the document, depth first in document order: the branches with what they
// own, then the floating pictures and comments with their connections.
inline void forEachNode(IXDocumentNode& document, const std::function<void(IXNode&)>& visit)
{
    std::vector<IXNode*> stack;
    const auto pushInReverse = [&stack](const std::vector<IXNode*>& nodes) { stack.insert(stack.end(), nodes.rbegin(), nodes.rend()); };
    std::vector<IXNode*> top;
    for (const auto& list : {document.rootBranches(), document.pictures(), document.comments()}) {
        for (const auto& node : list) top.push_back(node.get());
    }
    pushInReverse(top);
    while (!stack.empty()) {
        IXNode* node = stack.back();
        stack.pop_back();
        visit(*node);
        std::vector<IXNode*> owned;
        if (node->isBranch()) {
            auto* branch = static_cast<IXBranchNode*>(node);
            if (branch->picture()) owned.push_back(branch->picture().get());
            if (branch->comment()) owned.push_back(branch->comment().get());
            for (const auto& reference : branch->allReferences()) owned.push_back(reference.get());
            for (const auto& child : branch->branches()) owned.push_back(child.get());
        } else if (auto* floating = dynamic_cast<IXFloatingReferenceNode*>(node); floating && floating->connection()) {
            owned.push_back(floating->connection().get());
        }
        if (auto* reference = dynamic_cast<IXReferenceNode*>(node); reference && reference->relatedLink())
            owned.push_back(reference->relatedLink().get());
        pushInReverse(owned);
    }
}

// What the views do on opening: ask every node for its id (made on first use), read the
// titles (a reference without one then keeps its default title), the note texts and the
// style sheets of the parts the package has.
inline void readEverything(IXDocumentNode& document)
{
    forEachNode(document, [](IXNode& node) {
        node.uniqueId();
        node.title();
        if (auto* comment = dynamic_cast<IXCommentNode*>(&node); comment && comment->isTextNote()) comment->text();
    });
    document.styleSheet();
    for (const QString& name : {IXLayoutMindMapName, IXLayoutTopDownName, IXLayoutLeftRightName, IXLayoutOutlineName,
                                IXLayoutTimelineName}) {
        if (document.packageParts().dataNamed(name + QStringLiteral(".styles.xml"))) document.layoutForName(name)->styleSheet();
    }
}

inline std::shared_ptr<IXDocumentNode> makeRichDocument()
{
    auto document = std::make_shared<IXDocumentNode>();
    document->setUserName(QStringLiteral("Test Author"));
    document->setTimeScaleType(3);
    // A part the model does not know, before any the model writes.
    document->packageParts().setData(QByteArray("\x00\x01unknown\xff", 11), QStringLiteral("custom/extra.bin"));

    auto project = branchTitled(QStringLiteral("Project"));
    document->addRootBranch(project);
    UTDateTime begin = UTDateTime::fromYears(2008, 3, 15);
    begin.setHour(14);
    begin.setMinute(30);
    project->setBeginDate(begin);
    project->setEndDate(UTDateTime::fromYears(2009, 1, 2));
    project->setEndDate2(UTDateTime::fromYears(2010));
    project->setIcons({QStringLiteral("star"), QStringLiteral("flag"), QStringLiteral("star")});
    project->addPicture()->addPictureData(pngBytes(6, 4), QStringLiteral("project.png"));
    project->addComment()->setTitle(QStringLiteral("A remark"));

    const auto rtfNote = project->addTextnote();
    rtfNote->setTitle(QStringLiteral("Plain note"));
    rtfNote->setText(PLAttributedString(QStringLiteral("A note in plain RTF.\nSecond line.")));
    const auto rtfdNote = project->addTextnote();
    rtfdNote->setTitle(QStringLiteral("Picture note"));
    PLAttributedString withPicture(QStringLiteral("A note with a picture: "));
    withPicture.append(PLAttributedString::fromAttachment(PLTextAttachment::make(QStringLiteral("dot.png"), pngBytes(5, 3))));
    rtfdNote->setText(withPicture);

    project->addReference(linkTo(QStringLiteral("http://example.org/page"), IXReferenceNode::SubtypeWeb, QStringLiteral("Site")));
    project->addReference(linkTo(QStringLiteral("mailto:someone@example.org"), IXReferenceNode::SubtypeMail));
    project->addReference(linkTo(QStringLiteral("file:/srv/shared/plans/plan.txt"), IXReferenceNode::SubtypeText, QStringLiteral("Plan")));
    const auto withLink = linkTo(QStringLiteral("file:/srv/shared/other/sheet.ods"), IXReferenceNode::SubtypeFile, QStringLiteral("Linked"));
    withLink->addRelatedLink()->setTargetRef(QStringLiteral("http://example.org/sheet"));
    project->addReference(withLink);

    auto months = branchTitled(QStringLiteral("Months"));
    months->setBeginDate(UTDateTime::fromMonths(14, 3));
    auto weeks = branchTitled(QStringLiteral("Weeks"));
    weeks->setBeginDate(UTDateTime::fromWeeks(12, 3));
    weeks->setIncludeInExport(false);
    auto days = branchTitled(QStringLiteral("Days"));
    days->setBeginDate(UTDateTime::fromDays(40));
    auto hours = branchTitled(QStringLiteral("Hours"));
    hours->setBeginDate(UTDateTime::fromHours(100));
    hours->setEndDate(UTDateTime::fromHours(130));
    auto untitled = std::make_shared<IXBranchNode>();
    for (const auto& branch : {months, weeks, days, untitled}) project->insertBranch(branch, -1);
    days->insertBranch(hours, -1);

    const auto connection = project->addConnection();
    connection->setTitle(QStringLiteral("depends on"));
    connection->setTargetNode(weeks);
    const auto external = months->addConnection();
    external->setTargetRef(QStringLiteral("branch:0123456789ABCDEF0123456789ABCDEF"));
    external->addRelatedLink()->setFilePath(QStringLiteral("/srv/shared/other.ixd"));

    auto second = branchTitled(QStringLiteral("Second root"));
    document->addRootBranch(second);
    second->insertBranch(branchTitled(QStringLiteral("Under the second")), -1);

    auto floatingPicture = std::make_shared<IXPictureNode>();
    document->addPicture(floatingPicture);
    floatingPicture->addPictureData(pngBytes(4, 4), QStringLiteral("floating.png"));
    floatingPicture->setFloatingTargetNode(months);
    auto floatingComment = std::make_shared<IXCommentNode>();
    document->addComment(floatingComment);
    floatingComment->setTitle(QStringLiteral("Look here"));
    floatingComment->setFloatingTargetNode(hours);
    auto looseComment = std::make_shared<IXCommentNode>();
    document->addComment(looseComment);
    looseComment->setTitle(QStringLiteral("On its own"));

    // Node styles in the document sheet and in two layout sheets.
    project->style()->setBranchLineWidth(2.5f);
    weeks->style()->setBranchTextColor(PLColor::rgb(0.2f, 0.4f, 0.6f));
    floatingPicture->style()->setPictureSize({120, 80});
    connection->style()->setConnectionLineWidth(3);
    const auto mindmap = document->layoutForName(IXLayoutMindMapName)->styleSheet();
    mindmap->styleForNode(weeks.get())->setBranchLayoutType(3);
    mindmap->styleForNode(days.get())->setBranchFrameType(2);
    document->layoutForName(IXLayoutTimelineName)->styleSheet()->styleForNode(hours.get())->setBranchLineWidth(4);

    // Option parts.
    document->userInterfaceOptions().insert(QStringLiteral("view"), 2);
    document->packageParts().optionsForName(QStringLiteral("export.word")).insert(QStringLiteral("template"), QStringLiteral("plain"));
    document->setIgnoredWords({QStringLiteral("Ideaflux"), QStringLiteral("mindmap")});
    document->saveIgnoredWords();
    document->packageParts().setData(pngBytes(3, 2), QStringLiteral("thumbnail"));
    return document;
}

// The parts of a package in order, with their bytes.
inline QList<QPair<QString, QByteArray>> packageParts(const QByteArray& package)
{
    QList<QPair<QString, QByteArray>> parts;
    const std::optional<UTZipArchive> archive = UTZipArchive::fromData(package);
    EXPECT_TRUE(archive);
    if (!archive) return parts;
    for (const auto& item : archive->items()) parts.append({item.name(), archive->dataByName(item.name()).value_or(QByteArray())});
    return parts;
}
