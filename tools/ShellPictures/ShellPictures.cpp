// Draws the pictures of the application shell as PNG files at 1x and 2x ("name.png",
// "name@2x.png") into the folder given as argument:
//   ix_splash                  the start-up picture, 560 x 340 points, with transparent
//                              rounded corners and room for its shadow
//   ix_ixd                     the document icon, 64 x 64 points
//   toolbar_fullscreen_on/off  the toolbar pictures that enter and leave full screen, 32 x 32
//   canvas_cursor_connection   the connection tool's pointers, 32 x 32 with the hot spot at
//     (_start, _target)        the centre (16, 16): a cross hair, with a link badge that shows
//                              whether a click chooses the start or the target
//   canvas_yellownote_close    the yellow note's close box, 12 x 12, and its pressed form
//     (_pressed)
#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include <cmath>
#include <functional>

namespace {

using Drawing = std::function<void(QPainter&)>;

bool writePicture(const QDir& folder, const QString& name, QSize points, const Drawing& draw)
{
    for (int scale : {1, 2}) {
        QImage image(points * scale, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        image.setDevicePixelRatio(1);
        // 72 dpi at 1x and 144 dpi at 2x, so that both have the same size in points.
        const int dotsPerMeter = qRound(72 * scale / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        draw(painter);
        painter.end();
        const QString file = folder.filePath(name + (scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png")));
        if (!image.save(file)) {
            QTextStream(stderr) << "cannot write " << file << "\n";
            return false;
        }
    }
    return true;
}

QFont font(const QString& family, qreal size, int weight)
{
    QFont result(family);
    result.setPixelSize(qMax(1, qRound(size)));
    result.setWeight(QFont::Weight(weight));
    result.setHintingPreference(QFont::PreferNoHinting);
    return result;
}

// A soft branch from a to b: a cubic that leaves and arrives horizontally.
QPainterPath branchCurve(QPointF a, QPointF b)
{
    QPainterPath path(a);
    const qreal dx = (b.x() - a.x()) * 0.55;
    path.cubicTo(a + QPointF(dx, 0), b - QPointF(dx, 0), b);
    return path;
}

// The tapered ribbon of a branch: thick at the centre, thin at the leaf.
QPainterPath taperedBranch(QPointF a, QPointF b, qreal startWidth, qreal endWidth)
{
    const QPainterPath centre = branchCurve(a, b);
    QPolygonF upper, lower;
    const int steps = 40;
    for (int i = 0; i <= steps; ++i) {
        const qreal t = qreal(i) / steps;
        const QPointF p = centre.pointAtPercent(t);
        const qreal angle = centre.angleAtPercent(t) * M_PI / 180.0;
        const QPointF normal(-std::sin(-angle), std::cos(-angle));
        const qreal half = (startWidth + (endWidth - startWidth) * t) / 2;
        upper << p + normal * half;
        lower.prepend(p - normal * half);
    }
    QPainterPath ribbon;
    ribbon.addPolygon(upper + lower);
    ribbon.closeSubpath();
    return ribbon;
}

void splash(QPainter& p)
{
    const QRectF card(10, 6, 540, 320);
    // Shadow: a few widening translucent layers below the card.
    for (int i = 6; i >= 1; --i) {
        QPainterPath shadow;
        shadow.addRoundedRect(card.adjusted(-i, -i + 3, i, i + 3), 18 + i, 18 + i);
        p.fillPath(shadow, QColor(10, 20, 40, 9));
    }
    QPainterPath shape;
    shape.addRoundedRect(card, 18, 18);
    QLinearGradient sky(card.topLeft(), card.bottomRight());
    sky.setColorAt(0.0, QColor(0x1d, 0x2b, 0x64));
    sky.setColorAt(0.55, QColor(0x1f, 0x5f, 0x8b));
    sky.setColorAt(1.0, QColor(0x23, 0x9a, 0x9a));
    p.fillPath(shape, sky);
    p.save();
    p.setClipPath(shape);
    // A soft light behind the map.
    QRadialGradient glow(QPointF(400, 160), 230);
    glow.setColorAt(0.0, QColor(255, 255, 255, 60));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(card, glow);
    // Faint dots of a drawing canvas.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 18));
    for (qreal y = card.top() + 14; y < card.bottom(); y += 20)
        for (qreal x = card.left() + 14; x < card.right(); x += 20) p.drawEllipse(QPointF(x, y), 1.0, 1.0);

    // The map: a centre topic with branches to both sides.
    const QPointF centre(402, 160);
    struct Leaf {
        QPointF at;
        QColor color;
        qreal width;
    };
    const Leaf leaves[] = {
        {{472, 82}, QColor(0xff, 0xc8, 0x57), 52},  {{486, 158}, QColor(0xff, 0x8a, 0x65), 42},
        {{470, 238}, QColor(0x9c, 0xe3, 0x7d), 56}, {{338, 92}, QColor(0x7f, 0xd8, 0xf0), 46},
        {{332, 230}, QColor(0xe4, 0x9c, 0xf2), 50},
    };
    for (const Leaf& leaf : leaves) {
        const QPointF from = centre + QPointF(leaf.at.x() > centre.x() ? 30 : -30, 0);
        QColor ribbon = leaf.color;
        ribbon.setAlpha(230);
        p.fillPath(taperedBranch(from, leaf.at, 7, 2.2), ribbon);
        const QRectF pill(leaf.at.x() - (leaf.at.x() > centre.x() ? 0 : leaf.width), leaf.at.y() - 9, leaf.width, 18);
        QPainterPath shapePill;
        shapePill.addRoundedRect(pill, 9, 9);
        p.fillPath(shapePill, leaf.color);
        p.setPen(QPen(QColor(255, 255, 255, 150), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(pill.left() + 9, pill.center().y()), QPointF(pill.right() - 9, pill.center().y()));
        p.setPen(Qt::NoPen);
    }
    QRadialGradient topicFill(centre + QPointF(-8, -10), 46);
    topicFill.setColorAt(0.0, QColor(255, 255, 255));
    topicFill.setColorAt(1.0, QColor(0xdd, 0xec, 0xf7));
    QPainterPath topic;
    topic.addRoundedRect(QRectF(centre.x() - 36, centre.y() - 22, 72, 44), 22, 22);
    for (int i = 4; i >= 1; --i) {
        QPainterPath halo;
        halo.addRoundedRect(QRectF(centre.x() - 36 - i * 3, centre.y() - 22 - i * 3, 72 + i * 6, 44 + i * 6), 22 + i * 3, 22 + i * 3);
        p.fillPath(halo, QColor(255, 255, 255, 14));
    }
    p.fillPath(topic, topicFill);
    // A spark inside the topic: the idea.
    QPainterPath spark;
    const qreal r1 = 11, r2 = 3.6;
    for (int i = 0; i < 8; ++i) {
        const qreal a = i * M_PI / 4 - M_PI / 2;
        const qreal r = i % 2 == 0 ? r1 : r2;
        const QPointF point = centre + QPointF(std::cos(a) * r, std::sin(a) * r);
        if (i == 0) spark.moveTo(point); else spark.lineTo(point);
    }
    spark.closeSubpath();
    p.fillPath(spark, QColor(0xf2, 0xa1, 0x26));

    // The name and a line beneath it.
    p.setPen(QColor(255, 255, 255));
    p.setFont(font(QStringLiteral("DejaVu Sans"), 46, 700));
    p.drawText(QRectF(44, 120, 260, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Ideaflux"));
    p.setPen(QColor(255, 255, 255, 200));
    p.setFont(font(QStringLiteral("DejaVu Sans"), 15, 400));
    p.drawText(QRectF(47, 178, 260, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Mind maps for clear thinking"));
    p.setPen(QPen(QColor(0xf2, 0xa1, 0x26), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(48, 112), QPointF(88, 112));
    p.setPen(QColor(255, 255, 255, 140));
    p.setFont(font(QStringLiteral("DejaVu Sans"), 11, 400));
    p.drawText(QRectF(47, 286, 300, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Starting…"));
    p.restore();
    // A thin light edge.
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), 18, 18);
}

void documentIcon(QPainter& p)
{
    // A sheet with a folded corner and a small map on it.
    QPainterPath sheet;
    sheet.moveTo(12.5, 4.5);
    sheet.lineTo(40.5, 4.5);
    sheet.lineTo(53.5, 17.5);
    sheet.lineTo(53.5, 59.5);
    sheet.lineTo(12.5, 59.5);
    sheet.closeSubpath();
    p.fillPath(sheet.translated(0, 1.5), QColor(0, 0, 0, 40));
    QLinearGradient paper(QPointF(0, 4), QPointF(0, 60));
    paper.setColorAt(0, QColor(255, 255, 255));
    paper.setColorAt(1, QColor(0xee, 0xf2, 0xf6));
    p.fillPath(sheet, paper);
    p.setPen(QPen(QColor(0x7a, 0x86, 0x94), 1));
    p.drawPath(sheet);
    QPainterPath fold;
    fold.moveTo(40.5, 4.5);
    fold.lineTo(40.5, 17.5);
    fold.lineTo(53.5, 17.5);
    fold.closeSubpath();
    p.setBrush(QColor(0xd6, 0xde, 0xe7));
    p.drawPath(fold);
    const QPointF centre(33, 38);
    const QPointF leaves[] = {{45, 28}, {46, 40}, {44, 51}, {21, 30}, {22, 48}};
    const QColor colors[] = {QColor(0xf2, 0xa1, 0x26), QColor(0xe8, 0x6a, 0x4a), QColor(0x5c, 0xb8, 0x5c), QColor(0x3f, 0x9f, 0xd4),
                             QColor(0xa8, 0x6b, 0xcf)};
    for (int i = 0; i < 5; ++i) {
        const QPointF from = centre + QPointF(leaves[i].x() > centre.x() ? 5 : -5, 0);
        p.setPen(QPen(colors[i], 1.8, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(branchCurve(from, leaves[i]));
        p.setPen(Qt::NoPen);
        p.setBrush(colors[i]);
        p.drawEllipse(leaves[i], 2.6, 2.6);
    }
    QLinearGradient topic(QPointF(0, 33), QPointF(0, 43));
    topic.setColorAt(0, QColor(0x2a, 0x6f, 0xb0));
    topic.setColorAt(1, QColor(0x1d, 0x4b, 0x86));
    p.setBrush(topic);
    p.drawRoundedRect(QRectF(centre.x() - 7, centre.y() - 4.5, 14, 9), 4.5, 4.5);
}

// Four arrows at the corners of a square, pointing out (enter full screen) or in (leave).
void fullScreen(QPainter& p, bool outward)
{
    const QColor ink(0x3c, 0x44, 0x4f);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(3.5, 6.5, 25, 19), 3, 3);
    p.setPen(QPen(QColor(0x8a, 0x94, 0xa0), 1));
    p.setBrush(QColor(0xf4, 0xf7, 0xfa));
    p.drawPath(frame);
    p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const QPointF centre(16, 16);
    const QPointF corners[] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const QPointF& c : corners) {
        const QPointF inner = centre + QPointF(c.x() * 3.5, c.y() * 2.2);
        const QPointF outer = centre + QPointF(c.x() * 9.0, c.y() * 6.0);
        const QPointF tip = outward ? outer : inner;
        const QPointF tail = outward ? inner : outer;
        p.drawLine(tail, tip);
        const QPointF back = tail - tip;
        const qreal length = std::hypot(back.x(), back.y());
        const QPointF unit = back / length;
        const QPointF side(-unit.y(), unit.x());
        const qreal head = 3.2;
        QPainterPath arrow;
        arrow.moveTo(tip + unit * head + side * head * 0.75);
        arrow.lineTo(tip);
        arrow.lineTo(tip + unit * head - side * head * 0.75);
        p.drawPath(arrow);
    }
}

// The cross hair of the connection pointers: black strokes over a white halo, so that it shows
// on every map; the hot spot is the centre of its ring.
void crossHair(QPainter& p)
{
    const QPointF centre(16, 16);
    auto strokes = [&](const QPen& pen) {
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, 4.5, 4.5);
        for (const QPointF direction : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)})
            p.drawLine(centre + direction * 7, centre + direction * 13);
    };
    strokes(QPen(QColor(255, 255, 255, 230), 3.5, Qt::SolidLine, Qt::RoundCap));
    strokes(QPen(QColor(20, 20, 20), 1.5, Qt::SolidLine, Qt::RoundCap));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 20));
    p.drawEllipse(centre, 1.2, 1.2);
}

// The badge in the lower right corner: two linked rings; the start marks its first ring, the
// target its second.
enum class LinkEnd { None, Start, Target };

void connectionCursor(QPainter& p, LinkEnd end)
{
    crossHair(p);
    const QPointF first(21.5, 26.5), second(28, 21);
    QPainterPath link = branchCurve(first, second);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 230), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(link);
    p.setPen(QPen(QColor(40, 90, 200), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(link);
    for (const QPointF ring : {first, second}) {
        const bool marked = (end == LinkEnd::Start && ring == first) || (end == LinkEnd::Target && ring == second);
        p.setPen(QPen(QColor(255, 255, 255, 230), 1.2));
        p.setBrush(marked ? QColor(230, 120, 20) : QColor(40, 90, 200));
        p.drawEllipse(ring, marked ? 3.4 : 2.6, marked ? 3.4 : 2.6);
    }
}

// The yellow note's close box: a round, brownish button with a light cross.
void noteCloseBox(QPainter& p, bool pressed)
{
    p.setPen(Qt::NoPen);
    p.setBrush(pressed ? QColor(110, 90, 40) : QColor(160, 140, 80));
    p.drawEllipse(QRectF(0.5, 0.5, 11, 11));
    p.setPen(QPen(QColor(255, 252, 220), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 4), QPointF(8, 8));
    p.drawLine(QPointF(8, 4), QPointF(4, 8));
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: ShellPictures <folder>\n";
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const bool ok = writePicture(folder, QStringLiteral("ix_splash"), {560, 340}, splash)
        && writePicture(folder, QStringLiteral("ix_ixd"), {64, 64}, documentIcon)
        && writePicture(folder, QStringLiteral("toolbar_fullscreen_on"), {32, 32},
                        [](QPainter& p) { fullScreen(p, true); })
        && writePicture(folder, QStringLiteral("toolbar_fullscreen_off"), {32, 32},
                        [](QPainter& p) { fullScreen(p, false); })
        && writePicture(folder, QStringLiteral("canvas_cursor_connection"), {32, 32},
                        [](QPainter& p) { connectionCursor(p, LinkEnd::None); })
        && writePicture(folder, QStringLiteral("canvas_cursor_connection_start"), {32, 32},
                        [](QPainter& p) { connectionCursor(p, LinkEnd::Start); })
        && writePicture(folder, QStringLiteral("canvas_cursor_connection_target"), {32, 32},
                        [](QPainter& p) { connectionCursor(p, LinkEnd::Target); })
        && writePicture(folder, QStringLiteral("canvas_yellownote_close"), {12, 12},
                        [](QPainter& p) { noteCloseBox(p, false); })
        && writePicture(folder, QStringLiteral("canvas_yellownote_close_pressed"), {12, 12},
                        [](QPainter& p) { noteCloseBox(p, true); });
    return ok ? 0 : 1;
}
