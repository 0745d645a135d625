#include "DocumentViews/IXCommentTitleView.h"

#include <QTextCursor>
#include <QTextEdit>

IXCommentTitleView::IXCommentTitleView(QWidget* mapView)
    : IXBranchTitleView(mapView)
{
}

void IXCommentTitleView::loadText(const QString& text)
{
    setText(text);
    QTextCursor caret = textView()->textCursor();
    caret.movePosition(QTextCursor::End);
    textView()->setTextCursor(caret);
}
