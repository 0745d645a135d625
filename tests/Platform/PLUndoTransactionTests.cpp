// All-or-nothing edits: a successful edit is one step of its own, a failed or throwing one
// leaves neither an undo nor a redo step and its changes reverted.
#include "Platform/Core/PLUndoManager.h"
#include "Platform/Core/PLUndoTransaction.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A value whose changes record their inverse, as model setters do.
struct Value {
    PLUndoManager* undo = nullptr;
    int value = 0;
    void set(int next)
    {
        const int old = value;
        undo->registerUndo(this, [this, old] { set(old); });
        value = next;
    }
};

TEST(PLUndoTransactionTest, AnEditIsOneStepOrNothing)
{
    PLUndoManager undo;
    undo.setGroupsByEvent(false);
    Value a {&undo};
    Value b {&undo};

    EXPECT_TRUE(PLUndoTransaction::run(&undo, [&] {
        a.set(1);
        b.set(2);
        return true;
    }));
    EXPECT_EQ(undo.groupingLevel(), 0);
    ASSERT_TRUE(undo.canUndo());
    undo.undo();
    EXPECT_EQ(a.value, 0);
    EXPECT_EQ(b.value, 0);
    EXPECT_FALSE(undo.canUndo()) << "one step";
    undo.redo();
    EXPECT_EQ(b.value, 2);

    // Failing part way: the first change is taken back, and no step is left either way.
    EXPECT_FALSE(PLUndoTransaction::run(&undo, [&] {
        a.set(5);
        return false;
    }));
    EXPECT_EQ(a.value, 1);
    EXPECT_FALSE(undo.canRedo());
    undo.undo();
    EXPECT_EQ(a.value, 0) << "the step before is still the last";
    undo.redo();

    EXPECT_THROW(PLUndoTransaction::run(&undo,
                                        [&]() -> bool {
                                            b.set(9);
                                            throw std::runtime_error("half way");
                                        }),
                 std::runtime_error);
    EXPECT_EQ(b.value, 2);
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_FALSE(undo.canRedo());

    // A failure that changed nothing takes back nothing.
    EXPECT_FALSE(PLUndoTransaction::run(&undo, [] { return false; }));
    EXPECT_EQ(a.value, 1);
    EXPECT_EQ(b.value, 2);

    // Without a manager the edit just runs.
    EXPECT_TRUE(PLUndoTransaction::run(nullptr, [] { return true; }));
}

}  // namespace
