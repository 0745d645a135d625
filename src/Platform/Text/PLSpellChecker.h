#pragma once

#include "Platform/Core/PLRange.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>

class Hunspell;

// Spell checking over a hunspell dictionary. Words are found by Unicode word boundaries;
// words with digits or without Latin letters are never misspelled, typographic apostrophes
// count as plain ones.
//
// Each open document has its own spell document, named by a tag (`uniqueSpellDocumentTag`),
// that keeps the words the user chose to ignore in it; tag 0 means no document. Ignored
// words compare exactly.
//
// The shared checker uses the system's US English dictionary, found in the folders where
// the system installs hunspell dictionaries; without one it is not `isAvailable` and finds
// nothing misspelled. Main thread only (hunspell is not reentrant).
class PLSpellChecker {
public:
    // A checker over the affix and dictionary files; not available when they cannot be read.
    PLSpellChecker(const QString& affixPath, const QString& dictionaryPath);
    ~PLSpellChecker();
    PLSpellChecker(const PLSpellChecker&) = delete;
    PLSpellChecker& operator=(const PLSpellChecker&) = delete;

    static PLSpellChecker& sharedChecker();
    // The folders searched for dictionaries, in order.
    static QStringList dictionaryFolders();
    // The ".aff" path of the language's dictionary ("en_US") in the first folder that has both
    // files, or an empty string.
    static QString affixPathForLanguage(const QString& language);

    bool isAvailable() const { return m_hunspell != nullptr; }

    // The first misspelled word at or after start, not counting words ignored in the
    // document; an empty range at the end of the text when there is none. A start inside a
    // word begins at the next word. wordCount, when given, receives the words checked.
    PLRange checkSpelling(const QString& text, int start, int documentTag = 0, int* wordCount = nullptr) const;
    bool isCorrect(const QString& word) const;
    // Replacement suggestions for a word, best first.
    QStringList guesses(const QString& word) const;

    // A tag no other spell document of the process has (never 0); needs no dictionary.
    static int uniqueSpellDocumentTag();
    void closeSpellDocument(int documentTag);
    QStringList ignoredWords(int documentTag) const;
    void setIgnoredWords(const QStringList& words, int documentTag);
    void ignoreWord(const QString& word, int documentTag);

private:
    bool isIgnored(const QString& word, int documentTag) const;
    // The word in the dictionary's code page; nothing when the code page cannot hold it.
    std::optional<std::string> encode(const QString& word) const;
    QString decode(const std::string& word) const;

    struct IgnoredWords {
        QStringList words; // in the order they were ignored, for storing
        QSet<QString> lookup;
    };

    // The dictionary's verdicts on words looked up before: a map's titles repeat their words,
    // and hunspell costs far more than a look-up. Emptied when it grows past its limit.
    static constexpr qsizetype MaxRememberedWords = 65536;
    mutable QHash<QString, bool> m_verdicts;

    std::unique_ptr<Hunspell> m_hunspell;
    QString m_encoding;
    QHash<int, IgnoredWords> m_ignored;
};
