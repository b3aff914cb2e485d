// The recent-file list of the File menu: at most ten paths, newest first, kept in the
// program's profile (QSettings of the organisation "Vesk", section "Recent File List",
// entries "File1" ...). Written whenever it changes, so a second start sees it at once.
#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

class RecentFileList {
public:
    explicit RecentFileList(std::size_t capacity);

    // Reads the list from the profile (missing entries end it).
    void ReadList();
    void WriteList() const;

    // Puts `path` first, dropping an older entry of the same path and the oldest past the capacity.
    void Add(const std::filesystem::path& path);
    void Remove(std::size_t index);

    const std::vector<std::filesystem::path>& Files() const { return m_files; }
    std::size_t Capacity() const { return m_capacity; }

private:
    std::size_t m_capacity;
    std::vector<std::filesystem::path> m_files;
};
