#include "platform/app_icon.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <QSvgRenderer>

#include <array>

using namespace Qt::Literals::StringLiterals;

// The pictures are compiled into this static library; nothing refers to their registration code, so
// the linker would drop it unless it is called by name. Q_INIT_RESOURCE must be used outside any
// namespace.
static void register_pictures() {
    Q_INIT_RESOURCE(lorvane_pictures);
}

namespace lorvane {

namespace {

constexpr std::array icon_sizes{256, 48, 32, 24, 16};

constexpr int browse_width = 40;
constexpr int browse_height = 20;
constexpr QRectF globe_box{1.0, 1.0, 18.0, 18.0};
constexpr QRectF word_box{19.0, 0.0, 21.0, 20.0};
constexpr int word_pixel_size = 10;

void draw_globe(QPainter& painter) {
    QRadialGradient sea(globe_box.center() - QPointF(3.0, 3.0), globe_box.width() * 0.65);
    sea.setColorAt(0.0, QColor(170, 220, 255));
    sea.setColorAt(1.0, QColor(20, 90, 190));
    painter.setPen(QPen(QColor(15, 60, 140), 1.0));
    painter.setBrush(sea);
    painter.drawEllipse(globe_box);

    // Meridians and parallels.
    const QPointF centre = globe_box.center();
    const qreal radius = globe_box.width() / 2.0;
    painter.setPen(QPen(QColor(235, 248, 255, 210), 0.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(globe_box.adjusted(radius * 0.5, 0.0, -radius * 0.5, 0.0));
    painter.drawLine(QPointF(centre.x(), globe_box.top()), QPointF(centre.x(), globe_box.bottom()));
    painter.drawLine(QPointF(globe_box.left(), centre.y()), QPointF(globe_box.right(), centre.y()));
    const qreal parallel = radius * 0.55;
    const qreal half_chord = radius * 0.83;
    for (const qreal dy : {-parallel, parallel}) {
        painter.drawLine(QPointF(centre.x() - half_chord, centre.y() + dy),
                         QPointF(centre.x() + half_chord, centre.y() + dy));
    }
}

} // namespace

QIcon app_icon() {
    static const bool registered = (register_pictures(), true);
    (void)registered;

    QSvgRenderer renderer(u":/lorvane/app_icon.svg"_s);
    QIcon icon;
    for (const int size : icon_sizes) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

QPixmap browse_picture() {
    QPixmap picture(browse_width, browse_height);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    draw_globe(painter);

    QFont font = QGuiApplication::font();
    font.setPixelSize(word_pixel_size);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(20, 40, 110));
    painter.drawText(word_box, Qt::AlignCenter, u"浏览"_s);
    return picture;
}

} // namespace lorvane
