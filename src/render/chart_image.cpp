// Chart files.
#include "render/chart_image.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
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
    QChartView view(build_chart(chart).chart);
    view.setRenderHint(QPainter::Antialiasing);
    view.resize(size);
    view.chart()->resize(size);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (format == ImageFormat::svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QString::fromStdString(chart.title));
        QPainter painter(&svg);
        view.render(&painter);
    } else {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        view.render(&painter);
        painter.end();
        if (!image.save(&buffer, "PNG")) return fail("cannot paint the chart for " + file.string());
    }
    return write_file_atomically(file, std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

}  // namespace nlx::render
