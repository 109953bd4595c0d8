// Catalogues written by the tests themselves: the bytes of a .mo file as msgfmt writes it, and a
// throwaway language's catalogue in a folder laid out as the installed ones are.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nlx::test {

using CatalogueEntries = std::vector<std::pair<std::string, std::string>>;

// A .mo file (without the optional hash table), in either byte order; entries in the order given.
inline std::string mo_bytes(const CatalogueEntries& entries, bool big_endian = false) {
    std::string out;
    auto word = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out += char(big_endian ? v >> (24 - 8 * i) : v >> (8 * i));
    };
    const auto n = std::uint32_t(entries.size());
    const std::uint32_t originals = 28, translations = originals + 8 * n, strings = translations + 8 * n;
    word(0x950412de);
    word(0);
    word(n);
    word(originals);
    word(translations);
    word(0);
    word(strings);
    std::string pool;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> ids, strs;
    for (const auto& [id, str] : entries) {
        ids.emplace_back(std::uint32_t(id.size()), strings + std::uint32_t(pool.size()));
        pool += id + '\0';
    }
    for (const auto& [id, str] : entries) {
        strs.emplace_back(std::uint32_t(str.size()), strings + std::uint32_t(pool.size()));
        pool += str + '\0';
    }
    for (auto [length, offset] : ids) word(length), word(offset);
    for (auto [length, offset] : strs) word(length), word(offset);
    return out + pool;
}

// Writes <folder>/<code>/LC_MESSAGES/nlx.mo with the entries; its path.
inline std::filesystem::path write_catalogue(const std::filesystem::path& folder, std::string_view code,
                                             const CatalogueEntries& entries) {
    const auto file = folder / std::string(code) / "LC_MESSAGES" / "nlx.mo";
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << mo_bytes(entries);
    return file;
}

}  // namespace nlx::test
