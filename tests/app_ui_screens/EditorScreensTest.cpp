// Screenshots of the editor's main window with a new design of each model family, and of the
// start-up's own dialogs, into <build>/screens/.
#include <gtest/gtest.h>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CAboutDlg.h"
#include "application/ui/CDlgSelectModel.h"
#include "application/ui/CMainFrame.h"
#include "application/ui/DlgLockApp.h"
#include "dsp_blocks/blocks/ModelUtilities.h"
#include "platform/base/Cp1252.h"
#include "platform/ui/core/IdlePass.h"
#include "tests/app_ui/EditorFixture.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RecordingAmplifier.h"
#include "tests/support/ScreenShot.h"

namespace {

TEST(EditorScreens, MainWindowWithANewDesignOfEachFamily)
{
    ResetUserState();
    EditorFixture editor(std::nullopt);
    ASSERT_TRUE(editor.Start());
    const std::pair<ModelType, const char*> families[] = {{ModelType::MV220, "main_window_MV220"},
                                                          {ModelType::MV440, "main_window_MV440"},
                                                          {ModelType::MV440A, "main_window_MV440A"},
                                                          {ModelType::MV340A, "main_window_MV340A"}};
    for (const auto& [model, name] : families) {
        editor.App().OnNewDesign(model);
        ASSERT_EQ(editor.App().GetDocument()->GetModel(), model);
        editor.Frame().SetConnectionText(model == ModelType::MV440 ? "MV440  v5.20 - Connected" : "Disconnected");
        editor.Frame().SetConnectionIcon(model == ModelType::MV440 ? 1 : 0);
        platform::RunIdlePass();
        editor.Frame().OnNotifyWritingParam(model == ModelType::MV440 ? 5 : 0, model == ModelType::MV440 ? 12 : 0);
        EXPECT_FALSE(SaveScreenShot(editor.Frame(), name).empty()) << name;
    }
}

TEST(EditorScreens, ConnectionBarWithEachModelOnlineAtTheLongestVersion)
{
    ResetUserState();
    EditorFixture editor;
    ASSERT_TRUE(editor.Start());
    for (std::int32_t model = 0; model < static_cast<std::int32_t>(ModelType::Unknown); ++model) {
        RecordingAmplifier amplifier(model);
        amplifier.version = u"v99.99";
        editor.amplifiers.present = {&amplifier};
        platform::RunIdlePass();
        const std::string name = "connection_bar_" + platform::Utf16ToUtf8(GetModelName(static_cast<ModelType>(model)));
        EXPECT_FALSE(SaveScreenShot(editor.Frame(), name).empty()) << name;
    }
    editor.amplifiers.present.clear();
}

TEST(EditorScreens, AboutSelectModelAndLockNotice)
{
    ResetUserState();
    EditorFixture editor;
    ASSERT_TRUE(editor.Start());
    ModalDriver driver;
    driver.ExpectDialog(100)
        .Do([](platform::Dialog& about) { EXPECT_FALSE(SaveScreenShot(about, "about_box").empty()); })
        .End(1);
    ShowAboutBox("MV440A", "v5.20");
    driver.ExpectDialog(177)
        .Do([](platform::Dialog& select) { EXPECT_FALSE(SaveScreenShot(select, "select_model").empty()); })
        .End(2);
    AskModelForNewDesign(ModelType::MV440);
    editor.Frame().ShowLockDialog(185, 0);
    ASSERT_NE(editor.Frame().LockNotice(), nullptr);
    EXPECT_FALSE(SaveScreenShot(*editor.Frame().LockNotice(), "lock_notice").empty());
}

}  // namespace
