#include "shell/product_picture.h"

#include <QColor>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QtMath>

#include <algorithm>
#include <array>

// The images are built into a static library: nothing would pull them into the
// program unless they are registered by name, outside any namespace.
static void registerImages() { Q_INIT_RESOURCE(rigsmith_images); }

namespace shell {
namespace {

void initImages()
{
    static const bool registered = [] {
        registerImages();
        return true;
    }();
    (void)registered;
}


struct Beam {
    double lampX;   // where the lamp hangs on the truss
    double floorX;  // centre of its pool of light on the stage floor
    QColor colour;
};

constexpr double trussTop = 16.0;
constexpr double trussHeight = 18.0;
constexpr double lampY = trussTop + trussHeight + 14.0;
constexpr double floorY = 196.0;

void paintBackdrop(QPainter& p, const QRectF& area)
{
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0.0, QColor(8, 10, 28));
    sky.setColorAt(0.6, QColor(22, 18, 48));
    sky.setColorAt(1.0, QColor(4, 4, 10));
    p.fillRect(area, sky);

    // The stage floor: a slightly lighter band with a front edge.
    const QRectF floor(0.0, floorY - 18.0, area.width(), 40.0);
    QLinearGradient boards(floor.topLeft(), floor.bottomLeft());
    boards.setColorAt(0.0, QColor(30, 26, 40));
    boards.setColorAt(1.0, QColor(14, 12, 20));
    p.fillRect(floor, boards);
    p.setPen(QPen(QColor(70, 60, 80), 1.0));
    p.drawLine(QPointF(0.0, floor.bottom()), QPointF(area.width(), floor.bottom()));
}

void paintBeam(QPainter& p, const Beam& beam)
{
    const QPointF lamp(beam.lampX, lampY);
    const double spread = 34.0;
    QPolygonF cone;
    cone << QPointF(beam.lampX - 5.0, lampY) << QPointF(beam.lampX + 5.0, lampY)
         << QPointF(beam.floorX + spread, floorY) << QPointF(beam.floorX - spread, floorY);

    QColor bright = beam.colour;
    bright.setAlpha(150);
    QColor faint = beam.colour;
    faint.setAlpha(35);
    QLinearGradient light(lamp, QPointF(beam.floorX, floorY));
    light.setColorAt(0.0, bright);
    light.setColorAt(1.0, faint);
    p.setPen(Qt::NoPen);
    p.setBrush(light);
    p.drawPolygon(cone);

    QRadialGradient pool(QPointF(beam.floorX, floorY), spread + 6.0);
    QColor hot = beam.colour;
    hot.setAlpha(170);
    QColor edge = beam.colour;
    edge.setAlpha(0);
    pool.setColorAt(0.0, hot);
    pool.setColorAt(1.0, edge);
    p.setBrush(pool);
    p.drawEllipse(QPointF(beam.floorX, floorY), spread + 6.0, 9.0);
}

void paintLampHead(QPainter& p, double x)
{
    // Yoke hanging from the truss, then the head with its lens.
    p.setPen(QPen(QColor(120, 120, 130), 2.0));
    p.drawLine(QPointF(x, trussTop + trussHeight), QPointF(x, lampY - 8.0));
    p.setPen(QPen(QColor(60, 60, 66), 1.0));
    p.setBrush(QColor(90, 90, 100));
    p.drawRoundedRect(QRectF(x - 11.0, lampY - 10.0, 22.0, 14.0), 3.0, 3.0);
    p.setBrush(QColor(250, 245, 220));
    p.drawEllipse(QPointF(x, lampY + 3.0), 6.0, 2.5);
}

void paintTruss(QPainter& p, double width)
{
    const QRectF truss(12.0, trussTop, width - 24.0, trussHeight);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(150, 150, 160), 2.0));
    p.drawLine(truss.topLeft(), truss.topRight());
    p.drawLine(truss.bottomLeft(), truss.bottomRight());
    p.setPen(QPen(QColor(110, 110, 120), 1.0));
    bool up = true;
    for (double x = truss.left(); x + trussHeight <= truss.right(); x += trussHeight) {
        p.drawLine(QPointF(x, up ? truss.bottom() : truss.top()),
                   QPointF(x + trussHeight, up ? truss.top() : truss.bottom()));
        up = !up;
    }
}

void paintTitle(QPainter& p, const QRectF& area)
{
    QFont small(QStringLiteral("Sans Serif"));
    small.setPixelSize(17);
    small.setBold(true);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 6.0);
    p.setFont(small);
    p.setPen(QColor(230, 190, 90));
    p.drawText(QRectF(0.0, 222.0, area.width(), 22.0), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("TARSEN"));

    QFont large(QStringLiteral("Serif"));
    large.setPixelSize(46);
    large.setBold(true);
    p.setFont(large);
    p.setPen(QColor(0, 0, 0, 160));
    const QRectF titleBox(0.0, 242.0, area.width(), 52.0);
    p.drawText(titleBox.translated(2.0, 2.0), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Rigsmith"));
    p.setPen(QColor(245, 240, 230));
    p.drawText(titleBox, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Rigsmith"));

    QFont tag(QStringLiteral("Sans Serif"));
    tag.setPixelSize(12);
    p.setFont(tag);
    p.setPen(QColor(170, 170, 190));
    p.drawText(QRectF(0.0, 294.0, area.width(), 20.0), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Lamp definitions and stage patches for Dornick consoles"));
}

}  // namespace

QPixmap productPicture(qreal devicePixelRatio)
{
    // Painted in the picture's own pixels, scaled for the screen: sharp at any ratio.
    const qreal ratio = std::clamp(devicePixelRatio, 1.0, 8.0);
    QImage image(QSize(qCeil(productPictureSize.width() * ratio), qCeil(productPictureSize.height() * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF area(QPointF(0.0, 0.0), QSizeF(productPictureSize));
    paintBackdrop(p, area);

    const std::array<Beam, 4> beams = {{
        {72.0, 140.0, QColor(255, 170, 40)},
        {184.0, 110.0, QColor(60, 200, 255)},
        {300.0, 372.0, QColor(235, 70, 200)},
        {412.0, 340.0, QColor(255, 250, 235)},
    }};
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    for (const Beam& beam : beams)
        paintBeam(p, beam);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    paintTruss(p, area.width());
    for (const Beam& beam : beams)
        paintLampHead(p, beam.lampX);
    paintTitle(p, area);

    p.setPen(QPen(QColor(80, 80, 100), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area.adjusted(0.5, 0.5, -0.5, -0.5));
    p.end();
    return QPixmap::fromImage(image);
}

QIcon productIcon()
{
    initImages();
    return QIcon(QStringLiteral(":/images/rigsmith.svg"));
}

QIcon toolbarIcon(ToolbarPicture picture)
{
    initImages();
    // The desktop theme's own picture where it has one, so the toolbar matches the
    // other programs; ours otherwise.
    switch (picture) {
    case ToolbarPicture::New:
        return QIcon::fromTheme(QStringLiteral("document-new"), QIcon(QStringLiteral(":/images/new.svg")));
    case ToolbarPicture::Open:
        return QIcon::fromTheme(QStringLiteral("document-open"), QIcon(QStringLiteral(":/images/open.svg")));
    case ToolbarPicture::Save:
        return QIcon::fromTheme(QStringLiteral("document-save"), QIcon(QStringLiteral(":/images/save.svg")));
    case ToolbarPicture::About:
        return QIcon::fromTheme(QStringLiteral("help-about"), QIcon(QStringLiteral(":/images/about.svg")));
    }
    return {};
}

}  // namespace shell
