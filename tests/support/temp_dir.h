// A temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>

namespace nlx::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Reads a whole file as bytes; empty when it cannot be read.
std::string read_file(const std::filesystem::path& file);
// Writes bytes to a file, replacing it.
void write_file(const std::filesystem::path& file, const std::string& bytes);

}  // namespace nlx::test
