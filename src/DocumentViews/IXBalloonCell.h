#pragma once

#include <QImage>
#include <QString>

#include <memory>

class IXReferenceNode;
class QPainter;
class QRect;

// One row of the attachments balloon: an attachment's icon left of its title. A selected row
// is filled with the selected-text background; the icon and title sit 2 points in from the
// sides and 1 point from the top and bottom.
class IXBalloonCell {
public:
    static constexpr int IconSize = 16;

    IXBalloonCell(QString title, QImage image, std::shared_ptr<IXReferenceNode> attachment);

    const QString& title() const { return m_title; }
    const QImage& image() const { return m_image; }
    // The attachment the row stands for.
    const std::shared_ptr<IXReferenceNode>& representedObject() const { return m_attachment; }

    void draw(QPainter& painter, const QRect& frame, bool selected) const;

private:
    QString m_title;
    QImage m_image;
    std::shared_ptr<IXReferenceNode> m_attachment;
};
