// Whole-file reading and the one safe way both programs replace a file: a temporary file in the
// same folder, flushed to disk, then renamed over the target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace zarp {

enum class ReadStatus { ok, missing, tooLarge, failed };

// Reads every byte of the file. `error` gets "PATH: reason" unless the result is ok. A file longer
// than `maxBytes` is refused (tooLarge) without being read into memory.
ReadStatus ReadWholeFile(const std::string& path, std::string& bytes, std::string* error,
                         size_t maxBytes = SIZE_MAX);

// Writes `bytes` to a new temporary file beside `path`, flushes it, and renames it over `path`.
// Readers see the old file or the new one, never a part. A symlink at `path` is replaced by the
// file, never followed. The new file keeps the mode of the file it replaces (else 0666 less the
// umask). On failure the temporary file is removed, `path` is untouched and `error` gets
// "PATH: reason". `beforeRename` runs after the data is on disk and before the rename; tests use it
// to die at the worst moment.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error,
                         const std::function<void()>& beforeRename = {});

}  // namespace zarp
