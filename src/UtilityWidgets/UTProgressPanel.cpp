#include "UtilityWidgets/UTProgressPanel.h"

#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

UTProgressPanel::UTProgressPanel(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ProgressPanel"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    m_labelTextField = new QLabel(this);
    m_labelTextField->setObjectName(QStringLiteral("labelTextField"));
    m_labelTextField->setMinimumWidth(360);
    layout->addWidget(m_labelTextField);
    m_progressIndicator = new QProgressBar(this);
    m_progressIndicator->setObjectName(QStringLiteral("progressIndicator"));
    m_progressIndicator->setTextVisible(false);
    layout->addWidget(m_progressIndicator);
    auto* buttons = new QDialogButtonBox(this);
    m_cancelButton = buttons->addButton(PLLocalizedStrings::string(QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    layout->addWidget(buttons);
    PLExceptionBoundary::connect(m_cancelButton, &QPushButton::clicked, this, [this] {
        m_cancelled = true;
        emit cancelled();
    });
}

void UTProgressPanel::showEvent(QShowEvent* event)
try {
    m_cancelled = false;
    QDialog::showEvent(event);
} catch (...) {
    PLExceptionBoundary::caught();
}

void UTProgressPanel::reject()
try {
    // Escape and closing the window cancel as the button does; the worker closes the panel.
    if (!m_cancelled) {
        m_cancelled = true;
        emit cancelled();
    }
} catch (...) {
    PLExceptionBoundary::caught();
}
