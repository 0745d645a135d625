#pragma once

#include <QString>

// The application's string tables: resources/Strings/<table>.json, one JSON object from key
// to text per table. A key that a table lacks stands for itself, so user-visible English
// keys ("Branch Title") need no entry. Tables are read once and kept.
class PLLocalizedStrings {
public:
    static const QString DefaultTable;

    // The text of the key in the table, or the key itself when there is none.
    static QString string(const QString& key, const QString& table = DefaultTable);
    // Forgets the tables read so far (after the resources folder changed).
    static void clearCache();
};
