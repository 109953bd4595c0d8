// Start-up logo.
#include "app/logo.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "app/qt_text.h"

namespace nlx::app {

QPixmap load_logo(const std::filesystem::path& app_folder) {
    QPixmap picture;
    const QString file = qpath(app_folder / "kerlo00.jpg");
    if (QFile::exists(file) && picture.load(file) && !picture.isNull()) return picture;
    return drawn_logo(QSize(640, 300));
}

QPixmap drawn_logo(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(4, 4, size.width() - 8, size.height() - 8);
    QLinearGradient sky(frame.topLeft(), frame.bottomLeft());
    sky.setColorAt(0, QColor(18, 52, 86));
    sky.setColorAt(1, QColor(8, 24, 44));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(frame, 18, 18);

    // A level distribution as bars, and a time history drawn over it.
    const double base = frame.bottom() - 40, left = frame.left() + 40, width = frame.width() - 80;
    const int bars = 40;
    p.setBrush(QColor(60, 140, 200, 150));
    for (int i = 0; i < bars; ++i) {
        double x = (i - bars * 0.45) / (bars * 0.16);
        double h = (frame.height() * 0.45) * std::exp(-x * x / 2);
        p.drawRect(QRectF(left + i * width / bars + 1, base - h, width / bars - 2, h));
    }
    QPainterPath trace;
    for (int i = 0; i <= 200; ++i) {
        double t = i / 200.0;
        double y = base - frame.height() * (0.35 + 0.12 * std::sin(t * 19) + 0.07 * std::sin(t * 53 + 1) +
                                            0.05 * std::sin(t * 131 + 2));
        QPointF point(left + t * width, y);
        i == 0 ? trace.moveTo(point) : trace.lineTo(point);
    }
    p.setPen(QPen(QColor(255, 196, 64), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(trace);

    QFont title(QStringLiteral("sans-serif"));
    title.setPixelSize(int(frame.height() * 0.28));
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(frame.adjusted(0, 18, 0, 0), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("NLX"));
    return pixmap;
}

}  // namespace nlx::app
