#pragma once

// A document view for the zooming scroll view's tests: a canvas of a fixed unscaled size,
// drawn scaled and centred like a map page, in a frame at least as large as the visible area.

#include "DocumentViews/IXScaling.h"
#include "DocumentViews/IXScalingScrollView.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>

class TestCanvasView : public QWidget, public IXScaling {
public:
    explicit TestCanvasView(QSizeF canvas = QSizeF(1600, 1200)) : canvas(canvas) {}

    QSizeF canvas;
    QRectF contents = QRectF(0, 0, 1600, 1200);
    double minFactor = 0.1;
    double maxFactor = 8.0;
    int reflections = 0;

    double scalingMinFactor() const override { return minFactor; }
    double scalingMaxFactor() const override { return maxFactor; }
    QRectF scalingContentsRect() const override { return contents; }
    void reflectScalingFactor() override
    {
        ++reflections;
        adjustFrame();
    }
    void resizeWithOldSuperviewSize(const QSize&) override { adjustFrame(); }

    double factor() const
    {
        const IXScalingScrollView* scrollView = IXScalingScrollView::scalingScrollView(this);
        return scrollView ? scrollView->scaleFactor() : 1.0;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0xE8, 0xE8, 0xEC));
        const double scale = factor();
        const QSizeF page = canvas * scale;
        const QPointF origin(std::ceil((width() - page.width()) * 0.5), std::ceil((height() - page.height()) * 0.5));
        painter.setPen(QColor(0x90, 0x90, 0x98));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(origin, page).adjusted(-1, -1, 0, 0));
        painter.translate(origin);
        painter.scale(scale, scale);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0x30, 0x60, 0xC0), 6));
        painter.setBrush(QColor(0xD0, 0xE0, 0xFF));
        painter.drawEllipse(QRectF(QPointF(0, 0), canvas).adjusted(100, 100, -100, -100));
        painter.setPen(QPen(QColor(0xC0, 0x40, 0x30), 4));
        painter.drawLine(QPointF(0, 0), QPointF(canvas.width(), canvas.height()));
        painter.drawLine(QPointF(canvas.width(), 0), QPointF(0, canvas.height()));
    }

private:
    void adjustFrame()
    {
        const QSize visible = parentWidget() ? parentWidget()->size() : size();
        const QSizeF page = canvas * factor();
        resize(std::max(visible.width(), int(std::ceil(page.width() + 8))),
               std::max(visible.height(), int(std::ceil(page.height() + 8))));
        update();
    }
};
