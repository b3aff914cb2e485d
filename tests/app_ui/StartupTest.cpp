// The start-up: the hand-over socket, two real editor processes, the tool switches of the
// program, a missing view-layout file, and the dialogs the start-up needs.
#include <gtest/gtest.h>

#include <chrono>

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>
#include <QTimer>

#include "application/ui/CAboutDlg.h"
#include "application/ui/CCorvantEditorView.h"
#include "application/ui/CDlgSelectModel.h"
#include "application/ui/CMainFrame.h"
#include "application/ui/SingleInstance.h"
#include "application/document/CCorvantEditorDoc.h"
#include "dsp_blocks/ui/CurveDrawing.h"
#include "platform/base/Cp1252.h"
#include "platform/ui/core/ManualTimerService.h"
#include "resources/strings/StringTable.h"
#include "tests/app_ui/EditorFixture.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/PumpEvents.h"

namespace {

using namespace std::chrono_literals;

constexpr int kProcessLimitMs = 30000;

int RunEditor(const QProcessEnvironment& environment, const QStringList& args)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QUARRY_EDITOR_BINARY, args);
    if (!process.waitForFinished(kProcessLimitMs)) {
        process.kill();
        process.waitForFinished();
        return -1000;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1001;
}

TEST(HandOverSocket, AnswersTheFileUpToItsZeroAndRefusesOversizedRequests)
{
    TempFolder folder;
    SingleInstance first(folder.Path() / "instance");
    ASSERT_EQ(first.Claim(std::nullopt), SingleInstance::Outcome::First);
    std::vector<std::pair<std::uint32_t, std::u16string>> requests;
    ASSERT_TRUE(first.Listen([&requests](std::uint32_t word, const std::u16string& text) {
        requests.emplace_back(word, text);
        return 1;
    }));
    EXPECT_EQ(std::filesystem::status(first.Folder()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);

    std::optional<std::int32_t> answer;
    std::thread sender([&] { answer = SingleInstance::SendRequest(first.SocketPath(), 1, u"/projects/a.cvp"); });
    ASSERT_TRUE(test_support::PumpEventsUntil([&] { return answer.has_value(); }));
    sender.join();
    EXPECT_EQ(*answer, 1);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].first, 1u);
    EXPECT_EQ(requests[0].second, u"/projects/a.cvp");

    // A second claim on the same folder hands over instead of starting.
    std::optional<SingleInstance::Outcome> outcome;
    std::thread second([&] {
        SingleInstance later(folder.Path() / "instance");
        outcome = later.Claim(std::nullopt);
    });
    ASSERT_TRUE(test_support::PumpEventsUntil([&] { return outcome.has_value(); }));
    second.join();
    EXPECT_EQ(*outcome, SingleInstance::Outcome::HandedOver);
    EXPECT_EQ(requests.back().first, 0u);
}

TEST(EditorProcess, SecondStartHandsItsFileToTheFirstAndEnds)
{
    ResetUserState();
    TempFolder home("quarry-editor-home-");
    const QProcessEnvironment environment = EditorEnvironment(home.Path());
    const auto project = home.Path() / "hand over.cvp";
    {
        EditorFixture editor;
        ASSERT_TRUE(editor.Start());
        ASSERT_TRUE(editor.App().GetDocument()->OnSaveDocument(project));
    }
    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(QUARRY_EDITOR_BINARY, QStringList());
    const auto socket = home.Path() / "XDG_RUNTIME_DIR" / "vesk-corvantine-editor" / "Corvantine-Editor.sock";
    ASSERT_TRUE(test_support::PumpEventsUntil([&] { return std::filesystem::exists(socket); }, 30s));

    EXPECT_EQ(RunEditor(environment, {QString::fromStdString(project.string())}), 0);
    const QString profile =
        QString::fromStdString((home.Path() / "XDG_CONFIG_HOME" / "Vesk" / "Corvantine-Editor.conf").string());
    ASSERT_TRUE(test_support::PumpEventsUntil([&] {
        return QSettings(profile, QSettings::IniFormat).value("Recent File List/File1").toString().toStdString() ==
               project.string();
    }, 30s));

    // Without a file the second start only raises the first one.
    EXPECT_EQ(RunEditor(environment, {}), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    if (!first.waitForFinished(kProcessLimitMs)) {
        first.kill();
        first.waitForFinished();
    }
}

TEST(EditorProcess, ToolSwitchesWriteTheirFileAndEnd)
{
    TempFolder home("quarry-editor-tools-");
    QProcessEnvironment environment = EditorEnvironment(home.Path());
    const auto version = home.Path() / "version.txt";
    EXPECT_EQ(RunEditor(environment, {"-version", QString::fromStdString(version.string())}), 0);
    EXPECT_EQ(ReadWholeFile(version), "2,2");
    const auto text = home.Path() / "string.txt";
    EXPECT_EQ(RunEditor(environment, {"/string", "128", QString::fromStdString(text.string())}), 0);
    EXPECT_EQ(ReadWholeFile(text), platform::Utf8ToCp1252(LoadStringId(128)));
    // The capitalised name is no switch: the editor starts (and the probe ends it).
    environment.insert("QUARRY_STARTUP_PROBE", "1");
    EXPECT_EQ(RunEditor(environment, {"-VERSION"}), 0);
}

TEST(EditorStartUp, MissingLayoutFileShowsMessage16397AndEndsWithAnError)
{
    ResetUserState();
    EditorFixture editor(std::string{});
    ModalDriver driver;
    driver.AnswerBox(16397, platform::MessageAnswer::Ok);
    ASSERT_TRUE(editor.Start());
    EXPECT_FALSE(editor.Frame().GetMainView()->IsLoaded());
    QTimer::singleShot(20000, [] { QCoreApplication::exit(-1); });
    EXPECT_EQ(QCoreApplication::exec(), CCorvantEditorView::kBrokenInstallationExitCode);
}

TEST(EditorStartUp, OversizedLayoutShowsMessage16397AndEndsWithAnError)
{
    const std::string header = "Name\tKind\tRow\tReserved\tStretch\tW1\tW2\tGradient\tMeter\tA\tB\tSize\n";
    const std::string line = "\t2\t0\t0\tx\t0\t0\t1\t0\t1,2,3\t4,5,6\t";
    // One view beyond any screen, and two views each within bounds whose row is not.
    for (const std::string& layout : {header + "Huge" + line + "2000000000,300\n",
                                      header + "Left" + line + "10000,300\n" + "Right" + line + "10000,300\n"}) {
        ResetUserState();
        EditorFixture editor(layout);
        ModalDriver driver;
        driver.AnswerBox(16397, platform::MessageAnswer::Ok);
        ASSERT_TRUE(editor.Start());
        EXPECT_EQ(driver.Boxes().size(), 1u);
        EXPECT_FALSE(editor.Frame().GetMainView()->IsLoaded());
        EXPECT_TRUE(editor.Frame().GetMainView()->ChildViews().empty());
        QTimer::singleShot(20000, [] { QCoreApplication::exit(-1); });
        EXPECT_EQ(QCoreApplication::exec(), CCorvantEditorView::kBrokenInstallationExitCode);
    }
}

TEST(EditorStartUp, FlagNaSelectsTheIntegerDrawer)
{
    ResetUserState();
    {
        EditorFixture editor;
        ASSERT_TRUE(editor.Start({"-na"}));
        EXPECT_FALSE(editor.App().IsAntiAliasingAvailable());
        EXPECT_FALSE(AntiAliasedCurves());
    }
    EditorFixture editor;
    ASSERT_TRUE(editor.Start());
    EXPECT_TRUE(AntiAliasedCurves());
}

TEST(EditorStartUp, BrokenSpeakerEqLibraryIsReportedOnceTheWindowIsUp)
{
    ResetUserState();
    EditorFixture editor;
    std::filesystem::remove(editor.data / "SpeakerEQ_list.dat");
    ASSERT_TRUE(editor.Start());
    ModalDriver driver;
    driver.AnswerBox(147, platform::MessageAnswer::Ok);
    PumpEvents();
    EXPECT_EQ(driver.Boxes().size(), 1u);
}

TEST(StartUpDialogs, AboutDisablesAnEmptyFirmwareAndClosesAfterTenSeconds)
{
    platform::ManualTimerService timers;
    platform::ScopedTimerService useTimers(timers);
    ModalDriver driver;
    driver.ExpectDialog(100)
        .Do([](platform::Dialog& about) {
            EXPECT_EQ(about.ItemText(1066), "Vesk Corvantine Editor Version 2.2");
            EXPECT_EQ(about.ItemText(1071), "MV440A");
            EXPECT_TRUE(about.Item(1090)->isEnabled());
            EXPECT_FALSE(about.Item(1091)->isEnabled());
            EXPECT_FALSE(about.Item(1072)->isEnabled());
        })
        .Advance(9999)
        .Do([](platform::Dialog& about) { EXPECT_FALSE(about.IsEnded()); })
        .Advance(1);
    ShowAboutBox("MV440A", "");
}

TEST(StartUpDialogs, SelectModelPresetsTheRadioAndReturnsTheChoice)
{
    ModalDriver driver;
    driver.ExpectDialog(177).Do([](platform::Dialog& dialog) { EXPECT_EQ(dialog.ItemCheckState(1110), 1); }).Click(1);
    EXPECT_EQ(AskModelForNewDesign(ModelType::MV340A), ModelType::MV340A);
    driver.ExpectDialog(177).Click(1108).Click(1);
    EXPECT_EQ(AskModelForNewDesign(ModelType::MV440A), ModelType::MV220);
    driver.ExpectDialog(177).End(2);
    EXPECT_EQ(AskModelForNewDesign(ModelType::MV440), ModelType::Unknown);
    EXPECT_EQ(CDlgSelectModel::IndexOfModel(ModelType::MV440), 1);
    EXPECT_EQ(CDlgSelectModel::IndexOfModel(ModelType::MV440A), 0);
}

TEST(HelpFile, BuiltHelpListsItsPages)
{
    QProcess chmls;
    chmls.start("chmls", {"-n", "list", QString::fromStdString((std::filesystem::path(QUARRY_BUILD_DATA_DIR) /
                                                                "CV_Editor_CHM.chm").string())});
    ASSERT_TRUE(chmls.waitForFinished(kProcessLimitMs));
    const QString listing = QString::fromUtf8(chmls.readAllStandardOutput());
    for (const char* page : {"/index.html", "/blocks.html", "/online.html", "/transfer.html", "/saveconfig.html",
                             "/firmware.html", "/meters.html", "/designs.html"}) {
        EXPECT_TRUE(listing.contains(page)) << page;
    }
}

}  // namespace
