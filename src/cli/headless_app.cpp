// The headless application of the painters: offscreen platform, a Chinese-capable font.
#include "cli/headless_app.h"

#include "cli/commands.h"

#ifdef NLX_WITH_RENDER
#include <QApplication>

#include "render/cjk_font.h"
#include "render/offscreen.h"
#endif

namespace nlx::cli {

std::shared_ptr<QApplication> headless_application() {
#ifdef NLX_WITH_RENDER
    render::use_offscreen_platform();
    static int argc = 1;
    static char name[] = "nlx";
    static char* argv[] = {name, nullptr};
    auto application = std::make_shared<QApplication>(argc, argv);
    render::use_cjk_font(*application);
    return application;
#else
    throw Failure("this nlx was built without the Qt painters (charts, printing); build it with the desktop program");
#endif
}

}  // namespace nlx::cli
