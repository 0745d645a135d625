// The map picture tool, run as users run it on small packages.
#include "DocumentModel/IXIconsFolderStorage.h"
#include "IXMapBranchGroupTestSupport.h"
#include "Platform/Drawing/PLGraphicsContext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QString toolPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../bin/MapRender"));
}

int runTool(const QStringList& arguments, QString* errorText = nullptr)
{
    QProcess process;
    process.start(toolPath(), arguments);
    if (!process.waitForFinished(60000)) return -1;
    if (errorText) *errorText = QString::fromUtf8(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// The picture's extent for a map laid out by the map's own cells: its content, 20 around,
// at the scale.
QSize expectedSize(const std::shared_ptr<IXDocumentNode>& document, const QString& layout, float scale)
{
    RecordingController controller;
    controller.node = document;
    IXMapCellFactory factory;
    IXLayoutCellFactory::install(&factory);
    IXLayoutContext context(&controller, document->layoutForName(layout).get());
    context.performLayout();
    const PLRect area = context.cellsBounds().insetBy(-20, -20).integral();
    context.invalidate();
    IXLayoutCellFactory::install(nullptr);
    return QSize(int(std::ceil(area.width() * scale)), int(std::ceil(area.height() * scale)));
}

TEST(MapRenderToolTests, RendersAPackageInEveryMapLayoutAtAScaleAndRefusesBadInput)
{
    ASSERT_TRUE(QFile::exists(toolPath())) << "build the MapRender tool with the project";
    QTemporaryDir folder;
    auto document = std::make_shared<IXDocumentNode>();
    auto root = std::make_shared<IXBranchNode>();
    root->setTitle(QStringLiteral("Plans"));
    document->addRootBranch(root);
    for (int i = 0; i < 4; ++i) {
        auto child = GroupMap::addChild(root, QStringLiteral("Idea %1").arg(i));
        GroupMap::addChild(child, QStringLiteral("Detail %1").arg(i));
    }
    const QString package = folder.filePath(QStringLiteral("map.ixd"));
    {
        QFile file(package);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(document->zipData().value_or(QByteArray()));
    }

    for (const QString& layout : {QStringLiteral("mindmap"), QStringLiteral("topdown"), QStringLiteral("leftright")}) {
        for (float scale : {1.0f, 2.0f}) {
            const QString picture = folder.filePath(QStringLiteral("%1-%2.png").arg(layout).arg(scale));
            QString errorText;
            ASSERT_EQ(runTool({package, layout, QString::number(scale), picture}, &errorText), 0) << qPrintable(errorText);
            const QImage image(picture);
            ASSERT_FALSE(image.isNull()) << qPrintable(layout);
            EXPECT_EQ(image.size(), expectedSize(document, layout, scale)) << qPrintable(layout) << " " << scale;
            // Something besides the background was drawn: the lines between the branches.
            int drawn = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < 200) ++drawn;
            EXPECT_GT(drawn, 40 * scale) << qPrintable(layout);
        }
    }

    const QString garbage = folder.filePath(QStringLiteral("garbage.ixd"));
    {
        QFile file(garbage);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a map");
    }
    const QString out = folder.filePath(QStringLiteral("out.png"));
    struct Case {
        QStringList arguments;
        const char* what;
    };
    const Case refused[] = {
        {{package, QStringLiteral("outline"), QStringLiteral("1"), out}, "an unknown layout"},
        {{package, QStringLiteral("mindmap"), QStringLiteral("0"), out}, "a scale of 0"},
        {{package, QStringLiteral("mindmap"), QStringLiteral("x"), out}, "a scale that is no number"},
        {{package, QStringLiteral("mindmap")}, "missing arguments"},
        {{garbage, QStringLiteral("mindmap"), QStringLiteral("1"), out}, "a file that is no package"},
        {{folder.filePath(QStringLiteral("none.ixd")), QStringLiteral("mindmap"), QStringLiteral("1"), out}, "no file"},
    };
    for (const Case& c : refused) {
        QString errorText;
        EXPECT_EQ(runTool(c.arguments, &errorText), 1) << c.what;
        EXPECT_TRUE(errorText.contains(QStringLiteral("MapRender: "))) << c.what;
    }
    EXPECT_FALSE(QFile::exists(out));
}

TEST(MapRenderToolTests, DrawsWhatTheEditorDrawsIconsIncluded)
{
    QTemporaryDir folder;
    auto document = std::make_shared<IXDocumentNode>();
    auto root = std::make_shared<IXBranchNode>();
    root->setTitle(QStringLiteral("Icons"));
    document->addRootBranch(root);
    IXIconsFolderStorage& icons = IXIconsFolderStorage::installShared();
    ASSERT_GE(icons.names().size(), 3);
    root->setIcons(icons.names().mid(0, 3));
    GroupMap::addChild(root, QStringLiteral("Plain"))->setIcons({icons.names().at(3)});
    const QString package = folder.filePath(QStringLiteral("icons.ixd"));
    {
        QFile file(package);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(document->zipData().value_or(QByteArray()));
    }
    const QString picture = folder.filePath(QStringLiteral("icons.png"));
    QString errorText;
    ASSERT_EQ(runTool({package, QStringLiteral("mindmap"), QStringLiteral("1"), picture}, &errorText), 0) << qPrintable(errorText);
    const QImage drawn = QImage(picture).convertToFormat(QImage::Format_ARGB32_Premultiplied);

    // The same map drawn here with the editor's icon library and cells.
    RecordingController controller;
    controller.node = document;
    IXMapCellFactory factory;
    IXLayoutCellFactory::install(&factory);
    IXLayoutContext context(&controller, document->layoutForName(QStringLiteral("mindmap")).get());
    context.performLayout();
    const PLRect area = context.cellsBounds().insetBy(-20, -20).integral();
    QImage expected(int(area.width()), int(area.height()), QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::white);
    {
        PLGraphicsContext graphics(expected);
        graphics.concat(PLAffineTransform(1, 0, 0, 1, -area.minX(), -area.minY()));
        context.drawRect(graphics, area);
    }
    context.invalidate();
    IXLayoutCellFactory::install(nullptr);
    IXIconsStorage::install(nullptr);
    EXPECT_EQ(drawn, expected) << "icons and titles as the editor draws them";
}

}  // namespace
