// Whole-file writes that either replace the file completely or leave it as it was.
#pragma once

#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace nlx {

// The temporary a file is written to before it is renamed into place:
// ".<name>.nlx-<pid>-<n>.tmp" beside it, named after the writing process so that one left by a
// killed process is known. <n> differs on every call (a count from a random start), so a name
// listed for a rename that is done is never taken again, even by a later process of the same id.
std::filesystem::path temporary_for(const std::filesystem::path& file);

// Whether a write is flushed to disk at once, or later with others by flush_to_disk().
enum class Flush { now, later };

// Writes `bytes` to the file's temporary and, with Flush::now, flushes it to disk, without
// renaming it. On failure nothing is left behind and the message names `file`.
Result<std::filesystem::path> write_temporary(const std::filesystem::path& file, std::string_view bytes,
                                              Flush flush = Flush::now);

// Flushes to disk the files written with Flush::later, all in `folder`: one flush of the
// folder's filesystem where the system offers it, else one per file. The message names the
// folder or the file that could not be flushed.
Result<void> flush_to_disk(const std::filesystem::path& folder, std::span<const std::filesystem::path> files);

// Renames a temporary into place and, with Flush::now, flushes the folder.
Result<void> rename_into_place(const std::filesystem::path& temporary, const std::filesystem::path& file,
                               Flush flush = Flush::now);

// Flushes a folder's entries (renames into it) to disk.
void flush_folder(const std::filesystem::path& folder);

// Writes `bytes` to a temporary beside `file`, flushes it to disk, then renames it over `file`.
// On failure the temporary file is removed and the message names `file`.
Result<void> write_file_atomically(const std::filesystem::path& file, std::string_view bytes);

// Removes the temporaries in `folder` whose writing process no longer runs (a kill left them).
// With `extension` (".xlsx"), only the temporaries of files whose name ends with it.
void remove_stale_temporaries(const std::filesystem::path& folder, std::string_view extension = {});

// Whether the file name `name` is such a temporary: one this program names as a temporary (of
// a file ending with `extension`, when given) whose writing process, not this one, has gone.
bool stale_temporary(std::string_view name, std::string_view extension = {});

// The folders on the way to `folder`, itself included, that do not exist yet, deepest first:
// what a command that makes `folder` creates.
std::vector<std::filesystem::path> missing_folders(const std::filesystem::path& folder);
// Removes those of `folders` that are empty, in the order given, so that a command that failed
// leaves no folder it made behind.
void remove_empty_folders(std::span<const std::filesystem::path> folders);

}  // namespace nlx
