#include "program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace dravik::console::qt {

namespace {
// A dark blue board with a white axis line and an arrow: a move along an axis.
QPixmap paint_icon(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x4e, 0x8c));
    p.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s / 6, s / 6);

    p.setPen(QPen(Qt::white, qMax<qreal>(1.5, s / 12), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.18, s * 0.68), QPointF(s * 0.70, s * 0.68));
    QPainterPath arrow;
    arrow.moveTo(s * 0.84, s * 0.68);
    arrow.lineTo(s * 0.62, s * 0.52);
    arrow.lineTo(s * 0.62, s * 0.84);
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xc8, 0x2e));
    p.drawPath(arrow);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(s * 0.30, s * 0.34), s * 0.12, s * 0.12);
    return pm;
}
} // namespace

QIcon program_icon() {
    QIcon icon;
    icon.addPixmap(paint_icon(16));
    icon.addPixmap(paint_icon(32));
    return icon;
}

} // namespace dravik::console::qt
