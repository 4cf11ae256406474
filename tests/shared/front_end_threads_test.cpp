// The exports that reach the Intel driver, called from the front-end's own
// threads. The simulated laptop has the driver; Wine has none, and every
// kind of thread gets the same refusal.
#include "front_end_thread.h"
#include "test_platform.h"

namespace tw_test {

namespace {

constexpr int kDriverUnavailable = -2;
constexpr int kMainAdapterDeviceId = 12345;
constexpr int kNoMonitorId = -7;

void CallTheDriverExports() {
    EXPECT_EQ(TW(SetColorEnhance)(true), OnWine() ? kDriverUnavailable : 0);
    TW(InitMonitorId)();
    EXPECT_EQ(TW(GetMonitorId)(kNoMonitorId), OnWine() ? kNoMonitorId : kMainAdapterDeviceId);
}

}  // namespace

TEST_F(ExportTest, DriverExportsUseTheMultithreadedApartmentAsTheyFindIt) {
    RunOnFrontEndThread(FrontEndThread::MultiThreaded, [] {
        CallTheDriverExports();
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
        CoUninitialize();
    });
}

TEST_F(ExportTest, DriverMadeOnOneWindowThreadServesTheNext) {
    RunOnFrontEndThread(FrontEndThread::SingleThreaded, [] {
        EXPECT_EQ(TW(SetColorEnhance)(false), OnWine() ? kDriverUnavailable : 0);
    });
    RunOnFrontEndThread(FrontEndThread::SingleThreaded, CallTheDriverExports);
}

TEST_F(ExportTest, DriverExportsLeaveOleOnAThreadWithoutCom) {
    RunOnFrontEndThread(FrontEndThread::WithoutCom, [] {
        CallTheDriverExports();
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    });
}

}  // namespace tw_test
