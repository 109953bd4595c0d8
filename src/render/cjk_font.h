// A font that shows the program's Chinese texts.
#pragma once

class QApplication;

namespace nlx::render {

// Keeps the platform's font when it has Chinese glyphs; otherwise switches the application to
// the first Simplified Chinese family installed (Noto Sans CJK SC preferred), same point size.
void use_cjk_font(QApplication& application);

}  // namespace nlx::render
