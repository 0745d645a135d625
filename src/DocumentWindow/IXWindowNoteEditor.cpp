#include "DocumentWindow/IXWindowNoteEditor.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentWindow/IXAppController.h"
#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXDialogs.h"
#include "DocumentWindow/IXFontPanel.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXWindowController.h"
#include "Inspectors/IXNoteTextView.h"
#include "Inspectors/IXTextNoteInspector.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/Core/PLValueTransformer.h"
#include "Platform/Drawing/PLColor.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "UtilityWidgets/UTBeep.h"
#include "UtilityWidgets/UTColorToStringTransformer.h"
#include "UtilityWidgets/UTFontAttributesToStringTransformer.h"

#include <QAction>
#include <QApplication>
#include <QImageWriter>

namespace {

int tagOf(const QObject* sender)
{
    const auto* item = qobject_cast<const QAction*>(sender);
    return item ? item->data().toInt() : 0;
}

// The default font and colour of a new note, from the preferences; only what is set.
QTextCharFormat defaultNoteFormat()
{
    QTextCharFormat format;
    const QVariant attributes = IXPreferences::value(IXPreferences::TextNoteEditorFontAttributesKey);
    if (attributes.isValid()) {
        const QFont font = IXPreferences::fontFromAttributes(attributes.toMap());
        format.setFontFamilies(QStringList {font.family()});
        if (font.pointSize() > 0) format.setFontPointSize(font.pointSize());
    }
    const QVariant stored = IXPreferences::value(IXPreferences::TextNoteEditorFontColorKey);
    if (stored.isValid()) {
        if (!PLValueTransformer::valueTransformerForName(UTColorToStringTransformer::Name))
            UTFontAttributesToStringTransformer::registerTransformers();
        if (const auto transformer = PLValueTransformer::valueTransformerForName(UTColorToStringTransformer::Name)) {
            const PLColor color = transformer->transformedValue(stored).value<PLColor>();
            if (!color.isNull()) format.setForeground(color.toQColor());
        }
    }
    return format;
}

std::optional<QString> choosePicture(const QString& folder, QWidget* window)
{
    IXDialogs::OpenPanel panel;
    panel.title = PLLocalizedStrings::string(QStringLiteral("Select File"));
    panel.directory = folder;
    for (const QByteArray& format : QImageWriter::supportedImageFormats())
        panel.allowedExtensions.append(QString::fromLatin1(format));
    const std::optional<QStringList> paths = IXDialogs::shared().runOpenPanel(panel, window);
    if (!paths || paths->isEmpty()) return std::nullopt;
    return paths->first();
}

}  // namespace

IXWindowNoteEditor::IXWindowNoteEditor(IXWindowController& controller)
    : m_controller(controller)
{
}

IXWindowNoteEditor::~IXWindowNoteEditor() = default;

void IXWindowNoteEditor::installServices()
{
    IXTextNoteInspector::Services services;
    services.sendAction = [](const QByteArray& action, QObject* sender) {
        IXApplication* application = IXApplication::instance();
        return application && application->sendAction(action, nullptr, sender);
    };
    services.preference = [](const QString& key) { return IXPreferences::value(key); };
    services.setPreference = [](const QString& key, const QVariant& value) { IXPreferences::setValue(key, value); };
    services.defaultNoteFormat = defaultNoteFormat;
    services.choosePicture = choosePicture;
    IXTextNoteInspector::installServices(std::move(services));
}

IXTextNoteInspector* IXWindowNoteEditor::editor()
{
    if (!IXAppController::allInOneUI()) return IXAppController::sharedController().textNoteEditor();
    if (!m_editor) m_editor = std::make_unique<IXTextNoteInspector>(&m_controller);
    return m_editor.get();
}

IXTextNoteInspector* IXWindowNoteEditor::existingEditor() const
{
    if (m_editor) return m_editor.get();
    IXTextNoteInspector* shared = IXAppController::sharedController().existingTextNoteEditor();
    return shared && shared->controller() == &m_controller ? shared : nullptr;
}

void IXWindowNoteEditor::editTextNote(QObject* sender)
{
    const std::shared_ptr<IXBranchNode> branch = m_controller.selectedBranch();
    if (!branch) {
        UTBeep::beep();
        return;
    }
    const int tag = tagOf(sender);
    if (tag == 1 || branch->textnotes().isEmpty()) branch->addTextnote();
    IXTextNoteInspector* noteEditor = editor();
    if (noteEditor->controller() != &m_controller) noteEditor->setController(&m_controller);
    // The selection notice comes on the next turn; the editor needs it now.
    noteEditor->setSelection(m_controller.selection());
    noteEditor->reloadSelection();
    if (tag == 1)
        noteEditor->lastNoteAction();
    else
        noteEditor->firstNoteAction();
    noteEditor->show();
}

void IXWindowNoteEditor::toggleTextEditor()
{
    IXTextNoteInspector* noteEditor = editor();
    if (noteEditor->isVisible()) {
        noteEditor->hide();
        return;
    }
    if (noteEditor->controller() != &m_controller) noteEditor->setController(&m_controller);
    noteEditor->setSelection(m_controller.selection());
    noteEditor->show();
}

bool IXWindowNoteEditor::isEditorVisible() const
{
    const IXTextNoteInspector* noteEditor = existingEditor();
    return noteEditor && noteEditor->isVisible();
}

void IXWindowNoteEditor::openNote(const std::shared_ptr<IXReferenceNode>& reference, std::optional<PLRange> range)
{
    const auto note = std::dynamic_pointer_cast<IXCommentNode>(reference);
    if (!note || !note->isTextNote()) return;
    IXTextNoteInspector* noteEditor = editor();
    if (noteEditor->controller() != &m_controller) noteEditor->setController(&m_controller);
    noteEditor->setSelection(m_controller.selection());
    noteEditor->editNote(note);
    noteEditor->showImmediately();
    if (range && noteEditor->currentNote() == note) noteEditor->selectTextRange(range->location, range->length);
}

bool IXWindowNoteEditor::orderFrontFontPanel()
{
    auto* textView = qobject_cast<IXNoteTextView*>(QApplication::focusWidget());
    IXFontPanel::orderFront();
    if (textView) IXFontPanel::setPanelFont(textView->currentFont());
    return true;
}

std::optional<bool> IXWindowNoteEditor::validate(QAction* item) const
{
    const QByteArray action = IXActionItem::actionOf(item);
    if (action == IXCommands::EditTextNote) {
        const std::shared_ptr<IXBranchNode> branch = m_controller.selectedBranch();
        return branch && (tagOf(item) == 1 || !branch->textnotes().isEmpty());
    }
    if (action == IXCommands::ToggleTextEditor) {
        item->setCheckable(true);
        item->setChecked(isEditorVisible());
        return true;
    }
    return std::nullopt;
}

void IXWindowNoteEditor::documentWillSave()
{
    if (IXTextNoteInspector* noteEditor = existingEditor()) noteEditor->documentWillSave();
    saveUIState();
}

void IXWindowNoteEditor::saveUIState()
{
    if (m_editor) m_editor->saveUIState();
}

void IXWindowNoteEditor::restoreVisibility()
{
    if (!IXAppController::allInOneUI()) return;
    const auto node = m_controller.documentNode();
    if (!node || !node->userInterfaceOptions().value(IXTextNoteInspector::VisibleKey).toBool()) return;
    editor()->show();
}
