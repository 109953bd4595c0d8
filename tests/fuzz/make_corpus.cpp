// Writes the fuzz targets' seed corpus: real captures of each model as the encoders build them
// (one group, a few, and a multi-block transfer), each laid out as its target reads input.
//   nlx_fuzz_corpus FOLDER   (writes FOLDER/<target>/<model>-<groups>)
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "core/capture.h"
#include "core/models.h"
#include "sim/generated_content.h"

namespace fs = std::filesystem;

namespace {

// libFuzzer reads at most this much of an input (run.sh's -max_len).
constexpr std::size_t kMaxLen = 20000;

bool write(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: nlx_fuzz_corpus FOLDER\n");
        return 2;
    }
    const fs::path folder = argv[1];
    int written = 0;
    for (const auto& m : nlx::all_models()) {
        for (int groups : {1, 3, 12}) {
            auto capture = nlx::sim::generated_capture(m, groups, 7);
            if (!capture) continue;
            const auto bytes = nlx::capture_bytes(*capture);  // count bytes, then the data
            if (bytes.size() + 120 > kMaxLen) continue;
            const std::string name = std::string(1, m.letter) + "-" + std::to_string(groups);
            const auto n = nlx::transfer_count(m, capture->b1, capture->b2);
            if (m.letter == 'a' || m.letter == 'b') {
                // These two targets take the block count n as n + 8 in their first two bytes.
                std::vector<std::uint8_t> blocks(2 + capture->data.size());
                blocks[0] = std::uint8_t((n + 8) >> 8);
                blocks[1] = std::uint8_t((n + 8) & 0xFF);
                std::copy(capture->data.begin(), capture->data.end(), blocks.begin() + 2);
                written += write(folder / (std::string("fuzz_decode_") + m.letter) / name, blocks);
            } else {
                written += write(folder / (std::string("fuzz_decode_") + m.letter) / name, bytes);
            }
            std::vector<std::uint8_t> import(1 + bytes.size());
            import[0] = std::uint8_t(m.letter);
            std::copy(bytes.begin(), bytes.end(), import.begin() + 1);
            written += write(folder / "fuzz_capture_import" / name, import);
            written += write(folder / "fuzz_capture_file" / name,
                             nlx::capture_file_bytes(m, {"2026-12-09 10:00:00", "/dev/ttyUSB0", 9600}, *capture));
        }
    }
    std::printf("%d seed inputs in %s\n", written, folder.c_str());
    return written > 0 ? 0 : 1;
}
