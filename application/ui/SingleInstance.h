// One editor per user: the first start holds a lock file and answers later starts on a
// local socket in a folder of the user's runtime folder that only the user may enter
// (mode 0700). A later start hands over the project it was asked to open (data word 1, the
// path in UTF-16 with its terminating zero), which also brings the first editor to the
// front, and ends. A start that finds the lock held but nobody answering carries on alone.
//
// Request: u32 magic, u32 data word, u32 byte count, then the bytes. Answer: i32 result.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QLocalServer;
class QLocalSocket;

namespace HandOver {
inline constexpr std::uint32_t kMagic = 0x44455643;          // "CVED"
inline constexpr std::uint32_t kRaiseOnly = 0;               // data word without a file
inline constexpr std::uint32_t kOpenFile = 1;                // data word of a file to open
inline constexpr std::uint32_t kMaxBytes = 2 * (4096 + 1);   // a path of the system's longest
inline constexpr int kAnswerTimeoutMs = 10000;
}  // namespace HandOver

inline constexpr const char* kEditorInstanceName = "Corvantine-Editor";

// The instance name of an editor: kEditorInstanceName when it talks to real amplifiers, and one
// of its own for each virtual-device folder. An editor started for real amplifiers thus never
// hands its file to, or raises, one that only sees virtual amplifiers (and their synthetic
// firmware images), nor the other way round.
std::string EditorInstanceName(const std::optional<std::filesystem::path>& virtualDeviceFolder);

class SingleInstance {
public:
    enum class Outcome {
        First,       // this start holds the lock and answers later starts once listening
        HandedOver,  // another editor took the request; end this start
        Alone,       // no usable folder, or the lock holder does not answer: run on its own
    };

    // Handles one request: the data word and the UTF-16 text (up to its first zero).
    // Returns the answer for the sender.
    using Handler = std::function<std::int32_t(std::uint32_t dataWord, const std::u16string& text)>;

    // folder empty: "vesk-corvantine-editor" in the user's runtime folder.
    explicit SingleInstance(std::filesystem::path folder = {}, std::string name = kEditorInstanceName);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the lock, or hands `fileToOpen` (absolute) to the editor that holds it.
    Outcome Claim(const std::optional<std::filesystem::path>& fileToOpen);
    // The answer the other editor gave (after HandedOver).
    std::int32_t LastAnswer() const { return m_lastAnswer; }

    // Starts answering later starts (after First). False when the socket cannot be made.
    bool Listen(Handler handler);
    bool IsListening() const;

    std::filesystem::path SocketPath() const;
    std::filesystem::path Folder() const { return m_folder; }

    // Sends one request to the socket at `socketPath` and waits for the answer; nothing
    // when no editor answers.
    static std::optional<std::int32_t> SendRequest(const std::filesystem::path& socketPath, std::uint32_t dataWord,
                                                   const std::u16string& text);

private:
    void OnConnection();

    std::filesystem::path m_folder;
    std::string m_name;
    int m_lockFd = -1;
    std::int32_t m_lastAnswer = 0;
    Handler m_handler;
    std::unique_ptr<QLocalServer> m_server;
};

// The user's own folder for the socket, made with mode 0700; nothing when it cannot be made
// or belongs to someone else.
std::optional<std::filesystem::path> PrepareInstanceFolder(const std::filesystem::path& folder);
