#include "Inspectors/IXSpellCheckingController.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXNode.h"
#include "DocumentModel/IXSpellCheckingNotices.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXSearchController.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/Text/PLSpellChecker.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

const QString IXSpellCheckingController::ContinuousSpellCheckingKey
    = QStringLiteral("IXDocumentContinuousSpellChecking");

namespace {

IXSpellCheckingController::SettingsFactory& settingsFactory()
{
    static IXSpellCheckingController::SettingsFactory factory;
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

}  // namespace

IXSpellCheckingController::IXSpellCheckingController()
{
    setTracksControllerSelection(false);
    setTracksActiveController(true);
}

IXSpellCheckingController::~IXSpellCheckingController()
{
    delete m_panel.data();
}

IXSpellCheckingController& IXSpellCheckingController::sharedController()
{
    static IXSpellCheckingController* shared = new IXSpellCheckingController();
    return *shared;
}

void IXSpellCheckingController::installSettings(SettingsFactory settings)
{
    settingsFactory() = std::move(settings);
}

QString IXSpellCheckingController::inspectorTitle() const
{
    return localized("Spell Checker");
}

void IXSpellCheckingController::setSpellChecker(PLSpellChecker* checker, const QString& language)
{
    m_checker = checker;
    m_language = language;
    if (m_languageField) m_languageField->setText(m_language);
}

PLSpellChecker& IXSpellCheckingController::spellChecker() const
{
    return m_checker ? *m_checker : PLSpellChecker::sharedChecker();
}

IXDocumentSearchEnumerator* IXSpellCheckingController::searchEnumerator()
{
    if (!m_searchEnumerator) {
        std::shared_ptr<IXDocumentNode> document = controller() ? controller()->documentNode() : nullptr;
        if (!document) return nullptr;
        m_searchEnumerator = std::make_unique<IXDocumentSearchEnumerator>(std::move(document));
    }
    return m_searchEnumerator.get();
}

void IXSpellCheckingController::controllerWillChange()
{
    m_searchEnumerator.reset();
    m_currentRange.reset();
    m_node.reset();
    if (IXInspectedController* old = controller()) {
        if (const std::shared_ptr<IXDocumentNode> document = old->documentNode()) flushIgnoredWords(*document);
    }
    updatePanelWithMisspelledWord(QString());
}

void IXSpellCheckingController::controllerDidChange()
{
    // The document's stored words join what its spell document holds (the tag loads them when
    // it is made; a document opened before a dictionary was chosen gets them here).
    if (IXInspectedController* current = controller()) {
        if (const std::shared_ptr<IXDocumentNode> document = current->documentNode()) {
            const int tag = document->spellDocumentTag();
            QStringList words = spellChecker().ignoredWords(tag);
            for (const QString& word : document->ignoredWords())
                if (!words.contains(word)) words << word;
            spellChecker().setIgnoredWords(words, tag);
        }
    }
}

// --- Commands ---

void IXSpellCheckingController::checkSpelling()
{
    QWidget* window = panel();
    if (window->isVisible()) {
        PLRunLoop::perform(this, "activatePanel", [this] {
            if (m_panel) m_panel->activateWindow();
        });
    } else {
        window->show();
        window->raise();
    }
    findForwardAndShow(true);
}

void IXSpellCheckingController::showGuessPanel()
{
    QWidget* window = panel();
    window->show();
    window->raise();
    IXDocumentSearchEnumerator* walker = searchEnumerator();
    if (!walker || walker->currentObjectType() == Type::None) checkSpelling();
}

void IXSpellCheckingController::changeSpelling(const QString& correction)
{
    IXDocumentSearchEnumerator* walker = searchEnumerator();
    if (walker && walker->currentObjectType() != Type::None) doReplaceWithString(correction);
}

void IXSpellCheckingController::ignoreSpelling(const QString& word)
{
    ignoreWord(word, controller() ? controller()->documentNode().get() : nullptr);
}

void IXSpellCheckingController::ignoreWord(const QString& word, IXDocumentNode* document)
{
    if (word.isEmpty() || !document) return;
    const int tag = document->spellDocumentTag();
    spellChecker().ignoreWord(word, tag);
    PLNotificationCenter::defaultCenter().post(
        IXSpellCheckingNotices::IgnoreWord, this,
        {{IXSpellCheckingNotices::WordKey, word}, {IXSpellCheckingNotices::TagKey, tag}});
}

void IXSpellCheckingController::flushIgnoredWords(IXDocumentNode& document)
{
    const QStringList words = spellChecker().ignoredWords(document.spellDocumentTag());
    // Unchanged words leave the document as it is, so a save writes no part it did not have.
    if (words != document.ignoredWords()) document.setIgnoredWords(words);
}

bool IXSpellCheckingController::continuousSpellChecking() const
{
    return settings()->value(ContinuousSpellCheckingKey, true).toBool();
}

void IXSpellCheckingController::setContinuousSpellChecking(bool on)
{
    if (on == continuousSpellChecking()) return;
    settings()->setValue(ContinuousSpellCheckingKey, on);
    PLNotificationCenter::defaultCenter().post(IXSpellCheckingNotices::ContinuousSpellCheckingChanged, nullptr);
}

// --- The check ---

bool IXSpellCheckingController::findForwardAndShow(bool show)
{
    m_lastFindWasSuccessful = false;
    m_currentRange.reset();
    m_node.reset();
    m_type = Type::None;
    IXDocumentSearchEnumerator* walker = searchEnumerator();
    QString word;
    if (walker) {
        const int tag = walker->document()->spellDocumentTag();
        const PLSpellChecker& checker = spellChecker();
        for (;;) {
            const std::optional<QString> text = walker->nextObject();
            if (!text) {
                // The walk ended: the next check starts again at the first text.
                walker->resetToBegin();
                break;
            }
            const PLRange range = checker.checkSpelling(*text, walker->location(), tag);
            if (range.isEmpty()) {
                walker->setLocation(0);
                continue;
            }
            m_currentRange = range;
            m_node = walker->currentNode();
            m_type = walker->currentObjectType();
            word = text->mid(range.location, range.length);
            walker->setLocation(range.end());
            m_lastFindWasSuccessful = true;
            break;
        }
    }
    updatePanelWithMisspelledWord(word);
    if (show && m_lastFindWasSuccessful)
        IXSearchController::showFoundObject(controller(), m_node.lock(), m_type, false, m_currentRange);
    return m_lastFindWasSuccessful;
}

bool IXSpellCheckingController::doReplaceWithString(const QString& string)
{
    IXDocumentSearchEnumerator* walker = searchEnumerator();
    if (!walker || !m_currentRange || m_currentRange->isEmpty()) return false;
    // Only the misspelling the last check showed, still where and as it was.
    const std::optional<QString> text = walker->currentObject();
    const PLRange range = *m_currentRange;
    if (!text || m_node.lock() != walker->currentNode() || m_type != walker->currentObjectType()
        || range.end() > text->size() || text->mid(range.location, range.length) != m_word)
        return false;
    if (!walker->replaceRange(range, string)) return false;
    m_currentRange.reset();
    walker->setLocation(range.location + int(string.size()), true);
    return true;
}

// --- The panel ---

QWidget* IXSpellCheckingController::panel()
{
    if (!m_panel) makePanel();
    return m_panel;
}

QLineEdit* IXSpellCheckingController::wordField()
{
    panel();
    return m_wordField;
}

QListWidget* IXSpellCheckingController::guessList()
{
    panel();
    return m_guessList;
}

QPushButton* IXSpellCheckingController::button(const QString& name)
{
    return panel()->findChild<QPushButton*>(name);
}

void IXSpellCheckingController::makePanel()
{
    auto* window = new QWidget(nullptr, Qt::Tool);
    m_panel = window;
    window->setObjectName(QStringLiteral("Spelling"));
    window->setWindowTitle(localized("Spelling"));
    auto* layout = new QGridLayout(window);
    m_wordField = new QLineEdit(window);
    m_wordField->setMinimumWidth(200);
    layout->addWidget(m_wordField, 0, 0);
    m_guessList = new QListWidget(window);
    m_guessList->setMinimumHeight(120);
    layout->addWidget(m_guessList, 1, 0, 4, 1);
    PLExceptionBoundary::connect(m_guessList, &QListWidget::currentTextChanged, this, [this](const QString& guess) {
        if (!guess.isEmpty()) m_wordField->setText(guess);
    });
    PLExceptionBoundary::connect(m_guessList, &QListWidget::itemDoubleClicked, this,
                                 [this] { changeSpelling(m_wordField->text()); });
    const auto makeButton = [&](const char* title, const char* name, int row, std::function<void()> action) {
        auto* button = new QPushButton(localized(title), window);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        layout->addWidget(button, row, 1);
        PLExceptionBoundary::connect(button, &QPushButton::clicked, this, std::move(action));
        return button;
    };
    makeButton("Change", "change", 0, [this] { changeSpelling(m_wordField->text()); });
    makeButton("Find Next", "findNext", 1, [this] { checkSpelling(); });
    makeButton("Ignore", "ignore", 2, [this] { ignoreSpelling(m_word); });
    layout->setRowStretch(3, 1);
    auto* languageTitle = new QLabel(localized("Dictionary:"), window);
    layout->addWidget(languageTitle, 5, 0);
    m_languageField = new QLabel(m_language, window);
    m_languageField->setObjectName(QStringLiteral("language"));
    layout->addWidget(m_languageField, 5, 1);
    updatePanelWithMisspelledWord(m_word);
}

void IXSpellCheckingController::updatePanelWithMisspelledWord(const QString& word)
{
    m_word = word;
    if (!m_panel) return;
    m_wordField->setText(word);
    m_guessList->clear();
    if (!word.isEmpty()) m_guessList->addItems(spellChecker().guesses(word));
    m_wordField->setText(word);
}
