#include "DocumentWindow/IXDocumentStyles.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "DocumentWindow/IXShellErrors.h"
#include "Platform/Core/PLError.h"
#include "Platform/Core/PLLog.h"
#include "Platform/System/PLResources.h"
#include "Platform/XML/PLPropertyList.h"
#include "Utilities/UTZipArchive.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

const QString StylesFolder = QStringLiteral("Styles");

QList<IXDocumentStyles::Entry> readStylesList()
{
    QList<IXDocumentStyles::Entry> list;
    QFile file(PLResources::pathFor(QStringLiteral("docstyles.plist")));
    if (!file.open(QIODevice::ReadOnly)) return list;
    PLError error;
    const QVariant root = PLPropertyList::read(file.readAll(), &error);
    if (error) PLLog::write(QStringLiteral("docstyles.plist: %1").arg(error.localizedDescription()));
    for (const QVariant& item : root.toList()) {
        const QVariantMap entry = item.toMap();
        const QString name = entry.value(QStringLiteral("File")).toString();
        if (name.isEmpty()) continue;
        list.append({name, entry.value(QStringLiteral("Name"), QFileInfo(name).completeBaseName()).toString(),
                     entry.value(QStringLiteral("Preview")).toString()});
    }
    return list;
}

std::shared_ptr<IXStyleSheetNode> sheetOwnedBy(IXDocumentNode& document, const QString& part)
{
    if (part == QStringLiteral("document")) return document.styleSheet();
    const std::shared_ptr<IXLayoutNode> layout = document.layoutForName(part);
    return layout ? layout->styleSheet() : nullptr;
}

PLError refusal(const QString& part, const PLError& underlying)
{
    return IXShellErrors::error(QStringLiteral("The style part “%1” is damaged; the map was left unchanged.").arg(part),
                                underlying);
}

}  // namespace

const QList<IXDocumentStyles::Entry>& IXDocumentStyles::stylesList()
{
    static const QList<Entry> list = readStylesList();
    return list;
}

QString IXDocumentStyles::pathForEntry(const Entry& entry)
{
    // A name is a file of the folder, never a way out of it.
    if (entry.file.contains(QLatin1Char('/')) || entry.file.startsWith(QLatin1Char('.'))) return {};
    const QString path = PLResources::pathFor(entry.file, StylesFolder);
    return QFileInfo::exists(path) ? path : QString();
}

const QList<QString>& IXDocumentStyles::partNames()
{
    static const QList<QString> names {QStringLiteral("document"), IXLayoutMindMapName, IXLayoutTopDownName,
                                       IXLayoutLeftRightName,      IXLayoutOutlineName, IXLayoutTimelineName};
    return names;
}

bool IXDocumentStyles::applyArchive(IXDocumentNode& document, const QByteArray& archive, PLError* error)
{
    PLError zipError;
    const std::optional<UTZipArchive> zip = UTZipArchive::fromData(archive, &zipError);
    if (!zip) {
        PLSetError(error, refusal(QStringLiteral("archive"), zipError));
        return false;
    }
    // Everything is read and checked first: a bad part stops the whole archive.
    std::vector<std::pair<QString, std::shared_ptr<IXStyleSheetNode>>> sheets;
    for (const QString& part : partNames()) {
        const QString fileName = part + QStringLiteral(".styles.xml");
        const bool present = std::any_of(zip->items().begin(), zip->items().end(), [&](const auto& item) {
            return QFileInfo(item.name()).fileName().compare(fileName, Qt::CaseInsensitive) == 0;
        });
        if (!present) continue;
        PLError partError;
        const std::optional<QByteArray> bytes = zip->dataByName(fileName, &partError);
        std::shared_ptr<IXStyleSheetNode> sheet
            = bytes ? IXStyleSheetNode::styleSheetFromData(*bytes, &partError) : nullptr;
        if (!sheet || partError || sheet->masters().size() != IXStyleType_Last) {
            PLSetError(error, refusal(fileName, partError));
            return false;
        }
        sheets.emplace_back(part, std::move(sheet));
    }
    if (sheets.empty()) {
        PLSetError(error, refusal(QStringLiteral("archive"), PLError()));
        return false;
    }
    for (const auto& [part, sheet] : sheets)
        if (const std::shared_ptr<IXStyleSheetNode> target = sheetOwnedBy(document, part))
            target->applyMasterStyle(*sheet);
    return true;
}
