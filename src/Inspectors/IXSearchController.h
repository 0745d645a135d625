#pragma once

#include "DocumentModel/IXDocumentSearchEnumerator.h"
#include "Inspectors/IXInspectorController.h"
#include "Platform/Core/PLRange.h"

#include <QPointer>
#include <QStringList>
#include <QVariantMap>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class IXNode;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSettings;

// The application's one find-and-replace panel ("Search & Replace"). It follows the active
// document window (not its selection) and searches that document's texts in the walking
// order of IXDocumentSearchEnumerator: branch titles, branch and floating comments, text
// notes, the labels of attachments, connections and notes, and picture labels, each kind
// switched on or off; it matches case or not and whole words or not, finds forwards and
// backwards with wrap-around, replaces the hit shown or every hit, and keeps the five most
// recent find strings. A hit is shown by selecting its object (or its branch) in the window,
// starting the object's editing tool where it has one, and opening the note editor for a
// note's text.
//
// Replacing acts only on the hit the last find showed: its node, kind and range are
// remembered and checked against the text before anything changes, so a replacement never
// lands on an earlier occurrence or on another node. A candidate that fails the whole-word
// test does not end the search of its text. Replace All is one undo step and always ends:
// each find starts after the previous replacement.
//
// The eight options are kept in the settings under "IXSearchOptions" (written when the panel
// closes or the application quits after a change). Main thread only.
class IXSearchController : public IXInspectorController {
    Q_OBJECT
public:
    using SettingsFactory = std::function<std::unique_ptr<QSettings>()>;
    using Type = IXDocumentSearchEnumerator::Type;

    static const QString OptionsKey;  // "IXSearchOptions"
    static const QString FindInBranchText;  // "findInBranchText"
    static const QString FindInBranchComments;  // "findInBranchComments"
    static const QString FindInFloatingComments;  // "findInFloatingComments"
    static const QString FindInTextNotes;  // "findInTextNotes"
    static const QString FindInObjectLabels;  // "findInObjectLabels"
    static const QString FindInPictureLabels;  // "findInPictureLabels"
    static const QString OptionMatchCase;  // "optionMatchCase"
    static const QString OptionWholeWords;  // "optionWholeWords"
    // The eight keys in the order above.
    static const QStringList& optionKeys();
    static QVariantMap defaultOptions();

    // Menu tags of ixFindPanelAction.
    enum Tag { ShowFindPanel = 1, FindNext = 2, FindPrevious = 3 };

    IXSearchController();
    ~IXSearchController() override;

    // The application's instance, made on first use.
    static IXSearchController& sharedController();
    // Where the options are stored (the shell installs its preferences); without one, the
    // application's default settings.
    static void installSettings(SettingsFactory settings);

    bool isApplicable() const override { return true; }
    QString inspectorTitle() const override;

    // Shows a found text where it lives, in the window of the controller: a branch title,
    // floating comment or floating picture by selecting its node, every other text by
    // selecting its branch; attachments, connections and note titles in the attachments tool
    // (when withAttachmentsTool), a branch's comment in the yellow-note tool, a note's text in
    // the window's note editor. Tools that are not registered are not started.
    // A note's text shows the range selected, when there is one.
    static void showFoundObject(IXInspectedController* controller, const std::shared_ptr<IXNode>& node, Type type,
                                bool withAttachmentsTool, std::optional<PLRange> range = std::nullopt);

    // --- Options ---
    const QVariantMap& options();
    bool option(const QString& key);
    // Stores the option, starts the next search at the first text and refreshes the panel.
    void setOption(const QString& key, bool on);
    // Writes the options when they changed since they were read.
    void storeOptions();

    // --- Strings and recents ---
    const QString& findString() const { return m_findString; }
    // A different string starts the next search at the first text.
    void setFindString(const QString& string);
    const QString& replaceString() const { return m_replaceString; }
    void setReplaceString(const QString& string) { m_replaceString = string; }
    const QStringList& findRecents() const { return m_findRecents; }
    const QStringList& replaceRecents() const { return m_replaceRecents; }
    void addFindRecent(const QString& string);
    void addReplaceRecent(const QString& string);
    int maxRecentsCount() const { return m_maxRecentsCount; }
    void setMaxRecentsCount(int count);

    // The walker over the active document, made on first use; null without a document.
    IXDocumentSearchEnumerator* searchEnumerator();

    // --- Enabled states ---
    bool nextEnabled();
    bool previousEnabled();
    bool replaceEnabled();
    bool replaceAllEnabled() { return nextEnabled(); }
    bool replaceAndFindEnabled() { return replaceEnabled(); }

    // --- Commands (the panel's buttons and the window's Find menu) ---
    void ixFindPanelAction(int tag);
    bool validateFindPanelAction(int tag);
    void orderFrontFindPanel();
    void findNext();
    void findPrevious();
    void findNextAndOrderFindPanelOut();
    void replace();
    void replaceAndFind();
    void replaceAll();
    // The find or replace field's text was entered (others: only a find).
    void textChanged(QObject* sender);

    // --- The search itself ---
    // Whether the text the walker stands on is one of the kinds switched off.
    bool isFilteredNode(const std::shared_ptr<IXNode>& node);
    bool findForwardAndShow(bool show);
    bool findBackwardAndShow(bool show);
    bool doReplaceAndShow(bool show);
    bool lastFindWasSuccessful() const { return m_lastFindWasSuccessful; }
    // Where the last find's hit lies in its text, until it is replaced or the search moves.
    std::optional<PLRange> hitRange() const { return m_hit ? std::optional<PLRange>(m_hit->range) : std::nullopt; }
    // The status line: "" after a hit, "Not found", "%d replaced".
    const QString& status() const { return m_status; }

    // --- The panel, made on first use ---
    QWidget* panel();
    QComboBox* findField();
    QComboBox* replaceField();
    QPushButton* button(const QString& name);
    QCheckBox* optionBox(const QString& key);

protected:
    void controllerWillChange() override;
    void updateControls() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Hit {
        std::weak_ptr<IXNode> node;
        Type type = Type::None;
        PLRange range;
    };

    void makePanel();
    // Every control reads its value and enabled state again.
    void resetInterface();
    void updateButtons();
    void takeFieldStrings();
    void notFound();
    void readOptionFlags();
    bool isFiltered(Type type, IXNode* node);
    Qt::CaseSensitivity caseSensitivity();
    int matchForward(const QString& text, int from);
    int matchBackward(const QString& text, int to);
    bool isWholeWord(const QString& text, int position, int length) const;

    std::optional<QVariantMap> m_options;
    std::array<bool, 8> m_flags {};
    bool m_dirtyOptions = false;
    QString m_findString;
    QString m_replaceString;
    QStringList m_findRecents;
    QStringList m_replaceRecents;
    int m_maxRecentsCount = 5;
    bool m_lastFindWasSuccessful = false;
    bool m_andFinding = false;
    QString m_status;
    std::optional<Hit> m_hit;
    std::unique_ptr<IXDocumentSearchEnumerator> m_searchEnumerator;

    QPointer<QWidget> m_panel;
    QPointer<QComboBox> m_findField;
    QPointer<QComboBox> m_replaceField;
    QPointer<QLabel> m_statusField;
    bool m_resetting = false;
    bool m_replacingAll = false;
};
