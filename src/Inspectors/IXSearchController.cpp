#include "Inspectors/IXSearchController.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXToolManaging.h"
#include "DocumentModel/IXToolNames.h"
#include "DocumentModel/IXWindowControlling.h"
#include "Inspectors/IXInspectedController.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "UtilityWidgets/UTBeep.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QVBoxLayout>

const QString IXSearchController::OptionsKey = QStringLiteral("IXSearchOptions");
const QString IXSearchController::FindInBranchText = QStringLiteral("findInBranchText");
const QString IXSearchController::FindInBranchComments = QStringLiteral("findInBranchComments");
const QString IXSearchController::FindInFloatingComments = QStringLiteral("findInFloatingComments");
const QString IXSearchController::FindInTextNotes = QStringLiteral("findInTextNotes");
const QString IXSearchController::FindInObjectLabels = QStringLiteral("findInObjectLabels");
const QString IXSearchController::FindInPictureLabels = QStringLiteral("findInPictureLabels");
const QString IXSearchController::OptionMatchCase = QStringLiteral("optionMatchCase");
const QString IXSearchController::OptionWholeWords = QStringLiteral("optionWholeWords");

namespace {

// Slots of the option flags, in the order of optionKeys().
enum Flag {
    BranchText,
    BranchComments,
    FloatingComments,
    TextNotes,
    ObjectLabels,
    PictureLabels,
    MatchCase,
    WholeWords
};
constexpr int FindInCount = 6;

IXSearchController::SettingsFactory& settingsFactory()
{
    static IXSearchController::SettingsFactory factory;
    return factory;
}

std::unique_ptr<QSettings> settings()
{
    return settingsFactory() ? settingsFactory()() : std::make_unique<QSettings>();
}

QString localized(const char* key)
{
    return PLLocalizedStrings::string(QString::fromUtf8(key));
}

// The check boxes' titles, in the order of optionKeys().
const char* const OptionTitles[] = {"Branch titles", "Branch comments", "Floating comments", "Text notes",
                                    "Object labels", "Picture labels",  "Match case",        "Whole words"};

bool isDelimiter(QChar c)
{
    return c.isSpace() || c.isPunct();
}

void addRecent(QStringList& list, const QString& string, int maximum)
{
    if (string.isEmpty()) return;
    if (list.contains(string)) {
        list.removeAll(string);
    } else {
        while (!list.isEmpty() && list.size() >= maximum) list.removeLast();
    }
    list.prepend(string);
}

}  // namespace

IXSearchController::IXSearchController()
{
    setTracksControllerSelection(false);
    setTracksActiveController(true);
    PLExceptionBoundary::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                                 [this] { storeOptions(); });
}

IXSearchController::~IXSearchController()
{
    delete m_panel.data();
}

IXSearchController& IXSearchController::sharedController()
{
    static IXSearchController* shared = new IXSearchController();
    return *shared;
}

void IXSearchController::installSettings(SettingsFactory settings)
{
    settingsFactory() = std::move(settings);
}

QString IXSearchController::inspectorTitle() const
{
    return localized("Search & Replace");
}

// --- Options ---

const QStringList& IXSearchController::optionKeys()
{
    static const QStringList keys {FindInBranchText,   FindInBranchComments, FindInFloatingComments, FindInTextNotes,
                                   FindInObjectLabels, FindInPictureLabels,  OptionMatchCase,        OptionWholeWords};
    return keys;
}

QVariantMap IXSearchController::defaultOptions()
{
    QVariantMap defaults;
    for (const QString& key : optionKeys()) defaults.insert(key, true);
    defaults.insert(FindInPictureLabels, false);
    defaults.insert(OptionMatchCase, false);
    defaults.insert(OptionWholeWords, false);
    return defaults;
}

const QVariantMap& IXSearchController::options()
{
    if (!m_options) {
        const QVariant stored = settings()->value(OptionsKey);
        m_options = stored.typeId() == QMetaType::QVariantMap ? stored.toMap() : defaultOptions();
        readOptionFlags();
    }
    return *m_options;
}

void IXSearchController::readOptionFlags()
{
    const QVariantMap defaults = defaultOptions();
    for (int i = 0; i < int(m_flags.size()); ++i) {
        const QString& key = optionKeys()[i];
        // A stored dictionary that lacks a key (or holds no flag there) has the default.
        const QVariant value = m_options->value(key);
        m_flags[size_t(i)]
            = value.canConvert<bool>() && value.isValid() ? value.toBool() : defaults.value(key).toBool();
    }
}

bool IXSearchController::option(const QString& key)
{
    options();
    const qsizetype index = optionKeys().indexOf(key);
    return index >= 0 ? m_flags[size_t(index)] : m_options->value(key).toBool();
}

void IXSearchController::setOption(const QString& key, bool on)
{
    options();
    m_options->insert(key, on);
    readOptionFlags();
    if (m_searchEnumerator) m_searchEnumerator->resetToBegin();
    m_hit.reset();
    m_dirtyOptions = true;
    resetInterface();
}

void IXSearchController::storeOptions()
{
    if (!m_dirtyOptions || !m_options) return;
    settings()->setValue(OptionsKey, *m_options);
    m_dirtyOptions = false;
}

// --- Strings and recents ---

void IXSearchController::setFindString(const QString& string)
{
    if (string == m_findString) return;
    m_findString = string;
    if (m_searchEnumerator) m_searchEnumerator->resetToBegin();
    m_hit.reset();
}

void IXSearchController::addFindRecent(const QString& string)
{
    addRecent(m_findRecents, string, m_maxRecentsCount);
}

void IXSearchController::addReplaceRecent(const QString& string)
{
    addRecent(m_replaceRecents, string, m_maxRecentsCount);
}

void IXSearchController::setMaxRecentsCount(int count)
{
    m_maxRecentsCount = std::max(1, count);
    while (m_findRecents.size() > m_maxRecentsCount) m_findRecents.removeLast();
    while (m_replaceRecents.size() > m_maxRecentsCount) m_replaceRecents.removeLast();
}

IXDocumentSearchEnumerator* IXSearchController::searchEnumerator()
{
    if (!m_searchEnumerator) {
        std::shared_ptr<IXDocumentNode> document = controller() ? controller()->documentNode() : nullptr;
        if (!document) return nullptr;
        m_searchEnumerator = std::make_unique<IXDocumentSearchEnumerator>(std::move(document));
    }
    return m_searchEnumerator.get();
}

void IXSearchController::controllerWillChange()
{
    m_searchEnumerator.reset();
    m_hit.reset();
}

// --- Enabled states ---

bool IXSearchController::nextEnabled()
{
    options();
    bool anyKind = false;
    for (int i = 0; i < FindInCount; ++i) anyKind = anyKind || m_flags[size_t(i)];
    return anyKind && !m_findString.isEmpty();
}

bool IXSearchController::previousEnabled()
{
    IXDocumentSearchEnumerator* walker = searchEnumerator();
    return walker && walker->currentObjectType() != Type::None && !m_findString.isEmpty();
}

bool IXSearchController::replaceEnabled()
{
    IXDocumentSearchEnumerator* walker = searchEnumerator();
    return walker && walker->currentObjectType() != Type::None && nextEnabled();
}

// --- Commands ---

void IXSearchController::ixFindPanelAction(int tag)
{
    switch (tag) {
    case ShowFindPanel:
        orderFrontFindPanel();
        break;
    case FindNext:
        findNext();
        break;
    case FindPrevious:
        findPrevious();
        break;
    default:
        break;
    }
}

bool IXSearchController::validateFindPanelAction(int tag)
{
    switch (tag) {
    case ShowFindPanel:
        return true;
    case FindNext:
        return nextEnabled();
    case FindPrevious:
        return previousEnabled();
    default:
        return false;
    }
}

void IXSearchController::orderFrontFindPanel()
{
    QWidget* window = panel();
    resetInterface();
    window->show();
    window->raise();
    window->activateWindow();
    m_findField->setFocus();
    m_findField->lineEdit()->selectAll();
}

void IXSearchController::findNext()
{
    const QString text = findField()->currentText();
    if (!text.isEmpty()) {
        if (text != m_findString) {
            setFindString(text);
            addFindRecent(text);
        }
        findForwardAndShow(true);
    }
    resetInterface();
}

void IXSearchController::findPrevious()
{
    const QString text = findField()->currentText();
    if (!text.isEmpty()) {
        setFindString(text);
        addFindRecent(text);
        findBackwardAndShow(true);
    }
    resetInterface();
}

void IXSearchController::findNextAndOrderFindPanelOut()
{
    findNext();
    if (m_lastFindWasSuccessful) {
        panel()->hide();
    } else {
        m_findField->lineEdit()->selectAll();
    }
}

void IXSearchController::takeFieldStrings()
{
    setFindString(findField()->currentText());
    setReplaceString(replaceField()->currentText());
}

void IXSearchController::replace()
{
    takeFieldStrings();
    addReplaceRecent(m_replaceString);
    doReplaceAndShow(true);
    resetInterface();
}

void IXSearchController::replaceAndFind()
{
    m_andFinding = true;
    takeFieldStrings();
    addReplaceRecent(m_replaceString);
    doReplaceAndShow(false);
    m_andFinding = false;
    findNext();
}

void IXSearchController::replaceAll()
{
    takeFieldStrings();
    addReplaceRecent(m_replaceString);
    IXDocumentSearchEnumerator* walker = searchEnumerator();
    int count = 0;
    if (walker) {
        walker->resetToBegin();
        m_hit.reset();
        // One undo step however many texts change, also when the event loop turns meanwhile.
        PLUndoManager* undo = undoManager();
        if (undo) undo->beginUndoGrouping();
        // Each find starts behind the previous replacement, so the loop ends even when the
        // replacement holds the find string. The panel is refreshed once, at the end.
        m_replacingAll = true;
        const auto done = qScopeGuard([this, undo] {
            m_replacingAll = false;
            if (undo) undo->endUndoGrouping();
        });
        while (findForwardAndShow(false))
            if (doReplaceAndShow(false)) ++count;
    }
    m_lastFindWasSuccessful = false;
    m_status = count == 0 ? localized("Not found")
                          : localized("%d replaced").replace(QStringLiteral("%d"), QString::number(count));
    resetInterface();
}

void IXSearchController::textChanged(QObject* sender)
{
    if (m_findField && sender == m_findField->lineEdit()) sender = m_findField;
    if (m_replaceField && sender == m_replaceField->lineEdit()) sender = m_replaceField;
    if (sender && sender == m_findField) {
        setFindString(m_findField->currentText());
        resetInterface();
    } else if (sender && sender == m_replaceField) {
        takeFieldStrings();
        resetInterface();
    }
    findNext();
}

// --- The search ---

bool IXSearchController::isFilteredNode(const std::shared_ptr<IXNode>& node)
{
    IXDocumentSearchEnumerator* walker = searchEnumerator();
    if (!walker || !node) return true;
    return isFiltered(walker->currentObjectType(), node.get());
}

bool IXSearchController::isFiltered(Type type, IXNode* node)
{
    options();
    switch (type) {
    case Type::BranchTitle:
        return !m_flags[BranchText];
    case Type::Comment:
        return !node || !m_flags[node->isFloating() ? FloatingComments : BranchComments];
    case Type::NoteText:
        return !m_flags[TextNotes];
    case Type::AttachmentTitle:
    case Type::ConnectionTitle:
    case Type::NoteTitle:
        return !m_flags[ObjectLabels];
    case Type::PictureLabel:
        return !m_flags[PictureLabels];
    default:
        return true;
    }
}

Qt::CaseSensitivity IXSearchController::caseSensitivity()
{
    options();
    return m_flags[MatchCase] ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

bool IXSearchController::isWholeWord(const QString& text, int position, int length) const
{
    const int end = position + length;
    return (position == 0 || isDelimiter(text.at(position - 1))) && (end == text.size() || isDelimiter(text.at(end)));
}

int IXSearchController::matchForward(const QString& text, int from)
{
    const Qt::CaseSensitivity cs = caseSensitivity();
    const bool whole = m_flags[WholeWords];
    const int length = int(m_findString.size());
    for (qsizetype at = text.indexOf(m_findString, from, cs); at >= 0; at = text.indexOf(m_findString, at + 1, cs))
        if (!whole || isWholeWord(text, int(at), length)) return int(at);
    return -1;
}

int IXSearchController::matchBackward(const QString& text, int to)
{
    const Qt::CaseSensitivity cs = caseSensitivity();
    const bool whole = m_flags[WholeWords];
    const int length = int(m_findString.size());
    const int last = std::min(to, int(text.size())) - length;
    if (last < 0) return -1;
    for (qsizetype at = text.lastIndexOf(m_findString, last, cs); at >= 0;
         at = at > 0 ? text.lastIndexOf(m_findString, at - 1, cs) : -1)
        if (!whole || isWholeWord(text, int(at), length)) return int(at);
    return -1;
}

void IXSearchController::notFound()
{
    UTBeep::beep();
    m_status = localized("Not found");
}

bool IXSearchController::findForwardAndShow(bool show)
{
    m_lastFindWasSuccessful = false;
    m_hit.reset();
    IXDocumentSearchEnumerator* walker = searchEnumerator();
    bool found = false;
    if (walker && !m_findString.isEmpty()) {
        const int length = int(m_findString.size());
        while (const std::optional<QString> text = walker->nextObject()) {
            // Only a comment needs its node to be filtered (floating or not).
            const Type type = walker->currentObjectType();
            const std::shared_ptr<IXNode> comment = type == Type::Comment ? walker->currentNode() : nullptr;
            if (isFiltered(type, comment.get())) {
                walker->setLocation(0);
                continue;
            }
            const int at = matchForward(*text, walker->location());
            if (at < 0) {
                walker->setLocation(0);
                continue;
            }
            const int end = at + length;
            // With no room for another hit, the next find moves on to the next text.
            walker->setLocation(text->size() - end >= length ? end : 0);
            m_hit = Hit {walker->currentNode(), type, PLRange(at, length)};
            found = true;
            break;
        }
        if (!found) walker->resetToBegin();
    }
    m_lastFindWasSuccessful = found;
    if (show) {
        if (found) {
            m_status.clear();
            showFoundObject(controller(), m_hit->node.lock(), m_hit->type, true, m_hit->range);
        } else {
            notFound();
        }
    }
    resetInterface();
    return found;
}

bool IXSearchController::findBackwardAndShow(bool show)
{
    m_lastFindWasSuccessful = false;
    m_hit.reset();
    IXDocumentSearchEnumerator* walker = searchEnumerator();
    bool found = false;
    if (walker && !m_findString.isEmpty()) {
        const int length = int(m_findString.size());
        for (;;) {
            const std::optional<QString> text
                = walker->location() != 0 && walker->depth() > 0 ? walker->currentObject() : walker->previousObject();
            if (!text) break;
            const std::shared_ptr<IXNode> node = walker->currentNode();
            if (isFilteredNode(node)) {
                walker->setLocation(0);
                continue;
            }
            const int to = walker->location() == 0 ? int(text->size()) : walker->location();
            const int at = matchBackward(*text, to);
            if (at < 0) {
                walker->setLocation(0);
                continue;
            }
            walker->setLocation(at < length ? 0 : at);
            m_hit = Hit {node, walker->currentObjectType(), PLRange(at, length)};
            found = true;
            break;
        }
    }
    m_lastFindWasSuccessful = found;
    if (found) {
        m_status.clear();
        if (show) showFoundObject(controller(), m_hit->node.lock(), m_hit->type, true, m_hit->range);
    } else {
        notFound();
        if (walker) walker->resetToBegin();
    }
    resetInterface();
    return found;
}

bool IXSearchController::doReplaceAndShow(bool show)
{
    IXDocumentSearchEnumerator* walker = searchEnumerator();
    if (!walker || m_findString.isEmpty() || m_findString == m_replaceString) return false;
    const std::optional<QString> text = walker->currentObject();
    if (!text || text->isEmpty()) return false;
    const std::shared_ptr<IXNode> node = walker->currentNode();
    if (isFilteredNode(node)) return false;
    // Only the hit the last find showed, where it was and as it was.
    if (!m_hit || m_hit->node.lock() != node || m_hit->type != walker->currentObjectType()) return false;
    const PLRange range = m_hit->range;
    if (range.end() > text->size()
        || QStringView(*text).mid(range.location, range.length).compare(m_findString, caseSensitivity()) != 0)
        return false;
    if (m_flags[WholeWords] && !isWholeWord(*text, range.location, range.length)) return false;
    const bool followedFind = m_lastFindWasSuccessful;
    const std::optional<QString> replaced = walker->replaceRange(range, m_replaceString);
    if (!replaced) return false;
    m_hit.reset();
    const int next = range.location + int(m_replaceString.size());
    if (followedFind && replaced->size() - next >= m_findString.size()) {
        walker->setLocation(next, true);
    } else {
        walker->setLocation(0);
    }
    if (show && !m_andFinding) showFoundObject(controller(), node, walker->currentObjectType(), true);
    resetInterface();
    return true;
}

void IXSearchController::showFoundObject(IXInspectedController* controller, const std::shared_ptr<IXNode>& node,
                                         Type type, bool withAttachmentsTool, std::optional<PLRange> range)
{
    if (!node) return;
    auto* window = dynamic_cast<IXWindowControlling*>(controller);
    IXNode* parent = node->parentNode();
    const std::shared_ptr<IXNode> branch
        = parent && !parent->isDocument() ? parent->shared_from_this() : std::shared_ptr<IXNode>();
    const bool ownSelection = type == Type::BranchTitle || !branch;
    if (window) window->setSelection(IXSelection::selectionWithNode(ownSelection ? node : branch));
    IXToolManaging* tools = IXToolManaging::sharedManager();
    switch (type) {
    case Type::AttachmentTitle:
    case Type::ConnectionTitle:
    case Type::NoteTitle:
        if (tools && withAttachmentsTool) tools->activateToolNamed(IXToolNames::Attachments, node, nullptr, nullptr);
        break;
    case Type::Comment:
        if (branch && tools) tools->activateToolNamed(IXToolNames::YellowNote, node, nullptr, nullptr);
        break;
    case Type::NoteText:
        if (window) {
            if (auto note = std::dynamic_pointer_cast<IXReferenceNode>(node)) {
                if (range)
                    window->openTextNoteEditorSelectingRange(note, *range);
                else
                    window->openTextNoteEditorWithReference(note);
            }
        }
        break;
    default:
        break;
    }
}

// --- The panel ---

void IXSearchController::updateControls()
{
    if (m_statusField) m_statusField->setText(m_status);
}

QWidget* IXSearchController::panel()
{
    if (!m_panel) makePanel();
    return m_panel;
}

QComboBox* IXSearchController::findField()
{
    panel();
    return m_findField;
}

QComboBox* IXSearchController::replaceField()
{
    panel();
    return m_replaceField;
}

QPushButton* IXSearchController::button(const QString& name)
{
    return panel()->findChild<QPushButton*>(name);
}

QCheckBox* IXSearchController::optionBox(const QString& key)
{
    return panel()->findChild<QCheckBox*>(key);
}

void IXSearchController::makePanel()
{
    auto* window = new QWidget(nullptr, Qt::Tool);
    m_panel = window;
    window->setWindowTitle(inspectorTitle());
    window->setObjectName(QStringLiteral("Search"));
    window->installEventFilter(this);
    auto* layout = new QVBoxLayout(window);
    auto* fields = new QGridLayout;
    layout->addLayout(fields);
    const auto makeField = [&](const char* title, int row) {
        auto* box = new QComboBox(window);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumWidth(260);
        fields->addWidget(new QLabel(localized(title), window), row, 0, Qt::AlignRight);
        fields->addWidget(box, row, 1);
        PLExceptionBoundary::connect(box->lineEdit(), &QLineEdit::returnPressed, this,
                                     [this, box] { textChanged(box); });
        // The enabled states follow what is typed.
        PLExceptionBoundary::connect(box, &QComboBox::editTextChanged, this, [this] {
            if (!m_resetting) updateButtons();
        });
        return box;
    };
    m_findField = makeField("Find:", 0);
    m_replaceField = makeField("Replace with:", 1);

    auto* kinds = new QGridLayout;
    layout->addLayout(kinds);
    for (int i = 0; i < optionKeys().size(); ++i) {
        auto* box = new QCheckBox(localized(OptionTitles[i]), window);
        box->setObjectName(optionKeys()[i]);
        kinds->addWidget(box, i % 4, i / 4);
        PLExceptionBoundary::connect(box, &QCheckBox::toggled, this, [this, key = optionKeys()[i]](bool on) {
            if (!m_resetting) setOption(key, on);
        });
    }

    m_statusField = new QLabel(window);
    m_statusField->setObjectName(QStringLiteral("status"));
    layout->addWidget(m_statusField);

    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    const auto makeButton = [&](const char* title, const char* name, void (IXSearchController::*action)()) {
        // "&" is a literal here, not the mark of a shortcut letter.
        auto* button = new QPushButton(localized(title).replace(QLatin1Char('&'), QStringLiteral("&&")), window);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        buttons->addWidget(button);
        PLExceptionBoundary::connect(button, &QPushButton::clicked, this, [this, action] { (this->*action)(); });
        return button;
    };
    makeButton("Replace All", "replaceAll", &IXSearchController::replaceAll);
    makeButton("Replace", "replace", &IXSearchController::replace);
    makeButton("Replace & Find", "replaceAndFind", &IXSearchController::replaceAndFind);
    makeButton("Previous", "previous", &IXSearchController::findPrevious);
    makeButton("Next", "next", &IXSearchController::findNext)->setDefault(true);
    resetInterface();
}

void IXSearchController::resetInterface()
{
    if (!m_panel || m_replacingAll) return;
    m_resetting = true;
    const auto fill = [](QComboBox* box, const QStringList& items) {
        const QString text = box->currentText();
        box->clear();
        box->addItems(items);
        box->setEditText(text);
    };
    fill(m_findField, m_findRecents);
    fill(m_replaceField, m_replaceRecents);
    for (const QString& key : optionKeys())
        if (QCheckBox* box = m_panel->findChild<QCheckBox*>(key)) box->setChecked(option(key));
    updateButtons();
    m_resetting = false;
}

void IXSearchController::updateButtons()
{
    if (!m_panel) return;
    const auto enable = [this](const char* name, bool on) {
        if (auto* button = m_panel->findChild<QPushButton*>(QString::fromLatin1(name))) button->setEnabled(on);
    };
    // The typed text counts as the find string for the buttons, as it will be taken.
    const bool typed = !m_findField->currentText().isEmpty();
    options();
    bool anyKind = false;
    for (int i = 0; i < FindInCount; ++i) anyKind = anyKind || m_flags[size_t(i)];
    IXDocumentSearchEnumerator* walker = searchEnumerator();
    const bool onObject = walker && walker->currentObjectType() != Type::None;
    enable("next", anyKind && typed);
    enable("replaceAll", anyKind && typed);
    enable("previous", onObject && typed);
    enable("replace", onObject && anyKind && typed);
    enable("replaceAndFind", onObject && anyKind && typed);
    m_statusField->setText(m_status);
}

bool IXSearchController::eventFilter(QObject* watched, QEvent* event)
try {
    if (watched == m_panel && (event->type() == QEvent::Close || event->type() == QEvent::Hide)) storeOptions();
    return IXInspectorController::eventFilter(watched, event);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}
