#pragma once

#include <QHash>
#include <QHeaderView>
#include <QMenu>
#include <QPointer>

// A horizontal table header where each column can have a context menu of its own; a right
// click on a column pops that column's menu up, a click beside the columns shows nothing.
// The menus are not owned.
class UTTableHeaderView : public QHeaderView {
    Q_OBJECT

public:
    explicit UTTableHeaderView(QWidget* parent = nullptr);

    QMenu* menuForColumn(int column) const { return m_menus.value(column); }
    void setMenuForColumn(int column, QMenu* menu);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QHash<int, QPointer<QMenu>> m_menus;
};
