// A temporary folder of virtual devices for the watcher's tests: socket files named like
// the virtual amplifier's, plugged and unplugged by creating and removing them.
#pragma once

#include <cstdint>
#include <string>

namespace watch_test {

class WatchFolder {
public:
    WatchFolder();
    ~WatchFolder();
    WatchFolder(const WatchFolder&) = delete;
    WatchFolder& operator=(const WatchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string PathOf(const std::string& name) const { return m_path + "/" + name; }

    // Binds a Unix socket at the name (the device appears); true on success.
    bool Plug(const std::string& name) const;
    // Binds under a hidden name and renames it into place, as the virtual amplifier does.
    bool PlugByRename(const std::string& name) const;
    // Creates a plain file.
    bool Touch(const std::string& name) const;
    // Removes the file (the device goes).
    bool Unplug(const std::string& name) const;

private:
    std::string m_path;
};

// "2f5a-a210-SERIAL.sock" for the maker's amplifier.
std::string AmplifierName(const std::string& serial, std::uint16_t vendor = 0x2F5A, std::uint16_t product = 0xA210);

}  // namespace watch_test
