// The offscreen platform and its message filter.
#include "render/offscreen.h"

#include <QtGlobal>
#include <QString>
#include <cstdio>

namespace nlx::render {
namespace {

QtMessageHandler standard_handler = nullptr;

// Complaints about window-manager hints a headless platform cannot honour, and about a missing
// runtime folder it never uses; everything else goes to stderr as usual.
void quiet_offscreen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
    if (message.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
    if (standard_handler) standard_handler(type, context, message);
    else std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

}  // namespace

void use_offscreen_platform() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!standard_handler) standard_handler = qInstallMessageHandler(quiet_offscreen);
}

}  // namespace nlx::render
