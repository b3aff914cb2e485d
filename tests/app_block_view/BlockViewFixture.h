// A whole editor in the test process (no amplifier present) on a copy of the Data folder,
// and the block view fixture over a small test diagram: frame groups, a locked, an excluded,
// a passive and a frame-look block.
#pragma once

#include <memory>
#include <string_view>

#include <QPoint>
#include <gtest/gtest.h>

#include "application/ui/CCorvantEditorApp.h"
#include "tests/support/TempFolder.h"

class CBlockView;
class CControlView;
class DiagramBlock;

// The block view (600 x 260) above the control view.
extern const char* const kTestLayout;
extern const char* const kTestDiagram;

// BlockDiagram2.txt becomes `diagram2` unless that is empty; the first design is an MV440.
class EditorOnData final : public IAmplifierDirectory {
public:
    explicit EditorOnData(const std::string& diagram2, const char* layout = kTestLayout);
    ~EditorOnData();
    CCorvantEditorApp& App() const { return *app_; }
    CCorvantEditorDoc& Doc() const { return *app_->GetDocument(); }
    CBlockView& View() const;
    CControlView& Controls() const;

    std::uint32_t ForFirstActiveAmplifier(CobaltDeviceManager::ICobaltAmplifier**) override { return 0; }
    void SetScanMode(std::uint32_t, std::uint32_t) override {}

private:
    TempFolder folder_;
    std::unique_ptr<CCorvantEditorApp> app_;
};

class BlockViewTest : public ::testing::Test {
protected:
    CBlockView& View() const { return editor_.View(); }
    CCorvantEditorDoc& Doc() const { return editor_.Doc(); }
    DiagramBlock& Block(std::string_view name) const;
    static QPoint Centre(const DiagramBlock& block);

    EditorOnData editor_{kTestDiagram};
};
