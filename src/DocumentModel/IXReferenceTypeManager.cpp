#include "DocumentModel/IXReferenceTypeManager.h"

#include "DocumentModel/IXApplicationServices.h"
#include "DocumentModel/IXReferenceNode.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/XML/PLPropertyList.h"
#include "Platform/System/PLResources.h"

#include <QFile>
#include <QFileInfo>

namespace {

struct Group {
    QLatin1StringView name;
    int subtype;
};

const Group Groups[] = {
    {QLatin1StringView("IMAGE"), IXReferenceNode::SubtypePicture},
    {QLatin1StringView("VIDEO"), IXReferenceNode::SubtypeVideo},
    {QLatin1StringView("SOUND"), IXReferenceNode::SubtypeSound},
    {QLatin1StringView("FLASH"), IXReferenceNode::SubtypeFlash},
    {QLatin1StringView("TEXT"), IXReferenceNode::SubtypeText},
};

int subtypeOfGroup(const QString& name)
{
    for (const Group& group : Groups) {
        if (name == group.name) return group.subtype;
    }
    return IXReferenceNode::SubtypeFile;
}

QVariantMap readGroups()
{
    QFile file(PLResources::pathFor(QStringLiteral("RefFileTypes.plist")));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QVariant groups = PLPropertyList::read(file.readAll());
    return groups.toMap();
}

}  // namespace

const QVariantMap& IXReferenceTypeManager::fileTypeGroups()
{
    static const QVariantMap groups = readGroups();
    return groups;
}

int IXReferenceTypeManager::referenceTypeForFileType(const QString& extension)
{
    const QVariantMap& groups = fileTypeGroups();
    for (auto group = groups.begin(); group != groups.end(); ++group) {
        for (const QVariant& listed : group.value().toList()) {
            if (listed.toString().compare(extension, Qt::CaseInsensitive) == 0) return subtypeOfGroup(group.key());
        }
    }
    return IXReferenceNode::SubtypeFile;
}

std::optional<QStringList> IXReferenceTypeManager::fileTypesForReferenceType(int subtype)
{
    for (const Group& group : Groups) {
        if (group.subtype == subtype) return fileTypeGroups().value(group.name).toStringList();
    }
    return std::nullopt;
}

QString IXReferenceTypeManager::choosePathForType(int subtype)
{
    IXApplicationServices* services = IXApplicationServices::shared();
    if (!services) return QString();
    const QString key = subtype == IXReferenceNode::SubtypeFile ? QStringLiteral("IXLastPictureFolder")
                                                                : QStringLiteral("IXLastResourceFolder");
    IXApplicationServices::OpenPanelOptions options;
    options.title = PLLocalizedStrings::string(QStringLiteral("Select File"));
    options.allowedFileTypes = fileTypesForReferenceType(subtype).value_or(QStringList());
    const QString lastFolder = services->userDefault(key).toString();
    if (!lastFolder.isEmpty() && QFileInfo(lastFolder).isDir()) options.directory = lastFolder;
    const std::optional<IXApplicationServices::OpenPanelResult> result = services->runOpenPanel(options);
    if (!result || result->paths.isEmpty() || result->paths.first().isEmpty()) return QString();
    services->setUserDefault(key, result->directory);
    return result->paths.first();
}
