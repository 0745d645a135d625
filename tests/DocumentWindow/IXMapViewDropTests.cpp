// Drags onto the map view, offscreen, with synthesized drag and drop events: files, pictures,
// rich text, catalog items, links and strings, on a branch and on the empty canvas, with and
// without link mode; the highlight while hovering, the picture sizes and placement, and one
// undo step per drop.
#include "DocumentModel/IXMCStoredItem.h"
#include "DocumentModel/IXMCStoring.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentViews/IXMapViewDropTarget.h"
#include "DocumentViews/IXPasteboard.h"
#include "IXClipboardTestSupport.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/Text/PLAttributedString.h"
#include "Platform/Text/PLRTFWriter.h"
#include "Platform/Text/PLTextAttachment.h"

#include <QBuffer>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include <cmath>
#include <map>

namespace {

QByteArray pngBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::green);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class FakeCatalogItem : public IXMCStoredItem {
public:
    FakeCatalogItem(QString name, QString path, QString type, bool external)
        : m_name(std::move(name))
        , m_path(std::move(path))
        , m_type(std::move(type))
        , m_external(external)
    {
    }
    QString filePath() const override { return m_path; }
    QString name() const override { return m_name; }
    bool isImage() const override { return m_type == QLatin1String("IMAGE"); }
    bool isExternalItem() const override { return m_external; }
    QString mediaFileType() const override { return m_type; }

private:
    QString m_name, m_path, m_type;
    bool m_external;
};

class FakeCatalog : public IXMCStoring {
public:
    FakeCatalog() { install(this); }
    ~FakeCatalog() override { install(nullptr); }
    std::shared_ptr<IXMCStoredItem> itemForId(const QString& itemId) override
    {
        const auto found = items.find(itemId);
        return found == items.end() ? nullptr : found->second;
    }
    void addToRecent(const std::shared_ptr<IXMCStoredItem>& item) override { recent.append(item->name()); }
    std::map<QString, std::shared_ptr<IXMCStoredItem>> items;
    QStringList recent;
};

struct DragResult {
    Qt::DropAction hover = Qt::IgnoreAction;
    QString highlighted;
    bool dropped = false;
};

class MapViewDropTest : public ClipboardWindowTest {
protected:
    static constexpr Qt::KeyboardModifiers LinkKeys = Qt::AltModifier | Qt::ControlModifier;

    // A point of the visible canvas where no cell lies, in the view's Qt coordinates.
    QPointF emptyCanvas() const { return mapView()->visibleRegion().boundingRect().topLeft() + QPointF(5, 5); }
    QPointF at(const QString& where) const
    {
        return where == QLatin1String("canvas") ? emptyCanvas() : centreOf(where);
    }

    // Hovers over the point, then drops there; the data is taken over.
    DragResult drag(QMimeData* data, QPointF point, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        std::unique_ptr<QMimeData> owned(data);
        DragResult result;
        const Qt::DropActions offered = Qt::CopyAction | Qt::LinkAction;
        QDragEnterEvent enter(point.toPoint(), offered, data, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(mapView(), &enter);
        QDragMoveEvent move(point.toPoint(), offered, data, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(mapView(), &move);
        result.hover = move.isAccepted() ? move.dropAction() : Qt::IgnoreAction;
        QStringList lit;
        for (const auto& each : controller->layoutContext()->highlights().nodes()) lit << nameOf(*each);
        result.highlighted = lit.join(QLatin1Char(','));
        QDropEvent drop(point, offered, data, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(mapView(), &drop);
        result.dropped = drop.isAccepted();
        EXPECT_TRUE(controller->layoutContext()->highlights().isEmpty()) << "the drop clears the highlight";
        spin();
        return result;
    }

    static QMimeData* files(const QStringList& paths)
    {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
        data->setUrls(urls);
        return data;
    }

    QString picturePath(const QString& name, int width = 40, int height = 30) const
    {
        const QString path = filePath(name);
        QFile file(path);
        if (!file.exists() && file.open(QIODevice::WriteOnly)) file.write(pngBytes(width, height));
        return path;
    }

    PLPoint canvasPoint(QPointF inQt) const
    {
        return controller->layoutContext()->coordinates().convertPointToCell(mapView()->pointFromQt(inQt), nullptr);
    }
    PLPoint offsetOf(const std::shared_ptr<IXNode>& each) const
    {
        return controller->layoutContext()->styleForReading(each.get())->floatingTargetOffset();
    }
    PLSize sizeOf(const std::shared_ptr<IXNode>& picture) const
    {
        return controller->layoutContext()->styleForReading(picture.get())->pictureSize();
    }
};

const QString Initial = QStringLiteral("Main{flag,star}(Sub{smile}(One Two Three)) Second+pic+Remark | pic>Sub Note");

TEST_F(MapViewDropTest, PictureFilesFloatOnTheCanvasAndBecomeAttachmentsOrThePictureOfABranch)
{
    const QStringList three {picturePath(QStringLiteral("a.png")), picturePath(QStringLiteral("b.png")),
                             picturePath(QStringLiteral("c.png"))};
    const QString text = filePath(QStringLiteral("notes.txt"));
    QFile(text).open(QIODevice::WriteOnly);
    const struct {
        QStringList paths;
        const char* where;
        Qt::KeyboardModifiers modifiers;
        Qt::DropAction hover;
        bool dropped;
        QString after;
        const char* selectedAfter;
    } cases[] = {
        {three,
         "canvas",
         {},
         Qt::CopyAction,
         true,
         "Main{flag,star}(Sub{smile}(One Two Three)) Second+pic+Remark | pic>Sub pic pic pic Note",
         "pic"},
        {three,
         "Two",
         {},
         Qt::LinkAction,
         true,
         "Main{flag,star}(Sub{smile}(One Two@a@b@c Three)) Second+pic+Remark | pic>Sub Note",
         "doc"},
        {{three[0]},
         "Two",
         {},
         Qt::CopyAction,
         true,
         "Main{flag,star}(Sub{smile}(One Two+pic Three)) Second+pic+Remark | pic>Sub Note",
         "Two"},
        {{three[0]}, "canvas", LinkKeys, Qt::IgnoreAction, false, Initial, "doc"},
        {{three[0]},
         "Two",
         LinkKeys,
         Qt::LinkAction,
         true,
         "Main{flag,star}(Sub{smile}(One Two@a Three)) Second+pic+Remark | pic>Sub Note",
         "doc"},
        // A file that is no picture links, and only a branch takes links.
        {{three[0], text}, "canvas", {}, Qt::IgnoreAction, false, Initial, "doc"},
        {{text},
         "Two",
         {},
         Qt::LinkAction,
         true,
         "Main{flag,star}(Sub{smile}(One Two@notes Three)) Second+pic+Remark | pic>Sub Note",
         "doc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after.toStdString() + " at " + c.where);
        select(QStringLiteral("doc"));
        const QPointF point = at(QString::fromLatin1(c.where));
        // Before the drop: new pictures grow the canvas, which moves it in the view.
        const PLPoint drop = canvasPoint(point);
        const DragResult result = drag(files(c.paths), point, c.modifiers);
        EXPECT_EQ(result.hover, c.hover);
        EXPECT_EQ(result.highlighted,
                  c.hover != Qt::IgnoreAction && QLatin1String(c.where) != QLatin1String("canvas")
                      ? QString::fromLatin1(c.where)
                      : QString());
        EXPECT_EQ(result.dropped, c.dropped);
        EXPECT_EQ(outline(), c.after);
        EXPECT_EQ(selected(), QString::fromLatin1(c.selectedAfter));
        if (QLatin1String(c.where) == QLatin1String("canvas") && c.dropped) {
            // Each picture centred on the drop point; the last one selected.
            for (qsizetype i = 1; i <= 3; ++i) {
                const auto picture = node->pictures().at(i);
                const PLSize size = sizeOf(picture);
                EXPECT_EQ(size, PLSize(40, 30));
                EXPECT_EQ(offsetOf(picture),
                          PLPoint(drop.x - std::floor(size.width / 2), drop.y - std::floor(size.height / 2)));
            }
            EXPECT_EQ(controller->selection().firstNode(), node->pictures().last());
        }
        if (c.dropped) {
            document->undoManager()->undo();
            spin();
        }
        ASSERT_EQ(outline(), Initial) << "a drop is one undo step";
    }
}

TEST_F(MapViewDropTest, PicturesTakeTheirSizeFittedBetween16And100)
{
    const struct {
        int width, height;
        PLSize fittedTo;  // empty: the natural size
    } cases[] = {{400, 200, PLSize(100, 100)}, {10, 50, PLSize(16, 16)}, {50, 50, PLSize()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const QString path = picturePath(QStringLiteral("%1x%2.png").arg(c.width).arg(c.height), c.width, c.height);
        ASSERT_TRUE(drag(files({path}), emptyCanvas()).dropped);
        const auto picture = std::static_pointer_cast<IXPictureNode>(node->pictures().last());
        EXPECT_EQ(sizeOf(picture),
                  c.fittedTo == PLSize() ? PLSize(float(c.width), float(c.height)) : picture->adjustSize(c.fittedTo));
    }
}

TEST_F(MapViewDropTest, PictureDataAndRichTextPicturesAreStoredInThePackage)
{
    // Picture data named by the dragged text: on a branch the name is the picture's title.
    auto* named = new QMimeData;
    named->setData(IXPasteboard::PNGType, pngBytes(20, 20));
    named->setText(QStringLiteral("file:///tmp/My%20Photo.png"));
    const DragResult onBranch = drag(named, centreOf(QStringLiteral("Two")));
    EXPECT_TRUE(onBranch.dropped);
    const auto picture = branch(QStringLiteral("Two"))->picture();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->title(), QStringLiteral("My Photo.png"));
    ASSERT_TRUE(picture->targetRef().startsWith(QLatin1String("local:")));
    EXPECT_EQ(node->packageParts().dataNamed(picture->targetRef().mid(6)), pngBytes(20, 20));
    EXPECT_EQ(selected(), QStringLiteral("Two"));

    // On the canvas: a floating picture titled by its part, centred on the drop point.
    auto* plain = new QMimeData;
    plain->setData(IXPasteboard::PNGType, pngBytes(20, 20));
    const QPointF point = emptyCanvas();
    const PLPoint drop = canvasPoint(point);
    EXPECT_TRUE(drag(plain, point).dropped);
    const auto floating = std::static_pointer_cast<IXPictureNode>(node->pictures().last());
    EXPECT_EQ(floating->targetRef(), QStringLiteral("local:") + floating->title());
    EXPECT_EQ(offsetOf(floating), PLPoint(drop.x - 10, drop.y - 10));

    // Rich text with a picture: at the centre of the visible area, without the half size.
    auto* rich = new QMimeData;
    PLAttributedString text(QStringLiteral("look "));
    text.append(PLAttributedString::fromAttachment(PLTextAttachment::make(QStringLiteral("p.png"), pngBytes(30, 30))));
    rich->setData(IXPasteboard::RTFType, PLRTFWriter::write(text));
    rich->setText(QStringLiteral("look"));
    const PLRect visible = mapView()->visibleRect();
    const PLPoint centre = controller->layoutContext()->coordinates().convertPointToCell(
        PLPoint(visible.midX(), visible.midY()), nullptr);
    const DragResult richDrop = drag(rich, emptyCanvas());
    EXPECT_EQ(richDrop.hover, Qt::CopyAction);
    EXPECT_TRUE(richDrop.dropped);
    const auto fromRich = node->pictures().last();
    EXPECT_EQ(offsetOf(fromRich), centre);
    EXPECT_EQ(selected(), QStringLiteral("pic"));
}

TEST_F(MapViewDropTest, LinksStringsAndTIFFAloneAreRefused)
{
    const struct {
        const char* name;
        std::function<QMimeData*()> data;
        Qt::DropAction hover;
    } cases[] = {
        {"a web link",
         [] {
             auto* data = new QMimeData;
             data->setUrls({QUrl(QStringLiteral("https://example.org/page"))});
             data->setText(QStringLiteral("https://example.org/page"));
             return data;
         },
         Qt::CopyAction},
        {"a string",
         [] {
             auto* data = new QMimeData;
             data->setText(QStringLiteral("Just words"));
             return data;
         },
         Qt::CopyAction},
        {"TIFF only",
         [] {
             auto* data = new QMimeData;
             data->setData(IXPasteboard::TIFFType, QByteArray("II*\0", 4));
             return data;
         },
         Qt::IgnoreAction},
        {"rich text without pictures",
         [] {
             auto* data = new QMimeData;
             data->setData(IXPasteboard::RTFType, PLRTFWriter::write(PLAttributedString(QStringLiteral("x"))));
             return data;
         },
         Qt::CopyAction},
    };
    for (const auto& c : cases)
        for (const char* where : {"canvas", "Two"}) {
            SCOPED_TRACE(std::string(c.name) + " on " + where);
            const DragResult result = drag(c.data(), at(QString::fromLatin1(where)));
            EXPECT_EQ(result.hover, c.hover);
            EXPECT_FALSE(result.dropped);
            EXPECT_EQ(outline(), Initial);
            EXPECT_FALSE(document->undoManager()->canUndo());
        }
}

TEST_F(MapViewDropTest, CatalogItemsBecomePicturesOrAttachments)
{
    FakeCatalog catalog;
    const QString photo = picturePath(QStringLiteral("photo.png"));
    catalog.items[QStringLiteral("IMG1")]
        = std::make_shared<FakeCatalogItem>(QStringLiteral("Photo"), photo, QStringLiteral("IMAGE"), false);
    catalog.items[QStringLiteral("VID1")] = std::make_shared<FakeCatalogItem>(
        QStringLiteral("Clip"), filePath(QStringLiteral("clip.mov")), QStringLiteral("VIDEO"), false);
    const auto item = [](const char* id) {
        auto* data = new QMimeData;
        data->setData(IXPasteboard::CatalogItemType, QByteArray(id));
        return data;
    };
    DragResult result = drag(item("VID1"), emptyCanvas());
    EXPECT_EQ(result.hover, Qt::IgnoreAction);
    EXPECT_FALSE(result.dropped);
    result = drag(item("VID1"), centreOf(QStringLiteral("Two")));
    EXPECT_EQ(result.hover, Qt::LinkAction);
    ASSERT_TRUE(result.dropped);
    ASSERT_EQ(branch(QStringLiteral("Two"))->attachments().size(), 1);
    const auto attachment = branch(QStringLiteral("Two"))->attachments().first();
    EXPECT_EQ(attachment->subtype(), IXReferenceNode::SubtypeVideo);
    EXPECT_EQ(attachment->title(), QStringLiteral("Clip"));

    result = drag(item("IMG1"), emptyCanvas());
    EXPECT_EQ(result.hover, Qt::CopyAction);
    ASSERT_TRUE(result.dropped);
    const auto picture = std::static_pointer_cast<IXPictureNode>(node->pictures().last());
    EXPECT_EQ(picture->targetRef(), QStringLiteral("mmc:IMG1"));
    EXPECT_EQ(picture->title(), QStringLiteral("Photo"));
    EXPECT_EQ(catalog.recent, (QStringList {QStringLiteral("Clip"), QStringLiteral("Photo")}));
    EXPECT_FALSE(drag(item("NONE"), centreOf(QStringLiteral("Two"))).dropped) << "an unknown item";
}

TEST_F(MapViewDropTest, LeavingTheViewClearsTheHighlight)
{
    auto data = std::unique_ptr<QMimeData>(files({picturePath(QStringLiteral("a.png"))}));
    QDragEnterEvent enter(centreOf(QStringLiteral("Two")).toPoint(), Qt::CopyAction, data.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(mapView(), &enter);
    EXPECT_EQ(controller->layoutContext()->highlights().count(), 1);
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(mapView(), &leave);
    EXPECT_TRUE(controller->layoutContext()->highlights().isEmpty());
}

}  // namespace
