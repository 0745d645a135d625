#include "Inspectors/IXNoteFormatPanel.h"

#include "Inspectors/IXNoteTextView.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QTextTable>

namespace {

QString localized(const char* key)
{
    return PLLocalizedStrings::string(QString::fromLatin1(key));
}

const struct {
    QTextListFormat::Style style;
    const char* title;
} ListStyles[] = {
    {QTextListFormat::ListStyleUndefined, "No List"},
    {QTextListFormat::ListDisc, "Bullets"},
    {QTextListFormat::ListCircle, "Circles"},
    {QTextListFormat::ListSquare, "Squares"},
    {QTextListFormat::ListDecimal, "Numbers"},
    {QTextListFormat::ListLowerAlpha, "Lower-case Letters"},
    {QTextListFormat::ListUpperAlpha, "Upper-case Letters"},
    {QTextListFormat::ListLowerRoman, "Lower-case Roman Numerals"},
    {QTextListFormat::ListUpperRoman, "Upper-case Roman Numerals"},
};

const char* titleOf(IXNoteFormatPanel::Kind kind)
{
    switch (kind) {
    case IXNoteFormatPanel::Kind::Spacing:
        return "Spacing";
    case IXNoteFormatPanel::Kind::List:
        return "List";
    case IXNoteFormatPanel::Kind::Link:
        return "Link";
    case IXNoteFormatPanel::Kind::Table:
        return "Table";
    }
    return "";
}

QDoubleSpinBox* spinBox(QWidget* parent, double minimum, double maximum, double value, const char* suffix)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setDecimals(1);
    box->setValue(value);
    box->setSuffix(QString::fromUtf8(suffix));
    return box;
}

}  // namespace

IXNoteFormatPanel::IXNoteFormatPanel(Kind kind, IXNoteTextView* textView, QWidget* parent)
    : QDialog(parent)
    , m_kind(kind)
    , m_textView(textView)
{
    setWindowTitle(localized(titleOf(kind)));
    auto* form = new QFormLayout(this);
    const QTextCursor cursor = textView->textCursor();
    const QTextBlockFormat block = cursor.blockFormat();
    switch (kind) {
    case Kind::Spacing: {
        const double height
            = block.lineHeightType() == QTextBlockFormat::ProportionalHeight ? block.lineHeight() : 100.0;
        m_lineHeight = spinBox(this, 50, 400, height, " %");
        m_before = spinBox(this, 0, 200, block.topMargin(), " pt");
        m_after = spinBox(this, 0, 200, block.bottomMargin(), " pt");
        form->addRow(localized("Line height:"), m_lineHeight);
        form->addRow(localized("Before paragraph:"), m_before);
        form->addRow(localized("After paragraph:"), m_after);
        break;
    }
    case Kind::List: {
        m_listStyle = new QComboBox(this);
        for (const auto& entry : ListStyles) m_listStyle->addItem(localized(entry.title), int(entry.style));
        const QTextList* list = cursor.currentList();
        const int index = list ? m_listStyle->findData(int(list->format().style())) : 0;
        m_listStyle->setCurrentIndex(std::max(index, 0));
        form->addRow(localized("Style:"), m_listStyle);
        break;
    }
    case Kind::Link:
        m_address = new QLineEdit(this);
        m_address->setText(cursor.charFormat().anchorHref());
        m_address->setPlaceholderText(QStringLiteral("https://"));
        m_address->setMinimumWidth(260);
        form->addRow(localized("Address:"), m_address);
        break;
    case Kind::Table:
        m_rows = new QSpinBox(this);
        m_rows->setRange(1, 100);
        m_rows->setValue(2);
        m_columns = new QSpinBox(this);
        m_columns->setRange(1, 30);
        m_columns->setValue(2);
        form->addRow(localized("Rows:"), m_rows);
        form->addRow(localized("Columns:"), m_columns);
        break;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(localized(kind == Kind::Table ? "Insert" : "Apply"));
    form->addRow(buttons);
    PLExceptionBoundary::connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        apply();
        accept();
    });
    PLExceptionBoundary::connect(buttons, &QDialogButtonBox::rejected, this, [this] { reject(); });
}

IXNoteFormatPanel* IXNoteFormatPanel::open(Kind kind, IXNoteTextView* textView)
{
    auto* panel = new IXNoteFormatPanel(kind, textView, textView->window());
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowFlag(Qt::Tool);
    panel->show();
    panel->raise();
    return panel;
}

void IXNoteFormatPanel::apply()
{
    if (!m_textView) return;
    switch (m_kind) {
    case Kind::Spacing:
        applySpacing(m_textView, m_lineHeight->value(), m_before->value(), m_after->value());
        break;
    case Kind::List:
        applyList(m_textView, QTextListFormat::Style(m_listStyle->currentData().toInt()));
        break;
    case Kind::Link:
        applyLink(m_textView, m_address->text().trimmed());
        break;
    case Kind::Table:
        insertTable(m_textView, m_rows->value(), m_columns->value());
        break;
    }
}

void IXNoteFormatPanel::applySpacing(IXNoteTextView* textView, double lineHeightPercent, double before, double after)
{
    QTextBlockFormat format;
    format.setLineHeight(lineHeightPercent, QTextBlockFormat::ProportionalHeight);
    format.setTopMargin(before);
    format.setBottomMargin(after);
    textView->textCursor().mergeBlockFormat(format);
}

void IXNoteFormatPanel::applyList(IXNoteTextView* textView, QTextListFormat::Style style)
{
    QTextCursor cursor = textView->textCursor();
    cursor.beginEditBlock();
    if (style == QTextListFormat::ListStyleUndefined) {
        // Every selected paragraph leaves its list.
        const int end = cursor.selectionEnd();
        for (QTextBlock block = textView->document()->findBlock(cursor.selectionStart()); block.isValid();
             block = block.next()) {
            if (QTextList* list = block.textList()) {
                list->remove(block);
                QTextCursor edit(block);
                QTextBlockFormat format = block.blockFormat();
                format.setIndent(0);
                edit.setBlockFormat(format);
            }
            if (block.position() + block.length() > end) break;
        }
    } else if (QTextList* list = cursor.currentList()) {
        QTextListFormat format = list->format();
        format.setStyle(style);
        list->setFormat(format);
    } else {
        cursor.createList(style);
    }
    cursor.endEditBlock();
}

void IXNoteFormatPanel::applyLink(IXNoteTextView* textView, const QString& address)
{
    QTextCursor cursor = textView->textCursor();
    if (!cursor.hasSelection()) cursor.select(QTextCursor::WordUnderCursor);
    if (!cursor.hasSelection()) return;
    QTextCharFormat format;
    format.setAnchor(!address.isEmpty());
    format.setAnchorHref(address);
    if (address.isEmpty()) {
        // Removing the link: the anchor properties go, the rest of the format stays.
        cursor.beginEditBlock();
        const int start = cursor.selectionStart();
        const int end = cursor.selectionEnd();
        for (int position = start; position < end; ++position) {
            QTextCursor one(textView->document());
            one.setPosition(position);
            one.setPosition(position + 1, QTextCursor::KeepAnchor);
            QTextCharFormat current = one.charFormat();
            current.clearProperty(QTextFormat::IsAnchor);
            current.clearProperty(QTextFormat::AnchorHref);
            one.setCharFormat(current);
        }
        cursor.endEditBlock();
        return;
    }
    format.setForeground(textView->palette().color(QPalette::Link));
    format.setFontUnderline(true);
    cursor.mergeCharFormat(format);
}

void IXNoteFormatPanel::insertTable(IXNoteTextView* textView, int rows, int columns)
{
    QTextTableFormat format;
    format.setBorder(1);
    format.setCellPadding(2);
    format.setCellSpacing(0);
    textView->textCursor().insertTable(std::clamp(rows, 1, 100), std::clamp(columns, 1, 30), format);
}
