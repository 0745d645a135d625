// Draws the pictures of the document window's toolbar as PNG files at 1x and 2x ("name.png",
// "name@2x.png") into the images folder given as first argument:
//   toolbar_<item>           the toolbar items, 32 x 32 points
//   mapview_<type>_icon      the five views, 32 x 32, and their menu pictures
//   toolbar_mapview_<type>   (16 x 16)
//   toolbar_shape_<shape>    the root shapes of the shape pop-up, 24 x 24
// and the desktop icons into the folder given as second argument, in the layout of the hicolor
// theme: <size>x<size>/apps/ideaflux.png and <size>x<size>/mimetypes/
// application-x-ideaflux-document.png for the usual sizes.
#include "PictureSupport/PictureSupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainterPath>
#include <QTextStream>

#include <cmath>

namespace {

const QColor Ink(0x3c, 0x44, 0x4f);
const QColor Frame(0x8a, 0x94, 0xa0);
const QColor Paper(0xf4, 0xf7, 0xfa);
const QColor Blue(0x2a, 0x6f, 0xb0);
const QColor Orange(0xf2, 0xa1, 0x26);
const QColor Green(0x5c, 0xb8, 0x5c);
const QColor Red(0xd9, 0x4a, 0x3d);
const QColor Purple(0xa8, 0x6b, 0xcf);

bool write(const QDir& folder, const QString& name, QSize points, const Drawing& draw)
{
    return writePictures(folder.path(), name, points, draw);
}

QPainterPath curve(QPointF a, QPointF b)
{
    QPainterPath path(a);
    const qreal dx = (b.x() - a.x()) * 0.55;
    path.cubicTo(a + QPointF(dx, 0), b - QPointF(dx, 0), b);
    return path;
}

void box(QPainter& p, const QRectF& rect, const QColor& fill, qreal radius = 2)
{
    p.setPen(pen(fill.darker(135), 1));
    p.setBrush(fill);
    p.drawRoundedRect(rect, radius, radius);
}

void sheet(QPainter& p, const QRectF& rect)
{
    p.setPen(pen(Frame, 1));
    p.setBrush(Paper);
    p.drawRoundedRect(rect, 2.5, 2.5);
}

// --- The five views, drawn in a 32-point square ---

void mindMapView(QPainter& p)
{
    const QPointF centre(16, 16);
    const QPointF leaves[] = {{5, 8}, {4, 22}, {27, 7}, {28, 16}, {27, 25}};
    const QColor colours[] = {Green, Purple, Orange, Red, Blue};
    for (int i = 0; i < 5; ++i) {
        p.setPen(pen(colours[i], 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawPath(curve(centre + QPointF(leaves[i].x() < 16 ? -4 : 4, 0), leaves[i]));
        p.setPen(Qt::NoPen);
        p.setBrush(colours[i]);
        p.drawEllipse(leaves[i], 2.4, 2.4);
    }
    box(p, QRectF(9.5, 12.5, 13, 7), Blue, 3.5);
}

void topDownView(QPainter& p)
{
    p.setPen(pen(Ink, 1.4));
    p.drawLine(QPointF(16, 11), QPointF(16, 15.5));
    p.drawLine(QPointF(6, 15.5), QPointF(26, 15.5));
    for (qreal x : {6.0, 16.0, 26.0}) p.drawLine(QPointF(x, 15.5), QPointF(x, 19));
    box(p, QRectF(10.5, 4.5, 11, 6.5), Blue);
    box(p, QRectF(2.5, 19.5, 7, 6), Orange);
    box(p, QRectF(12.5, 19.5, 7, 6), Green);
    box(p, QRectF(22.5, 19.5, 7, 6), Purple);
}

void leftRightView(QPainter& p)
{
    const qreal ys[] = {7, 16, 25};
    const QColor colours[] = {Orange, Green, Purple};
    for (int i = 0; i < 3; ++i) {
        p.setPen(pen(Ink, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawPath(curve(QPointF(12, 16), QPointF(19, ys[i])));
        box(p, QRectF(19.5, ys[i] - 3, 10, 6), colours[i]);
    }
    box(p, QRectF(2.5, 12.5, 10, 7), Blue);
}

void outlineView(QPainter& p)
{
    struct Row {
        qreal indent;
        qreal length;
        QColor colour;
    };
    const Row rows[] = {{3, 24, Blue}, {8, 18, Orange}, {8, 15, Orange}, {13, 13, Green}, {3, 20, Blue}};
    for (int i = 0; i < 5; ++i) {
        const qreal y = 5 + i * 5.5;
        p.setPen(Qt::NoPen);
        p.setBrush(rows[i].colour);
        p.drawEllipse(QPointF(rows[i].indent + 1.5, y), 1.6, 1.6);
        p.setPen(pen(Ink, 1.6));
        p.drawLine(QPointF(rows[i].indent + 5, y), QPointF(rows[i].indent + 3 + rows[i].length - 4, y));
    }
}

void timelineView(QPainter& p)
{
    p.setPen(pen(Ink, 1.6));
    p.drawLine(QPointF(2.5, 16), QPointF(29.5, 16));
    for (qreal x : {6.0, 12.0, 18.0, 24.0}) p.drawLine(QPointF(x, 14), QPointF(x, 18));
    p.setPen(pen(Frame, 1));
    p.drawLine(QPointF(8, 11), QPointF(8, 16));
    p.drawLine(QPointF(21, 16), QPointF(21, 21));
    box(p, QRectF(3.5, 5.5, 11, 5.5), Orange);
    box(p, QRectF(15.5, 21.5, 12, 5.5), Green);
}

const struct {
    const char* type;
    void (*draw)(QPainter&);
} Views[] = {{"mindmap", mindMapView},
             {"topdown", topDownView},
             {"leftright", leftRightView},
             {"outline", outlineView},
             {"timeline", timelineView}};

// --- Root shapes, drawn in a 24-point square ---

void shape(QPainter& p, const QString& name)
{
    const QRectF r(2.5, 6.5, 19, 11);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, QColor(0x6f, 0xa8, 0xdc));
    fill.setColorAt(1, Blue);
    p.setPen(pen(Blue.darker(140), 1));
    p.setBrush(fill);
    if (name == QLatin1String("square")) {
        p.drawRect(r);
    } else if (name == QLatin1String("ellipse")) {
        p.drawEllipse(r.adjusted(-1, -1, 1, 1));
    } else if (name == QLatin1String("round")) {
        p.drawRoundedRect(r, 5.5, 5.5);
    } else if (name == QLatin1String("standard")) {
        p.drawRoundedRect(r, 2.5, 2.5);
    } else if (name == QLatin1String("bubble")) {
        QPainterPath bubble;
        bubble.addRoundedRect(r.adjusted(0, -2, 0, -1), 4, 4);
        QPainterPath tail;
        tail.moveTo(7, 15);
        tail.lineTo(5, 21);
        tail.lineTo(11.5, 15.5);
        tail.closeSubpath();
        p.drawPath(bubble.united(tail));
    } else if (name == QLatin1String("squarecut")) {
        const qreal c = 3;
        p.drawPolygon(
            QPolygonF({r.topLeft() + QPointF(c, 0), r.topRight() - QPointF(c, 0), r.topRight() + QPointF(0, c),
                       r.bottomRight() - QPointF(0, c), r.bottomRight() - QPointF(c, 0), r.bottomLeft() + QPointF(c, 0),
                       r.bottomLeft() - QPointF(0, c), r.topLeft() + QPointF(0, c)}));
    } else if (name == QLatin1String("notebook_h") || name == QLatin1String("notebook_v")) {
        p.setBrush(Paper);
        p.setPen(pen(Frame, 1));
        p.drawRect(r);
        p.setPen(pen(Ink, 1.2));
        p.setBrush(Qt::NoBrush);
        const bool across = name == QLatin1String("notebook_h");
        for (int i = 0; i < 4; ++i) {
            if (across)
                p.drawEllipse(QPointF(5.5 + i * 4.3, r.top()), 1.3, 2.2);
            else
                p.drawEllipse(QPointF(r.left(), 8.5 + i * 2.4), 2.2, 0.9);
        }
    } else if (name == QLatin1String("clipboard")) {
        p.setBrush(QColor(0xc8, 0x9b, 0x62));
        p.setPen(pen(QColor(0x8a, 0x64, 0x38), 1));
        p.drawRoundedRect(r.adjusted(0, -1.5, 0, 1.5), 1.5, 1.5);
        p.setBrush(Paper);
        p.setPen(Qt::NoPen);
        p.drawRect(r.adjusted(2, 1.5, -2, 0));
        p.setBrush(QColor(0x9a, 0xa3, 0xad));
        p.drawRoundedRect(QRectF(9, 3.5, 6, 3.5), 1, 1);
    } else if (name == QLatin1String("handdrawn")) {
        QPainterPath wobbly(QPointF(3, 7.5));
        wobbly.cubicTo(QPointF(9, 5.5), QPointF(15, 8), QPointF(21.5, 6.5));
        wobbly.cubicTo(QPointF(22.5, 10), QPointF(20.5, 14), QPointF(21.5, 17.5));
        wobbly.cubicTo(QPointF(15, 18.5), QPointF(9, 16.5), QPointF(2.5, 18));
        wobbly.cubicTo(QPointF(1.5, 14), QPointF(3.5, 11), QPointF(3, 7.5));
        p.setBrush(QColor(0xfd, 0xf3, 0xc8));
        p.setPen(pen(Ink, 1.3));
        p.drawPath(wobbly);
    }
}

const char* const Shapes[] = {"square",    "ellipse",    "round",      "standard",  "bubble",
                              "squarecut", "notebook_h", "notebook_v", "clipboard", "handdrawn"};

// --- Toolbar items, drawn in a 32-point square ---

void rootShapes(QPainter& p)
{
    p.setPen(pen(Green.darker(140), 1));
    p.setBrush(Green);
    p.drawEllipse(QRectF(3.5, 5.5, 16, 11));
    p.setPen(pen(Blue.darker(140), 1));
    p.setBrush(Blue);
    p.drawRoundedRect(QRectF(12.5, 14.5, 16, 11), 3, 3);
}

void styles(QPainter& p)
{
    const QColor colours[] = {Red, Orange, Blue};
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(16, 26);
        p.rotate(-30 + i * 30);
        p.setPen(pen(colours[i].darker(140), 1));
        p.setBrush(colours[i]);
        p.drawRoundedRect(QRectF(-4, -22, 8, 20), 2, 2);
        p.setBrush(Paper);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(0, -5), 1.5, 1.5);
        p.restore();
    }
}

void connection(QPainter& p)
{
    box(p, QRectF(2.5, 19.5, 10, 7), Blue);
    box(p, QRectF(19.5, 5.5, 10, 7), Orange);
    QPen dashed = pen(Red, 1.6);
    dashed.setDashPattern({2, 1.6});
    p.setPen(dashed);
    p.setBrush(Qt::NoBrush);
    QPainterPath link(QPointF(7.5, 19));
    link.cubicTo(QPointF(7.5, 10), QPointF(12, 9), QPointF(18, 9));
    p.drawPath(link);
    p.setPen(pen(Red, 1.6));
    p.drawPolyline(QPolygonF({QPointF(15, 6.5), QPointF(18.5, 9), QPointF(15, 11.5)}));
}

void brainstorm(QPainter& p, bool on)
{
    if (on) {
        p.setPen(pen(Orange, 1.5));
        for (int i = 0; i < 7; ++i) {
            const qreal angle = (-180 + i * 30) * M_PI / 180;
            const QPointF d(std::cos(angle), std::sin(angle));
            p.drawLine(QPointF(16, 13) + d * 10.5, QPointF(16, 13) + d * 13.5);
        }
    }
    QPainterPath bulb;
    bulb.addEllipse(QPointF(16, 13), 7.5, 7.5);
    QPainterPath neck;
    neck.addRect(QRectF(12.5, 18, 7, 4));
    QRadialGradient glow(QPointF(14, 11), 9);
    glow.setColorAt(0, on ? QColor(0xff, 0xf6, 0xb0) : QColor(0xff, 0xff, 0xff));
    glow.setColorAt(1, on ? QColor(0xf7, 0xc8, 0x3a) : QColor(0xdd, 0xe3, 0xea));
    p.setPen(pen(on ? QColor(0xb5, 0x86, 0x10) : Frame, 1.1));
    p.setBrush(glow);
    p.drawPath(bulb.united(neck));
    p.setPen(pen(Ink, 1.2));
    for (qreal y : {23.5, 26.0}) p.drawLine(QPointF(13, y), QPointF(19, y));
    p.drawLine(QPointF(14.5, 28.5), QPointF(17.5, 28.5));
}

void fit(QPainter& p)
{
    sheet(p, QRectF(3.5, 5.5, 25, 21));
    p.save();
    p.translate(8, 9);
    p.scale(0.5, 0.45);
    mindMapView(p);
    p.restore();
    p.setPen(pen(Ink, 1.6));
    p.setBrush(Qt::NoBrush);
    const QRectF r(6, 8, 20, 16);
    const qreal c = 4;
    p.drawPolyline(QPolygonF({r.topLeft() + QPointF(0, c), r.topLeft(), r.topLeft() + QPointF(c, 0)}));
    p.drawPolyline(QPolygonF({r.topRight() - QPointF(c, 0), r.topRight(), r.topRight() + QPointF(0, c)}));
    p.drawPolyline(QPolygonF({r.bottomRight() - QPointF(0, c), r.bottomRight(), r.bottomRight() - QPointF(c, 0)}));
    p.drawPolyline(QPolygonF({r.bottomLeft() + QPointF(c, 0), r.bottomLeft(), r.bottomLeft() - QPointF(0, c)}));
}

void page(QPainter& p, const QRectF& r)
{
    QPainterPath outline;
    outline.moveTo(r.topLeft());
    outline.lineTo(r.topRight() - QPointF(5, 0));
    outline.lineTo(r.topRight() + QPointF(0, 5));
    outline.lineTo(r.bottomRight());
    outline.lineTo(r.bottomLeft());
    outline.closeSubpath();
    p.setPen(pen(Frame, 1));
    p.setBrush(Qt::white);
    p.drawPath(outline);
    p.setPen(pen(Frame.lighter(115), 1));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(r.left() + 3, r.top() + 8 + i * 3.5), QPointF(r.right() - 3, r.top() + 8 + i * 3.5));
}

void printPreview(QPainter& p)
{
    page(p, QRectF(4.5, 3.5, 18, 23));
    p.setPen(pen(Ink, 2.2));
    p.drawLine(QPointF(23, 23), QPointF(28.5, 28.5));
    p.setPen(pen(Ink, 1.5));
    p.setBrush(QColor(0xdc, 0xec, 0xfa, 220));
    p.drawEllipse(QPointF(19, 19), 5.5, 5.5);
}

void filter(QPainter& p, bool clear)
{
    QPainterPath funnel;
    funnel.moveTo(4.5, 6.5);
    funnel.lineTo(27.5, 6.5);
    funnel.lineTo(18.5, 17);
    funnel.lineTo(18.5, 26.5);
    funnel.lineTo(13.5, 23.5);
    funnel.lineTo(13.5, 17);
    funnel.closeSubpath();
    QLinearGradient fill(QPointF(0, 6), QPointF(0, 26));
    fill.setColorAt(0, QColor(0x8f, 0xc0, 0xe9));
    fill.setColorAt(1, Blue);
    p.setPen(pen(Blue.darker(140), 1.1));
    p.setBrush(fill);
    p.drawPath(funnel);
    if (clear) {
        p.setPen(Qt::NoPen);
        p.setBrush(Red);
        p.drawEllipse(QPointF(24.5, 23.5), 5.5, 5.5);
        p.setPen(pen(Qt::white, 1.7));
        p.drawLine(QPointF(22.3, 21.3), QPointF(26.7, 25.7));
        p.drawLine(QPointF(26.7, 21.3), QPointF(22.3, 25.7));
    }
}

// Level n: the rows of the first n levels of a tree stand out; all levels (0): every row.
void levels(QPainter& p, int shown)
{
    const QColor colours[] = {Blue, Orange, Green, Purple};
    for (int level = 0; level < 4; ++level) {
        const bool on = shown == 0 || level < shown;
        const qreal y = 5.5 + level * 6.5;
        const qreal x = 3.5 + level * 4.5;
        QColor colour = colours[level];
        if (!on) colour = QColor(0xd5, 0xdb, 0xe2);
        if (level > 0) {
            p.setPen(pen(on ? Ink : QColor(0xc5, 0xcc, 0xd4), 1.1));
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(QPolygonF({QPointF(x - 2.5, y - 4), QPointF(x - 2.5, y + 2), QPointF(x, y + 2)}));
        }
        box(p, QRectF(x, y, 28.5 - x, 4.5), colour, 1.5);
    }
    if (shown == 0) {
        p.setPen(pen(Ink, 1.3));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(7, 27), 2.2, 2.2);
        p.drawEllipse(QPointF(11.4, 27), 2.2, 2.2);
    }
}

void textEditor(QPainter& p)
{
    p.setPen(pen(QColor(0xc9, 0xae, 0x3c), 1));
    p.setBrush(QColor(0xff, 0xf3, 0xa6));
    p.drawRect(QRectF(4.5, 4.5, 20, 23));
    p.setPen(pen(QColor(0xb0, 0x98, 0x40), 1));
    for (int i = 0; i < 5; ++i) p.drawLine(QPointF(7.5, 9.5 + i * 3.8), QPointF(i == 4 ? 15 : 21.5, 9.5 + i * 3.8));
    p.save();
    p.translate(22, 18);
    p.rotate(35);
    p.setPen(pen(Ink, 1));
    p.setBrush(Orange);
    p.drawRect(QRectF(-2, -11, 4, 14));
    p.setBrush(QColor(0xf0, 0xd9, 0xb5));
    p.drawPolygon(QPolygonF({QPointF(-2, 3), QPointF(2, 3), QPointF(0, 7.5)}));
    p.restore();
}

void inspector(QPainter& p)
{
    p.setPen(pen(Blue.darker(130), 1));
    p.setBrush(Blue);
    p.drawEllipse(QPointF(16, 16), 12, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 9.5), 2.2, 2.2);
    p.drawRoundedRect(QRectF(14, 13.5, 4, 11), 1.2, 1.2);
}

void media(QPainter& p)
{
    sheet(p, QRectF(3.5, 6.5, 20, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawPolygon(QPolygonF({QPointF(4, 22), QPointF(11, 13), QPointF(16, 19), QPointF(19, 16), QPointF(23, 22)}));
    p.setBrush(Orange);
    p.drawEllipse(QPointF(18, 11), 2.2, 2.2);
    p.setPen(pen(Ink, 1.6));
    p.drawLine(QPointF(27, 13), QPointF(27, 25));
    p.drawLine(QPointF(27, 13), QPointF(30, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawEllipse(QPointF(24.8, 25.5), 2.6, 2);
}

void overview(QPainter& p)
{
    sheet(p, QRectF(3.5, 5.5, 25, 21));
    p.save();
    p.translate(5, 7);
    p.scale(0.7, 0.6);
    mindMapView(p);
    p.restore();
    p.setPen(pen(Red, 1.6));
    p.setBrush(QColor(0xd9, 0x4a, 0x3d, 40));
    p.drawRect(QRectF(13.5, 11.5, 11, 9));
}

void print(QPainter& p)
{
    p.setPen(pen(Frame, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9.5, 3.5, 13, 9));
    QLinearGradient body(QPointF(0, 11), QPointF(0, 23));
    body.setColorAt(0, QColor(0xb4, 0xbd, 0xc7));
    body.setColorAt(1, QColor(0x7d, 0x87, 0x93));
    p.setPen(pen(Ink, 1));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(3.5, 11.5, 25, 12), 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Green);
    p.drawEllipse(QPointF(24.5, 15.5), 1.2, 1.2);
    page(p, QRectF(8.5, 19.5, 15, 9));
}

void fonts(QPainter& p)
{
    QPainterPath letter;
    letter.moveTo(4, 27);
    letter.lineTo(13, 4);
    letter.lineTo(16, 4);
    letter.lineTo(25, 27);
    letter.lineTo(21, 27);
    letter.lineTo(18.8, 21);
    letter.lineTo(10.2, 21);
    letter.lineTo(8, 27);
    letter.closeSubpath();
    QPainterPath hole;
    hole.moveTo(11.4, 17.5);
    hole.lineTo(17.6, 17.5);
    hole.lineTo(14.5, 9);
    hole.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawPath(letter.subtracted(hole));
    p.setBrush(Blue);
    p.drawRoundedRect(QRectF(22, 17, 7, 10), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(24.2, 19.5, 2.6, 5));
}

void colours(QPainter& p)
{
    const QColor wheel[] = {Red, Orange, QColor(0xf2, 0xd6, 0x2b), Green, Blue, Purple};
    const QRectF r(4, 4, 24, 24);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i) {
        p.setBrush(wheel[i]);
        p.drawPie(r, (90 + i * 60) * 16, 60 * 16);
    }
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 16), 4, 4);
    p.setPen(pen(Ink.lighter(150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(r);
}

// --- Desktop icons ---

void applicationIcon(QPainter& p, qreal side)
{
    p.scale(side / 32, side / 32);
    QLinearGradient tile(QPointF(0, 1), QPointF(0, 31));
    tile.setColorAt(0, QColor(0xff, 0xff, 0xff));
    tile.setColorAt(1, QColor(0xdc, 0xe6, 0xf0));
    p.setPen(pen(QColor(0x6a, 0x7a, 0x8c), 0.8));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(1.4, 1.4, 29.2, 29.2), 6, 6);
    p.translate(1.6, 1.6);
    p.scale(0.9, 0.9);
    mindMapView(p);
}

void documentIcon(QPainter& p, qreal side)
{
    p.scale(side / 32, side / 32);
    page(p, QRectF(5.5, 1.5, 21, 29));
    p.save();
    p.translate(8.5, 11);
    p.scale(0.47, 0.47);
    mindMapView(p);
    p.restore();
}

bool writeDesktopIcons(const QDir& root)
{
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1").arg(size);
        for (const auto& [kind, name, draw] :
             {std::tuple {QStringLiteral("apps"), QStringLiteral("ideaflux"), &applicationIcon},
              std::tuple {QStringLiteral("mimetypes"), QStringLiteral("application-x-ideaflux-document"),
                          &documentIcon}}) {
            if (!root.mkpath(folder + QLatin1Char('/') + kind)) return false;
            const QImage image = renderDrawing([&, draw = draw](QPainter& p) { draw(p, size); }, QSize(size, size), 1);
            if (!savePicture(
                    image,
                    root.filePath(folder + QLatin1Char('/') + kind + QLatin1Char('/') + name + QStringLiteral(".png"))))
                return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        QTextStream(stderr) << "usage: ToolbarPictures <images folder> <desktop icons folder>\n";
        return 2;
    }
    const QDir images(QString::fromLocal8Bit(argv[1]));
    const QSize item(32, 32);
    bool ok = true;
    for (const auto& view : Views) {
        const QString type = QStringLiteral("mapview_") + QLatin1String(view.type);
        ok = ok && write(images, type + QStringLiteral("_icon"), item, view.draw);
        ok = ok && write(images, QStringLiteral("toolbar_") + type, QSize(16, 16), [&view](QPainter& p) {
                 p.scale(0.5, 0.5);
                 view.draw(p);
             });
    }
    for (const char* name : Shapes)
        ok = ok
            && write(images, QStringLiteral("toolbar_shape_") + QLatin1String(name), QSize(24, 24),
                     [name](QPainter& p) { shape(p, QLatin1String(name)); });
    const std::pair<const char*, Drawing> items[] = {
        {"toolbar_views", mindMapView},
        {"toolbar_rootshapes", rootShapes},
        {"toolbar_styles", styles},
        {"toolbar_connection", connection},
        {"toolbar_brainstorm_off", [](QPainter& p) { brainstorm(p, false); }},
        {"toolbar_brainstorm_on", [](QPainter& p) { brainstorm(p, true); }},
        {"toolbar_fit", fit},
        {"toolbar_printpreview", printPreview},
        {"toolbar_filter_set", [](QPainter& p) { filter(p, false); }},
        {"toolbar_filter_clear", [](QPainter& p) { filter(p, true); }},
        {"toolbar_level1", [](QPainter& p) { levels(p, 1); }},
        {"toolbar_level2", [](QPainter& p) { levels(p, 2); }},
        {"toolbar_level3", [](QPainter& p) { levels(p, 3); }},
        {"toolbar_level4", [](QPainter& p) { levels(p, 4); }},
        {"toolbar_levels_all", [](QPainter& p) { levels(p, 0); }},
        {"toolbar_texteditor", textEditor},
        {"toolbar_inspector", inspector},
        {"toolbar_media", media},
        {"toolbar_overview", overview},
        {"toolbar_print", print},
        {"toolbar_fonts", fonts},
        {"toolbar_colors", colours},
    };
    for (const auto& [name, draw] : items) ok = ok && write(images, QLatin1String(name), item, draw);
    ok = ok && writeDesktopIcons(QDir(QString::fromLocal8Bit(argv[2])));
    return ok ? 0 : 1;
}
