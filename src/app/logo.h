// The start-up logo: the application folder's kerlo00.jpg, or the program's own drawing.
#pragma once

#include <QPixmap>
#include <filesystem>

namespace nlx::app {

QPixmap load_logo(const std::filesystem::path& app_folder);
// The program's own logo: a level trace over a statistical distribution, and the program's name.
QPixmap drawn_logo(QSize size);

}  // namespace nlx::app
