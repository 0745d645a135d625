#pragma once

#include "Platform/Core/PLError.h"
#include "Utilities/UTZipArchive.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <map>
#include <optional>

// The stored parts of a native package: the zip archive they live in (the one read, or one
// made on the first write) and the option dictionaries asked for since, which every save
// writes back. Parts are addressed by file name, case-insensitively; an empty part counts as
// missing. The document node owns one and passes its part operations on to it.
class IXPackageParts {
public:
    // The bytes of the part whose file name equals the name. An entry that cannot be read
    // gives nothing and the archive's error. The name is required ("name").
    std::optional<QByteArray> dataNamed(const QString& name, PLError* error = nullptr) const;
    // Replaces the part's bytes or adds the part (making an archive when there is none).
    bool setData(const QByteArray& data, const QString& name);
    // Stores empty bytes under the name when there is an archive.
    bool removeDataNamed(const QString& name);
    // The property-list part name + ".plist" as a dictionary: nothing without an error when
    // the part is missing or empty; nothing with an error when it is unreadable or no
    // dictionary. The error slot is required ("outError").
    std::optional<QVariantMap> plistNamed(const QString& name, PLError* error) const;
    // Stores the dictionary as the XML property-list part name + ".plist".
    bool setPlist(const QVariantMap& dictionary, const QString& name, PLError* error);

    // The cached dictionary of that name, read on first use from its part (empty when missing
    // or unreadable). The reference stays valid as long as the parts.
    QVariantMap& optionsForName(const QString& name);
    // Caches the dictionary under the name, replacing the cached one.
    void setOptions(const QVariantMap& options, const QString& name);
    // The names of the cached dictionaries, in the order they are saved.
    QStringList cachedOptionNames() const;
    // Stores every cached dictionary as its part; stops at the first failure.
    bool saveOptions(PLError* error);

    bool hasZipArchive() const { return m_zipArchive.has_value(); }
    const std::optional<UTZipArchive>& zipArchive() const { return m_zipArchive; }
    void setZipArchive(std::optional<UTZipArchive> archive) { m_zipArchive = std::move(archive); }
    // The archive's bytes (an empty archive's when there is none).
    QByteArray zipBytes(PLError* error);
    // The time parts written from now on carry (UTZipArchive::setEntryDate); a save sets it
    // for its length.
    void setEntryDate(const QDateTime& date);

private:
    std::optional<UTZipArchive> m_zipArchive;
    // Ordered by name, so that references into it stay valid and saves are reproducible.
    std::map<QString, QVariantMap> m_options;
};
