// A registration in Wine's real global interface table: what it holds on the
// object, what it hands back, and that an abandoned one is left as it is.
#include <objbase.h>

#include <gtest/gtest.h>

#include <atomic>

#include "platform/global_interface.h"

namespace {

// Static storage with no destructor to run: a reference the table keeps
// after the test ends stays harmless.
class CountedObject final : public IUnknown {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != __uuidof(IUnknown)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *object = static_cast<IUnknown*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    ULONG References() const { return references_; }

  private:
    std::atomic<ULONG> references_{0};
};

CountedObject g_object;

class WineGlobalInterface : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK); }
};

}  // namespace

TEST_F(WineGlobalInterface, RegistrationHoldsTheObjectUntilItsOwnerGoes) {
    {
        const auto registration = GlobalInterface<IUnknown>::Register(&g_object);
        ASSERT_TRUE(registration);
        EXPECT_GT(g_object.References(), 0u);
        const ComPtr<IUnknown> fetched = registration.Fetch();
        EXPECT_EQ(fetched.Get(), &g_object);
    }
    EXPECT_EQ(g_object.References(), 0u);
}

// What an owner destroyed at unload does: no COM call, the table keeps it.
TEST_F(WineGlobalInterface, AnAbandonedRegistrationStaysInTheTable) {
    {
        auto registration = GlobalInterface<IUnknown>::Register(&g_object);
        ASSERT_TRUE(registration);
        registration.Abandon();
        EXPECT_FALSE(registration);
    }
    EXPECT_GT(g_object.References(), 0u);
}
