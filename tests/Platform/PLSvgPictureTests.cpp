#include "Platform/Drawing/PLImage.h"
#include "Platform/Drawing/PLSvgPicture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zlib.h>

namespace {

QByteArray pngOf(QColor colour)
{
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}

QByteArray gzipped(const QByteArray& bytes)
{
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&stream, uLong(bytes.size()))) + 32, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

int countPixels(const QImage& image, QRgb colour)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) count += argb.pixel(x, y) == colour;
    return count;
}

QByteArray svg(const QByteArray& body, const QByteArray& prologue = {})
{
    return prologue + "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink'"
                      " width='16' height='16'>" + body + "</svg>";
}

// A folder holding a red picture and a marked text, the working directory while it lives, so
// that relative references reach them too.
class PLSvgPictureTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        QFile red(m_folder.filePath(QStringLiteral("red.png")));
        ASSERT_TRUE(red.open(QIODevice::WriteOnly));
        red.write(pngOf(Qt::red));
        red.close();
        QFile secret(m_folder.filePath(QStringLiteral("secret.txt")));
        ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
        secret.write("SECRET-MARKER");
        secret.close();
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_folder.path());
    }
    void TearDown() override { QDir::setCurrent(m_previous); }

    QByteArray path(const char* name) const { return m_folder.filePath(QString::fromLatin1(name)).toUtf8(); }

    QTemporaryDir m_folder;
    QString m_previous;
};

TEST_F(PLSvgPictureTest, NothingOutsideThePictureIsRead)
{
    const QByteArray red = path("red.png");
    const QByteArray secret = path("secret.txt");
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"absolute image", svg("<image width='16' height='16' xlink:href='" + red + "'/>")},
        {"file URL image", svg("<image width='16' height='16' href='file://" + red + "'/>")},
        {"relative image", svg("<image width='16' height='16' xlink:href='red.png'/>")},
        {"fragment as a file name", svg("<image width='16' height='16' xlink:href='#red.png'/>")},
        {"pattern image",
         svg("<defs><pattern id='p' width='16' height='16' patternUnits='userSpaceOnUse'>"
             "<image width='16' height='16' xlink:href='red.png'/></pattern></defs>"
             "<rect width='16' height='16' fill='url(#p)'/>")},
        {"use of another file", svg("<use xlink:href='" + path("other.svg") + "#a'/>")},
        {"CSS url and import",
         svg("<style>@import url(" + secret + "); rect { fill: url(" + red + ") }</style><rect width='16' height='16'"
             " style='fill:url(\"red.png\")'/>")},
        {"style sheet instruction", svg("<rect width='1' height='1'/>", "<?xml-stylesheet href='" + secret + "'?>")},
        {"external entity", svg("<text>&x;</text>", "<!DOCTYPE svg [<!ENTITY x SYSTEM '" + secret + "'>]>")},
        {"external parameter entity", svg("<text>t</text>", "<!DOCTYPE svg [<!ENTITY % p SYSTEM '" + secret + "'> %p;]>")},
        {"gzipped", gzipped(svg("<image width='16' height='16' xlink:href='" + red + "'/>"))},
        {"animated reference", svg("<image width='16' height='16' xlink:href='#'><set attributeName='xlink:href' to='" + red +
                                   "'/></image>")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<QByteArray> safe = PLSvgPicture::sanitized(c.bytes);
        ASSERT_TRUE(safe);
        EXPECT_FALSE(safe->contains(m_folder.path().toUtf8())) << safe->constData();
        EXPECT_FALSE(safe->contains("red.png")) << safe->constData();
        EXPECT_FALSE(safe->contains("<!DOCTYPE") || safe->contains("<?xml-stylesheet") || safe->contains("@import"));
        EXPECT_EQ(countPixels(PLImage::decodedImage(c.bytes), qRgb(255, 0, 0)), 0);
        EXPECT_EQ(countPixels(PLImage::fromData(c.bytes).bitmap(1), qRgb(255, 0, 0)), 0);
    }
}

TEST(PLSvgPicture, WhatStaysInsideThePictureStillDraws)
{
    const QByteArray green = "data:image/png;base64," + pngOf(Qt::green).toBase64();
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"data image", svg("<image width='16' height='16' xlink:href='" + green + "'/>")},
        {"use of an element", svg("<defs><rect id='a' width='16' height='16' fill='#00ff00'/></defs><use xlink:href='#a'/>")},
        {"gradient by url", svg("<linearGradient id='g'><stop offset='0' stop-color='#00ff00'/>"
                                "<stop offset='1' stop-color='#00ff00'/></linearGradient>"
                                "<rect width='16' height='16' style='fill:url(#g)'/>")},
        {"internal entity", svg("<rect width='16' height='16' fill='&c;'/>",
                                "<!DOCTYPE svg PUBLIC '-//W3C//DTD SVG 1.1//EN' 'http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd'"
                                " [<!ENTITY c '#00ff00'>]>")},
        {"gzipped", gzipped(svg("<rect width='16' height='16' fill='#00ff00'/>"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = PLImage::decodedImage(c.bytes);
        ASSERT_EQ(image.size(), QSize(16, 16));
        EXPECT_EQ(countPixels(image, qRgb(0, 255, 0)), 16 * 16);
    }
}

TEST(PLSvgPicture, RefusesWhatIsNoSafeSvg)
{
    // A gzip stream that inflates past the limit is refused once it passes it.
    PLError bombError;
    EXPECT_FALSE(PLSvgPicture::sanitized(gzipped(svg(QByteArray(PLSvgPicture::MaximumInflatedSize, ' '))), &bombError));
    EXPECT_EQ(bombError.failureReason(), QStringLiteral("The compressed SVG picture is damaged or too large."));
    const QByteArray billionLaughs = svg("<text>&e9;</text>", [] {
        QByteArray prologue = "<!DOCTYPE svg [<!ENTITY e0 'laugh'>";
        for (int i = 1; i < 10; ++i)
            prologue += QStringLiteral("<!ENTITY e%1 '%2'>").arg(i).arg(QStringLiteral("&e%1;").arg(i - 1).repeated(10)).toUtf8();
        return prologue + "]>";
    }());
    for (const QByteArray& bytes : {billionLaughs, QByteArray("<svg><unclosed></svg>"), QByteArray("<html/>")}) {
        PLError error;
        EXPECT_FALSE(PLSvgPicture::sanitized(bytes, &error));
        EXPECT_FALSE(error.failureReason().isEmpty());
        EXPECT_FALSE(PLSvgPicture::renderer(bytes));
    }
}

}  // namespace
