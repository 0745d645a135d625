#pragma once

#include <functional>

class PLUndoManager;

// Runs an edit as all or nothing: the edit's changes form one undo step of their own, and an
// edit that fails (answers false or throws) is reverted at once, leaving no undo or redo step
// behind. An exception is thrown on after the revert.
//
// The step is separate only when no group is open as the edit starts (a command at the start
// of its turn); inside an open group the edit's changes join that group, and a failure reverts
// nothing, since the group's other changes cannot be told apart. Without a manager (undo off)
// the edit just runs. Main thread only.
class PLUndoTransaction {
public:
    static bool run(PLUndoManager* undoManager, const std::function<bool()>& edit);
};
