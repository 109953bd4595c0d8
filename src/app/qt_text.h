// UTF-8 texts and paths of the core as Qt strings and back.
#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/catalogue.h"

namespace nlx::app {

inline QString qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
// The operator text for the Chinese `text` in the language in use.
inline QString qtr(std::string_view text) { return qs(nlx::tr(text)); }
inline std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }
// Paths are byte strings in UTF-8 on the systems the program runs on.
inline QString qpath(const std::filesystem::path& path) { return QString::fromUtf8(path.string()); }
inline std::filesystem::path to_path(const QString& text) { return std::filesystem::path(utf8(text)); }

}  // namespace nlx::app
