#include "DocumentWindow/IXToolbarCustomizationDialog.h"

#include "DocumentWindow/IXWindowToolbar.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString titleOf(const QString& identifier)
{
    const QString key = identifier + QStringLiteral("Caption");
    const QString caption = PLLocalizedStrings::string(key, QStringLiteral("toolbar"));
    return caption == key ? identifier : caption;
}

QIcon iconOf(const QString& identifier)
{
    const QString key = identifier + QStringLiteral("Image");
    const QString name = PLLocalizedStrings::string(key, QStringLiteral("toolbar"));
    return name == key ? QIcon() : IXWindowToolbar::namedIcon(name);
}

}  // namespace

IXToolbarCustomizationDialog::IXToolbarCustomizationDialog(const QStringList& current, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(PLLocalizedStrings::string(QStringLiteral("Customize Toolbar")));
    m_list = new QListWidget(this);
    m_list->setIconSize(QSize(24, 24));
    m_list->setMinimumSize(280, 420);

    auto* up = new QPushButton(PLLocalizedStrings::string(QStringLiteral("Move Up")), this);
    auto* down = new QPushButton(PLLocalizedStrings::string(QStringLiteral("Move Down")), this);
    auto* defaults = new QPushButton(PLLocalizedStrings::string(QStringLiteral("Use Default Set")), this);
    PLExceptionBoundary::connect(up, &QPushButton::clicked, this, [this] { moveCurrentRow(-1); });
    PLExceptionBoundary::connect(down, &QPushButton::clicked, this, [this] { moveCurrentRow(1); });
    PLExceptionBoundary::connect(defaults, &QPushButton::clicked, this,
                                 [this] { showSet(IXWindowToolbar::defaultItemIdentifiers()); });
    auto* side = new QVBoxLayout;
    side->addWidget(up);
    side->addWidget(down);
    side->addStretch();
    side->addWidget(defaults);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* body = new QHBoxLayout;
    body->addWidget(m_list, 1);
    body->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons);
    showSet(current);
}

void IXToolbarCustomizationDialog::showSet(const QStringList& identifiers)
{
    m_list->clear();
    const QStringList allowed = IXWindowToolbar::allowedItemIdentifiers();
    for (const QString& identifier : identifiers)
        if (allowed.contains(identifier)) addRow(identifier, true);
    for (const QString& identifier : allowed)
        if (IXWindowToolbar::isRepeatable(identifier) || !identifiers.contains(identifier)) addRow(identifier, false);
    m_list->setCurrentRow(0);
}

QListWidgetItem* IXToolbarCustomizationDialog::addRow(const QString& identifier, bool ticked)
{
    auto* row = new QListWidgetItem(iconOf(identifier), titleOf(identifier), m_list);
    row->setData(Qt::UserRole, identifier);
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    return row;
}

QStringList IXToolbarCustomizationDialog::chosenIdentifiers() const
{
    QStringList chosen;
    for (int index = 0; index < m_list->count(); ++index) {
        const QListWidgetItem* row = m_list->item(index);
        if (row->checkState() == Qt::Checked) chosen += row->data(Qt::UserRole).toString();
    }
    return chosen;
}

void IXToolbarCustomizationDialog::moveCurrentRow(int offset)
{
    const int from = m_list->currentRow();
    const int to = from + offset;
    if (from < 0 || to < 0 || to >= m_list->count()) return;
    QListWidgetItem* row = m_list->takeItem(from);
    m_list->insertItem(to, row);
    m_list->setCurrentRow(to);
}
