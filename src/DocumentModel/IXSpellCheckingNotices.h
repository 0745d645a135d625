#pragma once

#include <QString>

// The notice that the spelling panel (which lives with the inspectors) posts through the
// default notification centre after it added a word to the ignored words of a document's
// spell document; the object is the panel, the user info holds the word under WordKey. The
// map's text cells observe it from any sender and check their spelling again.
struct IXSpellCheckingNotices {
    static const QString IgnoreWord; // "IXSpellCheckingIgnoreWord"
    static const QString WordKey;    // "string"
    // The spell document's tag, so that the document it belongs to knows it changed.
    static const QString TagKey;  // "tag"
    // Posted when continuous spell checking is switched on or off; map views read the new
    // state from the installed IXContinuousSpellChecking and check their texts again.
    static const QString ContinuousSpellCheckingChanged; // "IXContinuousSpellCheckingChanged"

    // Ignores the word in the spell document of the tag and posts the notice from sender.
    // An empty word does nothing.
    static void ignoreWord(const QString& word, int documentTag, const void* sender);
};
