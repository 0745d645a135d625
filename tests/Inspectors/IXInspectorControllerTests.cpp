// The inspector base: following the active document window and its selection, the hooks
// around a change, the coalesced refresh and the mixed reads and writes.
#include "IXInspectorTestSupport.h"
#include "Inspectors/IXMixedValue.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/Core/PLUndoManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Records the hooks in the order they run.
class RecordingInspector : public IXInspectorController {
public:
    using IXInspectorController::IXInspectorController;
    QStringList log;
    int updates = 0;

protected:
    void controllerWillChange() override { log << "controllerWillChange"; }
    void controllerDidChange() override { log << "controllerDidChange"; }
    void selectionWillChange() override { log << "selectionWillChange"; }
    void selectionDidChange() override { log << QStringLiteral("selectionDidChange:%1").arg(selection().count()); }
    void updateControls() override { ++updates; }
};

struct Item {
    int number = 0;
    float ratio = 0;
    QString text;
    int asked = 0;
    int readNumber()
    {
        ++asked;
        return number;
    }
};

TEST(InspectorControllerTest, ActiveWindowFollowsDocumentWindowsOnlyAndRebindsTrackers)
{
    FakeInspectedController first, second;
    FakeControllerLookup lookup {&first, &second};
    auto a = first.addBranch("A");
    auto b = second.addBranch("B");
    first.m_selection = IXSelection(a);
    second.m_selection = IXSelection(b);

    IXInspectorController::setCurrentWindow(first.window());
    RecordingInspector inspector;
    inspector.setTracksActiveController(true);
    EXPECT_EQ(inspector.controller(), &first);
    EXPECT_EQ(inspector.selection().firstNode(), a);

    // A panel (no document window) becoming main changes nothing.
    QWidget panel;
    IXInspectorController::windowDidBecomeMain(&panel);
    EXPECT_EQ(IXInspectorController::currentWindow(), first.window());
    EXPECT_EQ(inspector.controller(), &first);

    inspector.log.clear();
    IXInspectorController::windowDidBecomeMain(second.window());
    EXPECT_EQ(inspector.controller(), &second);
    EXPECT_EQ(inspector.selection().firstNode(), b);
    EXPECT_EQ(inspector.log,
              (QStringList {"selectionWillChange", "selectionDidChange:0", "controllerWillChange",
                            "selectionWillChange", "selectionDidChange:1", "controllerDidChange"}));

    // Closing another window leaves it; closing the current one unbinds until another becomes main.
    IXInspectorController::windowWillClose(first.window());
    EXPECT_EQ(inspector.controller(), &second);
    IXInspectorController::windowWillClose(second.window());
    EXPECT_EQ(inspector.controller(), nullptr);
    EXPECT_TRUE(inspector.selection().isEmpty());

    // The same controller again sends no hooks; a tracker that stops tracking keeps its controller.
    IXInspectorController::windowDidBecomeMain(first.window());
    inspector.log.clear();
    inspector.setController(&first);
    EXPECT_TRUE(inspector.log.isEmpty());
    inspector.setTracksActiveController(false);
    IXInspectorController::windowDidBecomeMain(second.window());
    EXPECT_EQ(inspector.controller(), &first);
}

TEST(InspectorControllerTest, FollowsTheBoundControllersSelectionUntilToldNotTo)
{
    FakeInspectedController controller;
    auto a = controller.addBranch("A");
    auto b = controller.addBranch("B");
    RecordingInspector inspector(&controller);
    EXPECT_TRUE(inspector.tracksControllerSelection());

    controller.select(IXSelection(IXSelection::NodeList {a, b}));
    EXPECT_EQ(inspector.selection().count(), 2);
    // The very same selection again runs no hooks; reloading runs both with it unchanged.
    inspector.log.clear();
    inspector.setSelection(inspector.selection());
    EXPECT_TRUE(inspector.log.isEmpty());
    inspector.reloadSelection();
    EXPECT_EQ(inspector.log, (QStringList {"selectionWillChange", "selectionDidChange:2"}));

    inspector.setTracksControllerSelection(false);
    controller.select(IXSelection(a));
    EXPECT_EQ(inspector.selection().count(), 2);
    inspector.setTracksControllerSelection(true);
    EXPECT_EQ(inspector.selection().count(), 1);
}

TEST(InspectorControllerTest, RefreshRunsOncePerTurnAndOnlyInTheDefaultMode)
{
    RecordingInspector inspector;
    for (int i = 0; i < 10; ++i) inspector.postUpdateControls();
    spinEventLoop();
    EXPECT_EQ(inspector.updates, 1);

    PLRunLoop::setCurrentMode(PLRunLoopMode::ModalPanel);
    inspector.postUpdateControls();
    spinEventLoop();
    EXPECT_EQ(inspector.updates, 1);
    PLRunLoop::setCurrentMode(PLRunLoopMode::Default);
    spinEventLoop();
    EXPECT_EQ(inspector.updates, 2);

    // A pending refresh never reaches an inspector that is gone.
    {
        RecordingInspector gone;
        gone.postUpdateControls();
    }
    spinEventLoop();
}

TEST(InspectorControllerTest, ViewUpdateNoticeReachesEveryListenerWithThePoster)
{
    struct Listener : IXInspectorController {
        QList<IXInspectorController*> heard;
        void inspectorViewUpdateNotification(IXInspectorController* inspector) override { heard << inspector; }
    } one, two;
    one.notifyMeOnInspectorViewUpdates();
    two.notifyMeOnInspectorViewUpdates();
    RecordingInspector poster;
    poster.notifyInspectorViewUpdate();
    EXPECT_EQ(one.heard, QList<IXInspectorController*> {&poster});
    EXPECT_EQ(two.heard, QList<IXInspectorController*> {&poster});
}

TEST(InspectorControllerTest, MixedReadAnswersTheValueOrAMarker)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        QList<Item> items;
        IXMixedState numberState;
        IXMixedState ratioState;
    };
    using N = IXMixedState;
    const QList<Case> cases = {
        {"none", {}, N::NoSelection, N::NoSelection},
        {"one", {{3, 0.5f, "x"}}, N::Value, N::Value},
        {"equal", {{3, 0.5f, "x"}, {3, 0.5f, "x"}}, N::Value, N::Value},
        {"different", {{3, 0.5f, "x"}, {4, 0.25f, "y"}}, N::MultipleValues, N::MultipleValues},
        {"NaN never equals", {{3, nan, "x"}, {3, nan, "x"}}, N::Value, N::MultipleValues},
        {"one NaN reads as it is", {{3, nan, "x"}}, N::Value, N::Value},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        QList<Item*> objects;
        for (Item& item : c.items) objects << &item;
        const auto number = IXMixedAttribute(objects, [](Item& item) { return item.readNumber(); });
        EXPECT_EQ(number.state(), c.numberState);
        if (number.hasValue()) EXPECT_EQ(number.value(), c.items.front().number);
        EXPECT_EQ(IXMixedAttribute(objects, [](Item& item) { return item.ratio; }).state(), c.ratioState);
    }

    // Distinct but equal texts agree; the read stops at the first difference.
    Item x {1, 0, QStringLiteral("same")}, y {1, 0, QString(QStringLiteral("sa")) + "me"}, z {2, 0, "other"};
    QList<Item*> objects {&x, &y, &z, &x};
    EXPECT_EQ(IXMixedAttribute(QList<Item*> {&x, &y}, [](Item& item) { return item.text; }),
              IXMixedValue<QString>(QStringLiteral("same")));
    x.asked = 0;
    EXPECT_TRUE(IXMixedAttribute(objects, [](Item& item) { return item.readNumber(); }).isMultipleValues());
    EXPECT_EQ(x.asked + y.asked + z.asked, 3);
    // A missing object is one the attribute does not apply to.
    EXPECT_TRUE(IXMixedAttribute(QList<Item*> {&x, nullptr}, [](Item& item) { return item.number; }).isNotApplicable());
}

TEST(InspectorControllerTest, WriteOverManyBranchesIsOneUndoStepThatRestoresThemAll)
{
    FakeInspectedController controller;
    QList<std::shared_ptr<IXBranchNode>> branches {controller.addBranch("A"), controller.addBranch("B"),
                                                   controller.addBranch("C")};
    spinEventLoop();
    RecordingInspector inspector(&controller);
    PLUndoManager* undo = inspector.undoManager();
    ASSERT_TRUE(undo);
    undo->removeAllActions();

    IXSetAttribute(
        branches, [](IXBranchNode& branch, const QString& title) { branch.setTitle(title); }, QStringLiteral("Same"));
    spinEventLoop();
    EXPECT_EQ(IXMixedAttribute(branches, [](IXBranchNode& branch) { return branch.title(); }),
              IXMixedValue<QString>(QStringLiteral("Same")));
    undo->undo();
    QStringList titles;
    for (const auto& branch : branches) titles << branch->title();
    EXPECT_EQ(titles, (QStringList {"A", "B", "C"}));
    EXPECT_FALSE(undo->canUndo());
}

TEST(InspectorControllerTest, ArrangeStacksChildrenFromTheTopAndWidensGrowingOnes)
{
    QWidget container;
    auto* top = new QWidget(&container);
    top->resize(80, 30);
    auto* wide = new QWidget(&container);
    wide->resize(120, 20);
    auto* fixed = new QWidget(&container);
    fixed->resize(50, 10);
    fixed->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    IXInspectorController::arrangeSubviewsInContainerView(&container);
    EXPECT_EQ(container.size(), QSize(120, 60));
    EXPECT_EQ(top->geometry(), QRect(0, 0, 120, 30));
    EXPECT_EQ(wide->geometry(), QRect(0, 30, 120, 20));
    EXPECT_EQ(fixed->geometry(), QRect(0, 50, 50, 10));
}

}  // namespace
