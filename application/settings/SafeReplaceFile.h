// Replacing a saved file so that a reader never sees a half-written one.
#pragma once

#include <filesystem>

// Moves `source` over the file `path` names in one step: the source is flushed to the disk
// first and then renamed over the destination, so the destination holds either its old content
// or the complete new one, whatever happens in between. The destination is the final target of
// `path` when `path` is a symbolic link (the link stays), and an existing destination keeps its
// permissions. A source on another file system is copied to a temporary file beside the
// destination first. Results: 0 on success (also when both paths are the same text); otherwise
// the errno of the step that failed, with the destination untouched and the source left in place.
int SafeReplaceFile(const std::filesystem::path& source, const std::filesystem::path& path);

// A new, empty file in `folder` whose name begins with `prefix` and ends with ".tmp", created
// exclusively (never an existing file). Returns 0 and the path, or an errno.
int CreateTempFileIn(const std::filesystem::path& folder, const char* prefix, std::filesystem::path& out);
