#pragma once

// Whether the map marks misspelt words as the user types: the spelling controller (with the
// inspectors) installs itself at start-up and posts IXSpellCheckingNotices::
// ContinuousSpellCheckingChanged when the state changes. Without one nothing is marked.
class IXContinuousSpellChecking {
public:
    virtual ~IXContinuousSpellChecking();

    // The installed state, or null.
    static IXContinuousSpellChecking* shared();
    // Installs the state (null uninstalls); the caller keeps ownership.
    static void install(IXContinuousSpellChecking* state);
    // Whether the installed state has checking on; false without one.
    static bool isOn();

    virtual bool continuousSpellChecking() const = 0;
};
