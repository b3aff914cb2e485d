// Start-up time of the editor: from the start of the process to its first painted main
// window, on the offscreen platform, as the median of ten runs. The editor itself reports the
// moment of the first paint (QUARRY_STARTUP_PROBE) and ends; each run gets fresh user folders.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

namespace {

constexpr int kRuns = 10;
constexpr int kLimitMs = 60000;
constexpr double kGoalMs = 300.0;

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QString editor = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(QUARRY_EDITOR_BINARY);
    std::vector<double> wall;
    std::vector<double> reported;
    for (int run = 0; run < kRuns; ++run) {
        QTemporaryDir home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("QUARRY_STARTUP_PROBE", "1");
        for (const char* name : {"XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "HOME"}) {
            const QString folder = home.path() + "/" + name;
            std::filesystem::create_directories(folder.toStdString());
            std::filesystem::permissions(folder.toStdString(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::replace);
            environment.insert(name, folder);
        }
        QProcess process;
        process.setProcessEnvironment(environment);
        const auto start = std::chrono::steady_clock::now();
        process.start(editor, QStringList());
        // The moment the editor's first-paint line arrives, not its exit, ends the measurement.
        std::string output;
        auto painted = start;
        while (output.find('\n') == std::string::npos) {
            if (!process.waitForReadyRead(kLimitMs)) {
                std::fprintf(stderr, "run %d: the editor did not report its first paint\n", run + 1);
                process.kill();
                return 1;
            }
            output += process.readAllStandardOutput().toStdString();
            painted = std::chrono::steady_clock::now();
        }
        process.waitForFinished(kLimitMs);
        long long inProcess = -1;
        if (std::sscanf(output.c_str(), "first-paint-ms %lld", &inProcess) != 1) {
            std::fprintf(stderr, "run %d: no first-paint line in the output\n", run + 1);
            return 1;
        }
        wall.push_back(std::chrono::duration<double, std::milli>(painted - start).count());
        reported.push_back(static_cast<double>(inProcess));
    }
    std::sort(wall.begin(), wall.end());
    std::sort(reported.begin(), reported.end());
    const double median = (wall[kRuns / 2 - 1] + wall[kRuns / 2]) / 2.0;
    const double medianInProcess = (reported[kRuns / 2 - 1] + reported[kRuns / 2]) / 2.0;
    std::printf("startup: process start to first painted main window, median of %d runs (offscreen)\n", kRuns);
    std::printf("  wall clock, launch to first-paint report:    %.1f ms (min %.1f, max %.1f)\n", median,
                wall.front(), wall.back());
    std::printf("  in process, QApplication to first paint:      %.1f ms\n", medianInProcess);
    std::printf("  goal: under %.0f ms -> %s\n", kGoalMs, median < kGoalMs ? "met" : "missed");
    return 0;
}
