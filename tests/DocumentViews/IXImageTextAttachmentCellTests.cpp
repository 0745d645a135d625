// The picture cell inside text: its size, where it draws, and how a text holds it.
#include "DocumentViews/IXImageTextAttachmentCell.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

QImage filled(QSize size, QColor color)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

// The bounding box of the pixels that are not white.
QRect paintedArea(const QImage& image)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) area |= QRect(x, y, 1, 1);
    return area;
}

TEST(ImageTextAttachmentCellTest, TheSizeShownIsTheGivenSizeElseThePicturesOwn)
{
    IXImageTextAttachmentCell cell(filled(QSize(30, 20), Qt::red));
    EXPECT_EQ(cell.cellSize(), QSizeF(30, 20));
    cell.setSize(QSizeF(64, 48));
    EXPECT_EQ(cell.cellSize(), QSizeF(64, 48));
    // A picture with twice the pixels per point is its size in points.
    QImage sharp = filled(QSize(40, 20), Qt::red);
    sharp.setDevicePixelRatio(2);
    EXPECT_EQ(IXImageTextAttachmentCell(sharp).cellSize(), QSizeF(20, 10));
    EXPECT_EQ(IXImageTextAttachmentCell().cellSize(), QSizeF(0, 0));
    EXPECT_FALSE(cell.wantsToTrackMouse());
}

TEST(ImageTextAttachmentCellTest, ThePictureIsCentredInItsFrameOnWholePoints)
{
    struct Case {
        QSizeF size;
        QRectF frame;
        QRect drawn;
    };
    const Case cases[] = {
        {{64, 48}, {10, 20, 70, 50}, {13, 21, 64, 48}},
        // Odd room: the extra point goes after the picture.
        {{64, 48}, {0, 0, 71, 51}, {3, 1, 64, 48}},
        {{20, 10}, {5, 5, 20, 10}, {5, 5, 20, 10}},
    };
    for (const Case& c : cases) {
        IXImageTextAttachmentCell cell(filled(QSize(8, 6), Qt::blue));
        cell.setSize(c.size);
        QImage canvas = filled(QSize(100, 100), Qt::white);
        QPainter painter(&canvas);
        cell.drawWithFrame(painter, c.frame);
        painter.end();
        EXPECT_EQ(paintedArea(canvas), c.drawn) << c.frame.x() << "," << c.frame.width();
    }
    // Without a picture nothing is drawn.
    QImage canvas = filled(QSize(50, 50), Qt::white);
    QPainter painter(&canvas);
    IXImageTextAttachmentCell empty;
    empty.setSize(QSizeF(20, 20));
    empty.drawWithFrame(painter, QRectF(0, 0, 50, 50));
    painter.end();
    EXPECT_TRUE(paintedArea(canvas).isNull());
}

TEST(ImageTextAttachmentCellTest, TextsHoldCellsThatEachDrawTheirOwnPicture)
{
    QTextDocument text;
    text.setDocumentMargin(0);
    IXImageTextAttachmentCell red(filled(QSize(10, 10), Qt::red));
    IXImageTextAttachmentCell blue(filled(QSize(10, 10), Qt::blue));
    red.setSize(QSizeF(30, 40));
    EXPECT_NE(red.objectType(), blue.objectType());
    QTextCursor cursor(&text);
    cursor.insertText(QStringLiteral("Title\n"));
    red.insertAt(cursor);
    blue.insertAt(cursor);
    EXPECT_EQ(text.toPlainText(),
              QStringLiteral("Title\n") + QChar(QChar::ObjectReplacementCharacter)
                  + QChar(QChar::ObjectReplacementCharacter));
    // The second line is as tall as the taller picture.
    EXPECT_GE(text.size().height(), 40);

    QImage canvas = filled(text.size().toSize(), Qt::white);
    QPainter painter(&canvas);
    text.drawContents(&painter);
    painter.end();
    auto count = [&](QRgb color) {
        int pixels = 0;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x) pixels += canvas.pixel(x, y) == color;
        return pixels;
    };
    EXPECT_EQ(count(qRgb(255, 0, 0)), 30 * 40);
    EXPECT_EQ(count(qRgb(0, 0, 255)), 10 * 10);
}

}  // namespace
