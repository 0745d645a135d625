// Draws the reference icons and the browse button (16 x 16 points) and the "notfound" picture (64 x 64 points)
// as PNG files at 1x and 2x ("name.png", "name@2x.png") into the folder given as argument.
#include "PictureSupport/PictureSupport.h"

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTextStream>

#include <functional>

namespace {

const QColor Outline(0x6f, 0x76, 0x80);
const QColor PaperFold(0xdd, 0xe2, 0xe8);
const QColor TextLine(0x9a, 0xa3, 0xad);

// A sheet of paper with its top right corner folded.
void paper(QPainter& p, const QColor& fill = Qt::white, const QColor& outline = Outline, const QColor& fold = PaperFold)
{
    QPainterPath sheet;
    sheet.moveTo(2.5, 0.5);
    sheet.lineTo(9.5, 0.5);
    sheet.lineTo(13.5, 4.5);
    sheet.lineTo(13.5, 15.5);
    sheet.lineTo(2.5, 15.5);
    sheet.closeSubpath();
    p.setPen(pen(outline));
    p.setBrush(fill);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(9.5, 0.5);
    corner.lineTo(9.5, 4.5);
    corner.lineTo(13.5, 4.5);
    corner.closeSubpath();
    p.setBrush(fold);
    p.drawPath(corner);
}

void textLines(QPainter& p, const QColor& color, qreal top, int count)
{
    p.setPen(pen(color));
    for (int line = 0; line < count; ++line) {
        const qreal y = top + line * 2.0;
        p.drawLine(QPointF(4.5, y), QPointF(line == count - 1 ? 8.5 : 11.5, y));
    }
}

// A small landscape in the rectangle: sky, sun and two hills.
void landscape(QPainter& p, const QRectF& frame, bool muted = false)
{
    p.save();
    p.setClipRect(frame);
    QLinearGradient sky(frame.topLeft(), frame.bottomLeft());
    sky.setColorAt(0, muted ? QColor(0xe6, 0xe9, 0xed) : QColor(0x7f, 0xc3, 0xf2));
    sky.setColorAt(1, muted ? QColor(0xf1, 0xf3, 0xf5) : QColor(0xc9, 0xe8, 0xfb));
    p.fillRect(frame, sky);
    const qreal w = frame.width();
    const qreal h = frame.height();
    p.setPen(Qt::NoPen);
    p.setBrush(muted ? QColor(0xcf, 0xd4, 0xda) : QColor(0xff, 0xc9, 0x3c));
    p.drawEllipse(QPointF(frame.left() + w * 0.72, frame.top() + h * 0.3), w * 0.13, w * 0.13);
    QPainterPath back;
    back.moveTo(frame.left(), frame.bottom());
    back.lineTo(frame.left(), frame.top() + h * 0.7);
    back.quadTo(frame.left() + w * 0.3, frame.top() + h * 0.32, frame.left() + w * 0.62, frame.top() + h * 0.72);
    back.lineTo(frame.left() + w * 0.62, frame.bottom());
    back.closeSubpath();
    p.setBrush(muted ? QColor(0xb4, 0xbb, 0xc4) : QColor(0x4f, 0x9e, 0x45));
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(frame.left() + w * 0.25, frame.bottom());
    front.quadTo(frame.left() + w * 0.65, frame.top() + h * 0.45, frame.right(), frame.top() + h * 0.62);
    front.lineTo(frame.right(), frame.bottom());
    front.closeSubpath();
    p.setBrush(muted ? QColor(0x9e, 0xa6, 0xb0) : QColor(0x76, 0xbf, 0x52));
    p.drawPath(front);
    p.restore();
}

// A landscape in the rectangle with a thin frame around it.
void framedLandscape(QPainter& p, const QRectF& frame)
{
    landscape(p, frame);
    p.setPen(pen(QColor(0x8a, 0x93, 0x9e), 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame);
}

void drawFile(QPainter& p)
{
    paper(p);
}

void drawTextFile(QPainter& p)
{
    paper(p);
    textLines(p, TextLine, 6.5, 4);
}

void drawPictureFile(QPainter& p)
{
    paper(p);
    framedLandscape(p, QRectF(4.5, 6.5, 7, 6));
}

void drawVideoFile(QPainter& p)
{
    paper(p);
    const QRectF screen(4.5, 6.5, 7, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x36, 0x3d, 0x4a));
    p.drawRoundedRect(screen, 1, 1);
    // Sprocket holes along both edges of the strip.
    p.setBrush(QColor(0xc9, 0xcf, 0xd6));
    for (int hole = 0; hole < 3; ++hole) {
        const qreal y = 7.0 + hole * 2.0;
        p.drawRect(QRectF(5.0, y, 1.0, 1.0));
        p.drawRect(QRectF(10.0, y, 1.0, 1.0));
    }
    QPolygonF play;
    play << QPointF(6.9, 7.9) << QPointF(9.6, 9.5) << QPointF(6.9, 11.1);
    p.setBrush(QColor(0xff, 0xff, 0xff));
    p.drawPolygon(play);
}

void drawSoundFile(QPainter& p)
{
    paper(p);
    const QColor note(0x7a, 0x4f, 0xc6);
    p.setPen(Qt::NoPen);
    p.setBrush(note);
    p.save();
    p.translate(6.6, 12.1);
    p.rotate(-25);
    p.drawEllipse(QPointF(0, 0), 1.8, 1.3);
    p.restore();
    p.setPen(pen(note, 1.1));
    p.drawLine(QPointF(8.2, 11.7), QPointF(8.2, 5.8));
    QPainterPath flag;
    flag.moveTo(8.2, 5.8);
    flag.cubicTo(8.6, 7.4, 11.2, 7.4, 10.6, 9.8);
    p.setBrush(Qt::NoBrush);
    p.drawPath(flag);
}

void drawFlashFile(QPainter& p)
{
    paper(p);
    QPolygonF bolt;
    bolt << QPointF(9.6, 5.5) << QPointF(5.6, 10.4) << QPointF(7.9, 10.4) << QPointF(6.8, 14.0) << QPointF(10.9, 8.9)
         << QPointF(8.6, 8.9) << QPointF(9.6, 5.5);
    p.setPen(pen(QColor(0xb8, 0x2e, 0x1c), 0.6));
    p.setBrush(QColor(0xe8, 0x4b, 0x2c));
    p.drawPolygon(bolt);
}

void drawFolder(QPainter& p)
{
    const QColor outline(0x2f, 0x6c, 0xa8);
    QPainterPath back;
    back.moveTo(1.5, 13.5);
    back.lineTo(1.5, 3.0);
    back.quadTo(1.5, 2.5, 2.0, 2.5);
    back.lineTo(5.8, 2.5);
    back.lineTo(7.3, 4.0);
    back.lineTo(14.0, 4.0);
    back.quadTo(14.5, 4.0, 14.5, 4.5);
    back.lineTo(14.5, 13.5);
    back.closeSubpath();
    p.setPen(pen(outline));
    p.setBrush(QColor(0x4f, 0x8f, 0xd0));
    p.drawPath(back);
    QLinearGradient front(0, 6, 0, 14);
    front.setColorAt(0, QColor(0x8c, 0xc2, 0xf0));
    front.setColorAt(1, QColor(0x62, 0xa4, 0xe3));
    p.setBrush(front);
    p.drawRoundedRect(QRectF(1.5, 6.0, 13, 7.5), 0.8, 0.8);
}

void drawWeb(QPainter& p)
{
    const QPointF centre(8, 8);
    const qreal radius = 6.5;
    QRadialGradient sea(QPointF(6.2, 5.8), 8.5);
    sea.setColorAt(0, QColor(0x6f, 0xb5, 0xf0));
    sea.setColorAt(1, QColor(0x23, 0x6c, 0xbf));
    p.setPen(pen(QColor(0x1d, 0x58, 0x9e)));
    p.setBrush(sea);
    p.drawEllipse(centre, radius, radius);
    QPainterPath disc;
    disc.addEllipse(centre, radius - 0.5, radius - 0.5);
    p.save();
    p.setClipPath(disc);
    p.setPen(pen(QColor(255, 255, 255, 190), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 2.9, radius);
    p.drawLine(QPointF(8, 1), QPointF(8, 15));
    p.drawLine(QPointF(1, 8), QPointF(15, 8));
    p.drawLine(QPointF(1, 4.9), QPointF(15, 4.9));
    p.drawLine(QPointF(1, 11.1), QPointF(15, 11.1));
    p.restore();
}

void drawMail(QPainter& p)
{
    const QRectF envelope(1.5, 3.5, 13, 9);
    const QColor outline(0x5f, 0x6b, 0x7a);
    p.setPen(pen(outline));
    p.setBrush(QColor(0xfb, 0xfc, 0xfd));
    p.drawRoundedRect(envelope, 0.8, 0.8);
    QPainterPath flap;
    flap.moveTo(1.9, 3.9);
    flap.lineTo(8, 9.0);
    flap.lineTo(14.1, 3.9);
    p.setBrush(QColor(0xe4, 0xea, 0xf1));
    p.drawPath(flap);
    p.setPen(pen(QColor(0xa7, 0xb1, 0xbd), 0.8));
    p.drawLine(QPointF(1.9, 12.1), QPointF(6.2, 8.0));
    p.drawLine(QPointF(14.1, 12.1), QPointF(9.8, 8.0));
}

void drawNoLink(QPainter& p)
{
    // Two links of a chain, pulled apart, and a stroke through them.
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(QColor(0x7d, 0x85, 0x90), 1.5));
    p.save();
    p.translate(8, 8);
    p.rotate(-45);
    p.drawRoundedRect(QRectF(-6.8, -2.2, 6.0, 4.4), 2.2, 2.2);
    p.drawRoundedRect(QRectF(0.8, -2.2, 6.0, 4.4), 2.2, 2.2);
    p.restore();
    p.setPen(pen(QColor(0xd6, 0x3f, 0x31), 1.6));
    p.drawLine(QPointF(3.0, 3.0), QPointF(13.0, 13.0));
}

void drawTextNote(QPainter& p)
{
    paper(p, QColor(0xff, 0xe2, 0x6e), QColor(0xb9, 0x8f, 0x1a), QColor(0xf3, 0xc9, 0x45));
    textLines(p, QColor(0xb3, 0x8a, 0x24), 6.5, 4);
}

void drawPicture(QPainter& p)
{
    const QRectF frame(1.5, 2.5, 13, 11);
    p.setPen(pen(Outline));
    p.setBrush(Qt::white);
    p.drawRoundedRect(frame, 1, 1);
    framedLandscape(p, QRectF(3.0, 4.0, 10, 8));
}

void drawConnection(QPainter& p)
{
    const QColor branch(0x62, 0xa4, 0xe3);
    const QColor branchOutline(0x2f, 0x6c, 0xa8);
    const QColor line(0xd8, 0x5f, 0x2f);
    p.setPen(pen(branchOutline));
    p.setBrush(branch);
    p.drawRoundedRect(QRectF(0.5, 11.0, 6.5, 4.5), 1.5, 1.5);
    p.drawRoundedRect(QRectF(9.0, 0.5, 6.5, 4.5), 1.5, 1.5);
    QPainterPath curve;
    curve.moveTo(3.75, 11.0);
    curve.cubicTo(3.75, 6.0, 4.5, 2.75, 7.4, 2.75);
    p.setPen(pen(line, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    QPolygonF head;
    head << QPointF(9.0, 2.75) << QPointF(6.6, 1.2) << QPointF(6.6, 4.3);
    p.setPen(pen(line, 0.5));
    p.setBrush(line);
    p.drawPolygon(head);
}

// The browse button: a round button with three dots.
void drawBrowse(QPainter& p)
{
    p.setPen(pen(Outline));
    p.setBrush(QColor(0xf4, 0xf5, 0xf7));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0x51, 0x5a));
    for (qreal x : {5.0, 8.0, 11.0}) p.drawEllipse(QPointF(x, 8.0), 1.1, 1.1);
}

void drawNotFound(QPainter& p)
{
    const QRectF frame(4.5, 8.5, 55, 47);
    p.setPen(pen(QColor(0xa3, 0xaa, 0xb3), 1.5));
    p.setBrush(QColor(0xf6, 0xf7, 0xf9));
    p.drawRoundedRect(frame, 4, 4);
    const QRectF inner(10, 14, 44, 36);
    landscape(p, inner, true);
    p.setPen(pen(QColor(0xb4, 0xbb, 0xc4), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(inner);
    // A badge with a cross where the picture should be.
    const QPointF centre(49, 48);
    p.setPen(pen(Qt::white, 2.5));
    p.setBrush(QColor(0xd6, 0x3f, 0x31));
    p.drawEllipse(centre, 10, 10);
    p.setPen(pen(Qt::white, 3));
    p.drawLine(centre + QPointF(-4, -4), centre + QPointF(4, 4));
    p.drawLine(centre + QPointF(4, -4), centre + QPointF(-4, 4));
}

bool render(const QString& folder, const QString& name, int points, const Drawing& draw)
{
    for (int scale : {1, 2}) {
        const QImage image = renderDrawing(draw, QSize(points, points), scale);
        const QString path = folder + QLatin1Char('/') + name + (scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png"));
        if (!image.save(path, "PNG")) {
            QTextStream(stderr) << "cannot write " << path << "\n";
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: ReferencePictures <output folder>\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const struct {
        const char* name;
        int points;
        Drawing draw;
    } pictures[] = {
        {"object_nolink", 16, drawNoLink},
        {"object_link_folder", 16, drawFolder},
        {"object_link_file", 16, drawFile},
        {"object_link_web", 16, drawWeb},
        {"object_link_mail", 16, drawMail},
        {"object_link_textfile", 16, drawTextFile},
        {"object_link_picture", 16, drawPictureFile},
        {"object_link_video", 16, drawVideoFile},
        {"object_link_sound", 16, drawSoundFile},
        {"object_link_flash", 16, drawFlashFile},
        {"object_text_note", 16, drawTextNote},
        {"object_picture", 16, drawPicture},
        {"object_branch_connection", 16, drawConnection},
        {"object_browse", 16, drawBrowse},
        {"notfound", 64, drawNotFound},
    };
    for (const auto& picture : pictures) {
        if (!render(folder, QString::fromLatin1(picture.name), picture.points, picture.draw)) return 1;
    }
    return 0;
}
