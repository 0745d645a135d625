#pragma once

#include "DocumentViews/IXBranchTitleView.h"

// The floating editor of a floating text: the branch title's editor laid over the whole
// floating text on the map, in the text's font, opened with the caret after the last
// character and nothing selected, so that typing goes on where the text ends. Main thread only.
class IXCommentTitleView : public IXBranchTitleView {
    Q_OBJECT
public:
    explicit IXCommentTitleView(QWidget* mapView);

    // Replaces the text (emptying the text's undo), the caret at its end.
    void loadText(const QString& text);
};
