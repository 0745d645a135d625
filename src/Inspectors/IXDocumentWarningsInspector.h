#pragma once

#include "DocumentModel/IXNodeObserver.h"
#include "Inspectors/IXInspectorController.h"

#include <QList>
#include <QPointer>

#include <memory>

class IXDocumentNode;
class IXWarning;
class QPushButton;
class QTableWidget;

// The application-wide panel that lists the warnings of the active document (problems met
// while it was read or imported), one row per warning with its title and its description,
// each row as tall as its text. The user clears the selected warning ("Clear") or, with none
// selected, all of them ("Clear All"), and runs the repair that the warning's owner offers
// for it (the button takes the repair's title and is hidden when there is none); a repair
// that resolves the warning removes it. A warning added while the panel is on screen brings
// it to the front; one added while it is hidden does not show it.
class IXDocumentWarningsInspector : public IXInspectorController, public IXNodeObserver {
    Q_OBJECT
public:
    static constexpr int TypeColumn = 0;
    static constexpr int DescriptionColumn = 1;

    IXDocumentWarningsInspector();
    ~IXDocumentWarningsInspector() override;

    // The one panel, made on first use; it follows the active document window.
    static IXDocumentWarningsInspector& shared();

    bool isApplicable() const override { return true; }
    QString inspectorTitle() const override;
    QWidget* inspectorView() override;
    // The panel (a tool window holding the view), made on first use.
    QWidget* window();
    void showWindow();

    QList<std::shared_ptr<IXWarning>> warnings() const;
    std::shared_ptr<IXWarning> selectedWarning() const;
    // The repair's title for the warning: its owner's, or empty when it offers none.
    static QString solveTitle(const IXWarning& warning);

    void clearAction();
    void solveAction();

    QTableWidget* tableView() const { return m_tableView; }
    QPushButton* clearButton() const { return m_clearButton; }
    QPushButton* solveButton() const { return m_solveButton; }

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfNode(IXNode* node, const std::shared_ptr<IXWarning>& warning) override;

protected:
    void controllerWillChange() override;
    void controllerDidChange() override;
    void updateControls() override;

private:
    void makeView();
    void reloadTable();
    std::shared_ptr<IXDocumentNode> documentNode() const;

    QPointer<QWidget> m_view;
    QPointer<QWidget> m_window;
    QTableWidget* m_tableView = nullptr;
    QPushButton* m_clearButton = nullptr;
    QPushButton* m_solveButton = nullptr;
    // The rows as shown, so that a row names the warning it shows.
    QList<std::shared_ptr<IXWarning>> m_shown;
    std::weak_ptr<IXDocumentNode> m_observedDocument;
};
