// Corvantine-Editor: the editor's main. It brings the UI layer up right after the
// QApplication, ties the application object to the device manager over the device library,
// and runs the event loop until the frame closes.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMetaObject>

#include "platform/base/ProgramFolders.h"
#include "application/ui/CCorvantEditorApp.h"
#include "application/ui/CMainFrame.h"
#include "application/ui/DeviceManagerLink.h"
#include "device_manager/manager/TheDeviceManager.h"
#include "platform/ui/core/UiLayer.h"
#include "resources/images/ImageResources.h"

namespace {

// With QUARRY_STARTUP_PROBE set, the program reports the milliseconds from its start to the
// first painted main window on standard output and ends (the start-up benchmark runs it so).
class FirstPaintProbe final : public QObject {
public:
    explicit FirstPaintProbe(const QElapsedTimer& clock) : m_clock(clock) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_reported) {
            m_reported = true;
            const qint64 elapsed = m_clock.elapsed();
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [elapsed] {
                    std::printf("first-paint-ms %lld\n", static_cast<long long>(elapsed));
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer& m_clock;
    bool m_reported = false;
};

}  // namespace

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication application(argc, argv);
    platform::UiLayer uiLayer;
    InitImageResources();

    std::vector<std::string> args;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        args.push_back(argument.toStdString());
    }

    DeviceManagerLink devices(CobaltDeviceManager::TheDeviceManager());
    AppEnvironment environment;
    environment.dataFolder = GetDataFolder();
    environment.amplifiers = &devices;
    environment.startDeviceWatching = [&devices](platform::WindowId window, platform::MessageId message) {
        return devices.StartWatching(window, message);
    };
    CCorvantEditorApp app(std::move(environment));
    if (!app.InitInstance(args)) {
        return app.ExitInstance();
    }
    FirstPaintProbe probe(clock);
    if (std::getenv("QUARRY_STARTUP_PROBE") != nullptr) {
        app.GetMainFrame()->installEventFilter(&probe);
    }
    const int code = QApplication::exec();
    app.ExitInstance();
    return code != 0 ? code : app.ExitCode();
}
