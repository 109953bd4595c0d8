// A chart as a PNG or SVG file, painted without a window.
#pragma once

#include <QSize>
#include <filesystem>

#include "charts/chart.h"
#include "core/result.h"

class QChart;

namespace nlx::render {

enum class ImageFormat { png, svg };

// The format a file name asks for: ".svg" (any letter case) for SVG, PNG otherwise.
ImageFormat image_format(const std::filesystem::path& file);

// Paints the chart at `size` pixels and writes it atomically; a failure names the file.
Result<void> save_chart(const charts::Chart& chart, const std::filesystem::path& file, QSize size,
                        ImageFormat format);

}  // namespace nlx::render
