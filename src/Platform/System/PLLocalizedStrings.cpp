#include "Platform/System/PLLocalizedStrings.h"

#include "Platform/System/PLResources.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

const QString PLLocalizedStrings::DefaultTable = QStringLiteral("Localizable");

namespace {
QHash<QString, QHash<QString, QString>>& tables()
{
    static QHash<QString, QHash<QString, QString>> cache;
    return cache;
}

QHash<QString, QString> readTable(const QString& table)
{
    QHash<QString, QString> entries;
    QFile file(PLResources::pathFor(table + QStringLiteral(".json"), QStringLiteral("Strings")));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly)) return entries;
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.value().isString()) entries.insert(it.key(), it.value().toString());
    }
    return entries;
}
}

QString PLLocalizedStrings::string(const QString& key, const QString& table)
{
    auto found = tables().find(table);
    if (found == tables().end()) found = tables().insert(table, readTable(table));
    return found->value(key, key);
}

void PLLocalizedStrings::clearCache()
{
    tables().clear();
}
