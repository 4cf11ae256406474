// While the library is subscribed to the light sensor it stays loaded after
// the front-end lets it go, since the sensors hold its sinks; the uninstall
// is what lets it unload.
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "../shared/test_platform.h"

namespace tw_test {

namespace {

using namespace std::chrono_literals;

}  // namespace

class NatureColorUnload : public ::testing::Test {
  protected:
    // The built-in default laptop, which has a light sensor.
    void SetUp() override {
        std::thread([] {}).join();
        char pattern[] = "/tmp/tintwell-sensor-unload-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        const std::filesystem::path root = pattern;
        std::filesystem::create_directories(root / "C/ProgramData/Vozaz/OrvLumivex");
        setenv("TINTWELL_ROOT", root.c_str(), 1);
        setenv("TINTWELL_LOG_FILE", (root / "tintwell.log").c_str(), 1);
        unsetenv("TINTWELL_MACHINE");
        ASSERT_FALSE(LibraryIsMapped());
    }
};

TEST_F(NatureColorUnload, WhileSubscribedTheLibraryOutlivesItsUnload) {
    FrontEndLibrary library;
    ASSERT_TRUE(library.Loaded());
    ASSERT_EQ(FE(library, StartMonitorNatureColor)(0), 0);
    library.Unload();
    EXPECT_TRUE(LibraryIsMapped());
}

TEST_F(NatureColorUnload, AfterTheUninstallTheLibraryUnloads) {
    FrontEndLibrary library;
    ASSERT_TRUE(library.Loaded());
    ASSERT_EQ(FE(library, StartMonitorNatureColor)(0), 0);
    ASSERT_EQ(FE(library, StartMonitorNatureColor)(0), 0);
    EXPECT_EQ(FE(library, UninstallNatureColorObject)(0), 0);
    library.Unload();
    EXPECT_TRUE(AwaitCondition([] { return !LibraryIsMapped(); }, 10s));
}

}  // namespace tw_test
