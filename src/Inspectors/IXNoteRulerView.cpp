#include "Inspectors/IXNoteRulerView.h"

#include "Inspectors/IXNoteTextView.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>

#include <algorithm>

namespace {

const struct {
    Qt::Alignment alignment;
    const char* symbol;
    const char* tooltip;
} Alignments[] = {
    {Qt::AlignLeft, "\u2261\u2190", "Align Left"},
    {Qt::AlignHCenter, "\u2261", "Center"},
    {Qt::AlignRight, "\u2192\u2261", "Align Right"},
    {Qt::AlignJustify, "\u2263", "Justify"},
};

}  // namespace

IXNoteRulerView::IXNoteRulerView(IXNoteTextView* textView, QWidget* parent)
    : QWidget(parent)
    , m_textView(textView)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(2);
    auto* group = new QButtonGroup(this);
    for (const auto& entry : Alignments) {
        auto* button = new QToolButton(this);
        button->setText(QString::fromUtf8(entry.symbol));
        button->setToolTip(PLLocalizedStrings::string(QString::fromLatin1(entry.tooltip)));
        button->setCheckable(true);
        button->setAutoRaise(true);
        group->addButton(button);
        layout->addWidget(button);
        m_alignmentButtons.append(button);
        const Qt::Alignment alignment = entry.alignment;
        PLExceptionBoundary::connect(button, &QToolButton::clicked, this,
                                     [this, alignment] { setAlignment(alignment); });
    }
    layout->addSpacing(8);
    const struct {
        const char* symbol;
        const char* tooltip;
        int steps;
    } indents[] = {{"\u21e4", "Decrease Indent", -1}, {"\u21e5", "Increase Indent", 1}};
    for (const auto& entry : indents) {
        auto* button = new QToolButton(this);
        button->setText(QString::fromUtf8(entry.symbol));
        button->setToolTip(PLLocalizedStrings::string(QString::fromLatin1(entry.tooltip)));
        button->setAutoRaise(true);
        layout->addWidget(button);
        const int steps = entry.steps;
        PLExceptionBoundary::connect(button, &QToolButton::clicked, this, [this, steps] { indent(steps); });
    }
    layout->addStretch();
    PLExceptionBoundary::connect(textView, &QTextEdit::cursorPositionChanged, this, [this] { updateFromText(); });
    updateFromText();
}

QToolButton* IXNoteRulerView::alignmentButton(Qt::Alignment alignment) const
{
    for (qsizetype i = 0; i < m_alignmentButtons.size(); ++i)
        if (Alignments[i].alignment == alignment) return m_alignmentButtons[i];
    return nullptr;
}

void IXNoteRulerView::updateFromText()
{
    const Qt::Alignment current = m_textView->alignment() & Qt::AlignHorizontal_Mask;
    for (qsizetype i = 0; i < m_alignmentButtons.size(); ++i)
        m_alignmentButtons[i]->setChecked(Alignments[i].alignment == current
                                          || (Alignments[i].alignment == Qt::AlignLeft && current == Qt::AlignLeading));
}

void IXNoteRulerView::setAlignment(Qt::Alignment alignment)
{
    m_textView->setAlignment(alignment);
    updateFromText();
}

void IXNoteRulerView::indent(int steps)
{
    QTextCursor cursor = m_textView->textCursor();
    const int end = cursor.selectionEnd();
    QTextCursor editing(m_textView->document());
    editing.beginEditBlock();
    for (QTextBlock block = m_textView->document()->findBlock(cursor.selectionStart()); block.isValid();
         block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        format.setLeftMargin(std::max(0.0, format.leftMargin() + steps * IndentStep));
        editing.setPosition(block.position());
        editing.setBlockFormat(format);
        if (block.position() + block.length() > end) break;
    }
    editing.endEditBlock();
}
