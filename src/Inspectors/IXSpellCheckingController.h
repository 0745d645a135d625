#pragma once

#include "DocumentModel/IXDocumentSearchEnumerator.h"
#include "Inspectors/IXInspectorController.h"
#include "Platform/Core/PLRange.h"

#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class IXDocumentNode;
class IXNode;
class PLSpellChecker;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSettings;

// The application's one spelling controller ("Spell Checker"). It follows the active document
// window (not its selection), checks every text of that document in the walking order of
// IXDocumentSearchEnumerator, shows each misspelt word in its spelling panel (the word, its
// guesses, Change, Ignore, Find Next and the dictionary's language) and on the map, changes it
// to the correction, and ignores words per document.
//
// Change acts only on the misspelling the last check showed: its node, kind, range and word
// are remembered and checked against the text first. Ignored words live in the checker's
// spell document of the document (its tag) and are copied into the document when it is saved
// or the active window changes; ignoring a word marks the document edited (through the
// "IXSpellCheckingIgnoreWord" notice, which carries the tag), so that closing it asks to save.
//
// It also keeps the application-wide switch for checking spelling while typing, in the
// settings under "IXDocumentContinuousSpellChecking" (on when absent). Main thread only.
class IXSpellCheckingController : public IXInspectorController {
    Q_OBJECT
public:
    using SettingsFactory = std::function<std::unique_ptr<QSettings>()>;
    using Type = IXDocumentSearchEnumerator::Type;

    static const QString ContinuousSpellCheckingKey;  // "IXDocumentContinuousSpellChecking"

    IXSpellCheckingController();
    ~IXSpellCheckingController() override;

    static IXSpellCheckingController& sharedController();
    static void installSettings(SettingsFactory settings);

    bool isApplicable() const override { return true; }
    QString inspectorTitle() const override;
    // Every text of the walk is checked.
    bool isFilteredNode(const std::shared_ptr<IXNode>&) const { return false; }

    // The checker and the language it is named by (tests use a small dictionary); the
    // shared checker and "en_US" until set. The caller keeps ownership.
    void setSpellChecker(PLSpellChecker* checker, const QString& language);
    PLSpellChecker& spellChecker() const;
    const QString& language() const { return m_language; }

    // --- Commands ---
    // Shows the panel and checks forward from the last misspelling, showing the next one.
    void checkSpelling();
    void nextCheckSpelling() { checkSpelling(); }
    // Shows the panel; checks when the walk has not started.
    void showGuessPanel();
    // Replaces the last misspelling with the correction; the check does not move on.
    void changeSpelling(const QString& correction);
    void ignoreSpelling(const QString& word);
    // Ignores a non-empty word in the document's spell document and announces it.
    void ignoreWord(const QString& word, IXDocumentNode* document);
    // Copies the ignored words of the document's spell document into the document when they
    // differ from what it holds (before saving, and when the active window changes).
    void flushIgnoredWords(IXDocumentNode& document);

    bool continuousSpellChecking() const;
    // Stores the switch and posts "IXContinuousSpellCheckingChanged" when it changes.
    void setContinuousSpellChecking(bool on);
    void toggleContinuousSpellChecking() { setContinuousSpellChecking(!continuousSpellChecking()); }

    // --- The check itself ---
    bool findForwardAndShow(bool show);
    bool doReplaceWithString(const QString& string);
    bool lastFindWasSuccessful() const { return m_lastFindWasSuccessful; }
    // The last misspelling's range in its text; nothing when there is none.
    std::optional<PLRange> currentRange() const { return m_currentRange; }
    const QString& misspelledWord() const { return m_word; }
    IXDocumentSearchEnumerator* searchEnumerator();

    // --- The spelling panel, made on first use ---
    QWidget* panel();
    QLineEdit* wordField();
    QListWidget* guessList();
    QPushButton* button(const QString& name);

protected:
    void controllerWillChange() override;
    void controllerDidChange() override;

private:
    void makePanel();
    void updatePanelWithMisspelledWord(const QString& word);
    void activateFoundObject(const std::shared_ptr<IXNode>& node, Type type);

    PLSpellChecker* m_checker = nullptr;
    QString m_language = QStringLiteral("en_US");
    bool m_lastFindWasSuccessful = false;
    std::optional<PLRange> m_currentRange;
    std::weak_ptr<IXNode> m_node;
    Type m_type = Type::None;
    QString m_word;
    std::unique_ptr<IXDocumentSearchEnumerator> m_searchEnumerator;

    QPointer<QWidget> m_panel;
    QPointer<QLineEdit> m_wordField;
    QPointer<QListWidget> m_guessList;
    QPointer<QLabel> m_languageField;
};
