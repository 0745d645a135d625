#include "MapLayout/IXIconsCell.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXIconsStorage.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/Drawing/PLImage.h"

#include <cmath>

namespace {

QStringList iconsOf(IXLayoutCell* cell)
{
    IXNode* node = cell->node();
    return node && node->isBranch() ? static_cast<IXBranchNode*>(node)->icons() : QStringList();
}

}  // namespace

IXIconsCell::~IXIconsCell() = default;

void IXIconsCell::layout()
{
    const float limit = context() && context()->isWindowsCompatibleLayout() ? WindowsRowLimit : RowLimit;
    const float count = float(iconsOf(this).size());
    const PLSize icon = IXIconsStorage::iconSize();
    const PLSize step(icon.width + 1, icon.height + 1);
    float width = step.width * count;
    float height = step.height;
    if (width > limit) {
        const float perRow = std::floor(limit / step.width);
        width = step.width * perRow;
        height = step.height * std::ceil(count / perRow);
    }
    setLayoutSize(PLSize(width, height));
}

void IXIconsCell::draw(PLGraphicsContext& graphics)
{
    IXIconsStorage* storage = IXIconsStorage::sharedStorage();
    if (!storage) return;
    const PLRect b = bounds();
    const PLSize icon = IXIconsStorage::iconSize();
    float x = b.minX();
    float y = b.maxY() - icon.height;
    for (const QString& name : iconsOf(this)) {
        const QImage image = storage->iconForName(name);
        // At the library's own pixel ratio the picture keeps the library's pixels rather than
        // a copy, so a PDF holds each icon once however often it is drawn.
        if (!image.isNull())
            graphics.drawImage(PLImage::fromQImage(image, float(image.devicePixelRatio())),
                               PLRect(x, y, icon.width, icon.height));
        x += icon.width + 1;
        if (x + icon.width > b.maxX()) {
            x = b.minX();
            y -= icon.height + 1;
        }
    }
}
