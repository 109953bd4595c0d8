// nlx-gui --screenshot DIR: drives the program headless through a download of every model and
// writes pictures of its windows.
#pragma once

#include <QString>

namespace nlx::app {

// Writes model-dialog.png, main-logo.png, main-a.png .. main-e.png, wait.png,
// main-during-download.png, settings.png and chart-distribution.png, chart-24h.png,
// chart-octave.png into `folder`;
// returns the process exit code (0 when every step worked), with each failure on stderr.
int run_screenshots(const QString& folder);

}  // namespace nlx::app
