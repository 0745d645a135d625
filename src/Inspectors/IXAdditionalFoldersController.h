#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <memory>

class IXDocumentNode;
class IXInspectedController;
class QDialog;
class QPushButton;
class QTableWidget;

// Edits a document's additional folders: a table of the folders, each with a check box that
// includes it, and buttons to add, remove and finish. It runs as a window-modal sheet on the
// document window, or its content is embedded in another dialog (which hides Done).
//
// Adding asks for a folder (starting in the last folder used) and reuses the record of a
// folder already listed, which becomes included. A folder that linked files live in cannot
// be removed; with no row selected, Remove beeps. A double-click opens the row's folder,
// taken relative to the document's folder when it does not exist as written. Every change is
// an undo step of the document, so it marks the document edited and is not lost at close.
class IXAdditionalFoldersController : public QObject {
    Q_OBJECT
public:
    static constexpr int CheckColumn = 0;
    static constexpr int PathColumn = 1;

    explicit IXAdditionalFoldersController(IXInspectedController* controller);
    ~IXAdditionalFoldersController() override;

    QWidget* contentView();
    QPushButton* doneButton();
    QDialog* window();
    // Shows the sheet on the controller's window and returns at once; Done ends it.
    void runModalSheet();
    bool isRunningAsSheet() const { return m_modalSheet; }

    void doneAction();
    void addAction();
    void removeAction();
    // Opens the folder of the row (the selected one when -1).
    void doubleAction(int row = -1);

    QTableWidget* tableView();
    QPushButton* removeButton();
    void reloadData();
    // The record keys in their order.
    QStringList folderKeys() const;

private:
    void makeWindow();
    void tableViewSelectionDidChange();
    void setSelected(int row, bool selected);
    QVariantMap folders() const;
    // Stores the dictionary as one undo step of the document (the old one comes back on undo).
    void commit(const QVariantMap& folders);
    int selectedRow() const;

    IXInspectedController* m_controller = nullptr;
    std::weak_ptr<IXDocumentNode> m_document;
    QPointer<QDialog> m_window;
    QWidget* m_contentView = nullptr;
    QTableWidget* m_tableView = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_removeButton = nullptr;
    QPushButton* m_doneButton = nullptr;
    bool m_modalSheet = false;
    bool m_reloading = false;
};
