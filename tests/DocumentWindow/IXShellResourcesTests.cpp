// The help pages and pictures that ship with the program: every help anchor leads to an
// existing page and anchor, a Help item that opens nothing says so, and every shell picture
// exists at 1x and at twice the pixels.
#include "DocumentWindow/IXAppController.h"
#include "DocumentWindow/IXHelpBook.h"
#include "IXShellTestSupport.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/System/PLResources.h"
#include "TestSupport/QStringPrinter.h"

#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QByteArray resource(const QString& name, const QString& folder)
{
    QFile file(PLResources::pathFor(name, folder));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(IXShellResourcesTest, EveryHelpAnchorLeadsToAPageAndAnchor)
{
    const QJsonObject anchors = QJsonDocument::fromJson(resource(QStringLiteral("helpAnchors.json"), QStringLiteral("Strings"))).object();
    ASSERT_FALSE(anchors.isEmpty());
    for (int tag : {0, 1, 2, 3}) EXPECT_TRUE(anchors.contains(IXHelpBook::anchorForTag(tag))) << tag;
    EXPECT_EQ(IXHelpBook::anchorForTag(3), "Home");
    for (const QString& key : anchors.keys()) {
        SCOPED_TRACE(key.toStdString());
        const QUrl url = IXHelpBook::urlForAnchor(key);
        ASSERT_TRUE(url.isValid() && url.isLocalFile());
        QFile page(url.toLocalFile());
        ASSERT_TRUE(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        EXPECT_TRUE(html.contains(QStringLiteral("id=\"%1\"").arg(url.fragment()))) << url.toString().toStdString();
        // Links between pages stay inside the help folder and lead somewhere.
        static const QRegularExpression link(QStringLiteral("href=\"([^\"#:]+)"));
        for (auto match = link.globalMatch(html); match.hasNext();) {
            const QString target = match.next().captured(1);
            EXPECT_FALSE(resource(target, QStringLiteral("Help")).isEmpty()) << target.toStdString();
        }
    }
    EXPECT_EQ(IXHelpBook::urlForAnchor(QString()), IXHelpBook::urlForAnchor(QStringLiteral("Home")));
    EXPECT_FALSE(IXHelpBook::urlForAnchor(QStringLiteral("No such page")).isValid());
}

TEST(IXShellResourcesTest, AHelpItemThatOpensNothingSaysSo)
{
    // Without a handler the offscreen platform has no program for any URL; another platform
    // would start a real browser.
    if (QGuiApplication::platformName() != QStringLiteral("offscreen")) GTEST_SKIP() << "needs the offscreen platform";
    const struct {
        const char* anchor;
        bool programForPages;
        const char* alertMessage;  // null: no alert
    } cases[] = {
        {"Shortcuts", true, nullptr},
        {"Shortcuts", false, "No program is set up to open"},
        {"No such page", true, "The help pages were not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.anchor) + (c.programForPages ? " with a program" : " without a program"));
        FakeDialogs dialogs;
        dialogs.alertAnswers = {0};
        RecordingURLHandler program;
        if (c.programForPages) QDesktopServices::setUrlHandler(QStringLiteral("file"), &program, "open");
        QAction item;
        item.setData(QString::fromLatin1(c.anchor));
        IXAppController::sharedController().helpForItem(&item);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        if (!c.alertMessage) {
            EXPECT_TRUE(dialogs.alerts.isEmpty());
            ASSERT_EQ(program.opened.size(), 1);
            EXPECT_EQ(program.opened[0], IXHelpBook::urlForAnchor(QString::fromLatin1(c.anchor)));
            continue;
        }
        ASSERT_EQ(dialogs.alerts.size(), 1);
        EXPECT_EQ(dialogs.alerts[0].title, "The help page could not be opened.");
        EXPECT_TRUE(dialogs.alerts[0].message.startsWith(QString::fromLatin1(c.alertMessage))) << dialogs.alerts[0].message.toStdString();
        EXPECT_TRUE(program.opened.isEmpty());
    }
}

TEST(IXShellResourcesTest, WebAddressesComeFromTheTable)
{
    for (const QString& address : {IXHelpBook::HomePageAddress, IXHelpBook::SupportPageAddress}) {
        const QUrl url = IXHelpBook::addressFor(address);
        EXPECT_TRUE(url.isValid() && url.scheme() == QStringLiteral("https")) << address.toStdString();
        EXPECT_NE(PLLocalizedStrings::string(address, QStringLiteral("urls")), QString()) << address.toStdString();
    }
}

TEST(IXShellResourcesTest, ShellPicturesExistAtBothScales)
{
    struct Case {
        const char* name;
        QSize points;
    };
    const Case cases[] = {
        {"ix_splash", {560, 340}},
        {"ix_ixd", {64, 64}},
        {"toolbar_fullscreen_on", {32, 32}},
        {"toolbar_fullscreen_off", {32, 32}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromUtf8(c.name);
        const QImage normal = QImage::fromData(resource(name + QStringLiteral(".png"), QStringLiteral("Images")));
        const QImage doubled = QImage::fromData(resource(name + QStringLiteral("@2x.png"), QStringLiteral("Images")));
        ASSERT_FALSE(normal.isNull());
        ASSERT_FALSE(doubled.isNull());
        EXPECT_EQ(normal.size(), c.points);
        EXPECT_EQ(doubled.size(), c.points * 2);
        EXPECT_TRUE(normal.hasAlphaChannel());
        EXPECT_EQ(qAlpha(normal.pixel(0, 0)), 0) << "shaped, with see-through corners";
        // Drawn, not blank: many colours and mostly covered at the centre.
        QSet<QRgb> colours;
        for (int y = 0; y < normal.height(); ++y)
            for (int x = 0; x < normal.width(); ++x) colours.insert(normal.pixel(x, y));
        EXPECT_GT(colours.size(), 8);
        EXPECT_GT(qAlpha(normal.pixel(normal.width() / 2, normal.height() / 2)), 128);
    }
}

} // namespace
