#pragma once

class IXDocumentNode;
class PLUndoManager;

// A new time scale for a document, as the inspectors offer it: the user is asked first
// (dates typed in one scale mean something else in another), and on OK the document takes the
// type and every branch loses its begin date, in one undo step.
class IXTimeScaleChange {
public:
    // True when the type was changed; nothing is asked when it is the current one.
    static bool confirmAndApply(IXDocumentNode& document, int type, PLUndoManager* undo);
};
