// Reading .mo catalogues and looking the operator's texts up in the one in use.
#include "core/catalogue.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <utility>

#include "core/read_file.h"

namespace nlx {
namespace {

Catalogue& active() {
    static Catalogue catalogue;
    return catalogue;
}

// The choice left to the first use: `pending` is read by every lookup; the choice itself runs
// under the lock, so that lookups of other threads wait until its catalogue is in place.
std::atomic<bool> pending{false};
std::recursive_mutex choosing;
thread_local bool in_choice = false;
std::function<void()>& choice() {
    static std::function<void()> f;
    return f;
}

}  // namespace

bool Catalogue::find(std::string_view source, std::string_view& translation) const {
    const auto it = entries_.find(source);
    if (it == entries_.end()) return false;
    translation = it->second;
    return true;
}

void Catalogue::add(std::string source, std::string translation) {
    entries_.insert_or_assign(std::move(source), std::move(translation));
}

Result<Catalogue> parse_mo(std::string_view bytes) {
    if (bytes.size() < 20) return fail("it is too short to be a .mo catalogue (" + std::to_string(bytes.size()) + " bytes)");
    auto raw = [&](std::size_t at) {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + at);
        return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    };
    const std::uint32_t magic = raw(0);
    bool swapped;
    if (magic == 0x950412deu) swapped = false;
    else if (magic == 0xde120495u) swapped = true;
    else return fail("it is not a .mo catalogue (no gettext magic number)");
    auto word = [&](std::size_t at) {
        const std::uint32_t v = raw(at);
        return swapped ? (v >> 24) | ((v >> 8) & 0xff00u) | ((v << 8) & 0xff0000u) | (v << 24) : v;
    };
    if ((word(4) >> 16) > 1) return fail("its format revision " + std::to_string(word(4) >> 16) + " is unknown");
    const std::uint64_t count = word(8), originals = word(12), translations = word(16);
    if (originals + count * 8 > bytes.size() || translations + count * 8 > bytes.size())
        return fail("its string tables lie outside the file");
    auto string_at = [&](std::uint64_t table, std::uint64_t i, std::string_view& out) {
        const std::uint64_t length = word(std::size_t(table + i * 8)), offset = word(std::size_t(table + i * 8 + 4));
        // Each string is followed by a NUL that is not counted in its length.
        if (offset + length >= bytes.size()) return false;
        out = bytes.substr(std::size_t(offset), std::size_t(length));
        return true;
    };
    Catalogue catalogue;
    for (std::uint64_t i = 0; i < count; ++i) {
        std::string_view source, translation;
        if (!string_at(originals, i, source) || !string_at(translations, i, translation))
            return fail("its entry " + std::to_string(i + 1) + " lies outside the file");
        if (source.empty()) continue;  // the header
        source = source.substr(0, source.find('\0'));
        translation = translation.substr(0, translation.find('\0'));
        catalogue.add(std::string(source), std::string(translation));
    }
    return catalogue;
}

Result<Catalogue> load_catalogue(const std::filesystem::path& file) {
    auto bytes = read_regular_file(file, kMaxCatalogueBytes);
    if (!bytes) return fail(bytes.message());
    auto parsed = parse_mo(*bytes);
    if (!parsed) return fail(file.string() + " cannot be used: " + parsed.message());
    return parsed;
}

void use_catalogue(Catalogue catalogue) {
    std::lock_guard lock(choosing);
    // Set by the choice itself, the catalogue is its result; set before it, it replaces it.
    if (!in_choice) {
        choice() = nullptr;
        pending.store(false, std::memory_order_release);
    }
    active() = std::move(catalogue);
}
void use_no_catalogue() { use_catalogue(Catalogue()); }

void choose_catalogue_on_first_use(std::function<void()> choose) {
    std::lock_guard lock(choosing);
    choice() = std::move(choose);
    pending.store(bool(choice()), std::memory_order_release);
}

void settle_catalogue_choice() {
    if (!pending.load(std::memory_order_acquire)) return;
    std::lock_guard lock(choosing);
    // The choice's own lookups (of the language in use, of a text) find it under way.
    if (in_choice || !pending.load(std::memory_order_acquire)) return;
    auto choose = std::exchange(choice(), nullptr);
    struct Choosing {
        Choosing() { in_choice = true; }
        ~Choosing() {
            in_choice = false;
            pending.store(false, std::memory_order_release);
        }
    } during;
    choose();
}

std::string_view tr(std::string_view source) {
    settle_catalogue_choice();
    std::string_view translation;
    return active().find(source, translation) ? translation : source;
}

namespace {

template <typename Values>
std::string filled(std::string_view pattern, const Values& values) {
    std::string out;
    out.reserve(pattern.size() + 32);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const std::size_t n = std::size_t(pattern[i + 1] - '1');
            if (n < values.size()) {
                out += *(values.begin() + n);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace

std::string fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
    return filled(pattern, values);
}

std::string fill(std::string_view pattern, std::span<const std::string> values) { return filled(pattern, values); }

std::string_view worded(Wording wording, std::string_view source) {
    return wording == Wording::source ? source : tr(source);
}

std::string Phrase::text(Wording wording) const {
    if (entry.empty()) return plain;
    std::vector<std::string> written;
    written.reserve(values.size());
    for (const auto& value : values) written.push_back(value.text(wording));
    return fill(worded(wording, entry), written);
}

Phrase phrase(std::string_view entry, std::vector<Phrase> values) { return {entry, std::move(values), {}}; }

Phrase plain(std::string_view value) { return {{}, {}, std::string(value)}; }

}  // namespace nlx
