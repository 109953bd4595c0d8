// Batches of recorded samples, each stored in a transaction of its own.
#include "store/recording_writer.h"

namespace nlx {

Result<void> RecordingWriter::add(const RecordedSample& sample) {
    if (sample.tenths) statistics_.add(*sample.tenths);
    else statistics_.add_gap();
    last_offset_ms_ = sample.offset_ms;
    batch_.push_back(sample);
    if (batch_.size() >= kRecordingBatchSamples || sample.offset_ms - batch_.front().offset_ms >= kRecordingBatchMs)
        return store_batch();
    return {};
}

Result<void> RecordingWriter::store_batch() {
    if (batch_.empty()) return {};
    if (id_ == 0) {
        auto begun = db_.begin_recording(header_);
        if (!begun) return fail("cannot record into " + db_.path().string() + ": " + begun.message());
        id_ = *begun;
    }
    if (auto stored = db_.append_recorded(id_, next_seq_, batch_); !stored)
        return fail("cannot record into " + db_.path().string() + ": " + stored.message());
    next_seq_ += (long long)batch_.size();
    batch_.clear();
    return {};
}

Result<void> RecordingWriter::finish(std::string_view how) {
    if (auto stored = store_batch(); !stored) return stored;
    if (id_ == 0) return {};
    if (auto ended = db_.end_recording(id_, how); !ended)
        return fail("cannot record into " + db_.path().string() + ": " + ended.message());
    return {};
}

}  // namespace nlx
