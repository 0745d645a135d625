#pragma once

// A document window on a small map, offscreen, for the clipboard and drop tests:
// Main{flag,star}(Sub{smile}(One Two Three)) and Second with a picture and a comment, a
// floating picture on Sub and the floating comment "Note" from the fixture.

#include "DocumentModel/IXApplicationServices.h"
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXFloatingReferenceNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXToolEnvironment.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentViews/IXWindowControllerLookup.h"
#include "DocumentWindow/IXAppController.h"
#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXShellServices.h"
#include "DocumentWindow/IXWindowController.h"
#include "IXShellTestSupport.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXMapCellFactory.h"
#include "UtilityWidgets/UTBeep.h"

#include <QTest>
#include <QWindow>

class ClipboardWindowTest : public ShellTest {
public:
    void SetUp() override
    {
        ShellTest::SetUp();
        IXLayoutCellFactory::install(&m_cells);
        IXWindowController::installAsShellControllers();
        IXApplicationServices::install(&m_services);
        IXApplication::instance()->setDelegate(&IXAppController::sharedController());
        m_previousSound = UTBeep::setSound([this] { ++beeps; });

        PLError error;
        document = IXDocumentController::shared().openDocument(
            copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("map.ixd")), true, &error);
        ASSERT_TRUE(document);
        controller = dynamic_cast<IXWindowController*>(document->windowControllers().front());
        ASSERT_TRUE(controller);
        node = document->documentNode();
        node->disableUndo();
        for (const char* title : {"One", "Two", "Three"}) {
            auto leaf = std::make_shared<IXBranchNode>();
            leaf->setTitle(QString::fromLatin1(title));
            branch(QStringLiteral("Sub"))->insertBranch(leaf, -1);
        }
        branch(QStringLiteral("Main"))->setIcons({QStringLiteral("flag"), QStringLiteral("star")});
        branch(QStringLiteral("Sub"))->setIcons({QStringLiteral("smile")});
        branch(QStringLiteral("Second"))->addPicture();
        branch(QStringLiteral("Second"))->addComment()->setTitle(QStringLiteral("Remark"));
        static_cast<IXFloatingReferenceNode&>(*node->pictures().first())
            .setFloatingTargetNode(branch(QStringLiteral("Sub")));
        node->enableUndo();
        controller->setDocumentLayout(0);
        QWindow* window = controller->documentWindow()->windowHandle();
        ASSERT_TRUE(window && QTest::qWaitForWindowActive(window));
        spin(IXWindowController::DocumentOpenDelayMilliseconds + 50);
        controller->layoutContext()->performLayoutIfNeeded();
    }
    void TearDown() override
    {
        IXToolManager::sharedManager()->discardCurrentTool();
        for (IXDocument* each : IXDocumentController::shared().documents())
            IXDocumentController::shared().removeDocument(each);
        IXApplication::instance()->setDelegate(nullptr);
        IXDocument::setWindowControllerFactory({});
        IXWindowControllerLookup::install(nullptr);
        IXToolEnvironment::install(nullptr);
        IXApplicationServices::install(nullptr);
        IXLayoutCellFactory::install(nullptr);
        UTBeep::setSound(m_previousSound);
        spin(10);
    }

    static QList<std::shared_ptr<IXBranchNode>> allBranches(const IXDocumentNode& document)
    {
        QList<std::shared_ptr<IXBranchNode>> branches;
        for (const auto& root : document.rootBranches()) branches << std::static_pointer_cast<IXBranchNode>(root);
        for (qsizetype i = 0; i < branches.size(); ++i) branches << branches[i]->branches();
        return branches;
    }

    // The first branch of that title, in breadth-first order.
    std::shared_ptr<IXBranchNode> branch(const QString& title, IXDocumentNode* in = nullptr) const
    {
        for (const auto& each : allBranches(in ? *in : *node))
            if (each->storedTitle() == title) return each;
        return nullptr;
    }

    std::shared_ptr<IXNode> named(const QString& name) const
    {
        if (name == QLatin1String("doc")) return node;
        if (name == QLatin1String("pic")) return node->pictures().value(0);
        for (const auto& comment : node->comments())
            if (comment->title() == name) return comment;
        return branch(name);
    }

    void select(const QString& names, IXWindowController* in = nullptr)
    {
        IXSelection::NodeList nodes;
        for (const QString& name : names.split(QLatin1Char(','), Qt::SkipEmptyParts)) nodes << named(name);
        (in ? in : controller)->setSelection(IXSelection::selectionWithArray(nodes));
        spin();
    }

    static QString nameOf(IXNode& each)
    {
        if (each.isDocument()) return QStringLiteral("doc");
        if (each.isPicture()) return QStringLiteral("pic");
        return each.isBranch() ? static_cast<IXBranchNode&>(each).title() : each.title();
    }

    QString selected(IXWindowController* in = nullptr) const
    {
        QStringList names;
        for (const auto& each : (in ? in : controller)->selection().nodes()) names << nameOf(*each);
        return names.join(QLatin1Char(','));
    }

    // The map in one line: each branch with its picture, comment, attachments and icons, its
    // sub-branches in parentheses; then the floating nodes and their anchors.
    static QString outline(IXBranchNode& each)
    {
        QString text = nameOf(each);
        if (each.picture()) text += QStringLiteral("+pic");
        if (each.comment()) text += QStringLiteral("+") + each.comment()->title();
        for (const auto& attachment : each.attachments()) text += QStringLiteral("@") + attachment->title();
        if (!each.icons().isEmpty()) text += QStringLiteral("{%1}").arg(each.icons().join(QLatin1Char(',')));
        QStringList children;
        for (const auto& child : each.branches()) children << outline(*child);
        if (!children.isEmpty()) text += QStringLiteral("(%1)").arg(children.join(QLatin1Char(' ')));
        return text;
    }
    static QString outline(IXDocumentNode& document)
    {
        QStringList parts;
        for (const auto& root : document.rootBranches()) parts << outline(static_cast<IXBranchNode&>(*root));
        QStringList floating;
        for (const auto& each : document.pictures() + document.comments()) {
            const std::shared_ptr<IXNode> target = each->floatingTargetNode();
            floating << nameOf(*each) + (target ? QStringLiteral(">") + nameOf(*target) : QString());
        }
        return parts.join(QLatin1Char(' ')) + QStringLiteral(" | ") + floating.join(QLatin1Char(' '));
    }
    QString outline() const { return outline(*node); }

    IXMapView* mapView() const { return dynamic_cast<IXMapView*>(controller->documentView()); }

    // The centre of a node's cell in the map view's Qt coordinates.
    QPointF centreOf(const QString& name) const
    {
        IXLayoutContext* context = controller->layoutContext();
        IXLayoutCell* cell = context->cells().cellForNode(named(name).get());
        const PLRect bounds = cell->convertRectToCell(cell->bounds(), nullptr);
        const PLPoint inView
            = context->coordinates().convertPointFromCell(PLPoint(bounds.midX(), bounds.midY()), nullptr);
        return mapView()->pointToQt(inView);
    }

    IXDocument* document = nullptr;
    IXWindowController* controller = nullptr;
    std::shared_ptr<IXDocumentNode> node;
    FakeDialogs dialogs;
    int beeps = 0;

private:
    IXMapCellFactory m_cells;
    IXShellServices m_services;
    UTBeep::Sound m_previousSound;
};
