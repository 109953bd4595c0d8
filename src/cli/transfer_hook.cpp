// Capture file, then store: no received byte is lost even when storing fails.
#include "cli/transfer_hook.h"

#include <chrono>

#include "store/transfer.h"

namespace nlx::cli {

link::StoreHook transfer_store_hook(Database& db, const std::filesystem::path& storage, char model,
                                    std::vector<std::string>* notes) {
    return [&db, storage, model, notes](const Capture& capture, bool) -> Result<std::string> {
        auto kept = save_capture(storage, model, capture, std::chrono::system_clock::now());
        if (!kept) return kept.error();
        auto stored = store_transfer(db, storage, model, capture);
        if (!stored) return fail(stored.message() + " (capture kept in " + kept->string() + ")");
        if (notes) *notes = stored->notes;
        return stored->line() + "; capture " + kept->filename().string();
    };
}

}  // namespace nlx::cli
