// Registered message ids: stable per name, distinct between names, in the registered range.
#include "platform/messages/Messages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

namespace platform {
namespace {

TEST(RegisterMessage, SameNameGivesSameId)
{
    const MessageId first = RegisterMessage("VeskQuarry_NotifyWritingParam");
    EXPECT_NE(first, kNoMessage);
    EXPECT_EQ(RegisterMessage("VeskQuarry_NotifyWritingParam"), first);
}

TEST(RegisterMessage, DifferentNamesGiveDifferentIdsInTheRegisteredRange)
{
    const MessageId a = RegisterMessage("__Kx_Progress__");
    const MessageId b = RegisterMessage("VeskQuarry_NotifySaveConfig");
    EXPECT_NE(a, b);
    for (MessageId id : {a, b}) {
        EXPECT_GE(id, kFirstRegisteredMessage);
        EXPECT_LE(id, kLastRegisteredMessage);
    }
}

TEST(RegisterMessage, NamesCompareExactly)
{
    EXPECT_NE(RegisterMessage("VescQuarry_Error"), RegisterMessage("VeskQuarry_Error"));
    EXPECT_NE(RegisterMessage("casetest"), RegisterMessage("CaseTest"));
}

TEST(RegisterMessage, EmptyNameIsRefused)
{
    EXPECT_EQ(RegisterMessage(""), kNoMessage);
}

TEST(RegisterMessage, IdGivesBackItsName)
{
    const MessageId id = RegisterMessage("_Kx_WmDeviceChanged_");
    EXPECT_EQ(RegisteredMessageName(id), std::string("_Kx_WmDeviceChanged_"));
    EXPECT_EQ(RegisteredMessageName(kNoMessage), std::nullopt);
    EXPECT_EQ(RegisteredMessageName(kLastRegisteredMessage), std::nullopt);
}

TEST(RegisterMessage, ThreadsRegisteringTheSameNamesAgree)
{
    constexpr int kThreads = 8;
    std::vector<std::vector<MessageId>> seen(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &seen] {
            for (int n = 0; n < 50; ++n) {
                seen[t].push_back(RegisterMessage("race_" + std::to_string(n)));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (int t = 1; t < kThreads; ++t) {
        EXPECT_EQ(seen[t], seen[0]);
    }
    EXPECT_EQ(std::set<MessageId>(seen[0].begin(), seen[0].end()).size(), 50u);
}

}  // namespace
}  // namespace platform
