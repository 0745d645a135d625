#pragma once

#include "DocumentModel/IXFloatingReferenceNode.h"
#include "Platform/Drawing/PLSize.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

// The picture of a branch, or a floating picture of the document (its parent is then the
// document node): a reference of type 2 whose target names the picture's bytes, most often a
// package part ("local:") or a file ("file:"). It keeps the decoded picture, fits proposed
// sizes between fixed limits while keeping the picture's proportions, and may carry a
// connection. Its displayed size is the style attribute "picture.size", not a field.
class IXPictureNode : public IXFloatingReferenceNode {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr PLSize MinSize{16, 16};
    static constexpr PLSize MaxSize{1000, 1000};
    // A picture whose bytes cannot be read or decoded shows "notfound"; it is tried again
    // only after this time, not at every layout and drawing.
    static constexpr std::chrono::milliseconds RetryInterval{2000};

    IXPictureNode();
    ~IXPictureNode() override;

    std::shared_ptr<IXNode> copy() const override;
    bool isPicture() const override { return true; }

    // The decoded picture, made on first use and kept until the target changes. When the
    // target's bytes are missing or no picture, the application's picture "notfound" (not
    // kept; tried again after RetryInterval, at once after a change of target or data); a
    // null image for a picture without target.
    QImage image();
    // The picture's size in points, of image(); an empty size when there is none.
    PLSize imageSize();

    static PLSize minSize() { return MinSize; }
    static PLSize maxSize() { return MaxSize; }
    // The proposed size clamped between the limits and, with a picture, scaled to the
    // picture's proportions by the mean of the two scale factors; a side that falls below
    // the minimum is raised to it with the other side following the proportions.
    PLSize adjustSize(PLSize size);

    // Stores the bytes as the document's part of that name and makes it the target
    // ("local:" and the name). Outside a document the bytes wait for the document it joins.
    void addPictureData(const QByteArray& data, const QString& name);

    // Announces as a reference and as a picture; a new target drops the decoded picture.
    void notifyPropertyChange(const QString& property) override;

    void attachToDocumentNode(IXDocumentNode* document) override;

    bool initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error) override;
    PLXMLElement XMLElement(PLXMLElement parent) override;

    // The clock of the retry interval (steady_clock::now when none is set); for tests.
    static void setClock(Clock clock);

private:
    IXPictureNode(const IXPictureNode& other);

    // Forgets the decoded picture and any failed attempt, so that the next image() reads.
    void dropImage();

    QImage m_image;
    std::optional<std::chrono::steady_clock::time_point> m_failedAt;
};
