// The start of the editor against a virtual amplifier (tools/scripts/start-editor.sh, which
// ./run.sh --virtual-amp runs) with the built programs: the synthetic firmware image lives in the
// run's own temporary folder, the editor is pointed at it, and the build's firmware folder gains
// nothing, whether the editor ends by itself, is killed or the script is terminated. And the
// tidy-up of a build's firmware folder that the scripts run removes only that synthetic image.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QProcess>

#include "tests/app_ui/EditorFixture.h"
#include "tests/support/PumpEvents.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const fs::path kBin = fs::path(QUARRY_EDITOR_BINARY).parent_path();
const fs::path kBuild = kBin.parent_path();
const fs::path kSource = QUARRY_SOURCE_DIR;
constexpr const char* kImageName = "Cobalt_V5.20.bin";
// Bounds that only a hang reaches, also for a sanitized editor on a loaded machine.
constexpr std::chrono::milliseconds kStartLimit = 120s;
constexpr int kEndLimitMs = 60000;

// Every file of a folder with its size and a hash of its bytes: what "the folder holds" means below.
std::map<std::string, std::string> Contents(const fs::path& folder)
{
    std::map<std::string, std::string> contents;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string bytes = ReadWholeFile(entry.path());
        contents[entry.path().filename().string()] =
            std::to_string(bytes.size()) + " bytes, hash " + std::to_string(std::hash<std::string>{}(bytes));
    }
    return contents;
}

// A file of /proc: empty when it cannot be read, its process having ended meanwhile, say (a
// stream would throw on that read error).
std::string ReadProcFile(const fs::path& path)
{
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return text;
    }
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return got < 0 ? std::string() : text;
}

// The processes whose command line or environment names `text`.
std::vector<pid_t> ProcessesNaming(const std::string& text)
{
    std::vector<pid_t> found;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc", error)) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos || pid == std::to_string(::getpid())) {
            continue;
        }
        for (const char* part : {"cmdline", "environ"}) {
            if (ReadProcFile(entry.path() / part).find(text) != std::string::npos) {
                found.push_back(static_cast<pid_t>(std::stol(pid)));
                break;
            }
        }
    }
    return found;
}

// One run of the script in the background, with a private home and temporary folder.
class VirtualRun {
public:
    // A short home, as the editor's hand-over socket lies below it and must fit a socket address.
    explicit VirtualRun(bool endsAfterFirstPaint) : home_("qvr-", "/tmp")
    {
        tmp_ = home_.Path() / "tmp";
        fs::create_directories(tmp_);
        QProcessEnvironment environment = UsersEnvironment();
        if (endsAfterFirstPaint) {
            environment.insert("QUARRY_STARTUP_PROBE", "1");
        }
        script_.setProcessEnvironment(environment);
        // Into a file: nobody reads a pipe while the test polls, and a full one would stall the run.
        script_.setProcessChannelMode(QProcess::MergedChannels);
        script_.setStandardOutputFile(QString::fromStdString((home_.Path() / "output.txt").string()));
        script_.start("bash", {QString::fromStdString((kSource / "tools/scripts/start-editor.sh").string()),
                               "--virtual-amp", QString::fromStdString(kBuild.string())});
    }

    // A run the test left running is terminated, so that the script stops what it started.
    ~VirtualRun()
    {
        if (script_.state() != QProcess::NotRunning) {
            script_.terminate();
            if (!script_.waitForFinished(kEndLimitMs)) {
                script_.kill();
                script_.waitForFinished(kEndLimitMs);
            }
        }
    }

    // The environment of the user who runs the script: an editor started in it is one for real
    // amplifiers.
    QProcessEnvironment UsersEnvironment() const
    {
        QProcessEnvironment environment = EditorEnvironment(home_.Path());
        environment.insert("TMPDIR", QString::fromStdString(tmp_.string()));
        environment.remove("QUARRY_VIRTUAL_HID_DIR");
        environment.remove("QUARRY_VIRTUAL_FIRMWARE_DIR");
        return environment;
    }

    // Whether the run's editor listens for later starts (its hand-over socket is up).
    bool EditorAnswersLaterStarts() const
    {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(home_.Path() / "XDG_RUNTIME_DIR" / "vesk-corvantine-editor", error)) {
            if (entry.path().extension() == ".sock") {
                return true;
            }
        }
        return false;
    }

    // The run's folder: the one entry the script made in its temporary folder.
    std::optional<fs::path> RunFolder() const
    {
        std::error_code error;
        for (const fs::directory_entry& entry : fs::directory_iterator(tmp_, error)) {
            if (entry.path().filename().string().starts_with("corvantine-virtual-amp.")) {
                return entry.path();
            }
        }
        return std::nullopt;
    }

    // The editor of the run in `folder`: the process of the editor program that names the folder.
    static std::optional<pid_t> Editor(const fs::path& folder)
    {
        for (const pid_t pid : ProcessesNaming(folder.string())) {
            std::error_code error;
            if (fs::read_symlink(fs::path("/proc") / std::to_string(pid) / "exe", error) ==
                fs::path(QUARRY_EDITOR_BINARY)) {
                return pid;
            }
        }
        return std::nullopt;
    }

    // The script's exit code; -1 when it did not end, -2 when a signal ended it untidily.
    int Wait()
    {
        if (!script_.waitForFinished(kEndLimitMs)) {
            return -1;
        }
        return script_.exitStatus() == QProcess::NormalExit ? script_.exitCode() : -2;
    }

    QProcess& Script() { return script_; }
    std::string Output() const { return ReadWholeFile(home_.Path() / "output.txt"); }

private:
    TempFolder home_;
    fs::path tmp_;
    QProcess script_;
};

class VirtualRunScript : public ::testing::Test {
protected:
    // Waits until the run's editor is up and checks it as below; the editor and the run's folder.
    std::optional<std::pair<pid_t, fs::path>> StartedEditor(const VirtualRun& run)
    {
        std::optional<pid_t> editor;
        std::optional<fs::path> folder;
        test_support::PumpEventsUntil(
            [&] {
                folder = run.RunFolder();
                editor = folder ? VirtualRun::Editor(*folder) : std::nullopt;
                return editor && folder && fs::exists(*folder / "amps" / "2f5a-a210-VIRTUAL1.sock");
            },
            kStartLimit);
        if (!editor || !folder) {
            ADD_FAILURE() << "the editor did not start: " << run.Output();
            return std::nullopt;
        }
        ExpectEditorPointedAtTheRunsImage(*editor, *folder);
        return std::make_pair(*editor, *folder);
    }

    // While the editor runs: the build's firmware folder is as it was, and the editor reads its
    // firmware from the run's folder, which holds the image of the virtual amplifier's version.
    void ExpectEditorPointedAtTheRunsImage(pid_t editor, const fs::path& run)
    {
        EXPECT_EQ(Contents(buildFirmware), before);
        const std::string environ = ReadProcFile(fs::path("/proc") / std::to_string(editor) / "environ");
        EXPECT_NE(environ.find("QUARRY_VIRTUAL_FIRMWARE_DIR=" + (run / "Firmware").string() + '\0'), std::string::npos);
        EXPECT_NE(environ.find("QUARRY_VIRTUAL_HID_DIR=" + (run / "amps").string() + '\0'), std::string::npos);
        std::error_code error;
        EXPECT_EQ(fs::file_size(run / "Firmware" / kImageName, error), 0x8D000u) << error.message();
    }

    // After the run: nothing of it is left, and the build's firmware folder is as it was.
    void ExpectNothingLeft(const fs::path& run)
    {
        EXPECT_FALSE(fs::exists(run));
        EXPECT_TRUE(ProcessesNaming(run.string()).empty());
        EXPECT_EQ(Contents(buildFirmware), before);
    }

    const fs::path buildFirmware = kBin / "Firmware";
    const std::map<std::string, std::string> before = Contents(buildFirmware);
};

TEST_F(VirtualRunScript, AnEditorThatEndsByItselfLeavesTheBuildsFirmwareFolderAsItWas)
{
    VirtualRun run(true);
    EXPECT_EQ(run.Wait(), 0);
    const std::string output = run.Output();
    const std::string::size_type at = output.find("Virtual amplifier in ");
    ASSERT_NE(at, std::string::npos) << output;
    const fs::path amps = output.substr(at + 21, output.find(',', at) - at - 21);
    ASSERT_EQ(amps.filename(), "amps") << output;
    ExpectNothingLeft(amps.parent_path());
}

TEST_F(VirtualRunScript, AKilledEditorLeavesTheBuildsFirmwareFolderAsItWas)
{
    VirtualRun run(false);
    const auto started = StartedEditor(run);
    ASSERT_TRUE(started.has_value());
    ASSERT_EQ(::kill(started->first, SIGKILL), 0);
    EXPECT_EQ(run.Wait(), 128 + SIGKILL);
    ExpectNothingLeft(started->second);
}

TEST_F(VirtualRunScript, ATerminatedScriptEndsTheEditorAndTheAmplifierAndLeavesNothing)
{
    VirtualRun run(false);
    const auto started = StartedEditor(run);
    ASSERT_TRUE(started.has_value());
    run.Script().terminate();
    EXPECT_EQ(run.Wait(), 143);
    ExpectNothingLeft(started->second);
}

// The user leaves the virtual run open and starts the editor for the real amplifier: that editor
// starts on its own instead of raising the virtual run's one, which sees only virtual amplifiers.
TEST_F(VirtualRunScript, AnEditorStartedForRealAmplifiersBesideAVirtualRunStartsOnItsOwn)
{
    VirtualRun run(false);
    ASSERT_TRUE(StartedEditor(run).has_value());
    ASSERT_TRUE(test_support::PumpEventsUntil([&] { return run.EditorAnswersLaterStarts(); }, kStartLimit));
    QProcessEnvironment environment = run.UsersEnvironment();
    environment.insert("QUARRY_STARTUP_PROBE", "1");
    QProcess editor;
    editor.setProcessEnvironment(environment);
    editor.start(QUARRY_EDITOR_BINARY, QStringList());
    ASSERT_TRUE(editor.waitForFinished(kEndLimitMs));
    EXPECT_EQ(editor.exitCode(), 0);
    // The probe reports the first painted window of an editor that started, not of a hand-over.
    EXPECT_TRUE(editor.readAllStandardOutput().contains("first-paint-ms")) << run.Output();
}

// The synthetic image as make-test-firmware writes it, in a build-like folder, and the scripts'
// tidy-up run on that folder.
class StrayTestFirmware : public ::testing::Test {
protected:
    StrayTestFirmware() : build_("quarry-stray-firmware-") { fs::create_directories(Firmware()); }

    fs::path Firmware() const { return build_.Path() / "bin" / "Firmware"; }

    std::string WriteSyntheticImage(const fs::path& folder)
    {
        QProcess writer;
        writer.start(QString::fromStdString((kBin / "make-test-firmware").string()),
                     {"--dir", QString::fromStdString(folder.string()), "--version", "V5.20"});
        EXPECT_TRUE(writer.waitForFinished(kEndLimitMs));
        return ReadWholeFile(folder / kImageName);
    }

    std::string TidyUp()
    {
        QProcess shell;
        shell.setWorkingDirectory(QString::fromStdString(kSource.string()));
        shell.setProcessChannelMode(QProcess::MergedChannels);
        shell.start("bash", {"-c", "source ./deps.sh && quarry_remove_stray_test_firmware \"$0\"",
                             QString::fromStdString(build_.Path().string())});
        EXPECT_TRUE(shell.waitForFinished(kEndLimitMs));
        EXPECT_EQ(shell.exitCode(), 0);
        return shell.readAll().toStdString();
    }

private:
    TempFolder build_;
};

TEST_F(StrayTestFirmware, OnlyTheSyntheticImageIsRemovedAndEveryOtherFileStays)
{
    const std::string image = WriteSyntheticImage(Firmware());
    ASSERT_EQ(image.size(), 0x8D000u);
    WriteWholeFile(Firmware() / "Cobalt_V5.12.bin", image);
    WriteWholeFile(Firmware() / "notes.txt", "mine");
    EXPECT_NE(TidyUp().find("Removed the virtual amplifier's synthetic firmware image"), std::string::npos);
    EXPECT_FALSE(fs::exists(Firmware() / kImageName));
    EXPECT_TRUE(ReadWholeFile(Firmware() / "Cobalt_V5.12.bin") == image);
    EXPECT_EQ(ReadWholeFile(Firmware() / "notes.txt"), "mine");

    // A file of that name that differs in one byte, or is shorter, is someone else's.
    for (std::string other : {image.substr(0, image.size() - 1), image}) {
        if (other.size() == image.size()) {
            other[0x52000 + 1] = '6';
        }
        WriteWholeFile(Firmware() / kImageName, other);
        EXPECT_EQ(TidyUp(), "");
        EXPECT_TRUE(ReadWholeFile(Firmware() / kImageName) == other);
    }
    // A build without a firmware folder is no error.
    fs::remove_all(Firmware());
    EXPECT_EQ(TidyUp(), "");
}

}  // namespace
