// RCObject2Ex: the external count ends the service once (FinalRelease), the lifetime
// count ends the object, also when references come and go on several threads.
#include "device_manager/core/RefCounting.h"
#include "device_manager/core/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <utility>
#include <vector>

namespace CobaltDeviceManager {
namespace {

using namespace std::chrono_literals;

constexpr auto kHangGuard = 10s;

class IPublicA : public IUnknown {
public:
    virtual int A() = 0;

protected:
    ~IPublicA() = default;
};

class IPublicB : public IUnknown {
public:
    virtual int B() = 0;

protected:
    ~IPublicB() = default;
};

class IInternalX : public IUnknown {
public:
    virtual int X() = 0;

protected:
    ~IInternalX() = default;
};

class IInternalY : public IUnknown {
public:
    virtual int Y() = 0;

protected:
    ~IInternalY() = default;
};

// What the tests watch from outside the object.
struct Observations {
    std::atomic<int> sequence{0};
    std::atomic<int> finalReleases{0};
    std::atomic<int> finalReleaseStep{0};
    std::atomic<int> destructions{0};
    std::atomic<int> destructionStep{0};
    platform::Event destroyed{platform::ResetMode::Manual};
    platform::Event dropPublic{platform::ResetMode::Manual};
    std::atomic<bool> runSawStop{false};
};

// Shaped like the amplifier object: a public pair, an internal triple whose first member
// is the entry of its own worker thread.
class TwoFaced : public RCObjectRootEx<RCObjectMultiThreadModel>,
                 public InterfaceImplWithFinalRelease2<RCObjectMultiThreadModel, IPublicA, IPublicB>,
                 public InterfaceImpl3<IThreadEntry, IInternalX, IInternalY> {
public:
    explicit TwoFaced(Observations& seen) : m_seen(seen) {}

    int A() override { return 1; }
    int B() override { return 2; }
    int X() override { return 3; }
    int Y() override { return 4; }

    bool StartWorker() { return Thread::Create(static_cast<IThreadEntry*>(this), &m_thread); }

    // Hands the worker one public reference that it drops itself.
    void GiveWorkerPublicReference(IPublicA* reference) { m_workerPublic = reference; }

    std::uint32_t Run(platform::Event* stopEvent) override
    {
        if (m_workerPublic != nullptr) {
            m_seen.dropPublic.WaitFor(kHangGuard);
            std::exchange(m_workerPublic, nullptr)->Release();
        }
        m_seen.runSawStop = stopEvent->WaitFor(kHangGuard);
        return 0;
    }

    void FinalRelease() override
    {
        ++m_seen.finalReleases;
        m_seen.finalReleaseStep = ++m_seen.sequence;
        if (IThread* thread = std::exchange(m_thread, nullptr)) {
            thread->Shutdown();
            thread->Release();
        }
    }

protected:
    ~TwoFaced() override
    {
        ++m_seen.destructions;
        m_seen.destructionStep = ++m_seen.sequence;
        m_seen.destroyed.Set();
    }

private:
    Observations& m_seen;
    IThread* m_thread = nullptr;
    IPublicA* m_workerPublic = nullptr;
};

using Object = RCObject2Ex<TwoFaced, NullStruct>;

TEST(RCObject2Ex, PublicAddRefMovesBothCountsAndReturnsTheLifetimeCount)
{
    Observations seen;
    auto* object = new Object(seen);
    IPublicA* a = object;
    IPublicB* b = object;
    IInternalX* x = object;
    EXPECT_EQ(a->AddRef(), 1u);
    EXPECT_EQ(x->AddRef(), 2u);
    EXPECT_EQ(b->AddRef(), 3u);
    EXPECT_EQ(x->Release(), 2u);
    EXPECT_EQ(a->Release(), 1u);
    EXPECT_EQ(seen.finalReleases.load(), 0) << "one external reference is left";
    EXPECT_EQ(b->Release(), 0u);
    EXPECT_EQ(seen.finalReleases.load(), 1);
    EXPECT_EQ(seen.destructions.load(), 1);
    EXPECT_LT(seen.finalReleaseStep.load(), seen.destructionStep.load());
}

TEST(RCObject2Ex, LastExternalReleaseEndsTheServiceButTheObjectWaitsForInternalReferences)
{
    Observations seen;
    auto* object = new Object(seen);
    IPublicA* a = object;
    IInternalY* y = object;
    a->AddRef();
    y->AddRef();
    EXPECT_EQ(a->Release(), 1u);
    EXPECT_EQ(seen.finalReleases.load(), 1);
    EXPECT_EQ(seen.destructions.load(), 0);
    EXPECT_EQ(y->Y(), 4) << "still usable through its internal face";
    EXPECT_EQ(y->Release(), 0u);
    EXPECT_EQ(seen.finalReleases.load(), 1);
    EXPECT_EQ(seen.destructions.load(), 1);
}

TEST(RCObject2Ex, InternalReferencesAloneNeverRunFinalRelease)
{
    Observations seen;
    auto* object = new Object(seen);
    IInternalX* x = object;
    IThreadEntry* entry = object;
    x->AddRef();
    entry->AddRef();
    EXPECT_EQ(x->Release(), 1u);
    EXPECT_EQ(entry->Release(), 0u);
    EXPECT_EQ(seen.finalReleases.load(), 0);
    EXPECT_EQ(seen.destructions.load(), 1);
}

TEST(RCObject2Ex, FinalReleaseRunsOnceEvenIfAPublicFaceIsTakenAgain)
{
    Observations seen;
    auto* object = new Object(seen);
    IPublicA* a = object;
    IInternalX* x = object;
    a->AddRef();
    x->AddRef();
    a->Release();
    ASSERT_EQ(seen.finalReleases.load(), 1);
    a->AddRef();
    a->Release();
    EXPECT_EQ(seen.finalReleases.load(), 1);
    x->Release();
    EXPECT_EQ(seen.destructions.load(), 1);
}

TEST(RCObject2Ex, QueryInterfaceRefusesOnEveryFace)
{
    Observations seen;
    auto* object = new Object(seen);
    IPublicA* a = object;
    a->AddRef();
    IUnknown* faces[] = {static_cast<IPublicA*>(object), static_cast<IPublicB*>(object),
                         static_cast<IThreadEntry*>(object), static_cast<IInternalX*>(object),
                         static_cast<IInternalY*>(object)};
    for (IUnknown* face : faces) {
        int marker = 0;
        void* out = &marker;
        EXPECT_EQ(face->QueryInterface(InterfaceId{0xDEAD, 1, 2, {}}, &out), kResultNoInterface);
        EXPECT_EQ(out, &marker);
    }
    EXPECT_EQ(a->Release(), 0u);
    EXPECT_EQ(seen.finalReleases.load(), 1);
}

// Public holders and internal holders add and release on many threads; the creator lets go
// early. The service ends once, after the last public reference, and the object is
// deleted once, after the last reference of any kind, never while one is held.
TEST(RCObject2Ex, ConcurrentReferencesEndServiceOnceAndDeleteOnceAtTheEnd)
{
    for (int round = 0; round < 20; ++round) {
        Observations seen;
        auto* object = new Object(seen);
        IPublicA* a = object;
        IPublicB* b = object;
        IInternalX* x = object;
        IInternalY* y = object;
        a->AddRef();

        constexpr int kThreads = 8;
        constexpr int kRounds = 2000;
        std::atomic<int> ready{0};
        std::atomic<bool> misuse{false};
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            const bool publicHolder = t % 2 == 0;
            if (publicHolder) {
                b->AddRef();
            } else {
                x->AddRef();
            }
            threads.emplace_back([&, publicHolder] {
                ++ready;
                while (ready.load() < kThreads) {
                    std::this_thread::yield();
                }
                for (int i = 0; i < kRounds; ++i) {
                    if (publicHolder) {
                        a->AddRef();
                        y->AddRef();
                        a->Release();
                        y->Release();
                    } else {
                        y->AddRef();
                        x->Release();
                        x->AddRef();
                        y->Release();
                    }
                    if (seen.destructions.load() != 0) {
                        misuse = true;
                    }
                    if (publicHolder && seen.finalReleases.load() != 0) {
                        misuse = true;  // the service ended while a public reference was held
                    }
                }
                if (publicHolder) {
                    b->Release();
                } else {
                    x->Release();
                }
            });
        }
        a->Release();
        for (auto& thread : threads) {
            thread.join();
        }
        ASSERT_FALSE(misuse.load()) << "round " << round;
        ASSERT_EQ(seen.finalReleases.load(), 1) << "round " << round;
        ASSERT_EQ(seen.destructions.load(), 1) << "round " << round;
        ASSERT_LT(seen.finalReleaseStep.load(), seen.destructionStep.load()) << "round " << round;
    }
}

TEST(RCObject2Ex, ObjectOutlivesItsLastExternalReferenceUntilAnotherThreadLetsGo)
{
    Observations seen;
    auto* object = new Object(seen);
    IPublicA* a = object;
    IInternalX* x = object;
    a->AddRef();
    x->AddRef();  // the "session" on another thread
    platform::Event letGo(platform::ResetMode::Manual);
    std::thread session([&] {
        letGo.WaitFor(kHangGuard);
        x->Release();
    });
    EXPECT_EQ(a->Release(), 1u);
    EXPECT_EQ(seen.finalReleases.load(), 1);
    EXPECT_FALSE(seen.destroyed.IsSignalled());
    letGo.Set();
    session.join();
    EXPECT_TRUE(seen.destroyed.IsSignalled());
    EXPECT_EQ(seen.destructions.load(), 1);
}

TEST(RCObject2Ex, FinalReleaseStopsTheWorkerAndTheObjectGoesWithIt)
{
    Observations seen;
    auto* object = new Object(seen);
    IPublicA* a = object;
    a->AddRef();
    ASSERT_TRUE(object->StartWorker());
    EXPECT_EQ(a->Release(), 0u);
    EXPECT_EQ(seen.finalReleases.load(), 1);
    EXPECT_TRUE(seen.runSawStop.load());
    EXPECT_EQ(seen.destructions.load(), 1);
}

TEST(RCObject2Ex, LastExternalReleaseOnItsOwnWorkerEndsCleanly)
{
    Observations seen;
    auto* object = new Object(seen);
    IPublicA* a = object;
    a->AddRef();  // the worker's public reference, the only one
    object->GiveWorkerPublicReference(a);
    ASSERT_TRUE(object->StartWorker());
    seen.dropPublic.Set();
    ASSERT_TRUE(seen.destroyed.WaitFor(kHangGuard));
    EXPECT_EQ(seen.finalReleases.load(), 1);
    EXPECT_TRUE(seen.runSawStop.load());
    EXPECT_EQ(seen.destructions.load(), 1);
}

}  // namespace
}  // namespace CobaltDeviceManager
