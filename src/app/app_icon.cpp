#include "app_icon.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace kvx {
namespace {

QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal margin = size / 16.0;
    const QRectF body(margin, margin, size - 2 * margin, size - 2 * margin);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1f, 0x5f, 0xa8));
    painter.drawRoundedRect(body, size / 6.0, size / 6.0);
    // Two small waves for the radio side of the bridge.
    painter.setPen(QPen(QColor(0xd8, 0xe8, 0xff), size / 20.0));
    painter.setBrush(Qt::NoBrush);
    const QRectF arc(body.center().x() - size / 5.0, body.top() + size / 10.0, size / 2.5, size / 2.5);
    painter.drawArc(arc, 30 * 16, 120 * 16);
    painter.drawArc(arc.adjusted(size / 12.0, size / 12.0, -size / 12.0, -size / 12.0), 30 * 16, 120 * 16);
    QFont font;
    font.setBold(true);
    font.setPixelSize(qMax(6, size * 5 / 16));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(body.adjusted(0, size / 3.0, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("KVX"));
    return pixmap;
}

} // namespace

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(drawIcon(size));
    return icon;
}

} // namespace kvx
