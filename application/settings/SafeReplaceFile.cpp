// Safe replacement on POSIX: fsync, then rename(2), which replaces the destination atomically
// within one file system; the folder is synced afterwards so the new name survives a crash.
#include "application/settings/SafeReplaceFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int SyncPath(const std::filesystem::path& path, int flags) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) {
    return errno;
  }
  int result = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  return result;
}

void SyncFolderOf(const std::filesystem::path& path) {
  std::filesystem::path folder = path.parent_path();
  // Best effort: the rename has happened; some file systems refuse fsync on folders.
  SyncPath(folder.empty() ? std::filesystem::path(".") : folder, O_RDONLY | O_DIRECTORY);
}

int WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return errno;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

// Copies source into a fresh temporary file beside destination and syncs it.
int CopyToTempBeside(const std::filesystem::path& source, const std::filesystem::path& destination,
                     std::filesystem::path& temp) {
  int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    return errno;
  }
  int error = CreateTempFileIn(destination.parent_path(), "tmp", temp);
  if (error != 0) {
    ::close(in);
    return error;
  }
  int out = ::open(temp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (out < 0) {
    error = errno;
  }
  char buffer[65536];
  while (error == 0) {
    ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n < 0) {
      if (errno != EINTR) {
        error = errno;
      }
      continue;
    }
    if (n == 0) {
      break;
    }
    error = WriteAll(out, buffer, static_cast<std::size_t>(n));
  }
  if (error == 0 && ::fsync(out) != 0) {
    error = errno;
  }
  if (out >= 0 && ::close(out) != 0 && error == 0) {
    error = errno;
  }
  ::close(in);
  if (error != 0) {
    ::unlink(temp.c_str());
  }
  return error;
}

// A saved file replaces what the user's path names: through symbolic links (so a link stays
// a link) to the final target, which need not exist yet. Links are followed a bounded number
// of times, as the system does, so a loop ends.
std::filesystem::path SaveTarget(const std::filesystem::path& path) {
  constexpr int kMaxLinks = 40;
  std::filesystem::path target = path;
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    std::error_code error;
    if (!std::filesystem::is_symlink(target, error)) {
      break;
    }
    const std::filesystem::path next = std::filesystem::read_symlink(target, error);
    if (error) {
      break;
    }
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return target;
}

} // namespace

int CreateTempFileIn(const std::filesystem::path& folder, const char* prefix, std::filesystem::path& out) {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%08llx.tmp", prefix,
                  static_cast<unsigned long long>(random() & 0xFFFFFFFFull));
    std::filesystem::path candidate = (folder.empty() ? std::filesystem::path(".") : folder) / name;
    int fd = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      out = candidate;
      return 0;
    }
    if (errno != EEXIST) {
      return errno;
    }
  }
  return EEXIST;
}

int SafeReplaceFile(const std::filesystem::path& source, const std::filesystem::path& path) {
  if (source.native() == path.native()) {
    return 0;
  }
  const std::filesystem::path destination = SaveTarget(path);
  int error = SyncPath(source, O_RDONLY);
  if (error != 0) {
    return error;
  }
  // The new content takes the permissions the old file had.
  struct stat old {};
  if (::stat(destination.c_str(), &old) == 0 && ::chmod(source.c_str(), old.st_mode & 07777) != 0) {
    return errno;
  }
  if (::rename(source.c_str(), destination.c_str()) == 0) {
    SyncFolderOf(destination);
    return 0;
  }
  error = errno;
  if (error != EXDEV) {
    return error;
  }
  // Another file system: bring a complete copy beside the destination, then rename that.
  std::filesystem::path temp;
  error = CopyToTempBeside(source, destination, temp);
  if (error != 0) {
    return error;
  }
  if (::rename(temp.c_str(), destination.c_str()) != 0) {
    error = errno;
    ::unlink(temp.c_str());
    return error;
  }
  SyncFolderOf(destination);
  ::unlink(source.c_str());
  return 0;
}
