#pragma once

#include "DocumentViews/IXContinuousSpellChecking.h"

#include <optional>

class QAction;
class QObject;

// The document window's Find and Spelling commands, which the window controller answers and
// hands on to the application's find panel (IXSearchController) and spelling controller
// (IXSpellCheckingController), and the switch for checking spelling while typing that the map
// views read (installed at start-up).
class IXFindAndSpellingCommands : public IXContinuousSpellChecking {
public:
    // Points both panels at the preferences and installs the switch; once per process.
    static void install();

    // The sender's tag: 1 shows the find panel, 2 finds the next hit, 3 the previous one.
    static void ixFindPanelAction(QObject* sender);
    static void checkSpelling(QObject* sender);
    static void showGuessPanel(QObject* sender);
    static void toggleContinuousSpellChecking(QObject* sender);
    // The state of an item of these commands (checking the switch's item); nothing for
    // other items.
    static std::optional<bool> validateMenuItem(QAction* item);

    bool continuousSpellChecking() const override;
};
