#include "UtilityWidgets/UTToolbarItem.h"

#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/Drawing/PLNamedImages.h"

#include <QIcon>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString Table = QStringLiteral("toolbar");

} // namespace

UTToolbarItem::UTToolbarItem(const QString& identifier, QObject* parent) : QAction(parent)
{
    setObjectName(identifier);
    const QString caption = PLLocalizedStrings::string(identifier + QStringLiteral("Caption"), Table);
    const QString toolTip = PLLocalizedStrings::string(identifier + QStringLiteral("ToolTip"), Table);
    setText(caption == identifier + QStringLiteral("Caption") ? identifier : caption);
    setIconText(text());
    setToolTip(toolTip == identifier + QStringLiteral("ToolTip") ? identifier : toolTip);
    const QString imageKey = identifier + QStringLiteral("Image");
    const QString imageName = PLLocalizedStrings::string(imageKey, Table);
    if (imageName != imageKey) {
        const QImage image = PLNamedImages::imageNamed(imageName);
        if (!image.isNull()) setIcon(QIcon(QPixmap::fromImage(image)));
    }
}

UTToolbarItem* UTToolbarItem::ixToolbarItemWithIdentifier(const QString& identifier, QObject* parent)
{
    return new UTToolbarItem(identifier, parent);
}

void UTToolbarItem::validate()
{
    for (QObject* object : associatedObjects()) {
        auto* toolbar = qobject_cast<QToolBar*>(object);
        if (!toolbar) continue;
        auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(this));
        if (!button) continue;
        const bool small = toolbar->iconSize().height() < RegularImageSize;
        if (!icon().isNull()) {
            const int side = small ? SmallImageSize : RegularImageSize;
            button->setIconSize(QSize(side, side));
        }
    }
    if (auto* validator = dynamic_cast<UTToolbarItemValidating*>(m_target.data())) setEnabled(validator->validateToolbarItem(this));
}
