// Painting report pages with QPainter on printers and PDF writers.
#include "render/report_painter.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextLayout>
#include <algorithm>

#include "core/atomic_file.h"
#include "core/texts.h"
#include "reports/sheet_lines.h"

namespace nlx::render {
namespace {

QString qs(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

constexpr double kTwipsPerInch = 1440;

// Device pixels per twip.
double pixels_per_twip(const QPaintDevice& device) { return device.logicalDpiY() / kTwipsPerInch; }

void use_paper(QPagedPaintDevice& device, reports::Paper paper) {
    const auto size = paper == reports::Paper::a4 ? QPageSize::A4 : QPageSize::A3;
    if (device.pageLayout().pageSize().id() != size) device.setPageSize(QPageSize(size));
    device.setPageOrientation(QPageLayout::Portrait);
}

// Width of the widest line in twips, at full size.
double page_width(const reports::Page& page, QPaintDevice& device) {
    double widest = 0;
    for (const auto& line : page.lines) {
        double x = 0;
        for (const auto& run : line.runs) x += QFontMetricsF(report_font(run.font), &device).horizontalAdvance(qs(run.text));
        widest = std::max(widest, x);
    }
    return widest / pixels_per_twip(device);
}

void paint_page(QPainter& painter, QPaintDevice& device, const reports::Page& page) {
    const double unit = pixels_per_twip(device);
    const double fit = std::min({1.0, device.width() / (unit * std::max(1.0, page_width(page, device))),
                                 device.height() / (unit * std::max(1, page.height))});
    for (const auto& line : page.lines) {
        double x = 0;
        for (const auto& run : line.runs) {
            const QFont font = report_font(run.font, fit);
            const QFontMetricsF metrics(font, &device);
            painter.setFont(font);
            // A run's line is one em high from its top; the glyphs sit on a baseline that divides
            // the em as the face's ascent and descent divide its height.
            const double top = (line.top + run.drop) * unit * fit;
            const double em = reports::line_twips(run.font) * unit * fit;
            const double baseline = top + em * metrics.ascent() / std::max(1e-9, metrics.ascent() + metrics.descent());
            painter.drawText(QPointF(x, baseline), qs(run.text));
            x += metrics.horizontalAdvance(qs(run.text));
        }
    }
}

void abort_job(QPagedPaintDevice& device) {
    if (auto* printer = dynamic_cast<QPrinter*>(&device)) printer->abort();
}

}  // namespace

QString report_family(reports::Face face) {
    return face == reports::Face::song ? QStringLiteral("Noto Sans Mono CJK SC") : QStringLiteral("Noto Sans CJK SC");
}

QFont report_font(const reports::Font& font, double scale) {
    QFont f(report_family(font.face));
    f.setPointSizeF(font.points * scale);
    f.setKerning(false);
    // The plain glyph of every character: shaping substitutes digits after Latin letters in the
    // CJK faces with glyphs a PDF cannot map back to text, so "3140" could not be searched for.
    f.setStyleHint(font.face == reports::Face::song ? QFont::Monospace : QFont::SansSerif, QFont::PreferNoShaping);
    return f;
}

Result<bool> paint_report(QPagedPaintDevice& device, const std::vector<reports::Page>& pages, const PageProgress& progress,
                          const std::string& what) {
    if (pages.empty()) return fail("nothing to print on " + what);
    use_paper(device, pages.front().paper);
    QPainter painter;
    if (!painter.begin(&device)) return fail(texts::print_not_started(what));
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p > 0 && !static_cast<QPagedPaintDevice&>(device).newPage()) {
            painter.end();
            return fail(texts::print_page_not_started(int(p) + 1, what));
        }
        paint_page(painter, device, pages[p]);
        if (progress && !progress(int(p) + 1, int(pages.size()))) {
            abort_job(device);
            painter.end();
            return false;
        }
    }
    if (!painter.end()) return fail(texts::print_not_finished(what));
    return true;
}

Result<void> paint_sheet(QPagedPaintDevice& device, const std::string& text, const reports::SheetBox& box,
                         const std::string& what) {
    use_paper(device, reports::Paper::a3);
    QPainter painter;
    if (!painter.begin(&device)) return fail(texts::print_not_started(what));
    const double unit = pixels_per_twip(device);
    const QFont font = report_font(box.font);
    const QFontMetricsF metrics(font, &device);
    const double em = reports::line_twips(box.font) * unit;
    const double ascent_share = metrics.ascent() / std::max(1e-9, metrics.ascent() + metrics.descent());
    const double width = box.width * unit, bottom = (box.top + box.height) * unit;
    painter.setClipRect(QRectF(box.left * unit, box.top * unit, width, box.height * unit));
    // The label's lines, one em apart as the 宋体 face sets them; a line too long for the box
    // breaks at its last space that fits (widths as the layout sets the text on this device),
    // and lines below the box are not shown.
    const reports::TextWidth text_width = [&font, &device](std::string_view piece) {
        QTextLayout measure(QString::fromUtf8(piece.data(), qsizetype(piece.size())), font, &device);
        measure.beginLayout();
        QTextLine line = measure.createLine();
        const double natural = line.isValid() ? line.naturalTextWidth() : 0.0;
        measure.endLayout();
        return natural;
    };
    // The text broken into the label's lines first, then set line by line as it always was.
    std::string lines;
    std::string_view rest = text;
    while (true) {
        const std::size_t lf = rest.find('\n');
        for (const std::string& piece : reports::break_at_spaces(rest.substr(0, lf), width, text_width)) {
            lines += piece;
            lines += '\n';
        }
        if (lf == std::string_view::npos) break;
        rest.remove_prefix(lf + 1);
    }
    if (!lines.empty()) lines.pop_back();
    double top = box.top * unit;
    for (const QString& paragraph : qs(lines).split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font, &device);
        QTextOption option(Qt::AlignLeft);
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.setCacheEnabled(true);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            // A little room over the width: a line measured to fit is never broken again.
            line.setLineWidth(width + 1);
            line.setPosition(QPointF(0, top + em * ascent_share - line.ascent()));
            top += em;
        }
        layout.endLayout();
        layout.draw(&painter, QPointF(box.left * unit, 0));
        if (top >= bottom) break;
    }
    if (!painter.end()) return fail(texts::print_not_finished(what));
    return {};
}

namespace {

// A PDF writer on a buffer: A3, 10 mm margins, 600 dots per inch.
struct PdfBuffer {
    QByteArray bytes;
    QBuffer buffer{&bytes};
    QPdfWriter writer{&buffer};
    explicit PdfBuffer(const std::filesystem::path& file) {
        buffer.open(QIODevice::WriteOnly);
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::A3));
        writer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        writer.setTitle(QString::fromStdString(file.filename().string()));
        writer.setCreator(QStringLiteral("nlx"));
    }
};

}  // namespace

Result<bool> write_report_pdf(const std::filesystem::path& file, const std::vector<reports::Page>& pages,
                              const PageProgress& progress) {
    PdfBuffer pdf(file);
    // The document is complete in the buffer once the painter has ended.
    auto painted = paint_report(pdf.writer, pages, progress, file.string());
    if (!painted || !*painted) return painted;
    if (auto written = write_file_atomically(file, std::string_view(pdf.bytes.constData(), std::size_t(pdf.bytes.size())));
        !written)
        return written.error();
    return true;
}

Result<void> write_sheet_pdf(const std::filesystem::path& file, const std::string& text, const reports::SheetBox& box) {
    PdfBuffer pdf(file);
    if (auto painted = paint_sheet(pdf.writer, text, box, file.string()); !painted) return painted;
    return write_file_atomically(file, std::string_view(pdf.bytes.constData(), std::size_t(pdf.bytes.size())));
}

QStringList printer_names() { return QPrinterInfo::availablePrinterNames(); }

Result<void> check_printer(const QString& name) {
    const QStringList names = printer_names();
    if (names.isEmpty())
        return fail("no printer queue" + (name.isEmpty() ? std::string() : " named " + name.toStdString()) +
                    ": this computer has none");
    if (!name.isEmpty() && !names.contains(name))
        return fail("no printer queue named " + name.toStdString() + " (queues: " + names.join(", ").toStdString() + ")");
    return {};
}

}  // namespace nlx::render
