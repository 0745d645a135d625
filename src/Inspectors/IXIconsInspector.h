#pragma once

#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXNodeObserver.h"
#include "Inspectors/IXInspectorController.h"

#include <QList>
#include <QPointer>

#include <memory>
#include <unordered_set>
#include <vector>

class IXBranchNode;
class IXDocumentNode;
class IXInspectorView;
class QToolButton;

// Shows every icon of the icon library as a toggle in a grid and switches an icon on or off
// on all selected branches below the roots at once. A toggle is on when every such branch has
// the icon, off when none has it, mixed otherwise; clicking makes it on (a mixed one too) or
// off, and an icon switched on moves to the end of each branch's list. One click is one undo
// step. The grid fills the pane's width (cells of 19 points, 2 apart; more than nine columns
// are rounded down to a multiple of three) and is rebuilt when the pane is resized. Not
// applicable in the print view or without a selected branch below the roots.
class IXIconsInspector : public IXInspectorController, public IXBranchNodeObserver, public IXNodeObserver {
    Q_OBJECT
public:
    enum class State { Off, On, Mixed };
    static constexpr int PrintLayout = 9;
    static constexpr int CellSize = 19;
    static constexpr int CellSpacing = 2;

    IXIconsInspector();
    ~IXIconsInspector() override;

    bool isApplicable() const override;
    QString inspectorTitle() const override;
    QWidget* inspectorView() override;

    // The grid's columns for a container of that width.
    static int columnsForWidth(int width);
    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    // The state of the library's icon at the index, as shown.
    State stateOfIcon(int index) const;
    // Toggles the library's icon at the index as a click does.
    void toggleIcon(int index);
    QList<QToolButton*> cells() const { return m_cells; }
    QWidget* containerView() const { return m_containerView; }

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfNodeDetach(IXNode* node) override;
    void notifiedOfBranchNode(IXNode* branch, const QString& property) override;

protected:
    void selectionWillChange() override;
    void selectionDidChange() override;
    void updateControls() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reconstruct();
    // The selected branches below the roots.
    std::vector<std::shared_ptr<IXBranchNode>> qualifyingBranches() const;
    void adjustCell(QToolButton* cell, State state);
    void stopObserving();

    QPointer<IXInspectorView> m_inspectorView;
    QWidget* m_containerView = nullptr;
    QWidget* m_iconsMatrix = nullptr;
    QList<QToolButton*> m_cells;
    std::vector<State> m_states;
    int m_columns = 0;
    int m_rows = 0;
    int m_builtWidth = -1;
    std::unordered_set<const IXNode*> m_branchSet;
    std::weak_ptr<IXDocumentNode> m_observedDocument;
};
