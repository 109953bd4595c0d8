// iconv wrapper for GBK; one converter per call keeps it thread-safe.
#include "core/gbk.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>

namespace nlx {
namespace {

Result<std::string> convert(const char* to, const char* from, std::string_view in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return fail(std::string("no converter from ") + from + " to " + to + " on this system");
    std::string out;
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char* dst = out.data();
    std::size_t dst_left = out.size();
    while (src_left > 0) {
        if (iconv(cd, &src, &src_left, &dst, &dst_left) == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) {
                std::size_t used = std::size_t(dst - out.data());
                out.resize(out.size() * 2);
                dst = out.data() + used;
                dst_left = out.size() - used;
                continue;
            }
            std::size_t at = in.size() - src_left;
            iconv_close(cd);
            return fail(std::string("text cannot be converted from ") + from + " to " + to +
                        " at byte " + std::to_string(at));
        }
    }
    out.resize(std::size_t(dst - out.data()));
    iconv_close(cd);
    return out;
}

}  // namespace

Result<std::string> to_gbk(std::string_view utf8) {
    // ASCII is the same in both codes: only the text up to the last byte of another character
    // goes through the converter (a time-history file is Chinese in its first line only).
    std::size_t end = utf8.size();
    // Eight bytes at a time while all are ASCII (no high bit), then byte by byte.
    while (end >= 8) {
        std::uint64_t word;
        std::memcpy(&word, utf8.data() + end - 8, 8);
        if (word & 0x8080808080808080ull) break;
        end -= 8;
    }
    while (end > 0 && static_cast<unsigned char>(utf8[end - 1]) < 0x80) --end;
    if (end == 0) return std::string(utf8);
    auto converted = convert("GBK", "UTF-8", utf8.substr(0, end));
    if (converted) converted->append(utf8.substr(end));
    return converted;
}
Result<std::string> from_gbk(std::string_view gbk) { return convert("UTF-8", "GBK", gbk); }

}  // namespace nlx
