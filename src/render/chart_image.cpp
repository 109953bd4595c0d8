// Chart files.
#include "render/chart_image.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QGraphicsLayout>
#include <QChart>
#include <QGraphicsScene>
#include <QGuiApplication>
#include <QScreen>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <string_view>

#include "core/atomic_file.h"
#include "render/chart_builder.h"

namespace nlx::render {

ImageFormat image_format(const std::filesystem::path& file) {
    auto ext = file.extension().string();
    for (auto& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".svg" ? ImageFormat::svg : ImageFormat::png;
}

Result<void> save_chart(const charts::Chart& chart, const std::filesystem::path& file, QSize size,
                        ImageFormat format) {
    // The chart on a scene of its own, laid out at the picture's size: no view, no window.
    QGraphicsScene scene;
    QChart* built = build_chart(chart).chart;
    scene.addItem(built);
    built->setGeometry(QRectF(QPointF(0, 0), QSizeF(size)));
    built->layout()->activate();
    QCoreApplication::sendPostedEvents();
    const QRectF area(QPointF(0, 0), QSizeF(size));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (format == ImageFormat::svg) {
        QSvgGenerator svg;
        // The resolution the chart was laid out at: the generator's own 72 dpi would write every
        // font smaller than its text was measured, leaving gaps ("声级 (   dB)") and cut titles.
        const QScreen* screen = QGuiApplication::primaryScreen();
        svg.setResolution(screen ? qRound(screen->logicalDotsPerInchY()) : 96);
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QString::fromStdString(chart.title));
        QPainter painter(&svg);
        scene.render(&painter, area, area);
    } else {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        scene.render(&painter, area, area);
        painter.end();
        if (!image.save(&buffer, "PNG")) return fail("cannot paint the chart for " + file.string());
    }
    return write_file_atomically(file, std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

}  // namespace nlx::render
