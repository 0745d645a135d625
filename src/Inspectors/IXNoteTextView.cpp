#include "Inspectors/IXNoteTextView.h"

#include "DocumentViews/IXSpellingHighlighter.h"
#include "Inspectors/IXColorWell.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/Text/PLTextAttachment.h"
#include "Platform/Text/PLTextDocumentConversion.h"
#include "UtilityWidgets/UTBeep.h"

#include <QBuffer>
#include <QContextMenuEvent>
#include <QFontDialog>
#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QUrl>

#include <cmath>
#include <tuple>

namespace {

using Conversion = PLTextDocumentConversion;

// The value of a property over the selection when every run of it has the same one; with an
// empty selection the typing format's.
std::optional<QVariant>
commonProperty(const QTextEdit& edit, int property,
               const std::function<void(const std::function<void(const QTextCharFormat&)>&)>& runs)
{
    if (!edit.textCursor().hasSelection()) {
        const QTextCharFormat format = edit.currentCharFormat();
        if (!format.hasProperty(property)) return std::nullopt;
        return format.property(property);
    }
    std::optional<QVariant> common;
    bool differs = false;
    bool first = true;
    runs([&](const QTextCharFormat& format) {
        const QVariant value = format.hasProperty(property) ? format.property(property) : QVariant();
        if (first)
            common = value;
        else if (!differs && common != value)
            differs = true;
        first = false;
    });
    if (differs || !common || !common->isValid()) return std::nullopt;
    return common;
}

std::optional<QColor> colorOf(const std::optional<QVariant>& value)
{
    if (!value) return std::nullopt;
    const QBrush brush = value->value<QBrush>();
    if (brush.style() == Qt::NoBrush) return std::nullopt;
    return brush.color();
}

}  // namespace

IXNoteTextView::IXNoteTextView(QWidget* parent)
    : QTextEdit(parent)
    , m_highlighter(new IXSpellingHighlighter(document()))
{
    setAcceptRichText(true);
    PLExceptionBoundary::connect(this, &QTextEdit::textChanged, this, [this] { userChangedText(); });
    PLExceptionBoundary::connect(this, &QTextEdit::selectionChanged, this,
                                 [this] { emit selectionAttributesChanged(); });
    PLExceptionBoundary::connect(this, &QTextEdit::currentCharFormatChanged, this,
                                 [this] { emit selectionAttributesChanged(); });
}

IXNoteTextView::~IXNoteTextView() = default;

// --- The text ---

void IXNoteTextView::setNoteText(const PLAttributedString& text, const QTextCharFormat& typingFormat)
{
    m_loading = true;
    QTextDocument* doc = document();
    doc->setUndoRedoEnabled(false);
    Conversion::toTextDocument(text, doc);
    doc->setUndoRedoEnabled(true);
    m_fittingPictures.clear();
    QTextCursor cursor(doc);
    setTextCursor(cursor);
    if (text.isEmpty()) {
        setCurrentCharFormat(typingFormat);
    }
    doc->setModified(false);
    m_loading = false;
}

PLAttributedString IXNoteTextView::noteText() const
{
    return Conversion::fromTextDocument(document());
}

bool IXNoteTextView::isTextChanged() const
{
    return document()->isModified();
}

void IXNoteTextView::setTextChanged(bool changed)
{
    document()->setModified(changed);
}

void IXNoteTextView::userChangedText()
{
    if (m_loading || m_shrinking) return;
    shrinkPictures();
}

// --- Runs of the selection ---

template <typename Function> void IXNoteTextView::forEachSelectedRun(Function function) const
{
    const QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(start, fragment.position());
            const int to = std::min(end, fragment.position() + fragment.length());
            if (from < to) function(from, to, fragment.charFormat());
        }
    }
}

// --- Colours ---

void IXNoteTextView::setColorWells(IXColorWell* foreground, IXColorWell* background)
{
    m_foregroundWell = foreground;
    m_backgroundWell = background;
}

std::optional<QColor> IXNoteTextView::selectedColor(bool background) const
{
    const int property = background ? QTextFormat::BackgroundBrush : QTextFormat::ForegroundBrush;
    return colorOf(commonProperty(*this, property, [this](const auto& visit) {
        forEachSelectedRun([&](int, int, const QTextCharFormat& format) { visit(format); });
    }));
}

QColor IXNoteTextView::color() const
{
    std::optional<QColor> value;
    if (m_foregroundWell && m_foregroundWell->isActive())
        value = selectedColor(false);
    else if (m_backgroundWell && m_backgroundWell->isActive())
        value = selectedColor(true);
    return value.value_or(QColor(Qt::black));
}

void IXNoteTextView::changeColor(const QColor& chosen)
{
    const std::optional<QColor> color
        = chosen.isValid() && chosen.alphaF() >= MinimumColorAlpha ? std::optional<QColor>(chosen) : std::nullopt;
    const bool foreground = m_foregroundWell && m_foregroundWell->isActive();
    const bool background = !foreground && m_backgroundWell && m_backgroundWell->isActive();
    if (!foreground && !background) {
        if (!color) return;
        QTextCharFormat format;
        format.setForeground(*color);
        mergeFormat(format);
        return;
    }
    const int property = foreground ? QTextFormat::ForegroundBrush : QTextFormat::BackgroundBrush;
    const auto apply = [&](QTextCharFormat& format) {
        if (color)
            format.setProperty(property, QBrush(*color));
        else
            format.clearProperty(property);
    };
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection()) {
        QList<std::tuple<int, int, QTextCharFormat>> runs;
        forEachSelectedRun([&](int from, int to, const QTextCharFormat& format) { runs.append({from, to, format}); });
        QTextCursor editing(document());
        editing.beginEditBlock();
        for (auto& [from, to, format] : runs) {
            apply(format);
            editing.setPosition(from);
            editing.setPosition(to, QTextCursor::KeepAnchor);
            editing.setCharFormat(format);
        }
        editing.endEditBlock();
    }
    // Without a selection the typing format takes it, for the next characters.
    if (!cursor.hasSelection()) {
        QTextCharFormat typing = currentCharFormat();
        apply(typing);
        setCurrentCharFormat(typing);
    }
    emit selectionAttributesChanged();
}

// --- Character attributes ---

std::optional<int> IXNoteTextView::selectedSuperscript() const
{
    if (!textCursor().hasSelection()) return Conversion::attributes(currentCharFormat()).superscript;
    std::optional<int> common;
    bool first = true;
    bool differs = false;
    forEachSelectedRun([&](int, int, const QTextCharFormat& format) {
        const std::optional<int> level = Conversion::attributes(format).superscript;
        if (first)
            common = level;
        else if (level != common)
            differs = true;
        first = false;
    });
    return differs ? std::nullopt : common;
}

void IXNoteTextView::changeSuperscript(int delta)
{
    const auto levelFormat = [delta](const QTextCharFormat& format) {
        const int level = Conversion::attributes(format).superscript.value_or(0) + delta;
        QTextCharFormat changed = format;
        changed.setVerticalAlignment(level > 0       ? QTextCharFormat::AlignSuperScript
                                         : level < 0 ? QTextCharFormat::AlignSubScript
                                                     : QTextCharFormat::AlignNormal);
        if (level == 0)
            changed.clearProperty(Conversion::SuperscriptProperty);
        else
            changed.setProperty(Conversion::SuperscriptProperty, level);
        return changed;
    };
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) {
        setCurrentCharFormat(levelFormat(currentCharFormat()));
        return;
    }
    QList<std::tuple<int, int, QTextCharFormat>> runs;
    forEachSelectedRun([&](int from, int to, const QTextCharFormat& format) { runs.append({from, to, format}); });
    QTextCursor editing(document());
    editing.beginEditBlock();
    for (const auto& [from, to, format] : runs) {
        editing.setPosition(from);
        editing.setPosition(to, QTextCursor::KeepAnchor);
        editing.setCharFormat(levelFormat(format));
    }
    editing.endEditBlock();
    emit selectionAttributesChanged();
}

void IXNoteTextView::superscript(QObject*)
try {
    changeSuperscript(selectedSuperscript().value_or(0) >= 1 ? -1 : 1);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXNoteTextView::subscript(QObject*)
try {
    changeSuperscript(selectedSuperscript().value_or(0) < 0 ? 1 : -1);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXNoteTextView::underline(QObject*)
try {
    QTextCharFormat format;
    format.setFontUnderline(!textCursor().charFormat().fontUnderline());
    mergeFormat(format);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXNoteTextView::changeFont(QObject* sender)
try {
    if (auto* dialog = qobject_cast<QFontDialog*>(sender)) applyFont(dialog->currentFont());
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXNoteTextView::applyFont(const QFont& font)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList {font.family()});
    if (font.pointSizeF() > 0) format.setFontPointSize(font.pointSizeF());
    format.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
    format.setFontItalic(font.italic());
    mergeFormat(format);
}

bool IXNoteTextView::selectionStartHasTrait(bool bold) const
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(cursor.selectionStart());
    // The format of the character after the position, not the one before it.
    cursor.movePosition(QTextCursor::NextCharacter);
    const QTextCharFormat format = cursor.charFormat();
    return bold ? format.fontWeight() >= QFont::DemiBold : format.fontItalic();
}

void IXNoteTextView::toggleFontTrait(bool bold)
{
    if (!textCursor().hasSelection()) return;
    const bool has = selectionStartHasTrait(bold);
    QTextCharFormat format;
    if (bold)
        format.setFontWeight(has ? QFont::Normal : QFont::Bold);
    else
        format.setFontItalic(!has);
    mergeFormat(format);
}

void IXNoteTextView::mergeFormat(const QTextCharFormat& format)
{
    // Merges into the selection, or into the typing format without one.
    mergeCurrentCharFormat(format);
    emit selectionAttributesChanged();
}

// --- Pictures ---

QSize IXNoteTextView::adjustedSize(const QSizeF& size, const QSizeF& box)
{
    if (size.isEmpty() || box.isEmpty() || (size.width() <= box.width() && size.height() <= box.height()))
        return size.toSize();
    double width = 0;
    double height = 0;
    // The box is square: its width is the side that the longer side takes.
    if (size.height() > size.width()) {
        width = std::ceil(box.width() * size.width() / size.height());
        height = box.width();
    } else {
        width = box.width();
        height = std::ceil(box.width() * size.height() / size.width());
    }
    const auto even = [](double value) { return value - std::fmod(std::floor(value), 2.0); };
    return QSize(int(even(width)), int(even(height)));
}

QImage IXNoteTextView::adjustedImage(const QImage& image, const QSizeF& box)
{
    if (image.isNull() || box.isEmpty()) return image;
    const QSize size = adjustedSize(QSizeF(image.size()), box);
    if (size == image.size() || size.isEmpty()) return image;
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

bool IXNoteTextView::insertPicture(const QString& fileName, const QByteArray& bytes)
{
    const PLTextAttachment attachment(PLTextAttachment::safeFileName(fileName), bytes);
    if (attachment.image().isNull()) return false;
    const QString name = QStringLiteral("ix-picture-%1").arg(++m_pictureSerial);
    document()->addResource(QTextDocument::ImageResource, QUrl(name), bytes);
    QTextImageFormat format;
    format.setName(name);
    format.setProperty(Conversion::AttachmentNameProperty, attachment.fileName());
    textCursor().insertImage(format);
    return true;
}

void IXNoteTextView::shrinkPictures()
{
    struct Shrink {
        int position;
        int length;
        QTextImageFormat format;
    };
    QList<Shrink> shrinks;
    QTextDocument* doc = document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isImageFormat()) continue;
            const QTextImageFormat image = format.toImageFormat();
            if (m_fittingPictures.contains(image.name())) continue;
            const QVariant resource = doc->resource(QTextDocument::ImageResource, QUrl(image.name()));
            const PLTextAttachment attachment(QString(), resource.toByteArray());
            const QSizeF natural = attachment.naturalSize();
            if (natural.width() <= PictureBox && natural.height() <= PictureBox) {
                m_fittingPictures.insert(image.name());
                continue;
            }
            shrinks.append({fragment.position(), fragment.length(), image});
        }
    }
    if (shrinks.isEmpty()) return;
    m_shrinking = true;
    QTextCursor editing(doc);
    editing.beginEditBlock();
    for (const Shrink& shrink : shrinks) {
        const QVariant resource = doc->resource(QTextDocument::ImageResource, QUrl(shrink.format.name()));
        const PLTextAttachment attachment(QString(), resource.toByteArray());
        const QImage image = attachment.image();
        const QSize size = adjustedSize(attachment.naturalSize(), QSizeF(PictureBox, PictureBox));
        const QImage smaller = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        smaller.save(&buffer, "PNG");
        const QString name = QStringLiteral("ix-picture-%1").arg(++m_pictureSerial);
        doc->addResource(QTextDocument::ImageResource, QUrl(name), bytes);
        m_fittingPictures.insert(name);
        QTextImageFormat format = shrink.format;
        format.setName(name);
        format.setWidth(size.width());
        format.setHeight(size.height());
        editing.setPosition(shrink.position);
        editing.setPosition(shrink.position + shrink.length, QTextCursor::KeepAnchor);
        editing.setCharFormat(format);
    }
    editing.endEditBlock();
    m_shrinking = false;
}

// --- Spelling ---

void IXNoteTextView::setContinuousSpellCheckingEnabled(bool enabled)
{
    m_highlighter->setEnabled(enabled);
}

// --- Context menu ---

QMenu* IXNoteTextView::makeContextMenu()
{
    QMenu* menu = createStandardContextMenu();
    const struct {
        const char* title;
        const std::function<void()>* panel;
    } entries[] = {
        {"Spacing...", &m_panels.spacing},
        {"List...", &m_panels.list},
        {"Link...", &m_panels.link},
        {"Table...", &m_panels.table},
        {"Insert Picture...", &m_panels.insertPicture},
    };
    bool separated = false;
    for (const auto& entry : entries) {
        if (!*entry.panel) continue;
        if (!separated) menu->addSeparator();
        separated = true;
        QAction* action = menu->addAction(PLLocalizedStrings::string(QString::fromLatin1(entry.title)));
        const std::function<void()> open = *entry.panel;
        PLExceptionBoundary::connect(action, &QAction::triggered, menu, [open] { open(); });
    }
    return menu;
}

void IXNoteTextView::contextMenuEvent(QContextMenuEvent* event)
try {
    setFocus(Qt::PopupFocusReason);
    QMenu* menu = makeContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
} catch (...) {
    PLExceptionBoundary::caught();
}
