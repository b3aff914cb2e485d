// RCObject2, RCObject2WithoutDeleting and the thread models: counts, deletion, refusals.
#include "device_manager/core/RefCounting.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace CobaltDeviceManager {
namespace {

class IFirst : public IUnknown {
public:
    virtual int First() = 0;

protected:
    ~IFirst() = default;
};

class ISecond : public IUnknown {
public:
    virtual int Second() = 0;

protected:
    ~ISecond() = default;
};

constexpr InterfaceId kFirstId{0x1234, 0x5678, 0x9ABC, {1, 2, 3, 4, 5, 6, 7, 8}};

// Counts its destructions in a counter that outlives it.
class Counted : public RCObjectRootEx<RCObjectMultiThreadModel>, public IFirst, public ISecond {
public:
    explicit Counted(std::atomic<int>& destroyed) : m_destroyed(destroyed) {}
    int First() override { return 1; }
    int Second() override { return 2; }

protected:
    ~Counted() { ++m_destroyed; }

private:
    std::atomic<int>& m_destroyed;
};

class Local : public RCObjectRootEx<RCObjectSingleThreadModel>, public IFirst {
public:
    explicit Local(int value) : m_value(value) {}
    ~Local() { ++destructions; }
    int First() override { return m_value; }

    static inline int destructions = 0;

private:
    int m_value;
};

TEST(RCObject2, AddRefAndReleaseReturnTheNewCount)
{
    std::atomic<int> destroyed{0};
    auto* object = new RCObject2<Counted>(destroyed);
    IFirst* first = object;
    ISecond* second = object;
    EXPECT_EQ(first->AddRef(), 1u);
    EXPECT_EQ(second->AddRef(), 2u);
    EXPECT_EQ(first->AddRef(), 3u);
    EXPECT_EQ(second->Release(), 2u);
    EXPECT_EQ(first->Release(), 1u);
    EXPECT_EQ(destroyed.load(), 0);
    EXPECT_EQ(second->Release(), 0u);
    EXPECT_EQ(destroyed.load(), 1);
}

TEST(RCObject2, CreateHandsOutExactlyOneReference)
{
    std::atomic<int> destroyed{0};
    auto* object = CreateRCObject<RCObject2<Counted>>(destroyed);
    ASSERT_NE(object, nullptr);
    IFirst* first = object;
    EXPECT_EQ(first->First(), 1);
    EXPECT_EQ(first->Release(), 0u);
    EXPECT_EQ(destroyed.load(), 1);
}

TEST(RCObject2, QueryInterfaceRefusesEveryIdAndLeavesTheOutPointer)
{
    std::atomic<int> destroyed{0};
    auto* object = CreateRCObject<RCObject2<Counted, int>>(destroyed);
    IFirst* first = object;
    ISecond* second = object;
    void* sentinel = &destroyed;
    void* out = sentinel;
    EXPECT_EQ(first->QueryInterface(kFirstId, &out), kResultNoInterface);
    EXPECT_EQ(out, sentinel);
    EXPECT_EQ(second->QueryInterface(InterfaceId{}, &out), kResultNoInterface);
    EXPECT_EQ(out, sentinel);
    EXPECT_EQ(static_cast<std::uint32_t>(kResultNoInterface), 0x80004002u);
    EXPECT_EQ(first->Release(), 0u) << "a refused query takes no reference";
}

TEST(RCObject2, ConcurrentAddRefAndReleaseDeleteExactlyOnceAfterTheLastReference)
{
    std::atomic<int> destroyed{0};
    auto* object = CreateRCObject<RCObject2<Counted>>(destroyed);
    IFirst* first = object;
    ISecond* second = object;
    constexpr int kThreads = 8;
    constexpr int kRounds = 20000;
    std::atomic<int> ready{0};
    std::atomic<int> zeroReturns{0};
    std::atomic<bool> seenDeadWhileHeld{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        second->AddRef();  // the thread's own reference, dropped as its last act
        threads.emplace_back([&, first, second] {
            ++ready;
            while (ready.load() < kThreads) {
                std::this_thread::yield();
            }
            for (int i = 0; i < kRounds; ++i) {
                if (i % 2 == 0) {
                    first->AddRef();
                    second->Release();
                } else {
                    second->AddRef();
                    first->Release();
                }
                if (destroyed.load() != 0) {
                    seenDeadWhileHeld = true;
                }
            }
            if (first->Release() == 0) {
                ++zeroReturns;
            }
        });
    }
    // The creator lets go while the threads still work, so one of them ends the object.
    if (first->Release() == 0) {
        ++zeroReturns;
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_FALSE(seenDeadWhileHeld.load());
    EXPECT_EQ(zeroReturns.load(), 1);
    EXPECT_EQ(destroyed.load(), 1);
}

TEST(RCObject2WithoutDeleting, ReleaseToZeroNeverDeletes)
{
    Local::destructions = 0;
    {
        RCObject2WithoutDeleting<Local> stream(7);
        IFirst* first = &stream;
        EXPECT_EQ(first->AddRef(), 1u);
        EXPECT_EQ(first->AddRef(), 2u);
        EXPECT_EQ(first->Release(), 1u);
        EXPECT_EQ(first->Release(), 0u);
        EXPECT_EQ(Local::destructions, 0);
        EXPECT_EQ(first->First(), 7) << "still alive after its count reached zero";
        EXPECT_EQ(first->AddRef(), 1u);
        EXPECT_EQ(first->Release(), 0u);
    }
    EXPECT_EQ(Local::destructions, 1) << "its owner's scope ends it, once";
}

TEST(RCObject2WithoutDeleting, LivesInsideAnotherObject)
{
    struct Owner {
        RCObject2WithoutDeleting<Local, NullStruct> member{3};
    };
    Local::destructions = 0;
    auto owner = std::make_unique<Owner>();
    IFirst* first = &owner->member;
    first->AddRef();
    first->Release();
    EXPECT_EQ(Local::destructions, 0);
    owner.reset();
    EXPECT_EQ(Local::destructions, 1);
}

TEST(RCObject2WithoutDeleting, QueryInterfaceRefuses)
{
    RCObject2WithoutDeleting<Local> stream(1);
    void* out = nullptr;
    EXPECT_EQ(stream.QueryInterface(kFirstId, &out), kResultNoInterface);
    EXPECT_EQ(out, nullptr);
}

TEST(ThreadModels, MultiThreadModelCountsAtomically)
{
    std::uint32_t count = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&count] {
            for (int i = 0; i < 10000; ++i) {
                RCObjectMultiThreadModel::Increment(count);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(std::atomic_ref<std::uint32_t>(count).load(), 40000u);
    EXPECT_EQ(RCObjectMultiThreadModel::Decrement(count), 39999u);
}

TEST(ThreadModels, SingleThreadModelReturnsTheNewCount)
{
    std::uint32_t count = 0;
    EXPECT_EQ(RCObjectSingleThreadModel::Increment(count), 1u);
    EXPECT_EQ(RCObjectSingleThreadModel::Increment(count), 2u);
    EXPECT_EQ(RCObjectSingleThreadModel::Decrement(count), 1u);
    EXPECT_EQ(count, 1u);
}

}  // namespace
}  // namespace CobaltDeviceManager
