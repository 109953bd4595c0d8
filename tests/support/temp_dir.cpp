// Temporary folders and whole-file reads for tests.
#include "support/temp_dir.h"

#include <fstream>
#include <random>
#include <sstream>

namespace nlx::test {
namespace fs = std::filesystem;

TempDir::TempDir() {
    std::random_device rd;
    std::mt19937_64 rng(rd());
    for (;;) {
        auto candidate = fs::temp_directory_path() / ("nlx-test-" + std::to_string(rng()));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string read_file(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream buf;
    buf << in.rdbuf();
    return buf.str();
}

void write_file(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace nlx::test
