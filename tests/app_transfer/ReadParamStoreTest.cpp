// The download's store and its sink, with deliveries from other threads.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "application/transfer/ReadParamResult.h"
#include "platform/messages/RecordingWindow.h"

namespace {

using namespace std::chrono_literals;

TEST(ReadParamStore, EntriesAreReadOnlyOnceClosedAndALaterDeliveryOfAKeyReplacesIt)
{
    ReadParamStore store;
    const std::uint8_t first[] = {1, 2, 3};
    const std::uint8_t second[] = {9};
    EXPECT_TRUE(store.StoreBlock(4, 1, first, 3));
    EXPECT_TRUE(store.StoreBlock(4, 1, second, 1));
    EXPECT_TRUE(store.StoreBlock(2, 0, first, 3));
    EXPECT_EQ(FindReadParamBlock(store, 4, 1), nullptr);  // still open
    store.Close();
    const ReadParamEntry* entry = FindReadParamBlock(store, 4, 1);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->data, std::vector<std::uint8_t>{9});
    EXPECT_TRUE(entry->extra.empty());
    EXPECT_EQ(FindReadParamBlock(store, 4, 0), nullptr);  // never delivered
    EXPECT_EQ(FindReadParamBlock(store, 1, 4), nullptr);
    EXPECT_EQ(store.BlockCount(), 2u);
    EXPECT_FALSE(store.StoreBlock(4, 1, first, 3));
    EXPECT_EQ(FindReadParamBlock(store, 4, 1)->data, std::vector<std::uint8_t>{9});
}

TEST(ReadParamResult, PostsProgressAndTheEndAndStoresBlocksFromAWorker)
{
    platform::RecordingWindow window;
    const platform::MessageId message = platform::RegisterMessage("__Kx_Progress__");
    auto store = std::make_shared<ReadParamStore>();
    CobaltDeviceManager::ICDM_Progress* progress = nullptr;
    CobaltDeviceManager::IReadParamSink* sink = nullptr;
    ASSERT_TRUE(CreateReadParamResult(window.Id(), message, store, &progress, &sink));
    std::thread worker([&] {
        const std::uint8_t bytes[] = {7, 7};
        progress->OnProgress(0, 42);
        progress->OnProgress(3, 43);  // the code is not looked at
        sink->OnBlock(12, 3, bytes, 2);
        progress->OnComplete(2);
        progress->Release();
        sink->Release();  // the last reference goes on the worker
    });
    worker.join();
    ASSERT_TRUE(window.WaitForCount(message, 3, 10s));
    const auto posted = window.Messages(message);
    EXPECT_EQ(posted[0], (platform::PostedMessage{window.Id(), message, ProgressNotice::kProgress, 42}));
    EXPECT_EQ(posted[1].lParam, 43);
    EXPECT_EQ(posted[2], (platform::PostedMessage{window.Id(), message, ProgressNotice::kFinished, 2}));
    store->Close();
    ASSERT_NE(FindReadParamBlock(*store, 12, 3), nullptr);
    EXPECT_EQ(FindReadParamBlock(*store, 12, 3)->data, (std::vector<std::uint8_t>{7, 7}));
}

TEST(ReadParamResult, BlocksThatArriveWhileTheStoreClosesAreEitherKeptOrDroppedWhole)
{
    auto store = std::make_shared<ReadParamStore>();
    CobaltDeviceManager::ICDM_Progress* progress = nullptr;
    CobaltDeviceManager::IReadParamSink* sink = nullptr;
    ASSERT_TRUE(CreateReadParamResult(platform::kNoWindow, 0, store, &progress, &sink));
    progress->Release();
    std::atomic<bool> started{false};
    std::thread worker([sink, &started] {
        std::vector<std::uint8_t> bytes(512, 0xA5);
        for (std::uint32_t i = 0; i < 2000; ++i) {
            sink->OnBlock(11, static_cast<std::int32_t>(i), bytes.data(), 512);
            started = true;
        }
        sink->Release();
    });
    while (!started) {
        std::this_thread::yield();
    }
    store->Close();
    const std::size_t kept = store->BlockCount();
    worker.join();
    EXPECT_EQ(store->BlockCount(), kept);
    for (std::uint32_t i = 0; i < kept; ++i) {
        const ReadParamEntry* entry = FindReadParamBlock(*store, 11, i);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->data.size(), 512u);
    }
}

}  // namespace
