#include "tests/app_block_view/BlockViewFixture.h"

#include <QCoreApplication>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CBlockView.h"
#include "application/ui/CControlView.h"
#include "application/ui/CCorvantEditorView.h"
#include "application/ui/CMainFrame.h"
#include "dsp_blocks/blocks/DiagramBlock.h"

const char* const kTestLayout =
    "Name\tKind\tRow\tReserved\tStretch\tW1\tW2\tGradient\tMeter\tA\tB\tSize\n"
    "Blocks\t1\t0\t0\tx\t0\t0\t1\t0\t205,214,228\t255,255,255\t600,260\n"
    "Controls\t2\t1\t0\tx\t0\t0\t1\t0\t196,205,218\t240,242,246\t600,300\n";

// Stage, channel, inputs, outputs, pitch, -, aux, type, flags, name, colours A B C, -, D E,
// extent, position.
#define COLOURS "\t60,90,160\t120,150,210\t255,255,255\t-\t220,230,240\t190,200,230\t80\t"
const char* const kTestDiagram =
    "header\n"
    "0\t0\t1\t1\t0\t0\t0\t2\t0x1000000\tEQ A" COLOURS "20,20\n"
    "0\t1\t1\t1\t0\t0\t0\t2\t0x1000000\tEQ B" COLOURS "20,90\n"
    "0\t2\t1\t1\t0\t0\t0\t2\t0x1000100\tLocked" COLOURS "20,160\n"
    "1\t0\t2\t2\t30\t0\t0\t4\t0x3\tXover" COLOURS "150,20\n"
    "1\t2\t1\t1\t0\t0\t0\t4\t0x400\tNoToggle" COLOURS "150,160\n"
    "2\t0\t1\t1\t0\t0\t0\t12\t0x20\tHidden" COLOURS "280,20\n"
    "2\t1\t1\t1\t0\t0\t0\t12\t0x10000\tFramed" COLOURS "280,90\n"
    "3\t0\t1\t1\t0\t0\t0\t12\t0\tLast" COLOURS "410,20\n";
#undef COLOURS

EditorOnData::EditorOnData(const std::string& diagram2, const char* layout) : folder_("quarry-block-view-")
{
    const auto data = folder_.Path() / "Data";
    std::filesystem::copy(QUARRY_SHIPPED_DATA_DIR, data, std::filesystem::copy_options::recursive);
    WriteWholeFile(data / "ViewEnvironment.txt", layout);
    if (!diagram2.empty()) {
        WriteWholeFile(data / "BlockDiagram2.txt", diagram2);
    }
    AppEnvironment environment;
    environment.dataFolder = data;
    environment.amplifiers = this;
    environment.singleInstance = false;
    environment.startDeviceWatching = [](platform::WindowId, platform::MessageId) { return true; };
    app_ = std::make_unique<CCorvantEditorApp>(std::move(environment));
    EXPECT_TRUE(app_->InitInstance({}));
    QCoreApplication::processEvents();
}

EditorOnData::~EditorOnData()
{
    app_->ExitInstance();
}

CBlockView& EditorOnData::View() const
{
    for (CEnvironmentView* view : app_->GetMainFrame()->GetMainView()->ChildViews()) {
        if (auto* blocks = dynamic_cast<CBlockView*>(view)) {
            return *blocks;
        }
    }
    throw std::logic_error("no block view");
}

CControlView& EditorOnData::Controls() const
{
    return *app_->GetMainFrame()->GetControlView();
}

DiagramBlock& BlockViewTest::Block(std::string_view name) const
{
    for (const auto& block : Doc().Blocks()) {
        if (QString::fromStdU16String(block->name).toStdString() == name) {
            return *block;
        }
    }
    throw std::logic_error("no such block");
}

QPoint BlockViewTest::Centre(const DiagramBlock& block)
{
    return QPoint((block.bodyRect.left + block.bodyRect.right) / 2, (block.bodyRect.top + block.bodyRect.bottom) / 2);
}
