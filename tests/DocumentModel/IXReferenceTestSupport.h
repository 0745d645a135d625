#pragma once

// Helpers of the reference, picture, comment and connection tests: a fake catalog, an
// observer that records the reference notifications, a document with one branch, pictures
// as bytes and XML round trips.

#include "DocumentModel/IXCommentNodeObserver.h"
#include "DocumentModel/IXConnectionNodeObserver.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXMCStoredItem.h"
#include "DocumentModel/IXMCStoring.h"
#include "DocumentModel/IXPictureNodeObserver.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXReferenceNodeObserver.h"
#include "IXTestNodes.h"
#include "Platform/XML/PLXMLDocument.h"
#include "Platform/RichTextTestSupport.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

class FakeCatalogItem : public IXMCStoredItem {
public:
    explicit FakeCatalogItem(QString path) : m_path(std::move(path)) {}
    QString filePath() const override { return m_path; }

private:
    QString m_path;
};

// Items by id; counts the look-ups.
class FakeCatalog : public IXMCStoring {
public:
    QHash<QString, std::shared_ptr<IXMCStoredItem>> items;
    int lookUps = 0;

    FakeCatalog() { install(this); }
    ~FakeCatalog() override { install(nullptr); }

    std::shared_ptr<IXMCStoredItem> itemForId(const QString& itemId) override
    {
        ++lookUps;
        return items.value(itemId);
    }
    void addItem(const QString& itemId, const QString& path) { items.insert(itemId, std::make_shared<FakeCatalogItem>(path)); }
};

// Records "<kind> <property>" for every reference, picture, comment and connection notice.
class ReferenceRecorder : public IXReferenceNodeObserver,
                          public IXPictureNodeObserver,
                          public IXCommentNodeObserver,
                          public IXConnectionNodeObserver {
public:
    QStringList events;

    bool respondsToSelector(std::string_view selector) const override
    {
        return isAnyOf(selector, {IXReferenceNodeDidChangeProperty, IXPictureNodeDidChangeProperty,
                                  IXCommentNodeDidChangeProperty,
                                  IXConnectionNodeDidChangeProperty});
    }
    void notifiedOfReferenceNode(IXReferenceNode*, const QString& property) override { events << "reference " + property; }
    void notifiedOfPictureNode(IXPictureNode*, const QString& property) override { events << "picture " + property; }
    void notifiedOfCommentNode(IXCommentNode*, const QString& property) override { events << "comment " + property; }
    void notifiedOfConnectionNode(IXConnectionNode*, const QString& property) override
    {
        events << "connection " + property;
    }

    QStringList take()
    {
        QStringList taken = events;
        events.clear();
        return taken;
    }
};

// A document with one root branch to hang references on.
struct DocumentWithBranch {
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();
    std::shared_ptr<TestBranch> branch = makeBranch(QStringLiteral("branch"));

    DocumentWithBranch() { document->addRootBranch(branch); }
    ~DocumentWithBranch()
    {
        // Undo records of a test may keep nodes; the document lets go of its tree first.
        document->setUndoManager(nullptr);
    }

    template <typename Node>
    std::shared_ptr<Node> add(std::shared_ptr<Node> node)
    {
        branch->addChild(node);
        return node;
    }
};

// The bytes of a PNG picture of the size.
inline QByteArray pngBytes(int width, int height)
{
    return RichTextTest::pngBytes(width, height, Qt::red);
}

// Writes the node into a fresh XML document (under a "document" root) and parses the text
// again, as a save and a reload would.
struct XMLRoundTrip {
    PLXMLDocument written{"document"};
    PLXMLDocument read;
    QByteArray text;

    PLXMLElement write(IXNode& node)
    {
        PLXMLElement element = node.XMLElement(written.rootElement());
        text = written.xmlData();
        PLError error;
        read = PLXMLDocument::fromData(text, &error);
        EXPECT_FALSE(error) << error.failureReason().toStdString();
        return element;
    }
    // The element as it was parsed back.
    PLXMLElement readElement() const { return read.rootElement().firstChildElement(); }
};

// The attribute names of the first element of that name, in document order.
inline QStringList attributeNames(const PLXMLDocument& document, const QString& name)
{
    // Elements do not list their attributes; the compact text is taken apart instead.
    const QString text = QString::fromUtf8(document.xmlData(PLXMLDocument::Format::Compact));
    qsizetype at = text.indexOf(QLatin1Char('<') + name + QLatin1Char(' '));
    if (at < 0) return {};
    at += name.size() + 1;
    QStringList names;
    while (at < text.size()) {
        while (at < text.size() && text[at] == QLatin1Char(' ')) ++at;
        const qsizetype equals = text.indexOf(QLatin1Char('='), at);
        if (equals < 0 || text[at] == QLatin1Char('>') || text[at] == QLatin1Char('/')) break;
        names << text.mid(at, equals - at);
        const QChar quote = text[equals + 1];
        at = text.indexOf(quote, equals + 2) + 1;
        if (at <= 0) break;
    }
    return names;
}
