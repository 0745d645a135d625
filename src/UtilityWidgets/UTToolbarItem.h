#pragma once

#include <QAction>
#include <QPointer>

class UTToolbarItem;

// What decides whether a toolbar item can be used now (the window controller).
class UTToolbarItemValidating {
public:
    virtual ~UTToolbarItemValidating() = default;
    virtual bool validateToolbarItem(UTToolbarItem* item) = 0;
};

// A toolbar action made from an identifier and the "toolbar" strings table: the caption,
// tool tip and picture are the table's identifier + "Caption", identifier + "ToolTip" and
// the picture named by identifier + "Image"; a missing text is the identifier itself and a
// missing picture leaves the item without one. validate() sizes the item's button for the
// toolbar and enables it by the answer of its target.
//
// The target is not owned.
class UTToolbarItem : public QAction {
    Q_OBJECT

public:
    // The size of the picture in a toolbar of small and of regular icons.
    static constexpr int SmallImageSize = 24;
    static constexpr int RegularImageSize = 32;

    explicit UTToolbarItem(const QString& identifier, QObject* parent = nullptr);
    static UTToolbarItem* ixToolbarItemWithIdentifier(const QString& identifier, QObject* parent = nullptr);

    QString itemIdentifier() const { return objectName(); }

    QObject* target() const { return m_target; }
    void setTarget(QObject* target) { m_target = target; }

    // For each toolbar showing the item: its button's picture becomes 24 × 24 when the
    // toolbar shows icons smaller than 32, else 32 × 32; then the target, when it is a
    // UTToolbarItemValidating, enables the item by its answer.
    void validate();

private:
    QPointer<QObject> m_target;
};
