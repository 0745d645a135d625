#include "UtilityWidgets/UTImageSetCell.h"

#include "TestSupport/ExpectAssertion.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

QImage filled(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

} // namespace

TEST(UTImageSetCell, SizeOfARowOfPictures)
{
    const struct {
        QList<int> widths;
        QSize size;
    } table[] = {
        {{}, QSize(0, 0)},
        {{16, 16}, QSize(35, 12)},
        {{5}, QSize(12, 12)},
        {{16, 16, 16}, QSize(52, 12)},
    };
    for (const auto& row : table) {
        UTImageSetCell cell;
        QList<QImage> images;
        for (int width : row.widths) images << filled(width, 16, Qt::red);
        cell.setObjectValue(images.isEmpty() ? QVariant() : QVariant::fromValue(images));
        EXPECT_EQ(cell.cellSize(), row.size);
        EXPECT_EQ(cell.objectValue().size(), row.widths.size());
    }
}

TEST(UTImageSetCell, ObjectValues)
{
    UTImageSetCell cell;
    const QImage red = filled(4, 4, Qt::red);
    const QImage blue = filled(6, 4, Qt::blue);
    cell.setObjectValue(QVariant::fromValue(QList<QImage>{red, blue}));
    EXPECT_EQ(cell.image(), blue);
    cell.setImage(red);
    ASSERT_EQ(cell.objectValue().size(), 1);
    EXPECT_EQ(cell.image(), red);
    cell.setImage(QImage());
    EXPECT_TRUE(cell.objectValue().isEmpty());
    expectAssertion("Invalid class for setObjectValue:", [&] { cell.setObjectValue(QStringLiteral("icon")); });
}

TEST(UTImageSetCell, DrawsThePicturesCentredOnePointApart)
{
    UTImageSetCell cell;
    cell.setObjectValue(QVariant::fromValue(QList<QImage>{filled(4, 4, Qt::red), filled(4, 6, Qt::blue)}));
    QImage canvas = filled(40, 20, Qt::white);
    {
        QPainter painter(&canvas);
        cell.drawInterior(&painter, QRect(0, 0, 40, 20));
    }
    // Width 1 + 5 + 5 = 12 (the least), so the row starts at (40 - 12) / 2 = 14.
    EXPECT_EQ(canvas.pixelColor(13, 10), QColor(Qt::white));
    EXPECT_EQ(canvas.pixelColor(14, 8), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(17, 11), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(18, 10), QColor(Qt::white));
    EXPECT_EQ(canvas.pixelColor(19, 7), QColor(Qt::blue));
    EXPECT_EQ(canvas.pixelColor(22, 12), QColor(Qt::blue));
    EXPECT_EQ(canvas.pixelColor(19, 6), QColor(Qt::white));
    // Clipped to the frame.
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        cell.drawInterior(&painter, QRect(0, 0, 6, 20));
    }
    EXPECT_EQ(canvas.pixelColor(6, 9), QColor(Qt::white));
}
