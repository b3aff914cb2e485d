// The download's store, and its sink delivering from another thread while the store closes
// (the sink's posts are checked with the progress dialog).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "application/transfer/ReadParamResult.h"

namespace {

TEST(ReadParamStore, EntriesAreReadOnlyOnceClosedAndALaterDeliveryOfAKeyReplacesIt)
{
    ReadParamStore store;
    const std::uint8_t bytes[] = {1, 2, 3};
    EXPECT_TRUE(store.StoreBlock(4, 1, bytes, 3));
    EXPECT_TRUE(store.StoreBlock(4, 1, bytes + 2, 1));
    EXPECT_EQ(FindReadParamBlock(store, 4, 1), nullptr);  // still open
    store.Close();
    ASSERT_NE(FindReadParamBlock(store, 4, 1), nullptr);
    EXPECT_EQ(FindReadParamBlock(store, 4, 1)->data, std::vector<std::uint8_t>{3});
    EXPECT_EQ(FindReadParamBlock(store, 1, 4), nullptr);  // never delivered
    EXPECT_FALSE(store.StoreBlock(4, 1, bytes, 3));
    EXPECT_EQ(FindReadParamBlock(store, 4, 1)->data, std::vector<std::uint8_t>{3});
}

TEST(ReadParamResult, BlocksArrivingWhileTheStoreClosesAreKeptOrDroppedWhole)
{
    auto store = std::make_shared<ReadParamStore>();
    CobaltDeviceManager::ICDM_Progress* progress = nullptr;
    CobaltDeviceManager::IReadParamSink* sink = nullptr;
    ASSERT_TRUE(CreateReadParamResult(platform::kNoWindow, 0, store, &progress, &sink));
    progress->Release();
    std::atomic<bool> started{false};
    std::thread worker([sink, &started] {
        const std::vector<std::uint8_t> bytes(512, 0xA5);
        for (std::uint32_t i = 0; i < 2000; ++i, started = true) {
            sink->OnBlock(11, static_cast<std::int32_t>(i), bytes.data(), 512);
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
        EXPECT_EQ(FindReadParamBlock(*store, 11, i)->data.size(), 512u);
    }
}

}  // namespace
