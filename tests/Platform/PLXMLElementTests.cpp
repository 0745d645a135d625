#include "Platform/Core/PLAssert.h"
#include "Platform/XML/PLXMLDocument.h"
#include "Platform/XML/PLXMLElement.h"

#include <gtest/gtest.h>

namespace {
QStringList names(const QList<PLXMLElement>& elements)
{
    QStringList result;
    for (const PLXMLElement& element : elements) result << element.attribute("id");
    return result;
}
}

TEST(PLXMLElement, NavigatesElementChildrenOnly)
{
    PLXMLDocument document = PLXMLDocument::fromData(
        "<root>text<a id=\"1\"/><!-- c --><b id=\"2\"><a id=\"inner\"/></b>tail<a id=\"3\"/><?pi x?></root>");
    ASSERT_TRUE(document);
    const PLXMLElement root = document.rootElement();
    EXPECT_EQ(names(root.childElements()), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(names(root.childElements("a")), (QStringList{"1", "3"}));
    EXPECT_EQ(root.firstChildElement("b").attribute("id"), QStringLiteral("2"));
    EXPECT_EQ(root.lastChildElement("a").attribute("id"), QStringLiteral("3"));
    EXPECT_EQ(root.lastChildElement().attribute("id"), QStringLiteral("3"));
    EXPECT_EQ(root.firstChildElement("a").nextSiblingElement("a").attribute("id"), QStringLiteral("3"));
    EXPECT_TRUE(root.firstChildElement("missing").isNull());
    EXPECT_EQ(root.firstChildElement("b").firstChildElement().parent(), root.firstChildElement("b"));
    EXPECT_TRUE(root.parent().isNull());
    EXPECT_EQ(root.text(), QStringLiteral("texttail"));
}

TEST(PLXMLElement, MissingAndEmptyAttributesDiffer)
{
    PLXMLDocument document = PLXMLDocument::fromData("<a empty=\"\" full=\"x\"/>");
    PLXMLElement a = document.rootElement();
    EXPECT_FALSE(a.hasAttribute("missing"));
    EXPECT_TRUE(a.attribute("missing").isNull());
    EXPECT_FALSE(a.attributeBytes("missing").has_value());
    EXPECT_TRUE(a.hasAttribute("empty"));
    EXPECT_FALSE(a.attribute("empty").isNull());
    EXPECT_TRUE(a.attribute("empty").isEmpty());
    EXPECT_EQ(a.attributeBytes("full"), QByteArray("x"));

    a.setAttribute("full", u"replaced");
    EXPECT_EQ(a.attribute("full"), QStringLiteral("replaced"));
    a.removeAttribute("full");
    EXPECT_FALSE(a.hasAttribute("full"));
    a.setAttribute("new", u"");
    EXPECT_TRUE(a.hasAttribute("new"));
    EXPECT_EQ(document.xmlData(PLXMLDocument::Format::Compact), QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a empty=\"\" new=\"\"/>\n"));
}

TEST(PLXMLElement, QualifiedNamesMatchAsWritten)
{
    PLXMLDocument document = PLXMLDocument::fromData(
        "<p:sld xmlns:p=\"urn:p\" xmlns:r=\"urn:r\"><p:sp r:id=\"rId1\" id=\"plain\"/></p:sld>");
    const PLXMLElement root = document.rootElement();
    EXPECT_EQ(root.name(), QStringLiteral("p:sld"));
    EXPECT_TRUE(root.hasName("p:sld"));
    EXPECT_FALSE(root.hasName("sld"));
    const PLXMLElement shape = root.firstChildElement("p:sp");
    ASSERT_FALSE(shape.isNull());
    EXPECT_TRUE(root.firstChildElement("sp").isNull());
    EXPECT_EQ(shape.attribute("r:id"), QStringLiteral("rId1"));
    EXPECT_TRUE(shape.attribute("id") == QStringLiteral("plain"));
}

TEST(PLXMLElement, ForbiddenCharactersAreNeverWritten)
{
    const QString hostile = QStringLiteral("a\x01" "b\x1f") + QChar(0xFFFE) + QChar(0xFFFF) + QChar(0xD800) + QStringLiteral("c")
        + QChar(0xDC00) + QStringLiteral("\t\n\r") + QString::fromUtf8("\U0001F600");
    const QString cleaned = QStringLiteral("abc\t\n\r") + QString::fromUtf8("\U0001F600");

    PLXMLDocument document("root");
    PLXMLElement root = document.rootElement();
    root.setAttribute("value", hostile);
    root.addChildElement("text").setText(hostile);
    EXPECT_EQ(root.attribute("value"), cleaned);

    PLError error;
    PLXMLDocument reread = PLXMLDocument::fromData(document.xmlData(), &error);
    ASSERT_TRUE(reread) << qPrintable(error.failureReason());
    EXPECT_EQ(reread.rootElement().attribute("value"), cleaned);
    EXPECT_EQ(reread.rootElement().firstChildElement("text").text(), cleaned);
    EXPECT_EQ(PLXMLElement::xmlSafeUtf8(hostile), cleaned.toUtf8());
}

TEST(PLXMLElement, SetTextReplacesChildrenAndRemoveFreesTheElement)
{
    PLXMLDocument document = PLXMLDocument::fromData("<a><b/><c/>x</a>");
    PLXMLElement a = document.rootElement();
    a.setText(u"only text");
    EXPECT_TRUE(a.firstChildElement().isNull());
    EXPECT_EQ(a.text(), QStringLiteral("only text"));
    a.setText(u"");
    EXPECT_EQ(a.text(), QString());

    PLXMLElement doomed = a.addChildElement("doomed");
    doomed.addChildElement("grandchild");
    a.addChildElement("kept");
    doomed.remove();
    EXPECT_TRUE(doomed.isNull());
    EXPECT_EQ(a.childElements().size(), 1);
    EXPECT_TRUE(a.firstChildElement().hasName("kept"));
}

TEST(PLXMLElement, NamesAreValidatedAndNullHandlesReadNothing)
{
    const struct {
        const char* name;
        bool valid;
    } table[] = {
        {"branch", true}, {"a:solidFill", true}, {"_x-1.y", true}, {"", false},
        {"1abc", false},  {"a b", false},        {"a<b", false},   {"a:b:c", false},
    };
    for (const auto& row : table) EXPECT_EQ(PLXMLElement::isValidName(row.name), row.valid) << row.name;
    EXPECT_FALSE(PLXMLElement::isValidName(QByteArrayView("a\0b", 3)));

    PLXMLDocument document("root");
    PLXMLElement root = document.rootElement();
    EXPECT_THROW(root.addChildElement("bad name"), PLAssertionFailure);
    EXPECT_THROW(root.setAttribute("bad name", u"x"), PLAssertionFailure);
    EXPECT_EQ(document.xmlData(PLXMLDocument::Format::Compact), QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root/>\n"));

    const PLXMLElement none;
    EXPECT_TRUE(none.name().isNull());
    EXPECT_TRUE(none.attribute("x").isNull());
    EXPECT_TRUE(none.firstChildElement().isNull());
    EXPECT_TRUE(none.childElements().isEmpty());
    EXPECT_TRUE(none.text().isNull());
    PLXMLElement writable;
    EXPECT_THROW(writable.setAttribute("x", u"y"), PLAssertionFailure);
}
