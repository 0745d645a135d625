#pragma once

// Packages made from parts, for the package tests and the fuzzer's seed tool.

#include "Utilities/UTZipArchive.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

using PackageParts = QList<QPair<QString, QByteArray>>;

inline QByteArray packageOf(const PackageParts& parts)
{
    UTZipArchive archive;
    for (const auto& part : parts) archive.setDataForFileName(part.second, part.first);
    return archive.getZipData();
}

// A "contents.xml" that names its schema, with the given attributes and children.
inline QByteArray contentsXml(const QByteArray& children, const QByteArray& attributes = QByteArray())
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>)"
           "\n<document xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xsi:noNamespaceSchemaLocation=\"contents.xsd\" version=\"1\" revision=\"1\""
        + attributes + ">" + children + "</document>\n";
}

// A package with the tree that the written-form test expects: two time scales, a picture
// pointing at a branch, branches with sub-branches and a comment.
inline QByteArray samplePackage()
{
    const QByteArray contents
        = contentsXml(R"(<timescale type="daily"/><timescale type="weekly"/>)"
                      R"(<picture uid="P1" target="branch:B2"/>)"
                      R"(<branch uid="B1" title="ignored"><title>Main</title><branch uid="B2" title="Sub"/></branch>)"
                      R"(<comment uid="C1"><title>Note</title></comment>)"
                      R"(<branch uid="B3"><title>Second</title></branch>)",
                      R"( uid="DOC1" author="Ann Example" modified="2021-03-04")");
    return packageOf({{QStringLiteral("contents.xml"), contents}});
}
