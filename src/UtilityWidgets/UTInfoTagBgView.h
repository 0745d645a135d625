#pragma once

#include "Platform/Drawing/PLColor.h"

#include <QWidget>

class QTextDocument;

// The info tag's content: a rounded panel filled with the tint colour and outlined with the
// border colour (either may be "no colour": nothing is drawn for it), with the tag's text
// drawn inside it at the text inset. The text document belongs to the tag; the view only
// draws it, wrapped to its own width less the insets. Drawing honours the window's fade
// through `setOpacity`.
class UTInfoTagBgView : public QWidget {
    Q_OBJECT
public:
    static constexpr int TextInset = 4;
    static constexpr qreal CornerRadius = 4;

    explicit UTInfoTagBgView(QWidget* parent = nullptr);

    PLColor tintColor() const { return m_tintColor; }
    void setTintColor(const PLColor& color);
    PLColor borderColor() const { return m_borderColor; }
    void setBorderColor(const PLColor& color);

    void setTextDocument(QTextDocument* document);
    void setOpacity(qreal opacity);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PLColor m_tintColor;
    PLColor m_borderColor;
    QTextDocument* m_document = nullptr;
    qreal m_opacity = 1;
};
