// The one document of the editor: the design (model, the model's fixed block diagram, one
// controller per block or group, the meter list), the project file, and the state the device
// flows share with the amplifier's worker. Views learn about changes only through
// UpdateAllViews; the user is asked and told through IDocumentPrompts.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "application/document/DocumentServices.h"
#include "application/document/MeterListCounts.h"
#include "dsp_blocks/blocks/BlockTypes.h"
#include "dsp_blocks/blocks/CController.h"
#include "dsp_blocks/blocks/ChannelConfig.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "platform/base/ByteStream.h"

// Modes of the deferred go-online command.
namespace GoOnlineMode {
inline constexpr std::uint32_t kNewDesign = 0;
inline constexpr std::uint32_t kOpenedFile = 1;
inline constexpr std::uint32_t kDownload = 2;
}  // namespace GoOnlineMode

// The framework's own text when a file to open cannot be read at all.
inline constexpr std::string_view kFailedToOpenDocumentText = "Failed to open document.";

class CCorvantEditorDoc {
public:
    // dataFolder holds the block-diagram files (the program's Data folder in the editor).
    CCorvantEditorDoc(DocumentServices services, std::filesystem::path dataFolder);
    // Stops the amplifier's status calls into this object and frees the design.
    ~CCorvantEditorDoc();
    CCorvantEditorDoc(const CCorvantEditorDoc&) = delete;
    CCorvantEditorDoc& operator=(const CCorvantEditorDoc&) = delete;

    // Views. An observer must be removed before it goes away.
    void AddObserver(IDocumentObserver* observer);
    void RemoveObserver(IDocumentObserver* observer);
    void UpdateAllViews(UpdateHint hint, CobaltDeviceManager::ICobaltAmplifier* amplifier = nullptr);

    // A new design: empties the document, chooses the model (first design after start-up,
    // a new-design command, the single amplifier, or the user), loads its diagram and makes
    // the controllers. False when the model choice was cancelled or the diagram is missing.
    bool OnNewDocument();
    // Goes offline and frees the design (hints 4, 6, then 1).
    void DeleteContents();

    // Appends the model's diagram to the blocks; false, blocks untouched, when the model's
    // diagram file cannot be read.
    bool LoadBlockDiagram(ModelType model);

    DiagramBlock* FindBlock(BlockType type, std::int32_t channel, std::int32_t stage) const;
    DiagramBlock* GetBlock(std::size_t index) const;
    std::size_t GetBlockCount() const { return blocks_.size(); }
    const std::vector<std::unique_ptr<DiagramBlock>>& Blocks() const { return blocks_; }
    const std::vector<std::unique_ptr<CController>>& Controllers() const { return controllers_; }
    DiagramBlock* BlockAtPoint(std::int32_t x, std::int32_t y) const;
    CController* GetSelectedController() const;

    // Converts the design to another model: tells every controller, stores the model and,
    // when it differs, marks the design modified. Always true.
    bool SetDocumentModel(ModelType model);
    // "Corvantine MV340A", "Corvantine MV440", "Corvantine MV440A", else "Corvantine MV220".
    void SetTitleForModel();
    void RedrawBlockViews();
    // Counts the input-gain and output-gain blocks into a new meter list.
    void BuildMeterList();
    void ApplyModelToControllers(ModelType model);

    // Channel configuration from the amplifier's status: build, deliver to every controller
    // and, when any accepted, write the blocks to the current amplifier. Returns the record
    // as delivered.
    ChannelConfig OnStatusChanged(std::uint32_t oldStatus, std::uint32_t newStatus, std::uint32_t channelCount);
    ChannelConfig OnFirstStatus(std::uint32_t status, std::uint32_t channelCount);

    // Points every block at the amplifier (null detaches).
    void AttachAmplifierToBlocks(CobaltDeviceManager::ICobaltAmplifier* amplifier);
    // Clears the status callback on the current amplifier and detaches the blocks.
    void Detach();
    // Detach, hint 4 (null), offline, lock notice hidden, hint 6. Keeps the current amplifier.
    void GoOffline();

    // The outcome of a store of the configuration in the amplifier: the lParam of the
    // save-configuration notice that ends it (CobaltDeviceManager::kSaveConfigEnds). The
    // frame calls this after unlocking; a store that did not happen is shown to the user.
    void OnSaveConfigResult(std::intptr_t result);

    // The amplifier's status callback (worker thread): flags the event and wakes the main
    // window once per batch of changes. context is the document.
    static void OnAmplifierStatusChanged(void* context);
    // The idle poll's side: takes the flag (exchanges it with 0).
    std::uint32_t TakePendingDeviceEvent();

    // Project streams. Reading builds the design apart and replaces the document's design
    // only on success (code 0 or 1); the document is untouched otherwise.
    int ReadProjectStream(platform::ByteStream* stream);
    bool WriteProjectStream(platform::ByteStream* stream) const;
    // File commands. A failed open leaves the current design as it was; a save goes through
    // a temporary file, so a failed save leaves the old file.
    bool OnOpenDocument(const std::filesystem::path& path);
    bool OnSaveDocument(const std::filesystem::path& path);

    // Framework document state.
    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified) { modified_ = modified; }
    const std::filesystem::path& GetPathName() const { return pathName_; }
    const std::string& GetTitle() const { return title_; }  // UTF-8
    const std::filesystem::path& GetDataFolder() const { return dataFolder_; }

    // Fields shared with the device flows.
    ModelType GetModel() const { return model_; }
    std::uint8_t GetMutePolarityNormallyOpen() const { return mutePolarityNormallyOpen_; }
    void SetMutePolarityNormallyOpen(std::uint8_t value) { mutePolarityNormallyOpen_ = value != 0 ? 1 : 0; }
    const MeterListCounts* GetMeterList() const { return meterList_.get(); }
    bool IsOnline() const { return online_ != 0; }
    void SetOnline(bool online) { online_ = online ? 1 : 0; }
    std::uint32_t GetDelayedGoOnlineMode() const { return delayedGoOnlineMode_; }
    std::uint8_t& FirmwareCheckState() { return firmwareCheckState_; }
    bool IsCreatingForAmplifier() const { return creatingForAmplifier_ != 0; }
    void SetCreatingForAmplifier(bool creating) { creatingForAmplifier_ = creating ? 1 : 0; }
    bool IsFirstNewDocument() const { return firstNewDocument_ != 0; }
    bool IsFreshDesign() const { return freshDesign_ != 0; }
    std::uint32_t GetLastAmplifierCount() const { return lastAmplifierCount_; }
    void SetLastAmplifierCount(std::uint32_t count) { lastAmplifierCount_ = count; }
    CobaltDeviceManager::WindowId GetStatusWindow() const { return statusWindow_.load(); }
    void SetStatusWindow(CobaltDeviceManager::WindowId window) { statusWindow_.store(window); }
    std::uint32_t GetLastHardwareStatus() const { return lastHardwareStatus_; }
    void SetLastHardwareStatus(std::uint32_t status) { lastHardwareStatus_ = status; }
    bool IsFirstStatusPending() const { return firstStatusPending_ != 0; }
    void SetFirstStatusPending(bool pending) { firstStatusPending_ = pending ? 1 : 0; }

private:
    // Frees controllers before the blocks they point to.
    void FreeDesign();
    bool CreateDesignControllers();
    void PostDelayedGoOnline(std::uint32_t mode);
    void SetPathAndTitleFromFile(const std::filesystem::path& path);

    DocumentServices services_;
    std::filesystem::path dataFolder_;
    std::vector<IDocumentObserver*> observers_;
    bool modified_ = false;
    std::filesystem::path pathName_;
    std::string title_;

    std::uint8_t online_ = 0;
    std::uint32_t delayedGoOnlineMode_ = GoOnlineMode::kNewDesign;
    std::vector<std::unique_ptr<DiagramBlock>> blocks_;
    std::vector<std::unique_ptr<CController>> controllers_;
    std::uint8_t mutePolarityNormallyOpen_ = 1;
    std::unique_ptr<MeterListCounts> meterList_;
    std::uint8_t firmwareCheckState_ = 0;
    std::uint8_t creatingForAmplifier_ = 0;
    std::uint8_t firstNewDocument_ = 1;
    std::uint8_t freshDesign_ = 0;
    std::uint32_t lastAmplifierCount_ = 0;
    ModelType model_ = ModelType::Unknown;
    // Read by the status callback on the amplifier's worker thread.
    std::atomic<CobaltDeviceManager::WindowId> statusWindow_{0};
    std::uint32_t lastHardwareStatus_ = 0;
    std::uint8_t firstStatusPending_ = 0;
    // Set to 1 by the amplifier's worker, taken by the idle poll; only touched atomically.
    std::atomic<std::uint32_t> pendingDeviceEvent_{0};
};
