// Test support: a fresh folder that is removed with its content when the test is done.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

class TempFolder {
public:
    // A new folder named `prefix` plus a unique suffix below `parent`; throws when it
    // cannot be made, so a test never runs against a folder it does not own.
    explicit TempFolder(std::string_view prefix = "quarry-test-",
                        const std::filesystem::path& parent = std::filesystem::temp_directory_path());
    // Gives the owner its rights back first, so that tests which lock the folder or a file
    // in it still leave nothing behind.
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Whole content of a file as bytes (empty when it cannot be read).
std::string ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes);
