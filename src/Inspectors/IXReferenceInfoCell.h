#pragma once

#include "DocumentModel/IXReferenceNodeObserver.h"
#include "Inspectors/IXListCell.h"

#include <QObject>
#include <QRectF>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class IXReferenceCellTarget;
class IXReferenceNode;
class QMenu;

// One row of the object list: a reference of a branch (a link or attached file, a text note, a
// connection). The header shows a disclosure triangle, the reference's icon and title and a
// round mark that is filled while the reference is included in export; an opened row adds,
// by the kind of reference, an "Include in export" check box, the path of an attached file
// with a browse button, the kind of link (a pop-up of five kinds) with the link and a browse
// button, and the web-page options "Show as button" and "Open link in new window".
//
// The title, path and link are edited in place in the list's field editor; a web link typed
// without any ":" is stored with "http://" in front. Every change goes through the node's
// undoable setters, one undo step per change. A picture attachment and a connection keep
// their link in the related link. The row follows its node's (and related link's) notices.
class IXReferenceInfoCell : public QObject, public IXListCell, public IXReferenceNodeObserver {
    Q_OBJECT
public:
    enum Part {
        Triangle,
        Icon,
        Title,
        ExportMark,
        Reference,
        BrowseRef,
        LinkLabel,
        Link,
        BrowseLink,
        Export,
        OpenIn,
        AsButton,
        PartCount
    };
    // Link kinds of the pop-up, by item index.
    enum LinkKind { LinkFile, LinkFolder, LinkWeb, LinkMail, NoLink, LinkKindCount };
    static constexpr double Gap = 4;
    static constexpr double DetailIndent = 12;

    explicit IXReferenceInfoCell(IXReferenceCellTarget* target = nullptr);
    ~IXReferenceInfoCell() override;

    // A new node shows collapsed.
    void setNode(const std::shared_ptr<IXReferenceNode>& node);
    const std::shared_ptr<IXReferenceNode>& node() const { return m_node; }

    // --- Opening and closing (the caller re-tiles the list) ---
    bool isExpanded() const { return m_expanded; }
    void expand();
    void collapse();
    // Opens this row when it is the given one, closes it otherwise.
    void setExpandedCell(const IXReferenceInfoCell* cell);
    // The triangle was clicked: Alt opens or closes every row of the list as this one was
    // closed or open; Ctrl leaves only this row open (or none); else this row toggles.
    void toggleCollapse(Qt::KeyboardModifiers modifiers);
    // Opens the row and edits the title in place.
    void startTitleEditing();

    // --- Parts as of the last layout ---
    bool shows(Part part) const { return m_shows[part]; }
    QRectF partRect(Part part) const { return m_rects[part]; }
    // Lays the parts out in the frame; answers the row's frame.
    QRectF tileWithFrame(const QRectF& frame);
    QString titleText() const { return m_title; }
    QString pathText() const { return m_path; }
    QString linkText() const { return m_link; }
    QString linkPlaceholder() const { return m_linkPlaceholder; }
    bool isLinkEditable() const { return m_linkEditable; }
    bool isLinkEnabled() const { return m_linkKind != NoLink; }
    int linkKind() const { return m_linkKind; }
    static QString linkKindTitle(int kind);

    // --- Edits ---
    void linkTypeSelect(int kind);
    void exportCheck(bool include);
    void openInCheck(bool openInNewWindow);
    void showAsButtonCheck(bool showAsButton);
    void browsePath();
    void browseURL();
    // The menu of the row: "Delete Object", "Execute".
    std::unique_ptr<QMenu> makeContextMenu();
    // The link-kind pop-up, its item of the current kind checked.
    std::unique_ptr<QMenu> makeLinkKindMenu();

    // --- IXListCell ---
    double heightForWidth(double width) override;
    void draw(QPainter& painter, const QRectF& frame) override;
    bool trackMouse(QMouseEvent* event, const QRectF& frame, int clickCount) override;
    QString toolTipAt(const QPointF& point, const QRectF& frame) override;
    void editingDidEnd(const QString& text) override;

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfReferenceNode(IXReferenceNode* node, const QString& property) override;

private:
    void adjustToNode();
    void updateFromNode();
    void observeNode();
    bool isPictureAttachment() const;
    void startEditing(Part part, const QPointF* point);
    void storeLink(IXReferenceNode& link, const QString& text);
    void runEdit(const std::function<void()>& edit);
    void redisplay();
    void retile();
    void executeNode();

    IXReferenceCellTarget* m_target = nullptr;
    std::shared_ptr<IXReferenceNode> m_node;
    std::shared_ptr<IXReferenceNode> m_observedLink;
    bool m_expanded = false;
    std::array<bool, PartCount> m_shows {};
    std::array<QRectF, PartCount> m_rects {};
    QRectF m_frame;
    Part m_editingPart = PartCount;
    QString m_title;
    QString m_path;
    QString m_link;
    QString m_linkPlaceholder;
    bool m_linkEditable = false;
    int m_linkKind = NoLink;
};
