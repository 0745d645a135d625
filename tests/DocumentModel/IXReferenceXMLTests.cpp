#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXNodeElementRegistry.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "IXReferenceTestSupport.h"

#include <gtest/gtest.h>

namespace {

template <typename Node>
std::shared_ptr<Node> readBack(const XMLRoundTrip& trip, IXNode* parent = nullptr)
{
    PLError error;
    auto node = IXReferenceNode::readNode<Node>(parent, trip.readElement(), &error);
    EXPECT_FALSE(error);
    return node;
}

template <typename Node>
std::shared_ptr<Node> readText(const QByteArray& xml, IXNode* parent = nullptr)
{
    PLError error;
    const PLXMLDocument document = PLXMLDocument::fromData(xml, &error);
    EXPECT_FALSE(error);
    return IXReferenceNode::readNode<Node>(parent, document.rootElement(), &error);
}

}  // namespace

TEST(IXReferenceXML, AttributesByTypeAndSubtype)
{
    const struct {
        int type;
        int subtype;
        const char* title;
        QStringList attributes;
    } cases[] = {
        {0, IXReferenceNode::SubtypeWeb, "Site", {"uid", "title", "export", "openLinkInNewWindow", "showAsButton", "type", "target"}},
        {0, IXReferenceNode::SubtypeFolder, "Docs", {"uid", "title", "export", "showAsButton", "type", "target"}},
        {0, IXReferenceNode::SubtypeText, "Notes", {"uid", "title", "export", "type", "target"}},
        {0, IXReferenceNode::SubtypeNone, "", {"uid", "target"}},
        {IXReferenceNode::TypeComment, IXReferenceNode::SubtypeWeb, "Note", {"uid", "title", "export", "target"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attributes.join(' ').toStdString());
        auto reference = std::make_shared<IXReferenceNode>();
        reference->setType(c.type);
        reference->setSubtype(c.subtype);
        reference->setTitle(QString::fromUtf8(c.title));
        reference->setTargetRef(QStringLiteral("https://example.org/"));
        reference->uniqueId();
        XMLRoundTrip trip;
        trip.write(*reference);
        EXPECT_EQ(attributeNames(trip.read, QStringLiteral("reference")), c.attributes);
    }
}

TEST(IXReferenceXML, ReferenceRoundTrip)
{
    auto reference = std::make_shared<IXReferenceNode>();
    reference->setTitle(QStringLiteral("Report\nfinal"));
    reference->setSubtype(IXReferenceNode::SubtypeWeb);
    reference->setTargetRef(QStringLiteral("https://example.org/report?id=3&x=<y>"));
    reference->setIncludeInExport(false);
    reference->setHtmlOpenInNewWindow(true);
    reference->setHtmlShowAsButton(true);
    auto link = reference->addRelatedLink();
    link->setTargetRef(QStringLiteral("file:/maps/other.ixd"));
    link->setTitle(QStringLiteral("Other"));
    const QString id = reference->uniqueId();

    XMLRoundTrip trip;
    trip.write(*reference);
    auto read = readBack<IXReferenceNode>(trip);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->existingUniqueId(), id);
    EXPECT_EQ(read->title(), QStringLiteral("Report final"));  // attributes hold one line
    EXPECT_EQ(read->type(), IXReferenceNode::TypeLink);
    EXPECT_EQ(read->subtype(), IXReferenceNode::SubtypeWeb);
    EXPECT_EQ(read->targetRef(), reference->targetRef());
    EXPECT_EQ(read->targetLocation(), IXReferenceNode::LocationWeb);
    EXPECT_FALSE(read->includeInExport());
    EXPECT_TRUE(read->htmlOpenInNewWindow());
    EXPECT_TRUE(read->htmlShowAsButton());
    ASSERT_TRUE(read->relatedLink());
    EXPECT_EQ(read->relatedLink()->parentNode(), read.get());
    EXPECT_EQ(read->relatedLink()->title(), QStringLiteral("Other"));
    EXPECT_EQ(read->relatedLink()->targetLocation(), IXReferenceNode::LocationFile);
    EXPECT_EQ(trip.readElement().firstChildElement().name(), QStringLiteral("link"));

    // Untitled: neither title nor export is written, and it reads back as exported.
    reference->setTitle(QString());
    XMLRoundTrip untitled;
    untitled.write(*reference);
    EXPECT_TRUE(readBack<IXReferenceNode>(untitled)->includeInExport());
}

TEST(IXReferenceXML, ReadingRules)
{
    // A title child wins over the attribute; unknown type words leave the subtype alone.
    auto reference = readText<IXReferenceNode>(
        "<reference uid='U1' title='attribute' type='hologram' export='no' showAsButton='yes'>"
        "<title>first</title><title>child</title></reference>");
    ASSERT_TRUE(reference);
    EXPECT_EQ(reference->existingUniqueId(), QStringLiteral("U1"));
    EXPECT_EQ(reference->title(), QStringLiteral("child"));
    EXPECT_EQ(reference->subtype(), IXReferenceNode::SubtypeNone);
    EXPECT_FALSE(reference->includeInExport());
    EXPECT_TRUE(reference->htmlShowAsButton());

    // The type is the class's: a picture stays a picture whatever the element says.
    auto picture = readText<IXPictureNode>("<picture type='sound' target='local:P'/>");
    EXPECT_EQ(picture->type(), IXReferenceNode::TypePicture);
    EXPECT_EQ(picture->subtype(), IXReferenceNode::SubtypeSound);
}

TEST(IXReferenceXML, EndlessLinkChainsAreCut)
{
    QByteArray xml;
    const int depth = 200;  // within the XML parser's own nesting limit
    for (int i = 0; i < depth; ++i) xml += i == 0 ? "<reference target='http://a/'>" : "<link target='http://a/'>";
    for (int i = depth - 1; i >= 0; --i) xml += i == 0 ? "</reference>" : "</link>";
    PLError error;
    const PLXMLDocument document = PLXMLDocument::fromData(xml, &error);
    ASSERT_FALSE(document.isNull());
    auto reference = IXReferenceNode::readNode<IXReferenceNode>(nullptr, document.rootElement(), &error);
    int links = 0;
    for (auto link = reference->relatedLink(); link; link = link->relatedLink()) ++links;
    EXPECT_EQ(links, IXReferenceNode::MaxLinkDepth);
}

TEST(IXReferenceXML, PictureWithConnection)
{
    DocumentWithBranch fixture;
    auto picture = std::make_shared<IXPictureNode>();
    picture->setTargetRef(QStringLiteral("local:PIC"));
    fixture.document->addPicture(picture);
    picture->setFloatingTargetNode(fixture.branch);

    XMLRoundTrip trip;
    trip.write(*picture);
    EXPECT_EQ(trip.readElement().name(), QStringLiteral("picture"));
    EXPECT_FALSE(trip.readElement().hasAttribute("type"));

    auto read = readBack<IXPictureNode>(trip, fixture.document.get());
    ASSERT_TRUE(read && read->connection());
    EXPECT_EQ(read->connection()->parentNode(), read.get());
    EXPECT_EQ(read->connection()->type(), IXReferenceNode::TypeConnection);
    EXPECT_EQ(read->connection()->targetRef(), "branch:" + fixture.branch->uniqueId());
    EXPECT_EQ(read->floatingTargetNode(), fixture.branch);
    read->setParentNode(nullptr);
}

TEST(IXReferenceXML, CommentsAndNotes)
{
    auto comment = std::make_shared<IXCommentNode>();
    comment->setPlainText(true);
    comment->setTitle(QStringLiteral("Two\nlines"));
    comment->addConnection()->setTargetRef(QStringLiteral("branch:B"));
    XMLRoundTrip trip;
    trip.write(*comment);
    const PLXMLElement element = trip.readElement();
    EXPECT_EQ(element.name(), QStringLiteral("comment"));
    EXPECT_FALSE(element.hasAttribute("title"));
    EXPECT_FALSE(element.hasAttribute("type"));
    EXPECT_EQ(element.firstChildElement("title").text(), QStringLiteral("Two\nlines"));
    auto read = readBack<IXCommentNode>(trip);
    EXPECT_EQ(read->subtype(), IXReferenceNode::SubtypeFloatingComment);
    EXPECT_EQ(read->title(), QStringLiteral("Two\nlines"));
    ASSERT_TRUE(read->connection());
    EXPECT_EQ(read->connection()->targetRef(), QStringLiteral("branch:B"));

    auto note = std::make_shared<IXCommentNode>();
    note->setTitle(QStringLiteral("Minutes"));
    note->setTargetRef(QStringLiteral("local:N1"));
    XMLRoundTrip noteTrip;
    noteTrip.write(*note);
    EXPECT_EQ(noteTrip.readElement().name(), QStringLiteral("note"));
    EXPECT_EQ(noteTrip.readElement().attribute("title"), QStringLiteral("Minutes"));
    auto readNote = readBack<IXCommentNode>(noteTrip);
    EXPECT_EQ(readNote->subtype(), IXReferenceNode::SubtypeTextNote);
    EXPECT_EQ(readNote->targetRef(), QStringLiteral("local:N1"));
}

TEST(IXReferenceXML, ElementTextIsTheTitleWhenThereIsNoOtherAndTheNameKeepsTheKind)
{
    const struct {
        const char* xml;
        const char* title;
        int subtype;
    } cases[] = {
        {"<comment uid='C'>Call the printer</comment>", "Call the printer", IXReferenceNode::SubtypeFloatingComment},
        // A note stays a note: as a comment it would be written back as the branch's comment.
        {"<note uid='N'>Old note text</note>", "Old note text", IXReferenceNode::SubtypeTextNote},
        {"<note uid='N' target='local:N'>ignored text</note>", "(untitled)", IXReferenceNode::SubtypeTextNote},
        {"<comment uid='C'><title>Title</title>text</comment>", "Title", IXReferenceNode::SubtypeFloatingComment},
        {"<comment uid='C'>\n  <connection target='branch:B'/>\n</comment>", "(untitled)", IXReferenceNode::SubtypeFloatingComment},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml);
        auto node = readText<IXCommentNode>(c.xml);
        ASSERT_TRUE(node);
        EXPECT_EQ(node->subtype(), c.subtype);
        EXPECT_EQ(node->title(), QString::fromUtf8(c.title));
    }

    // Written back, the note keeps its element and so its place among the branch's notes.
    auto note = readText<IXCommentNode>("<note uid='N'>Old note text</note>");
    XMLRoundTrip trip;
    trip.write(*note);
    EXPECT_EQ(trip.readElement().name(), QStringLiteral("note"));
    EXPECT_EQ(readBack<IXCommentNode>(trip)->title(), QStringLiteral("Old note text"));
}

TEST(IXReferenceXML, ConnectionRoundTrip)
{
    auto connection = std::make_shared<IXConnectionNode>();
    connection->setTitle(QStringLiteral("depends on"));
    connection->setTargetRef(QStringLiteral("branch:TARGET"));
    connection->addRelatedLink()->setFilePath(QStringLiteral("/maps/other.ixd"));
    XMLRoundTrip trip;
    trip.write(*connection);
    EXPECT_EQ(trip.readElement().name(), QStringLiteral("connection"));
    EXPECT_FALSE(trip.readElement().hasAttribute("type"));
    auto read = readBack<IXConnectionNode>(trip);
    EXPECT_EQ(read->type(), IXReferenceNode::TypeConnection);
    EXPECT_EQ(read->title(), QStringLiteral("depends on"));
    EXPECT_EQ(read->targetLocation(), IXReferenceNode::LocationBranch);
    EXPECT_EQ(read->relatedLink()->targetRef(), QStringLiteral("file:/maps/other.ixd"));
}

TEST(IXReferenceXML, NotesAndConnectionsAreWrittenWithAnIdMadeForThem)
{
    // Read from a file that gave them none, they get one at the first save and keep it.
    const struct {
        const char* xml;
        const char* child;
    } cases[] = {
        {"<branch><note target='local:N1'/></branch>", "note"},
        {"<branch><connection target='branch:B'/></branch>", "connection"},
        {"<picture target='local:P'><connection target='branch:B'/></picture>", "connection"},
        {"<comment><title>c</title><connection target='branch:B'/></comment>", "connection"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml);
        PLError error;
        const PLXMLDocument source = PLXMLDocument::fromData(c.xml, &error);
        const std::shared_ptr<IXNode> node = IXNodeElementRegistry::makeNode(source.rootElement().name().toUtf8());
        ASSERT_TRUE(node && node->initWithParent(nullptr, source.rootElement(), &error));
        XMLRoundTrip first;
        XMLRoundTrip second;
        first.write(*node);
        second.write(*node);
        const QString id = first.readElement().firstChildElement(c.child).attribute("uid");
        EXPECT_EQ(id.size(), 32);
        EXPECT_EQ(second.readElement().firstChildElement(c.child).attribute("uid"), id);
    }
}
