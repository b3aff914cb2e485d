// The controller factory: grouping, a first pass for every kind but the speaker EQ, and
// a second pass for the speaker EQ, which needs the crossover and limiter of its channels.
#include "dsp_blocks/blocks/ControllerFactory.h"

#include <array>
#include <cstdint>
#include <map>
#include <utility>

#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/CStdMixerController.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LDelayDialogController.h"
#include "dsp_blocks/blocks/LInputEQController.h"
#include "dsp_blocks/blocks/LInputGainDialogController.h"
#include "dsp_blocks/blocks/LLimiterController.h"
#include "dsp_blocks/blocks/LOutputGainDialogController.h"
#include "dsp_blocks/blocks/LSpeakerEQDialogController.h"

namespace {

// Ungrouped blocks form one group visited after every typed group. Grouped blocks are
// keyed by their type, so no grouped type can fall in with the ungrouped blocks.
constexpr std::int64_t kUngroupedKey = INT64_MAX;

struct ChannelEntry {
    LLimiterController* limiter = nullptr;
    CCrossoverController* crossover = nullptr;
};

// Types that may form a group but have no controller of their own in the first pass.
bool IsPerBlockOrSecondPassType(BlockType type)
{
    switch (type) {
    case BlockType::InputEQ:
    case BlockType::Crossover:
    case BlockType::SpeakerEQ:
    case BlockType::StdMixer:
    case BlockType::Limiter:
        return true;
    default:
        return false;
    }
}

bool IsGroupableType(BlockType type)
{
    switch (type) {
    case BlockType::InputGain:
    case BlockType::Delay:
    case BlockType::OutputGain:
        return true;
    default:
        return IsPerBlockOrSecondPassType(type);
    }
}

// Everything one factory run made; unless Keep() is called, its end deletes the new
// controllers and puts every block's controller pointer back as it was, so no block is
// left pointing at a deleted controller (also when a Load throws).
class FactoryRun {
public:
    FactoryRun() = default;
    FactoryRun(const FactoryRun&) = delete;
    FactoryRun& operator=(const FactoryRun&) = delete;
    ~FactoryRun()
    {
        if (!kept_) {
            for (auto it = previous_.rbegin(); it != previous_.rend(); ++it) {
                it->first->controller = it->second;
            }
        }
    }

    // Loads the controller, points its blocks at it and keeps it in the result list.
    CController* Add(std::unique_ptr<CController> controller, const std::vector<DiagramBlock*>& blocks)
    {
        CController* raw = controller.get();
        created_.push_back(std::move(controller));
        if (!raw->Load()) {
            allLoaded_ = false;
        }
        for (DiagramBlock* block : blocks) {
            previous_.emplace_back(block, block->controller);
            block->controller = raw;
        }
        return raw;
    }

    bool AllLoaded() const { return allLoaded_; }

    std::vector<std::unique_ptr<CController>> Keep()
    {
        kept_ = true;
        return std::move(created_);
    }

private:
    std::vector<std::unique_ptr<CController>> created_;
    std::vector<std::pair<DiagramBlock*, CController*>> previous_;
    bool allLoaded_ = true;
    bool kept_ = false;
};

// Channel indexes come from the diagram file: only 0 to 3 index the table.
ChannelEntry* EntryOfChannel(std::array<ChannelEntry, kMaxChannels>& table, std::int32_t channel)
{
    if (channel < 0 || channel >= kMaxChannels) {
        return nullptr;
    }
    return &table[static_cast<std::size_t>(channel)];
}

void MakeUngrouped(FactoryRun& run, DiagramBlock& block, std::array<ChannelEntry, kMaxChannels>& table)
{
    ChannelEntry* entry = EntryOfChannel(table, block.channel);
    switch (block.type) {
    case BlockType::InputEQ:
        run.Add(std::make_unique<LInputEQController>(block), {&block});
        break;
    case BlockType::Crossover: {
        auto crossover = std::make_unique<CCrossoverController>(block);
        CCrossoverController* raw = crossover.get();
        run.Add(std::move(crossover), {&block});
        if (entry != nullptr) {
            entry->crossover = raw;
        }
        break;
    }
    case BlockType::StdMixer:
        run.Add(std::make_unique<CStdMixerController>(block), {&block});
        break;
    case BlockType::Limiter: {
        auto limiter = std::make_unique<LLimiterController>(block);
        LLimiterController* raw = limiter.get();
        run.Add(std::move(limiter), {&block});
        if (entry != nullptr) {
            entry->limiter = raw;
        }
        break;
    }
    default:
        break;
    }
}

}  // namespace

bool CreateControllers(const std::vector<DiagramBlock*>& blocks, std::vector<std::unique_ptr<CController>>& out)
{
    std::map<std::int64_t, std::vector<DiagramBlock*>> groups;
    for (DiagramBlock* block : blocks) {
        if (block == nullptr) {
            continue;
        }
        const std::int64_t key = block->IsGrouped() ? static_cast<std::int64_t>(block->type) : kUngroupedKey;
        groups[key].push_back(block);
    }

    std::array<ChannelEntry, kMaxChannels> table{};
    FactoryRun run;

    for (const auto& [key, members] : groups) {
        if (key == kUngroupedKey) {
            for (DiagramBlock* block : members) {
                MakeUngrouped(run, *block, table);
            }
            continue;
        }
        const BlockType type = members.front()->type;
        switch (type) {
        case BlockType::InputGain:
            run.Add(std::make_unique<LInputGainDialogController>(members), members);
            break;
        case BlockType::Delay:
            run.Add(std::make_unique<LDelayDialogController>(members), members);
            break;
        case BlockType::OutputGain:
            run.Add(std::make_unique<LOutputGainDialogController>(members), members);
            break;
        default:
            if (!IsGroupableType(type)) {
                return false;
            }
            break;
        }
    }

    for (const auto& [key, members] : groups) {
        if (key == kUngroupedKey || members.front()->type != BlockType::SpeakerEQ) {
            continue;
        }
        std::vector<SpeakerEqChannel> channels;
        channels.reserve(members.size());
        for (DiagramBlock* block : members) {
            SpeakerEqChannel channel;
            channel.block = block;
            if (const ChannelEntry* entry = EntryOfChannel(table, block->channel)) {
                channel.crossover = entry->crossover;
                channel.limiter = entry->limiter;
            }
            channels.push_back(std::move(channel));
        }
        run.Add(std::make_unique<LSpeakerEQDialogController>(std::move(channels)), members);
    }

    const bool allLoaded = run.AllLoaded();
    out = run.Keep();
    return allLoaded;
}
