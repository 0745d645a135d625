#pragma once

#include <QImage>
#include <QObject>
#include <QSizeF>
#include <QTextObjectInterface>

class QPainter;
class QTextCursor;

// A picture of a chosen size inside text: the outline's hover tag shows a branch's picture
// this way, between the picture's title and the end of the tag. The cell is the text layout's
// handler of an object type of its own, so a text may hold several cells; the picture does not
// react to the mouse.
//
// The picture is shown at `size()`, or at its own size (in points) while the size is empty,
// centred in the frame the text gives it on whole points, with smooth scaling. A cell without a
// picture draws nothing. Main thread only.
class IXImageTextAttachmentCell : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    explicit IXImageTextAttachmentCell(const QImage& image = QImage(), QObject* parent = nullptr);

    const QImage& image() const { return m_image; }
    void setImage(const QImage& image);
    QSizeF size() const { return m_size; }
    void setSize(QSizeF size) { m_size = size; }
    // The size shown: the size when it is not empty, else the picture's own, else nothing.
    QSizeF cellSize() const;
    bool wantsToTrackMouse() const { return false; }
    // The object type under which the cell draws in text.
    int objectType() const { return m_objectType; }

    // Draws the picture centred in the frame.
    void drawWithFrame(QPainter& painter, const QRectF& frame) const;
    // Puts the cell into the cursor's text: registers it with the text's layout and inserts
    // its object character.
    void insertAt(QTextCursor& cursor);

    QSizeF intrinsicSize(QTextDocument* document, int position, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int position,
                    const QTextFormat& format) override;

private:
    QImage m_image;
    QSizeF m_size;
    int m_objectType;
};
