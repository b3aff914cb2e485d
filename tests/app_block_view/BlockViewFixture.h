// A whole editor in the test process whose main view holds a block view over a small test
// diagram (frame groups, a locked, an excluded, a passive and a frame-look block) above the
// control view, with no amplifier present.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include <QImage>
#include <QPoint>
#include <gtest/gtest.h>

#include "application/ui/CCorvantEditorApp.h"
#include "tests/support/TempFolder.h"

class CBlockView;
class CControlView;
class DiagramBlock;

class NoAmplifiers final : public IAmplifierDirectory {
public:
    std::uint32_t ForFirstActiveAmplifier(CobaltDeviceManager::ICobaltAmplifier**) override { return 0; }
    void SetScanMode(std::uint32_t, std::uint32_t) override {}
};

// The block view (600 x 260) above the control view.
extern const char* const kTestLayout;

// Writes the Data folder (the shipped one, with `diagram2` as BlockDiagram2.txt unless empty,
// and `layout` as ViewEnvironment.txt) and starts an editor on it; the first design is an MV440.
class EditorOnData {
public:
    explicit EditorOnData(const std::string& diagram2, const char* layout = kTestLayout);
    ~EditorOnData();
    CCorvantEditorApp& App() const { return *app_; }
    CBlockView& View() const;
    CControlView& Controls() const;

private:
    TempFolder folder_;
    NoAmplifiers amplifiers_;
    std::unique_ptr<CCorvantEditorApp> app_;
};

class BlockViewTest : public ::testing::Test {
protected:
    BlockViewTest();

    CBlockView& View() const { return editor_->View(); }
    CCorvantEditorDoc& Doc() const;
    DiagramBlock& Block(std::string_view name) const;
    static QPoint Centre(const DiagramBlock& block);
    QImage Render() const;

    std::unique_ptr<EditorOnData> editor_;
};

// The test diagram's lines (BlockDiagram2.txt).
extern const char* const kTestDiagram;
