#include "DocumentModel/IXPackageParts.h"

#include "Platform/Core/PLAssert.h"
#include "Platform/XML/PLPropertyList.h"
#include "Utilities/UTErrors.h"

#include <new>

namespace {
const QString PlistExtension = QStringLiteral(".plist");

PLError outOfMemory(const QString& name)
{
    return UTErrors::errorWithFailureReason(QStringLiteral("There is not enough memory to read '%1'.").arg(name));
}
}

std::optional<QByteArray> IXPackageParts::dataNamed(const QString& name, PLError* error) const
{
    PL_ASSERT_PARAM(!name.isEmpty(), "name");
    if (!m_zipArchive) return std::nullopt;
    // Parts are read long after opening, outside the reader's guard: running out of memory
    // is an error of the part, as it is while opening.
    try {
        return m_zipArchive->dataByName(name, error);
    } catch (const std::bad_alloc&) {
        PLSetError(error, outOfMemory(name));
        return std::nullopt;
    }
}

bool IXPackageParts::setData(const QByteArray& data, const QString& name)
{
    PL_ASSERT_PARAM(!name.isEmpty(), "name");
    if (!m_zipArchive) m_zipArchive.emplace();
    return m_zipArchive->setDataForFileName(data, name);
}

bool IXPackageParts::removeDataNamed(const QString& name)
{
    PL_ASSERT_PARAM(!name.isEmpty(), "name");
    if (m_zipArchive) m_zipArchive->setDataForFileName(QByteArray(), name);
    return true;
}

std::optional<QVariantMap> IXPackageParts::plistNamed(const QString& name, PLError* error) const
{
    PL_ASSERT_PARAM(!name.isEmpty(), "name");
    PL_ASSERT_PARAM(error, "outError");
    PLError readError;
    const std::optional<QByteArray> data = dataNamed(name + PlistExtension, &readError);
    if (!data) {
        if (readError) PLSetError(error, readError);
        return std::nullopt;
    }
    // A part emptied by removeDataNamed is gone as far as readers are concerned.
    if (data->isEmpty()) return std::nullopt;
    PLError parseError;
    QVariant value;
    try {
        value = PLPropertyList::read(*data, &parseError);
    } catch (const std::bad_alloc&) {
        PLSetError(error, outOfMemory(name));
        return std::nullopt;
    }
    if (!value.isValid()) {
        PLSetError(error, parseError ? parseError : UTErrors::errorWithFailureReason(QStringLiteral("invalid content")));
        return std::nullopt;
    }
    // The reader refuses whatever the writer would, so a dictionary read here can be saved.
    if (value.typeId() != QMetaType::QVariantMap) {
        PLSetError(error, UTErrors::errorWithFailureReason(QStringLiteral("invalid content")));
        return std::nullopt;
    }
    return value.toMap();
}

bool IXPackageParts::setPlist(const QVariantMap& dictionary, const QString& name, PLError* error)
{
    PL_ASSERT_PARAM(!name.isEmpty(), "name");
    const QByteArray data = PLPropertyList::write(dictionary);
    if (data.isEmpty()) {
        PLSetError(error, UTErrors::errorWithFailureReason(QStringLiteral("failed to generate plist")));
        return false;
    }
    return setData(data, name + PlistExtension);
}

QVariantMap& IXPackageParts::optionsForName(const QString& name)
{
    auto found = m_options.find(name);
    if (found != m_options.end()) return found->second;
    QVariantMap options;
    if (m_zipArchive && !name.isEmpty()) {
        PLError ignored;
        if (std::optional<QVariantMap> part = plistNamed(name, &ignored)) options = *part;
    }
    return m_options.emplace(name, options).first->second;
}

void IXPackageParts::setOptions(const QVariantMap& options, const QString& name)
{
    m_options[name] = options;
}

QStringList IXPackageParts::cachedOptionNames() const
{
    QStringList names;
    for (const auto& entry : m_options) names << entry.first;
    return names;
}

bool IXPackageParts::saveOptions(PLError* error)
{
    for (const auto& [name, options] : m_options) {
        PLError failure;
        if (!setPlist(options, name, &failure)) {
            PLSetError(error, failure ? failure : UTErrors::errorWithFailureReason(QStringLiteral("failed to generate plist")));
            return false;
        }
    }
    return true;
}

QByteArray IXPackageParts::zipBytes(PLError* error)
{
    if (!m_zipArchive) m_zipArchive.emplace();
    return m_zipArchive->getZipData(error);
}

void IXPackageParts::setEntryDate(const QDateTime& date)
{
    if (!m_zipArchive) m_zipArchive.emplace();
    m_zipArchive->setEntryDate(date);
}
