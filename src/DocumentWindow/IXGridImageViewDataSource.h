#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

class IXGridImageView;
class QByteArray;
class QMenu;
class QMimeData;

// What a grid of thumbnails asks of its data source. The count, pictures, titles and tool
// tips are required; a context menu, drags out of the grid and drops into it are optional
// (without them the grid offers no menu, starts no drag and refuses every drop).
class IXGridImageViewDataSource {
public:
    virtual ~IXGridImageViewDataSource();

    virtual int numberOfItemsGridImageView(IXGridImageView* view) = 0;
    virtual QImage objectValueForIndex(IXGridImageView* view, int index) = 0;
    virtual QString titleForIndex(IXGridImageView* view, int index) = 0;
    // The tool tip of the item; empty for none.
    virtual QString infoForIndex(IXGridImageView* view, int index) = 0;
    // The item's context menu, or null (the grid does not own it).
    virtual QMenu* menuForIndex(IXGridImageView* view, int index);

    // The types a drag of the items offers (empty: the items cannot be dragged). The data of
    // each type is asked for only when a drop wants it.
    virtual QStringList dragTypesForIndexes(IXGridImageView* view, const QList<int>& indexes);
    virtual QByteArray provideDataForType(IXGridImageView* view, const QString& type);
    // The operation a drop from elsewhere would do over the item (-1 over empty space);
    // Qt::IgnoreAction refuses it.
    virtual Qt::DropAction validateDrop(IXGridImageView* view, const QMimeData* data, int proposedIndex);
    // Performs the drop; true on success.
    virtual bool acceptDrop(IXGridImageView* view, const QMimeData* data, int index);
};
