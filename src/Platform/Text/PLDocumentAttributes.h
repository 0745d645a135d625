#pragma once

#include <QColor>
#include <QDateTime>
#include <QMap>
#include <QSizeF>
#include <QString>

#include <optional>

// The settings of a rich-text document that readers report beside the text and writers put
// back: page and view settings and the information fields. Lengths are in points. Absent
// values were not in the document.
struct PLDocumentAttributes {
    enum class ViewMode { Normal = 0, PageLayout = 1 };

    std::optional<QSizeF> paperSize;
    std::optional<double> leftMargin;
    std::optional<double> rightMargin;
    std::optional<double> topMargin;
    std::optional<double> bottomMargin;
    std::optional<bool> landscape;
    std::optional<QSizeF> viewSize;
    std::optional<int> viewZoom;           // percent
    std::optional<ViewMode> viewMode;
    std::optional<bool> readOnly;
    std::optional<double> defaultTabInterval;
    std::optional<double> hyphenationFactor; // 0..1
    std::optional<QColor> backgroundColor;
    std::optional<QDateTime> creationTime;
    std::optional<QDateTime> modificationTime;
    // Information fields by their names: "title", "subject", "author", "manager",
    // "company", "operator", "category", "keywords", "comment", "doccomm", "hlinkbase".
    QMap<QString, QString> info;

    bool operator==(const PLDocumentAttributes&) const = default;
    bool isEmpty() const { return *this == PLDocumentAttributes(); }
};
