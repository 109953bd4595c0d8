// The TM27's printed lines from its byte stream: commands dropped, GBK decoded, CR ends a line.
#include "sim/tm27_paper.h"

#include <cstdio>

#include "core/gbk.h"

namespace nlx::sim {
namespace {

constexpr std::uint8_t kEsc = 0x1B, kCr = 0x0D;

std::string hex(std::uint8_t b) {
    char text[5];
    std::snprintf(text, sizeof text, "\\x%02X", unsigned(b));
    return text;
}

bool gbk_lead(std::uint8_t b) { return b >= 0x81 && b <= 0xFE; }
bool gbk_trail(std::uint8_t b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

}  // namespace

std::string Tm27Paper::feed(std::span<const std::uint8_t> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::string done;
    std::size_t i = 0;
    const std::size_t n = pending_.size();
    while (i < n) {
        const std::uint8_t b = pending_[i];
        const std::size_t left = n - i;
        if (b == kEsc) {
            if (left < 2) break;
            const std::uint8_t command = pending_[i + 1];
            const std::size_t length = command == '@' ? 2 : (command == '1' || command == 'U') ? 3 : 0;
            if (length == 0) {  // a command this printer does not know: shown, not obeyed
                line_ += hex(b);
                i += 1;
                continue;
            }
            if (left < length) break;
            i += length;
        } else if (b == kCr) {
            done += line_ + "\n";
            line_.clear();
            i += 1;
        } else if (b == 0x0A || b == 0x11 || b == 0x13) {
            i += 1;
        } else if (b >= 0x20 && b < 0x7F) {
            line_ += char(b);
            i += 1;
        } else if (b == 0x9C && left >= 2 && pending_[i + 1] == 0x9C && (left < 3 || pending_[i + 2] == 0x7F)) {
            if (left < 3) break;
            line_ += "²";
            i += 3;
        } else if (gbk_lead(b)) {
            if (left < 2) break;
            const std::uint8_t trail = pending_[i + 1];
            auto decoded = gbk_trail(trail) ? from_gbk(std::string{char(b), char(trail)})
                                            : Result<std::string>(fail("not a GBK character"));
            if (decoded) {
                line_ += *decoded;
                i += 2;
            } else {
                line_ += hex(b);
                i += 1;
            }
        } else {
            line_ += hex(b);
            i += 1;
        }
    }
    pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(i));
    return done;
}

std::string Tm27Paper::unfinished() const { return line_; }

}  // namespace nlx::sim
