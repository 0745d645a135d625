#include "DocumentModel/IXWarning.h"

#include "DocumentModel/IXNode.h"
#include "Platform/System/PLLocalizedStrings.h"

const QString IXWarning::ReferenceNodeKey = QStringLiteral("referenceNode");

namespace {
const QString WarningsTable = QStringLiteral("Warnings");
}

IXWarning::IXWarning(QString title, QString message, std::weak_ptr<IXNode> owner, QVariantMap info)
    : m_title(std::move(title))
    , m_message(std::move(message))
    , m_owner(std::move(owner))
    , m_info(std::move(info))
{
}

std::shared_ptr<IXWarning> IXWarning::warningWithMessage(const QString& text, IXNode* owner, const QVariantMap& info)
{
    QString title;
    QString message;
    const qsizetype separator = text.indexOf(QStringLiteral(": "));
    if (separator >= 0) {
        title = text.left(separator);
        message = text.mid(separator + 1);
    } else {
        title = PLLocalizedStrings::string(QStringLiteral("Warning"), WarningsTable);
        message = text;
    }
    std::weak_ptr<IXNode> link = owner ? owner->weak_from_this() : std::weak_ptr<IXNode>();
    return std::shared_ptr<IXWarning>(new IXWarning(std::move(title), std::move(message), std::move(link), info));
}

bool IXWarning::isOwnedBy(const IXNode* node) const
{
    const std::shared_ptr<IXNode> current = m_owner.lock();
    return current && current.get() == node;
}

QVariant IXWarning::nodeValue(const std::shared_ptr<IXNode>& node)
{
    return QVariant::fromValue(node);
}

std::shared_ptr<IXNode> IXWarning::nodeFromValue(const QVariant& value)
{
    return value.canConvert<std::shared_ptr<IXNode>>() ? value.value<std::shared_ptr<IXNode>>() : nullptr;
}

std::shared_ptr<IXNode> IXWarning::referenceNode() const
{
    return nodeFromValue(m_info.value(ReferenceNodeKey));
}

QString IXWarningMessage(const QString& key)
{
    return PLLocalizedStrings::string(key, WarningsTable);
}
