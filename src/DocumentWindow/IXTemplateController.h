#pragma once

#include "DocumentWindow/IXGridImageViewDataSource.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class IXDocument;
class IXGridImageView;
class IXTemplateItem;
class IXTemplateStorage;
class QDialog;
class QListWidget;
class QPushButton;

// The template chooser: the store's categories in a list (separators between groups) and the
// templates of the selected categories as a grid of previews; "Choose" (or a double click)
// opens a new untitled document from the selected template, "Open..." runs the open panel
// instead, "Cancel" closes. The same window greets the user at start-up.
//
// A document made from a template replaces every document made from the default template
// that is still untouched, so the map that opened at start-up goes away once the user starts
// another one. When no template can be read, a new document is the empty map.
//
// Settings: "IXTemplateChooserThumbSize" (the size of a grid slot, written as {128, 164} when
// absent) and "IXLastDocumentFolder" (where the open panel starts). One shared controller.
class IXTemplateController : public QObject, private IXGridImageViewDataSource {
    Q_OBJECT
public:
    static const QString ThumbSizeKey;  // "IXTemplateChooserThumbSize"
    // The tags of the window's buttons (buttonAction).
    enum ButtonTag { CancelTag = 0, ChooseTag = 1, OpenTag = 2 };

    explicit IXTemplateController(IXTemplateStorage& storage, QObject* parent = nullptr);
    ~IXTemplateController() override;

    // The application's chooser over the shared store, made on first use.
    static IXTemplateController& sharedController();

    // Titled "New Ideaflux Document" / "Welcome to Quorvanta Ideaflux", brought to the front.
    void showChoosePanel();
    void showWelcomePanel();
    // A new untitled document from the template file, shown in its window, replacing the
    // untouched documents made from the default template. Null when the file cannot be read
    // as a map (the error has been shown).
    IXDocument* openNewDocumentWithTemplate(const QString& path);
    // The same with the default template, marking the document as made from it.
    IXDocument* openNewDocumentWithDefaultTemplate();
    QString templateUsersFolder();
    // Closes every document made from the default template that the user has not touched,
    // except keep.
    static void closeUntouchedDefaultDocuments(const IXDocument* keep);

    // --- The window ---
    QDialog* window();
    const QList<IXTemplateItem*>& activeItems() const { return m_activeItems; }
    void refreshActiveItems();
    // Recomputes the items of the selected categories, selects the first and scrolls up.
    void updateThumbnailView();
    void buttonAction(int tag);
    // The grid's double action: the Choose button.
    void thumbAction();
    // Runs the open panel for one map; the chosen path, remembering its folder, or empty.
    QString chooseDocumentPath();
    IXGridImageView* gridView() const { return m_grid; }
    QListWidget* categoryTable() const { return m_table; }
    QPushButton* chooseButton() const { return m_choose; }

private:
    void windowDidLoad();
    void reloadCategories();
    void tableViewSelectionDidChange();
    void showPanel(const QString& title);
    IXTemplateItem* selectedItem() const;

    // --- IXGridImageViewDataSource ---
    int numberOfItemsGridImageView(IXGridImageView* view) override;
    QImage objectValueForIndex(IXGridImageView* view, int index) override;
    QString titleForIndex(IXGridImageView* view, int index) override;
    QString infoForIndex(IXGridImageView* view, int index) override;

    IXTemplateStorage& m_storage;
    QPointer<QDialog> m_window;
    QListWidget* m_table = nullptr;
    IXGridImageView* m_grid = nullptr;
    QPushButton* m_choose = nullptr;
    QList<IXTemplateItem*> m_activeItems;
};
