#pragma once

#include <QImage>
#include <QString>
#include <QVariantMap>

class IXTemplateStorage;

// One template: its file and the attributes of its description ("FileName", "Name",
// "AbsolutePath" and any others of the pack's "templates" list). The preview picture is
// asked of the store on first use and kept.
class IXTemplateItem {
public:
    static const QString TitleKey;  // "Name"
    static const QString DescriptionKey;  // "Description"
    static const QString FileNameKey;  // "FileName"
    static const QString AbsolutePathKey;  // "AbsolutePath"

    IXTemplateItem(IXTemplateStorage* storage, const QVariantMap& attributes);

    QVariant attribute(const QString& key) const { return m_attributes.value(key); }
    void setAttribute(const QString& key, const QVariant& value) { m_attributes.insert(key, value); }
    void setAttributes(const QVariantMap& attributes);
    QVariantMap attributes() const { return m_attributes; }
    // Both the "Name" attribute.
    QString title() const;
    QString description() const { return title(); }
    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    bool isUserItem() const { return m_userItem; }
    void setUserItem(bool userItem) { m_userItem = userItem; }
    const QString& filePath() const { return m_path; }
    void setFilePath(const QString& path) { m_path = path; }
    const QImage& previewImage();

private:
    IXTemplateStorage* m_storage;
    QString m_path;
    QString m_name;
    QVariantMap m_attributes;
    bool m_userItem = false;
    QImage m_image;
};
