#pragma once

// The map tools' fixture: the application shell with the small map "tree.ixd" (Main with Sub,
// Second, a floating picture and a floating comment) open in a window, offscreen, and gestures
// on its map view synthesized as a user makes them.

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentViews/IXContextMenuTool.h"
#include "DocumentViews/IXContinuousSpellChecking.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXToolEnvironment.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentViews/IXWindowControllerLookup.h"
#include "DocumentWindow/IXAppController.h"
#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXWindowController.h"
#include "DocumentWindow/IXWindowToolbar.h"
#include "IXShellTestSupport.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXMapCellFactory.h"
#include "UtilityWidgets/UTBeep.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <functional>

class SpellCheckingOn : public IXContinuousSpellChecking {
public:
    bool continuousSpellChecking() const override { return true; }
};

class MapToolsTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        IXLayoutCellFactory::install(&m_cells);
        IXWindowController::installAsShellControllers();
        IXContinuousSpellChecking::install(&m_spelling);
        IXApplication::instance()->setDelegate(&IXAppController::sharedController());
        m_sound = UTBeep::setSound([] {});
    }
    void TearDown() override
    {
        IXToolManager::sharedManager()->discardCurrentTool();
        for (IXDocument* document : IXDocumentController::shared().documents())
            IXDocumentController::shared().removeDocument(document);
        IXDocument::setWindowControllerFactory({});
        IXWindowControllerLookup::install(nullptr);
        IXToolEnvironment::install(nullptr);
        IXLayoutCellFactory::install(nullptr);
        IXContinuousSpellChecking::install(nullptr);
        IXApplication::instance()->setDelegate(nullptr);
        UTBeep::setSound(m_sound);
        spin(10);
    }

    // Opens the fixture (Main with Sub, Second, a floating picture and a floating comment),
    // after letting the map change first.
    void open(const std::function<void(IXDocumentNode&)>& change = {})
    {
        PLError error;
        document = IXDocumentController::shared().openDocument(
            copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("tools.ixd")), true, &error);
        ASSERT_TRUE(document) << error.localizedDescription().toStdString();
        spin(IXWindowController::DocumentOpenDelayMilliseconds + 50);
        if (change) change(*document->documentNode());
        controller = dynamic_cast<IXWindowController*>(document->windowControllers().front());
        view = qobject_cast<IXMapView*>(controller->documentView());
        ASSERT_TRUE(view);
        // Clicks land beside the map's cells in a window of the offscreen screen's size; the
        // toolbar would push the lowest of them off the window.
        controller->toolbar().setShown(false);
        controller->documentWindow()->activateWindow();
        view->setFocus();
        spin(20);
        context()->performLayoutIfNeeded();
    }

    IXLayoutContext* context() const { return view->layoutContext(); }
    std::shared_ptr<IXDocumentNode> node() const { return document->documentNode(); }
    std::shared_ptr<IXNode> branch(const QString& title) const
    {
        std::vector<std::shared_ptr<IXNode>> pending(node()->rootBranches().begin(), node()->rootBranches().end());
        while (!pending.empty()) {
            auto next = pending.back();
            pending.pop_back();
            if (next->title() == title) return next;
            for (const auto& child : std::static_pointer_cast<IXBranchNode>(next)->branches()) pending.push_back(child);
        }
        return nullptr;
    }
    std::shared_ptr<IXNode> picture() const { return node()->pictures().front(); }
    std::shared_ptr<IXNode> comment() const { return node()->comments().front(); }

    // A point of the view (Qt's space) where the map finds the node, or (-1, -1).
    QPoint pointOn(const IXNode* target) const
    {
        const QRectF box(boxOf(target));
        // From the middle outwards, so that a branch is hit on its title.
        for (double dy = 0; dy <= box.height() / 2; dy += 1)
            for (double dx = 0; dx <= box.width() / 2; dx += 1)
                for (const QPointF p : {box.center() + QPointF(dx, dy), box.center() + QPointF(-dx, dy),
                                        box.center() + QPointF(dx, -dy), box.center() - QPointF(dx, dy)})
                    if (context()->mouse().nodeAtPoint(view->pointFromQt(p)) == target) return p.toPoint();
        return QPoint(-1, -1);
    }
    // A point of the view where the map has nothing.
    QPoint emptyPoint() const
    {
        const QRectF cells
            = view->rectToQt(context()->coordinates().convertRectFromCell(context()->cellsBounds(), nullptr));
        return (cells.bottomRight() + QPointF(30, 30)).toPoint();
    }
    // The node's own box: a branch's without its sub-branches.
    QRect boxOf(const IXNode* target) const
    {
        auto* node = const_cast<IXNode*>(target);
        IXLayoutCell* cell = node->isBranch() ? static_cast<IXLayoutCell*>(context()->cells().branchCellForNode(node))
                                              : context()->cells().cellForNode(node);
        const PLRect area = cell ? context()->coordinates().convertRectFromCell(cell->bounds(), cell)
                                 : context()->coordinates().convertRectFromCell(context()->cellsBounds(), nullptr);
        return view->rectToQt(area).toAlignedRect();
    }

    static QStringList titles(const IXSelection& selection)
    {
        QStringList result;
        for (const auto& node : selection.nodes())
            result << (node->isDocument() ? QStringLiteral("<document>") : node->title());
        result.sort();
        return result;
    }
    QStringList selected() const { return titles(context()->selection()); }
    QStringList highlighted() const { return titles(context()->highlights()); }

    // Presses at the start and moves to each point; then, once the tool's tracking loop has
    // taken the moves, `during` looks at the map and `end` ends the gesture (a release,
    // Escape, ...).
    void drag(QPoint start, const QList<QPoint>& moves, const std::function<void()>& during,
              const std::function<void(QPoint)>& end, Qt::KeyboardModifiers moveModifiers = {})
    {
        // One event per turn: the loop takes each before the next comes.
        std::function<void(qsizetype)> step = [&](qsizetype index) {
            if (index == moves.size()) {
                if (during) during();
                end(moves.isEmpty() ? start : moves.last());
                return;
            }
            QMouseEvent move(QEvent::MouseMove, moves[index], view->mapToGlobal(moves[index]), Qt::NoButton,
                             Qt::LeftButton, moveModifiers);
            QApplication::sendEvent(view, &move);
            QTimer::singleShot(0, view, [&step, index] { step(index + 1); });
        };
        QTimer::singleShot(0, view, [&step] { step(0); });
        QTest::mousePress(view, Qt::LeftButton, {}, start);
    }
    void release(QPoint at) { QTest::mouseRelease(view, Qt::LeftButton, {}, at); }
    // A press follows its gesture in a nested loop until the release, which must be on its way
    // first (QTest::mouseClick would send it only after the press returned).
    void click(QPoint at, Qt::KeyboardModifiers modifiers = {})
    {
        QTimer::singleShot(0, view,
                           [this, at, modifiers] { QTest::mouseRelease(view, Qt::LeftButton, modifiers, at); });
        QTest::mousePress(view, Qt::LeftButton, modifiers, at);
    }

    // With IX_SAVE_RENDERS set, keeps the widget's picture (the map view's by default) at 1x
    // and 2x to look at, in the folder the variable names ("renders" when it names none).
    void saveRender(const QString& name, QWidget* widget = nullptr) const
    {
        const QString folder = qEnvironmentVariable("IX_SAVE_RENDERS");
        if (folder.isNull()) return;
        const QDir target(folder.isEmpty() || folder == QStringLiteral("1") ? QStringLiteral("renders") : folder);
        QDir().mkpath(target.path());
        if (!widget) widget = view;
        widget->grab().save(target.filePath(name + QStringLiteral(".png")));
        QImage twice(widget->size() * 2, QImage::Format_ARGB32_Premultiplied);
        twice.setDevicePixelRatio(2);
        twice.fill(Qt::white);
        widget->render(&twice);
        twice.save(target.filePath(name + QStringLiteral("@2x.png")));
    }

    IXContextMenuTool* rightClick(QPoint at)
    {
        QTest::mouseClick(view, Qt::RightButton, {}, at);
        return qobject_cast<IXContextMenuTool*>(IXToolManager::sharedManager()->currentTool());
    }

    IXDocument* document = nullptr;
    IXWindowController* controller = nullptr;
    IXMapView* view = nullptr;
    FakeDialogs dialogs;

private:
    IXMapCellFactory m_cells;
    SpellCheckingOn m_spelling;
    UTBeep::Sound m_sound;
};
