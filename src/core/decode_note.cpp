// The decoders' notes worded in the operator's language, from the texts of core/texts.h.
#include "core/decode_note.h"

#include "core/texts.h"

namespace nlx {

namespace {

std::string n(std::size_t v) { return std::to_string(v); }

}  // namespace

std::string decode_note_text(const DecodeNote& e) {
    using K = DecodeNote::Kind;
    switch (e.kind) {
    case K::broken_off: return fill(tr(texts::kNoteBrokenOff), {n(e.received), n(e.announced)});
    case K::surplus: return fill(tr(texts::kNoteSurplus), {n(e.received - e.announced), n(e.announced)});
    case K::groups_not_whole:
        return e.group == e.last ? fill(tr(texts::kNoteGroupNotWhole), {n(e.group), n(e.count)})
                                 : fill(tr(texts::kNoteGroupsNotWhole), {n(e.group), n(e.last), n(e.count)});
    case K::first_block_incomplete: return fill(tr(texts::kNoteFirstBlockIncomplete), {n(e.group), n(e.received)});
    case K::zero_length: return fill(tr(texts::kNoteZeroLength), {n(e.group), n(e.at)});
    case K::history_cut:
        return fill(tr(e.stored ? texts::kNoteHistoryCutKept : texts::kNoteHistoryCutDropped),
                    {n(e.group), n(e.received), n(e.announced)});
    case K::history_not_made: return fill(tr(texts::kNoteHistoryNotMade), {n(e.group), e.name, e.detail});
    case K::not_a_group: return fill(tr(texts::kNoteNotAGroup), {n(e.group), n(e.at)});
    case K::record_incomplete: return fill(tr(texts::kNoteRecordIncomplete), {n(e.group)});
    case K::records_lost:
        return e.group == e.last ? fill(tr(texts::kNoteRecordLost), {n(e.group)})
                                 : fill(tr(texts::kNoteRecordsLost), {n(e.group), n(e.last)});
    case K::count_not_whole: return fill(tr(texts::kNoteCountNotWhole), {n(e.announced), n(e.group), n(e.received)});
    }
    return {};
}

std::vector<std::string> decode_note_texts(const std::vector<DecodeNote>& notes) {
    std::vector<std::string> out;
    out.reserve(notes.size());
    for (const auto& note : notes) out.push_back(decode_note_text(note));
    return out;
}

}  // namespace nlx
