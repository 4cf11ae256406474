// The exports that reach the Intel driver, called from the front-end's
// threads of every kind, one after another and at once: what reached the
// simulated driver, and that its one object served them all.
#include <cstring>
#include <thread>
#include <vector>

#include "../shared/front_end_thread.h"
#include "../shared/test_platform.h"
#include "sim/intel_driver_model.h"
#include "sim/machine.h"

namespace tw_test {

namespace {

constexpr std::int32_t kMainAdapterDeviceId = 12345;
constexpr std::size_t kHeaderDeviceIdOffset = 48;

sim::IntelDriverModel& Driver() {
    return sim::Machine::Current().IntelDriver();
}

std::int32_t HeaderDeviceId(const std::vector<BYTE>& header) {
    std::int32_t value = 0;
    std::memcpy(&value, header.data() + kHeaderDeviceIdOffset, sizeof value);
    return value;
}

}  // namespace

TEST_F(ExportTest, EveryKindOfFrontEndThreadReachesTheOneDriverObject) {
    const FrontEndThread kinds[] = {FrontEndThread::SingleThreaded, FrontEndThread::MultiThreaded,
                                    FrontEndThread::WithoutCom, FrontEndThread::SingleThreaded};
    for (const FrontEndThread kind : kinds) {
        RunOnFrontEndThread(kind, [] {
            EXPECT_EQ(TW(SetColorEnhance)(true), 0);
            TW(InitMonitorId)();
        });
    }
    const auto features = Driver().FeatureDataCalls();
    ASSERT_EQ(features.size(), std::size(kinds));
    for (const auto& call : features) {
        EXPECT_EQ(call.result, S_OK);
        EXPECT_EQ(HeaderDeviceId(call.header), kMainAdapterDeviceId);
    }
    // Each thread asked for the first adapter's id and then the main adapter's.
    const auto queries = Driver().DeviceQueries();
    EXPECT_EQ(queries.size(), 2 * std::size(kinds));
    for (const auto& query : queries) {
        EXPECT_EQ(query.result, S_OK);
    }
    EXPECT_EQ(TW(GetMonitorId)(-7), kMainAdapterDeviceId);
    EXPECT_EQ(Driver().LiveObjects(), 1);
    EXPECT_EQ(Driver().OutstandingReferences(), 1);
}

TEST_F(ExportTest, FrontEndThreadsCallingAtOnceShareTheDriver) {
    constexpr int kCallsPerThread = 5;
    const FrontEndThread kinds[] = {FrontEndThread::SingleThreaded, FrontEndThread::SingleThreaded,
                                    FrontEndThread::MultiThreaded,  FrontEndThread::MultiThreaded,
                                    FrontEndThread::WithoutCom,     FrontEndThread::WithoutCom};
    std::vector<std::thread> threads;
    for (const FrontEndThread kind : kinds) {
        threads.push_back(StartFrontEndThread(kind, [] {
            for (int call = 0; call < kCallsPerThread; ++call) {
                EXPECT_EQ(TW(SetColorEnhance)(call % 2 == 0), 0);
            }
        }));
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const auto features = Driver().FeatureDataCalls();
    EXPECT_EQ(features.size(), std::size(kinds) * kCallsPerThread);
    for (const auto& call : features) {
        EXPECT_EQ(call.result, S_OK);
    }
    // Threads that found no object at once may each have made one; only the
    // one kept is left.
    EXPECT_EQ(Driver().LiveObjects(), 1);
    EXPECT_EQ(Driver().OutstandingReferences(), 1);
}

}  // namespace tw_test
