// Draws the branch icons (16 x 16 points) into <resources>/branch_icons with their list
// "icons_list.plist", and the map's indicator pictures (20 x 16 points) into
// <resources>/Images, each at 1x and 2x ("name.png", "name@2x.png"). With a second argument
// it also writes an enlarged contact sheet of everything it drew, for looking them over.
#include "PictureSupport/PictureSupport.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTextStream>

#include <cmath>
#include <functional>
#include <vector>

namespace {

// A disc filling the icon, lit from the top, with a darker rim.
void disc(QPainter& p, const QColor& color)
{
    QLinearGradient fill(0, 1, 0, 15);
    fill.setColorAt(0, color.lighter(125));
    fill.setColorAt(1, color.darker(110));
    p.setPen(pen(color.darker(150)));
    p.setBrush(fill);
    p.drawEllipse(QPointF(8, 8), 7, 7);
}

// Text centred on a point, as a filled outline so that it is the same on every machine.
void centredText(QPainter& p, const QString& text, QPointF centre, qreal pixelSize, const QColor& color, bool bold = true)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(100);
    font.setBold(bold);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const qreal scale = pixelSize / 100.0;
    const QRectF bounds = path.boundingRect();
    p.save();
    p.translate(centre);
    p.scale(scale, scale);
    p.translate(-bounds.center());
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(path);
    p.restore();
}

Drawing priority(int number)
{
    static const QColor colors[] = {
        QColor(0xd9, 0x2d, 0x20), QColor(0xee, 0x6c, 0x10), QColor(0xe0, 0xa8, 0x00), QColor(0x3c, 0xa4, 0x36),
        QColor(0x15, 0x9a, 0x9c), QColor(0x25, 0x72, 0xd6), QColor(0x4a, 0x4f, 0xc4), QColor(0x8e, 0x44, 0xb8),
        QColor(0x70, 0x78, 0x82),
    };
    return [number](QPainter& p) {
        disc(p, colors[number - 1]);
        centredText(p, QString::number(number), QPointF(8, 8), 9.5, Qt::white);
    };
}

Drawing flag(QColor color)
{
    return [color](QPainter& p) {
        QPainterPath cloth;
        cloth.moveTo(4, 2);
        cloth.cubicTo(7, 0.5, 9.5, 3.5, 14.5, 2);
        cloth.lineTo(14.5, 9);
        cloth.cubicTo(9.5, 10.5, 7, 7.5, 4, 9);
        cloth.closeSubpath();
        QLinearGradient fill(4, 2, 14.5, 9);
        fill.setColorAt(0, color.lighter(120));
        fill.setColorAt(1, color.darker(105));
        p.setPen(pen(color.darker(160), 0.9));
        p.setBrush(fill);
        p.drawPath(cloth);
        p.setPen(pen(QColor(0x4a, 0x4f, 0x57), 1.4));
        p.drawLine(QPointF(3.3, 1.5), QPointF(3.3, 15));
    };
}

void drawCheck(QPainter& p)
{
    disc(p, QColor(0x2f, 0xa3, 0x3b));
    p.setPen(pen(Qt::white, 2.0));
    p.setBrush(Qt::NoBrush);
    QPainterPath tick;
    tick.moveTo(4.6, 8.3);
    tick.lineTo(7.0, 10.8);
    tick.lineTo(11.6, 5.3);
    p.drawPath(tick);
}

void drawCross(QPainter& p)
{
    disc(p, QColor(0xd7, 0x30, 0x27));
    p.setPen(pen(Qt::white, 2.0));
    p.drawLine(QPointF(5.3, 5.3), QPointF(10.7, 10.7));
    p.drawLine(QPointF(10.7, 5.3), QPointF(5.3, 10.7));
}

void drawQuestion(QPainter& p)
{
    disc(p, QColor(0x2b, 0x74, 0xd0));
    centredText(p, QStringLiteral("?"), QPointF(8, 8), 10, Qt::white);
}

void exclamationMark(QPainter& p, QPointF top, qreal height, const QColor& color)
{
    p.setPen(pen(color, 2.0));
    p.drawLine(top, top + QPointF(0, height * 0.55));
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(top + QPointF(0, height), 1.15, 1.15);
}

void drawExclamation(QPainter& p)
{
    disc(p, QColor(0xef, 0x7d, 0x12));
    exclamationMark(p, QPointF(8, 4.2), 7.2, Qt::white);
}

QPolygonF starShape(QPointF centre, qreal outer, qreal inner)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        const qreal radius = i % 2 ? inner : outer;
        star << centre + QPointF(std::cos(angle) * radius, std::sin(angle) * radius);
    }
    return star;
}

void drawStar(QPainter& p)
{
    QLinearGradient fill(0, 1, 0, 15);
    fill.setColorAt(0, QColor(0xff, 0xe0, 0x5a));
    fill.setColorAt(1, QColor(0xf5, 0xa6, 0x00));
    p.setPen(pen(QColor(0xb8, 0x74, 0x00)));
    p.setBrush(fill);
    p.drawPolygon(starShape(QPointF(8, 8.6), 7.4, 3.1));
}

void drawHeart(QPainter& p)
{
    QPainterPath heart;
    heart.moveTo(8, 14.3);
    heart.cubicTo(3.5, 10.8, 0.8, 8.2, 1.2, 5.0);
    heart.cubicTo(1.6, 2.0, 6.0, 1.0, 8, 4.6);
    heart.cubicTo(10.0, 1.0, 14.4, 2.0, 14.8, 5.0);
    heart.cubicTo(15.2, 8.2, 12.5, 10.8, 8, 14.3);
    QLinearGradient fill(0, 2, 0, 14);
    fill.setColorAt(0, QColor(0xf5, 0x4e, 0x5e));
    fill.setColorAt(1, QColor(0xc4, 0x12, 0x2c));
    p.setPen(pen(QColor(0x8e, 0x0e, 0x22)));
    p.setBrush(fill);
    p.drawPath(heart);
    p.setPen(pen(QColor(255, 255, 255, 150), 1.2));
    p.drawArc(QRectF(3.2, 3.6, 4.4, 4.4), 100 * 16, 70 * 16);
}

Drawing smiley(int mood)
{
    return [mood](QPainter& p) {
        disc(p, QColor(0xff, 0xc9, 0x2e));
        const QColor ink(0x5a, 0x3b, 0x00);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(QPointF(5.8, 6.2), 1.0, 1.25);
        p.drawEllipse(QPointF(10.2, 6.2), 1.0, 1.25);
        p.setPen(pen(ink, 1.2));
        p.setBrush(Qt::NoBrush);
        QPainterPath mouth;
        if (mood > 0) {
            mouth.moveTo(4.6, 9.3);
            mouth.quadTo(8, 13.2, 11.4, 9.3);
        } else if (mood == 0) {
            mouth.moveTo(5.3, 10.6);
            mouth.lineTo(10.7, 10.6);
        } else {
            mouth.moveTo(4.9, 11.8);
            mouth.quadTo(8, 8.6, 11.1, 11.8);
        }
        p.drawPath(mouth);
    };
}

// A bold arrow pointing up, turned by the angle in degrees.
Drawing arrow(qreal angle, QColor color)
{
    return [angle, color](QPainter& p) {
        QPolygonF shape;
        shape << QPointF(8, 1.2) << QPointF(14.6, 7.8) << QPointF(10.6, 7.8) << QPointF(10.6, 14.6) << QPointF(5.4, 14.6)
              << QPointF(5.4, 7.8) << QPointF(1.4, 7.8);
        p.save();
        p.translate(8, 8);
        p.rotate(angle);
        p.translate(-8, -8);
        QLinearGradient fill(0, 1, 0, 15);
        fill.setColorAt(0, color.lighter(125));
        fill.setColorAt(1, color.darker(105));
        p.setPen(pen(color.darker(160)));
        p.setBrush(fill);
        p.drawPolygon(shape);
        p.restore();
    };
}

void drawClock(QPainter& p)
{
    p.setPen(pen(QColor(0x3a, 0x4a, 0x5c), 1.3));
    p.setBrush(QColor(0xfb, 0xfc, 0xfd));
    p.drawEllipse(QPointF(8, 8), 6.6, 6.6);
    p.setPen(pen(QColor(0x8a, 0x96, 0xa3), 0.8));
    for (int hour = 0; hour < 12; hour += 3) {
        const qreal a = hour * M_PI / 6;
        p.drawLine(QPointF(8 + std::sin(a) * 4.6, 8 - std::cos(a) * 4.6), QPointF(8 + std::sin(a) * 5.5, 8 - std::cos(a) * 5.5));
    }
    p.setPen(pen(QColor(0x22, 0x2b, 0x36), 1.3));
    p.drawLine(QPointF(8, 8), QPointF(8, 3.8));
    p.drawLine(QPointF(8, 8), QPointF(11, 9.6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd7, 0x30, 0x27));
    p.drawEllipse(QPointF(8, 8), 0.9, 0.9);
}

void drawCalendar(QPainter& p)
{
    const QRectF page(1.5, 2.5, 13, 12);
    p.setPen(pen(QColor(0x5b, 0x65, 0x70)));
    p.setBrush(Qt::white);
    p.drawRoundedRect(page, 1.5, 1.5);
    QPainterPath header;
    header.addRoundedRect(QRectF(1.5, 2.5, 13, 4), 1.5, 1.5);
    header.addRect(QRectF(1.5, 4.5, 13, 2));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd9, 0x3a, 0x2e));
    p.drawPath(header.simplified());
    p.setPen(pen(QColor(0x5b, 0x65, 0x70)));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(page, 1.5, 1.5);
    p.setPen(pen(QColor(0x3a, 0x42, 0x4b), 1.2));
    p.drawLine(QPointF(5, 1), QPointF(5, 3.8));
    p.drawLine(QPointF(11, 1), QPointF(11, 3.8));
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column) {
            p.setBrush(row == 1 && column == 2 ? QColor(0xd9, 0x3a, 0x2e) : QColor(0x8a, 0x94, 0x9f));
            p.drawRect(QRectF(3 + column * 2.7, 8 + row * 2.1, 1.6, 1.3));
        }
}

void drawPerson(QPainter& p)
{
    const QColor color(0x2f, 0x6f, 0xbf);
    QLinearGradient fill(0, 1, 0, 15);
    fill.setColorAt(0, color.lighter(130));
    fill.setColorAt(1, color.darker(105));
    p.setPen(pen(color.darker(150)));
    p.setBrush(fill);
    QPainterPath body;
    body.moveTo(2, 15);
    body.cubicTo(2, 10.2, 4.8, 9, 8, 9);
    body.cubicTo(11.2, 9, 14, 10.2, 14, 15);
    body.closeSubpath();
    p.drawPath(body);
    p.drawEllipse(QPointF(8, 5), 3.3, 3.3);
}

void drawIdea(QPainter& p)
{
    QRadialGradient glass(QPointF(6.8, 4.6), 6.5);
    glass.setColorAt(0, QColor(0xff, 0xfb, 0xd0));
    glass.setColorAt(1, QColor(0xff, 0xc8, 0x1e));
    QPainterPath bulb;
    bulb.moveTo(5.8, 11);
    bulb.cubicTo(5.6, 8.8, 3, 7.8, 3, 5.4);
    bulb.cubicTo(3, 2.7, 5.3, 0.8, 8, 0.8);
    bulb.cubicTo(10.7, 0.8, 13, 2.7, 13, 5.4);
    bulb.cubicTo(13, 7.8, 10.4, 8.8, 10.2, 11);
    bulb.closeSubpath();
    p.setPen(pen(QColor(0xb5, 0x80, 0x00)));
    p.setBrush(glass);
    p.drawPath(bulb);
    p.setPen(pen(QColor(0x6b, 0x72, 0x7c), 1.2));
    p.drawLine(QPointF(6, 12.4), QPointF(10, 12.4));
    p.drawLine(QPointF(6.3, 14.1), QPointF(9.7, 14.1));
    p.setPen(pen(QColor(0xd0, 0x8a, 0x00), 0.8));
    p.drawLine(QPointF(6.8, 10.6), QPointF(7.2, 7.2));
    p.drawLine(QPointF(9.2, 10.6), QPointF(8.8, 7.2));
}

void drawWarning(QPainter& p)
{
    QPainterPath triangle;
    triangle.moveTo(8, 1.3);
    triangle.lineTo(15.2, 14.4);
    triangle.lineTo(0.8, 14.4);
    triangle.closeSubpath();
    QLinearGradient fill(0, 1, 0, 15);
    fill.setColorAt(0, QColor(0xff, 0xdd, 0x3c));
    fill.setColorAt(1, QColor(0xf7, 0xb5, 0x00));
    p.setPen(pen(QColor(0xa8, 0x6a, 0x00)));
    p.setBrush(fill);
    p.drawPath(triangle);
    exclamationMark(p, QPointF(8, 5.6), 6.6, QColor(0x2b, 0x22, 0x10));
}

void drawInfo(QPainter& p)
{
    disc(p, QColor(0x1f, 0x7a, 0xd6));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 4.6), 1.2, 1.2);
    p.setPen(pen(Qt::white, 2.0));
    p.drawLine(QPointF(8, 7.4), QPointF(8, 11.8));
}

void drawMoney(QPainter& p)
{
    QRadialGradient gold(QPointF(6, 5), 9);
    gold.setColorAt(0, QColor(0xff, 0xe8, 0x7a));
    gold.setColorAt(1, QColor(0xe6, 0xa2, 0x0b));
    p.setPen(pen(QColor(0xa0, 0x6b, 0x00)));
    p.setBrush(gold);
    p.drawEllipse(QPointF(8, 8), 7, 7);
    p.setPen(pen(QColor(0xc4, 0x86, 0x05), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 5.3, 5.3);
    centredText(p, QStringLiteral("$"), QPointF(8, 8), 9, QColor(0x7a, 0x4c, 0x00));
}

void drawPhone(QPainter& p)
{
    p.setPen(pen(QColor(0x24, 0x2a, 0x31)));
    p.setBrush(QColor(0x3b, 0x43, 0x4d));
    p.drawRoundedRect(QRectF(3.5, 0.5, 9, 15), 2, 2);
    QLinearGradient screen(0, 2, 0, 12);
    screen.setColorAt(0, QColor(0x8f, 0xd3, 0xff));
    screen.setColorAt(1, QColor(0x3a, 0x8e, 0xd8));
    p.setPen(Qt::NoPen);
    p.setBrush(screen);
    p.drawRect(QRectF(5, 2.5, 6, 9));
    p.setBrush(QColor(0xc8, 0xcf, 0xd6));
    p.drawEllipse(QPointF(8, 13.5), 0.9, 0.9);
}

void drawMail(QPainter& p)
{
    const QRectF envelope(1.5, 3.5, 13, 9);
    QLinearGradient fill(0, 3, 0, 13);
    fill.setColorAt(0, Qt::white);
    fill.setColorAt(1, QColor(0xe4, 0xe8, 0xee));
    p.setPen(pen(QColor(0x5b, 0x65, 0x70)));
    p.setBrush(fill);
    p.drawRoundedRect(envelope, 1, 1);
    p.setBrush(Qt::NoBrush);
    QPainterPath flap;
    flap.moveTo(1.8, 4);
    flap.lineTo(8, 9);
    flap.lineTo(14.2, 4);
    p.drawPath(flap);
    p.setPen(pen(QColor(0xa0, 0xa8, 0xb2), 0.8));
    p.drawLine(QPointF(2, 12), QPointF(6.2, 8.3));
    p.drawLine(QPointF(14, 12), QPointF(9.8, 8.3));
}

void drawHome(QPainter& p)
{
    QPainterPath walls;
    walls.addRect(QRectF(3.5, 7.5, 9, 7));
    p.setPen(pen(QColor(0x6b, 0x5a, 0x46)));
    p.setBrush(QColor(0xf6, 0xec, 0xd8));
    p.drawPath(walls);
    p.setBrush(QColor(0x8a, 0x5a, 0x2b));
    p.drawRect(QRectF(6.8, 10.2, 2.6, 4.3));
    QPainterPath roof;
    roof.moveTo(1, 8.3);
    roof.lineTo(8, 1.5);
    roof.lineTo(15, 8.3);
    roof.lineTo(13.3, 8.3);
    roof.lineTo(8, 3.4);
    roof.lineTo(2.7, 8.3);
    roof.closeSubpath();
    p.setPen(pen(QColor(0x8e, 0x1f, 0x16)));
    p.setBrush(QColor(0xd6, 0x3a, 0x2a));
    p.drawPath(roof);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7c, 0xc2, 0xf0));
    p.drawRect(QRectF(10.2, 9.6, 1.6, 1.6));
}

// Indicators: 20 x 16 points, shown small beside a branch title, so bold and simple.

void drawAttachmentIndicator(QPainter& p)
{
    // A paper clip lying at a slant.
    p.save();
    p.translate(10, 8);
    p.rotate(-40);
    QPainterPath clip;
    clip.moveTo(-1.8, -3.2);
    clip.lineTo(-1.8, 4.0);
    clip.arcTo(QRectF(-1.8, 2.2, 3.6, 3.6), 180, 180);
    clip.lineTo(1.8, -5.0);
    clip.arcTo(QRectF(-3.6, -7.8, 5.4, 5.4), 0, 180);
    clip.lineTo(-3.6, 4.8);
    // A light halo keeps the clip visible on dark map backgrounds.
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(QColor(255, 255, 255, 210), 3.4));
    p.drawPath(clip);
    p.setPen(pen(QColor(0x3c, 0x46, 0x52), 1.6));
    p.drawPath(clip);
    p.restore();
}

void drawNoteIndicator(QPainter& p)
{
    // A yellow note with its lower right corner turned up.
    QPainterPath note;
    note.moveTo(3.5, 1.5);
    note.lineTo(16.5, 1.5);
    note.lineTo(16.5, 10.5);
    note.lineTo(12.5, 14.5);
    note.lineTo(3.5, 14.5);
    note.closeSubpath();
    p.setPen(pen(QColor(0x9a, 0x78, 0x00), 1.2));
    p.setBrush(QColor(0xff, 0xe0, 0x66));
    p.drawPath(note);
    QPainterPath corner;
    corner.moveTo(16.5, 10.5);
    corner.lineTo(12.5, 10.5);
    corner.lineTo(12.5, 14.5);
    corner.closeSubpath();
    p.setBrush(QColor(0xe8, 0xbe, 0x2a));
    p.drawPath(corner);
    p.setPen(pen(QColor(0x7a, 0x5e, 0x00), 1.3));
    p.drawLine(QPointF(6, 5), QPointF(14, 5));
    p.drawLine(QPointF(6, 8), QPointF(14, 8));
    p.drawLine(QPointF(6, 11), QPointF(10, 11));
}

void drawOutlineIndicator(QPainter& p)
{
    // An indented list on a card: three bullets with their lines, the last two indented.
    p.setPen(pen(QColor(0x5b, 0x65, 0x70), 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(1.5, 1.5, 17, 13), 2, 2);
    const QColor bullet(0x25, 0x72, 0xd6);
    const QColor line(0x4a, 0x54, 0x60);
    const struct {
        qreal x;
        qreal y;
    } rows[] = {{4.5, 4.8}, {8, 8}, {8, 11.2}};
    for (const auto& row : rows) {
        p.setPen(Qt::NoPen);
        p.setBrush(bullet);
        p.drawEllipse(QPointF(row.x, row.y), 1.3, 1.3);
        p.setPen(pen(line, 1.3));
        p.drawLine(QPointF(row.x + 2.6, row.y), QPointF(15.5, row.y));
    }
}

struct Picture {
    QString name;
    QString tooltip;
    QSize points;
    Drawing draw;
};

QImage renderPicture(const Picture& picture, int scale)
{
    return renderDrawing(picture.draw, picture.points, scale);
}

bool save(const Picture& picture, const QString& folder)
{
    for (int scale : {1, 2}) {
        const QString path = folder + QLatin1Char('/') + picture.name + (scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png"));
        if (!renderPicture(picture, scale).save(path, "PNG")) {
            QTextStream(stderr) << "cannot write " << path << "\n";
            return false;
        }
    }
    return true;
}

QString escaped(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&amp;")).replace(QLatin1Char('<'), QStringLiteral("&lt;"));
}

// The list as an XML property list, without a document type declaration.
bool writeList(const std::vector<Picture>& icons, const QString& path)
{
    QString text;
    QTextStream out(&text);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n\t<key>ID_STORAGE</key>\n\t<array>\n";
    for (const Picture& icon : icons) out << "\t\t<string>" << escaped(icon.name) << "</string>\n";
    out << "\t</array>\n\t<key>INFO_STORAGE</key>\n\t<dict>\n";
    for (const Picture& icon : icons) {
        out << "\t\t<key>" << escaped(icon.name) << "</key>\n\t\t<dict>\n"
            << "\t\t\t<key>ICON_FILE</key>\n\t\t\t<string>" << escaped(icon.name) << ".png</string>\n"
            << "\t\t\t<key>ICON_TOOLTIP</key>\n\t\t\t<string>" << escaped(icon.tooltip) << "</string>\n\t\t</dict>\n";
    }
    out << "\t</dict>\n</dict>\n</plist>\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0) {
        QTextStream(stderr) << "cannot write " << path << "\n";
        return false;
    }
    return true;
}

// Every picture at 1x (enlarged six times) and 2x (three times) on a light and a dark strip.
QImage contactSheet(const std::vector<Picture>& pictures)
{
    const QSize cell(2 * 6 * 20 + 24, 2 * 6 * 16 + 40);
    const int columns = 6;
    const int rows = int(pictures.size() + columns - 1) / columns;
    QImage sheet(columns * cell.width(), rows * cell.height(), QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0xf4, 0xf4, 0xf4));
    QPainter painter(&sheet);
    for (size_t i = 0; i < pictures.size(); ++i) {
        const QPoint origin(int(i % columns) * cell.width(), int(i / columns) * cell.height());
        const int strip = 6 * 16 + 8;
        painter.fillRect(QRect(origin + QPoint(0, 16 + strip), QSize(cell.width(), strip)), QColor(0x2e, 0x33, 0x3a));
        for (int scale : {1, 2}) {
            QImage image = renderPicture(pictures[i], scale);
            image.setDevicePixelRatio(1);
            const QImage big = image.scaled(image.size() * (6 / scale), Qt::KeepAspectRatio, Qt::FastTransformation);
            const int x = origin.x() + 4 + (scale - 1) * (6 * 20 + 12);
            painter.drawImage(x, origin.y() + 20, big);
            painter.drawImage(x, origin.y() + 20 + strip, big);
        }
        painter.setPen(QColor(0x90, 0x20, 0x20));
        painter.drawText(origin + QPoint(4, 13), pictures[i].name);
    }
    return sheet;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        QTextStream(stderr) << "usage: BranchIcons <resources folder> [contact sheet.png]\n";
        return 2;
    }
    const QString resources = QString::fromLocal8Bit(argv[1]);
    const QSize icon(16, 16);
    std::vector<Picture> icons;
    for (int number = 1; number <= 9; ++number)
        icons.push_back({QStringLiteral("priority_%1").arg(number), QStringLiteral("Priority %1").arg(number), icon, priority(number)});
    const struct {
        const char* name;
        const char* tooltip;
        QColor color;
    } flags[] = {
        {"flag_red", "Red flag", QColor(0xdc, 0x2e, 0x24)},       {"flag_orange", "Orange flag", QColor(0xf0, 0x7a, 0x12)},
        {"flag_yellow", "Yellow flag", QColor(0xf5, 0xc4, 0x00)}, {"flag_green", "Green flag", QColor(0x34, 0xa0, 0x3a)},
        {"flag_blue", "Blue flag", QColor(0x25, 0x6f, 0xd4)},     {"flag_purple", "Purple flag", QColor(0x8a, 0x43, 0xb5)},
    };
    for (const auto& f : flags) icons.push_back({QString::fromLatin1(f.name), QString::fromLatin1(f.tooltip), icon, flag(f.color)});
    const std::vector<Picture> others = {
        {QStringLiteral("check"), QStringLiteral("Done"), icon, drawCheck},
        {QStringLiteral("cross"), QStringLiteral("Cancelled"), icon, drawCross},
        {QStringLiteral("question"), QStringLiteral("Question"), icon, drawQuestion},
        {QStringLiteral("exclamation"), QStringLiteral("Important"), icon, drawExclamation},
        {QStringLiteral("star"), QStringLiteral("Star"), icon, drawStar},
        {QStringLiteral("heart"), QStringLiteral("Favourite"), icon, drawHeart},
        {QStringLiteral("smiley_happy"), QStringLiteral("Happy"), icon, smiley(1)},
        {QStringLiteral("smiley_neutral"), QStringLiteral("Neutral"), icon, smiley(0)},
        {QStringLiteral("smiley_sad"), QStringLiteral("Sad"), icon, smiley(-1)},
        {QStringLiteral("arrow_up"), QStringLiteral("Up"), icon, arrow(0, QColor(0x2f, 0xa3, 0x3b))},
        {QStringLiteral("arrow_down"), QStringLiteral("Down"), icon, arrow(180, QColor(0xd7, 0x30, 0x27))},
        {QStringLiteral("arrow_left"), QStringLiteral("Back"), icon, arrow(-90, QColor(0x25, 0x72, 0xd6))},
        {QStringLiteral("arrow_right"), QStringLiteral("Forward"), icon, arrow(90, QColor(0x25, 0x72, 0xd6))},
        {QStringLiteral("clock"), QStringLiteral("Time"), icon, drawClock},
        {QStringLiteral("calendar"), QStringLiteral("Date"), icon, drawCalendar},
        {QStringLiteral("person"), QStringLiteral("Person"), icon, drawPerson},
        {QStringLiteral("idea"), QStringLiteral("Idea"), icon, drawIdea},
        {QStringLiteral("warning"), QStringLiteral("Warning"), icon, drawWarning},
        {QStringLiteral("info"), QStringLiteral("Information"), icon, drawInfo},
        {QStringLiteral("money"), QStringLiteral("Money"), icon, drawMoney},
        {QStringLiteral("phone"), QStringLiteral("Phone"), icon, drawPhone},
        {QStringLiteral("mail"), QStringLiteral("Mail"), icon, drawMail},
        {QStringLiteral("home"), QStringLiteral("Home"), icon, drawHome},
    };
    icons.insert(icons.end(), others.begin(), others.end());
    const QSize indicator(20, 16);
    const std::vector<Picture> indicators = {
        {QStringLiteral("canvas_attachment_indicator"), QString(), indicator, drawAttachmentIndicator},
        {QStringLiteral("canvas_branch_note_indicator"), QString(), indicator, drawNoteIndicator},
        {QStringLiteral("canvas_outline_indicator"), QString(), indicator, drawOutlineIndicator},
    };

    const QString iconFolder = resources + QStringLiteral("/branch_icons");
    const QString imageFolder = resources + QStringLiteral("/Images");
    QDir().mkpath(iconFolder);
    QDir().mkpath(imageFolder);
    for (const Picture& picture : icons)
        if (!save(picture, iconFolder)) return 1;
    for (const Picture& picture : indicators)
        if (!save(picture, imageFolder)) return 1;
    if (!writeList(icons, iconFolder + QStringLiteral("/icons_list.plist"))) return 1;
    if (argc == 3) {
        std::vector<Picture> all = icons;
        all.insert(all.end(), indicators.begin(), indicators.end());
        if (!contactSheet(all).save(QString::fromLocal8Bit(argv[2]), "PNG")) return 1;
    }
    return 0;
}
