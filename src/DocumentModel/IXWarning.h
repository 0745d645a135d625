#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <memory>

class IXNode;

// A problem that leaves a usable document (an object an importer left out, an attachment an
// exporter did not find). Immutable; shared by the node or document that lists it and by the
// inspectors that show it, and compared by identity.
class IXWarning {
public:
    // The info key of the reference node that a branch can repair.
    static const QString ReferenceNodeKey;

    // A warning from a text "Heading: message": the heading becomes the title and the rest,
    // from the blank after the colon, the message. A text without ": " gets the localized
    // title "Warning" and is the message as a whole.
    static std::shared_ptr<IXWarning> warningWithMessage(const QString& text, IXNode* owner,
                                                         const QVariantMap& info = {});

    const QString& title() const { return m_title; }
    const QString& message() const { return m_message; }
    // The node the warning belongs to; null once that node is gone. The link does not keep
    // the node alive.
    std::shared_ptr<IXNode> owner() const { return m_owner.lock(); }
    bool isOwnedBy(const IXNode* node) const;
    const QVariantMap& info() const { return m_info; }

    // Nodes travel in the info as shared pointers; these wrap and unwrap them.
    static QVariant nodeValue(const std::shared_ptr<IXNode>& node);
    static std::shared_ptr<IXNode> nodeFromValue(const QVariant& value);
    // The info's "referenceNode", or null.
    std::shared_ptr<IXNode> referenceNode() const;

private:
    IXWarning(QString title, QString message, std::weak_ptr<IXNode> owner, QVariantMap info);

    QString m_title;
    QString m_message;
    std::weak_ptr<IXNode> m_owner;
    QVariantMap m_info;
};

// The localized text of a warning key from the string table "Warnings" (the key itself when
// the table has no entry).
QString IXWarningMessage(const QString& key);
