#include "Utilities/UTImages.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(UTImages, SavesPNGAndReportsFailures)
{
    QTemporaryDir temp;
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(QColor(10, 20, 30, 128));
    const QString path = temp.path() + QStringLiteral("/picture.png");
    PLError error;
    ASSERT_TRUE(UTImages::saveAsPNGToFile(image, path, &error)) << qPrintable(error.failureReason());
    const QImage loaded(path, "png");
    ASSERT_FALSE(loaded.isNull());
    EXPECT_EQ(loaded.size(), image.size());
    EXPECT_EQ(loaded.convertToFormat(QImage::Format_ARGB32).pixel(1, 1), image.pixel(1, 1));

    EXPECT_FALSE(UTImages::saveAsPNGToFile(image, temp.path() + QStringLiteral("/no/such/folder/p.png"), &error));
    EXPECT_TRUE(error.failureReason().contains(QStringLiteral("no/such/folder"))) << qPrintable(error.failureReason());
    error = PLError();
    EXPECT_FALSE(UTImages::saveAsPNGToFile(QImage(), temp.path() + QStringLiteral("/empty.png"), &error));
    EXPECT_FALSE(error.isNull());
    EXPECT_FALSE(QFileInfo::exists(temp.path() + QStringLiteral("/empty.png")));
}
