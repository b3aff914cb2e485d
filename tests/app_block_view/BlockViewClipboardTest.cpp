// Copy Block and Paste Block through the view's commands and its context menu.
#include <QAction>
#include <QMenu>

#include "application/clipboard/BlockClipboardData.h"
#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CBlockView.h"
#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/Clipboard.h"
#include "platform/ui/core/CommandActions.h"
#include "platform/ui/core/PopupMenu.h"
#include "resources/commands/CommandIds.h"
#include "resources/strings/StringIds.h"
#include "tests/app_block_view/BlockViewFixture.h"
#include "tests/support/ModalDriver.h"

namespace {

std::vector<std::uint8_t> Blob(const DiagramBlock& block)
{
    const auto bytes = block.paramBlob.Bytes();
    return {bytes.begin(), bytes.end()};
}

platform::CommandUi Update(const CBlockView& view, std::uint32_t id)
{
    platform::CommandUi ui;
    ui.id = id;
    if (id == CommandId::kCopyBlock) {
        view.OnUpdateCopyBlock(ui);
    } else {
        view.OnUpdatePasteBlock(ui);
    }
    return ui;
}

class PickingHook final : public platform::IPopupMenuHook {
public:
    std::uint32_t OnPopupMenu(QMenu& menu, QPoint) override
    {
        for (QAction* action : menu.actions()) {
            shown.push_back(action->isSeparator() ? 0 : platform::ActionCommandId(action));
            texts.push_back(action->text().toStdString());
        }
        return pick;
    }
    std::uint32_t pick = 0;
    std::vector<std::uint32_t> shown;
    std::vector<std::string> texts;
};

class BlockClipboardTest : public BlockViewTest {
protected:
    void Select(const char* name)
    {
        const QPoint at = Centre(Block(name));
        View().OnLButtonDown(false, at.x(), at.y());
        View().OnLButtonUp();
    }
};

TEST_F(BlockClipboardTest, CopyThenPasteGivesTheOtherBlockTheSameBytes)
{
    DiagramBlock& source = Block("Xover");
    const CrossoverFilterPair pair{{0, 150.0f}, {0, 5000.0f}};
    ASSERT_TRUE(static_cast<CCrossoverController*>(source.controller)->SetFilters(&pair));
    DiagramBlock& target = Block("NoToggle");
    ASSERT_NE(Blob(target), Blob(source));

    Select("Xover");
    EXPECT_EQ(Update(View(), CommandId::kCopyBlock).text, "Copy Xover");
    View().OnCopyBlock();
    const auto bytes = platform::ClipboardBytes(platform::kBlockParamClipboardFormat);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, WriteBlockClipboardData(4, u"Xover", source.paramBlob.Data(), source.paramBlob.Size()));

    Select("NoToggle");
    Doc().SetModifiedFlag(false);
    const platform::CommandUi paste = Update(View(), CommandId::kPasteBlock);
    EXPECT_TRUE(paste.enabled);
    EXPECT_EQ(paste.text, "Paste Xover");
    View().OnPasteBlock();
    EXPECT_EQ(Blob(target), Blob(source));
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(BlockClipboardTest, PasteIsOfferedOnlyForABlockOfTheSameType)
{
    EXPECT_FALSE(Update(View(), CommandId::kCopyBlock).enabled);  // no current block
    Select("Xover");
    View().OnCopyBlock();
    Select("EQ B");
    const platform::CommandUi copy = Update(View(), CommandId::kCopyBlock);
    EXPECT_TRUE(copy.enabled);
    EXPECT_EQ(copy.text, "Copy EQ B");
    const platform::CommandUi paste = Update(View(), CommandId::kPasteBlock);
    EXPECT_FALSE(paste.enabled);
    EXPECT_EQ(paste.text, "Paste Xover");
    const auto before = Blob(Block("EQ B"));
    View().OnPasteBlock();  // a type mismatch does nothing
    EXPECT_EQ(Blob(Block("EQ B")), before);
}

TEST_F(BlockClipboardTest, ForeignBytesThatAreNoBlockAreRefusedWith151)
{
    Select("EQ B");
    const auto before = Blob(Block("EQ B"));
    const std::vector<std::vector<std::uint8_t>> broken = {
        {2, 0, 0, 0, 1},                          // fewer than 8 bytes
        {2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1},  // negative name length
        {2, 0, 0, 0, 9, 0, 0, 0, 'E', 'Q'},       // the name runs past the end
    };
    for (const auto& bytes : broken) {
        ASSERT_TRUE(platform::SetClipboardBytes(platform::kBlockParamClipboardFormat, bytes));
        EXPECT_FALSE(Update(View(), CommandId::kPasteBlock).enabled);
        ModalDriver driver;
        driver.AnswerBox(StringId::kPasteFailed, platform::MessageAnswer::Ok);
        View().OnPasteBlock();
        EXPECT_EQ(Blob(Block("EQ B")), before);
    }
    // A blob the controller cannot decode is refused the same way, and the block keeps its values.
    const std::vector<std::uint8_t> junk = {0x03, 0x00};
    platform::SetClipboardBytes(platform::kBlockParamClipboardFormat, WriteBlockClipboardData(2, u"x", junk.data(), 2));
    ModalDriver driver;
    driver.AnswerBox(StringId::kPasteFailed, platform::MessageAnswer::Ok);
    View().OnPasteBlock();
    EXPECT_EQ(Blob(Block("EQ B")), before);
}

TEST_F(BlockClipboardTest, TheContextMenuSelectsTheBlockAndOffersCopyAndPasteOnly)
{
    PickingHook hook;
    hook.pick = CommandId::kCopyBlock;
    platform::ScopedPopupMenuHook install(hook);
    platform::SetClipboardBytes(platform::kBlockParamClipboardFormat, {});
    DiagramBlock& framed = Block("Framed");
    View().OnContextMenu(View().mapToGlobal(Centre(framed)));
    EXPECT_EQ(View().CurrentBlock(), &framed);
    EXPECT_EQ(framed.selected, 1);
    EXPECT_EQ(hook.shown, (std::vector<std::uint32_t>{CommandId::kCopyBlock, CommandId::kPasteBlock}));
    EXPECT_EQ(hook.texts.front(), "Copy Framed");
    const auto copied = ReadBlockClipboardData(*platform::ClipboardBytes(platform::kBlockParamClipboardFormat));
    ASSERT_TRUE(copied.has_value());
    EXPECT_EQ(copied->name, u"Framed");

    // On empty space the selection goes.
    hook.pick = 0;
    View().OnContextMenu(View().mapToGlobal(QPoint(2, 2)));
    EXPECT_EQ(View().CurrentBlock(), nullptr);
    EXPECT_EQ(framed.selected, 0);
}

}  // namespace
