// The map's icon rows drawn with the shipped icon library.
#include "DocumentModel/IXIconsFolderStorage.h"
#include "MapLayout/IXIconsCell.h"
#include "IXMapCellTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(IXShippedIconsRender, ShippedIconsFillTheirPlacesRowByRow)
{
    IXIconsFolderStorage& library = IXIconsFolderStorage::installShared();
    const QStringList names = library.names().mid(0, 6);
    ASSERT_EQ(names.size(), 6);
    CellFixture f;
    auto branch = f.map.addRoot(QStringLiteral("B"));
    branch->setIcons(names);
    auto cell = f.make<IXIconsCell>(branch);
    cell->setOrigin(PLPoint(4, 4));
    ASSERT_EQ(cell->frame(), PLRect(4, 4, 68, 34));
    const QImage image = renderCells({cell.get()}, 76, 42, QStringLiteral("IXShippedIconsRender.Shipped"));
    // Each icon covers a good part of its 16 x 16 place: four in the top row, two below.
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(names[i].toStdString());
        const PLRect place(4 + float(i % 4) * 17, 4 + 17 - float(i / 4) * 17, 16, 16);
        EXPECT_GT(countPixels(image, place, [](const QColor& c) { return c != QColor(Qt::white); }), 40);
    }
    EXPECT_EQ(countPixels(image, PLRect(4 + 2 * 17, 4, 34, 16), [](const QColor& c) { return c != QColor(Qt::white); }), 0);
}

}  // namespace
