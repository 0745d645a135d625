#pragma once

#include "DocumentViews/IXEditorSpelling.h"
#include "DocumentViews/IXTool.h"

#include <QTextEdit>

class IXMapView;
class IXSpellingHighlighter;
class QAction;

// What the tools that type a title in a floating editor over the map share: the editor's
// spelling marks, the window's Edit commands acting on the text while the editor is open (the
// map's own would act on the nodes). Main thread only.
class IXTextEditingTool : public IXTool {
    Q_OBJECT
public:
    using IXTool::IXTool;

    // The window's Undo, Redo, Cut, Copy, Paste and Select All reach the text.
    Q_INVOKABLE void undo(QObject*) { editText(&QTextEdit::undo); }
    Q_INVOKABLE void redo(QObject*) { editText(&QTextEdit::redo); }
    Q_INVOKABLE void cut(QObject*) { editText(&QTextEdit::cut); }
    Q_INVOKABLE void copy(QObject*) { editText(&QTextEdit::copy); }
    Q_INVOKABLE void paste(QObject*) { editText(&QTextEdit::paste); }
    Q_INVOKABLE void selectAll(QObject*) { editText(&QTextEdit::selectAll); }
    Q_INVOKABLE bool validateMenuItem(QAction* item);

    // Places the editor over its text as the map shows it now.
    virtual void adjustToDocumentView() = 0;

protected:
    // Zooming and scrolling move the text without a new layout: after each frame of the map
    // (watched by the tool), the editor is placed again on the next turn.
    bool eventFilter(QObject* watched, QEvent* event) override;
    IXMapView* mapView() const;
    // Gives the editor's text its spelling marks; closeSpelling ends them with the editor.
    void setUpSpelling(IXSpellingHighlighter* spelling) { m_spelling.open(spelling, context()); }
    void closeSpelling() { m_spelling.close(); }

private:
    // Runs an edit of the text view, when there is one (the boundary of the actions above).
    void editText(void (QTextEdit::*edit)());

    IXEditorSpelling m_spelling;
    bool m_placementPending = false;
};
