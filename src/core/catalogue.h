// The translation catalogue of the operator texts: a GNU gettext .mo file read without libintl.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/result.h"

// Marks a Chinese operator text as a catalogue entry; xgettext --keyword=NLX_TEXT collects the
// marked texts into po/nlx.pot. The text itself is the entry's msgid.
#define NLX_TEXT(text) text

namespace nlx {

inline constexpr std::size_t kMaxCatalogueBytes = 16u << 20;

// Source text (Chinese) -> translation, as compiled by msgfmt. Entries without a translation
// are absent: msgfmt leaves untranslated and fuzzy entries out.
class Catalogue {
public:
    // The translation of `source`, or nothing (empty view and false) when it has none.
    bool find(std::string_view source, std::string_view& translation) const;
    std::size_t size() const { return entries_.size(); }
    void add(std::string source, std::string translation);

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::unordered_map<std::string, std::string, Hash, std::equal_to<>> entries_;
};

// The entries of a .mo file's bytes (either byte order). The header entry (empty msgid) is left
// out; a context ("ctx\x04id") is kept as part of the source; of a plural entry the singular
// forms are kept. A file that is cut short or whose tables point outside it is refused.
Result<Catalogue> parse_mo(std::string_view bytes);

// Reads and parses a .mo file; the message names the file.
Result<Catalogue> load_catalogue(const std::filesystem::path& file);

// The catalogue the operator's texts are looked up in: none (the Chinese texts) until one is
// set. Set it once at start, before any thread looks texts up; a later set invalidates the
// views tr() returned before it (tests switch languages between windows).
void use_catalogue(Catalogue catalogue);
void use_no_catalogue();

// Leaves the choice of the catalogue to the first lookup of a text (or of the language in use):
// `choose` then runs once, and sets the catalogue. A command that shows no operator text never
// reads the language's settings or its catalogue; one set before that replaces the choice.
// Lookups from several threads wait for the one choice.
void choose_catalogue_on_first_use(std::function<void()> choose);
// Runs the choice left to the first use, if one is still to run.
void settle_catalogue_choice();

// The operator text for the Chinese `source`: its translation when the catalogue in use has
// one, otherwise `source` itself, unchanged byte for byte.
std::string_view tr(std::string_view source);

// `pattern` with %1 .. %9 replaced by the values in order; any other '%' stays as it is, and a
// placeholder without a value is left in place, so a faulty translation shows, not crashes.
std::string fill(std::string_view pattern, std::initializer_list<std::string_view> values);
std::string fill(std::string_view pattern, std::span<const std::string> values);

// The words a text is written in: the operator's language (the catalogue in use), or the Chinese
// source texts whatever the language, as the CSV and JSON for programs keep them so that a script
// reads the same words on every computer.
enum class Wording { operator_language, source };

// `source` in `wording`: tr(source), or `source` itself.
std::string_view worded(Wording wording, std::string_view source);

// A text kept as its catalogue entry and the values of its placeholders, and written out in the
// wording of the place that shows it. A value is either a plain one (a number, a column name, a
// time), written as it is, or a phrase of its own, written in the same wording.
struct Phrase {
    std::string_view entry;      // Chinese, with %1 .. %9; empty for a plain value
    std::vector<Phrase> values;  // the entry's %1, %2 ...
    std::string plain;           // the value itself when `entry` is empty

    std::string text(Wording wording) const;
    bool operator==(const Phrase&) const = default;
};

// A phrase of a catalogue entry and its values.
Phrase phrase(std::string_view entry, std::vector<Phrase> values = {});
// A plain value, the same in every wording.
Phrase plain(std::string_view value);

}  // namespace nlx
