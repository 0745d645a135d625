#include "UtilityWidgets/UTFontTextField.h"

#include "Platform/Core/PLExceptionBoundary.h"
#include "UtilityWidgets/UTFontAttributesToStringTransformer.h"

#include <QApplication>
#include <QFontDialog>

UTFontTextField::UTFontTextField(QWidget* parent) : QLineEdit(parent)
{
    setReadOnly(true);
    setFocusPolicy(Qt::StrongFocus);
}

void UTFontTextField::setSelectedFontAttributes(const QFont& font)
{
    if (m_hasSelection && font == m_selectedFontAttributes) return;
    m_selectedFontAttributes = font;
    m_hasSelection = true;
    setText(UTFontAttributesToStringTransformer().transformedValue(font).toString());
    emit valueChanged(font);
}

QFont UTFontTextField::fieldFont() const
{
    return m_hasSelection ? m_selectedFontAttributes : QApplication::font();
}

void UTFontTextField::startFontEditing()
{
    window()->raise();
    window()->activateWindow();
    setFocus(Qt::OtherFocusReason);
    if (!m_fontDialog) {
        m_fontDialog = new QFontDialog(this);
        m_fontDialog->setObjectName(QStringLiteral("fontDialog"));
        m_fontDialog->setOption(QFontDialog::NoButtons);
        m_fontDialog->setModal(false);
        PLExceptionBoundary::connect(m_fontDialog, &QFontDialog::currentFontChanged, this, &UTFontTextField::changeFont);
    }
    const QSignalBlocker blocker(m_fontDialog);
    m_fontDialog->setCurrentFont(fieldFont());
    m_fontDialog->show();
    m_fontDialog->raise();
}

void UTFontTextField::changeFont(const QFont& font)
{
    setSelectedFontAttributes(font);
    if (m_fontDialog && m_fontDialog->currentFont() != font) {
        const QSignalBlocker blocker(m_fontDialog);
        m_fontDialog->setCurrentFont(font);
    }
}
