// The headless Qt application the painters need on the command line.
#pragma once

#include <memory>

class QApplication;

namespace nlx::cli {

// The painters need a Qt application; the command line makes one on the offscreen platform,
// with a Chinese-capable font. Throws Failure when this nlx was built without them.
std::shared_ptr<QApplication> headless_application();

}  // namespace nlx::cli
