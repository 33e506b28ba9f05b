// The list of pilots under its shared lock, and the pilot record's ping
// average and item clearing.
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "game/YClientInfo.h"
#include "game/YClientInfoList.h"
#include "game/YPlane.h"

namespace {

// An owned object that tells when it goes.
class Counted : public CObject {
public:
    explicit Counted(int& deleted) : m_deleted(deleted) {}
    ~Counted() override { ++m_deleted; }
    int& m_deleted;
};

std::vector<YClientInfo*> Walk(YClientInfoList& list)
{
    std::vector<YClientInfo*> seen;
    for (POSITION pos = list.GetHeadPosition(); pos;) seen.push_back(list.GetNext(pos));
    return seen;
}

}  // namespace

TEST(ClientInfoList, AnEmptyListWalksNothingAndRecordsComeInOrder)
{
    YClientInfoList list;
    EXPECT_EQ(nullptr, list.GetHeadPosition());
    EXPECT_TRUE(Walk(list).empty());

    YClientInfo first, second, third;
    EXPECT_NE(nullptr, list.AddTail(&first));
    list.AddTail(&second);
    list.AddTail(&third);
    EXPECT_EQ((std::vector<YClientInfo*>{&first, &second, &third}), Walk(list));
}

TEST(ClientInfoList, AWalkAndAnInsertionFromAnotherThreadDoNotInterleaveInsideAnOperation)
{
    YClientInfoList list;
    std::vector<std::unique_ptr<YClientInfo>> records;
    for (int i = 0; i < 400; ++i) records.emplace_back(new YClientInfo);
    std::thread adder([&] {
        for (auto& record : records) list.AddTail(record.get());
    });
    // Every walk sees a whole prefix of the records.
    for (int walk = 0; walk < 200; ++walk) {
        const std::vector<YClientInfo*> seen = Walk(list);
        for (size_t i = 0; i < seen.size(); ++i) ASSERT_EQ(records[i].get(), seen[i]);
    }
    adder.join();
    EXPECT_EQ(400u, Walk(list).size());
}

TEST(ClientInfoList, PlanesGoingAwayAreForgottenByEveryRecord)
{
    YClientInfoList list;
    YClientInfo a, b;
    YPlane plane;
    a.m_plane = &plane;
    b.m_controlledPlane = &plane;
    list.AddTail(&a);
    list.AddTail(&b);
    list.ForgetActor(&plane);
    EXPECT_EQ(nullptr, a.m_plane);
    EXPECT_EQ(nullptr, b.m_controlledPlane);
}

TEST(ClientInfo, AveragePingOfTheNonZeroSamplesComputedOnceAfterAChange)
{
    const struct {
        std::vector<int32_t> samples;
        int32_t previous;
        int32_t want;
    } cases[] = {
        {{40, 50, 61}, 0, 50},
        {{}, 77, 77},  // all zero: the old average stays
        {{100}, 5, 100},
        {{1, 2}, 0, 1},  // truncated
        {std::vector<int32_t>(20, 30), 0, 30},
    };
    for (const auto& c : cases) {
        YClientInfo record;
        for (size_t i = 0; i < c.samples.size(); ++i) record.m_samples[i * 20 / c.samples.size()] = c.samples[i];
        record.m_averagePing = c.previous;
        record.m_averageDirty = 1;
        EXPECT_EQ(c.want, record.GetAveragePing());
        EXPECT_EQ(0, record.m_averageDirty);
        // No new samples: the cached value, even if a sample changed unseen.
        record.m_samples[0] = 9999;
        EXPECT_EQ(c.want, record.GetAveragePing());
    }
}

TEST(ClientInfo, ClearItemsDeletesTheOwnedObjectsAndResetsTheCount)
{
    YClientInfo record;
    int deleted = 0;
    record.m_owned->AddTail(new Counted(deleted));
    record.m_owned->AddTail(static_cast<CObject*>(nullptr));
    record.m_owned->AddTail(new Counted(deleted));
    record.m_listCount = 3;
    record.ClearItems();
    EXPECT_EQ(2, deleted);
    EXPECT_TRUE(record.m_owned->IsEmpty());
    EXPECT_EQ(0, record.m_listCount);

    // An empty list only resets the count.
    record.m_listCount = 5;
    record.ClearItems();
    EXPECT_EQ(0, record.m_listCount);
    EXPECT_EQ(2, deleted);

    // The reset goes through it too.
    record.m_owned->AddTail(new Counted(deleted));
    record.m_averagePing = 40;
    record.Reset();
    EXPECT_EQ(3, deleted);
    EXPECT_EQ(0, record.m_averagePing);
    EXPECT_EQ(1, record.m_averageDirty);
}
