// The sink of the light sensor for nature colour on the light sensor alone:
// each data report's lux and kelvin become a reading of the dimming engine,
// while the front-end's status allows it and the sensors are subscribed.
// The Sensor API calls it on threads of its own, so it is never destroyed:
// a sensor may still hold it after the library has let go of its
// subscription, and while one does the sink holds the library (each
// reference beyond its own is a hold).
#pragma once

#include <windows.h>
#include <sensorsapi.h>

#include <atomic>
#include <cstdint>

class LightEvent : public ISensorEvents {
  public:
    static LightEvent& Instance();

    LightEvent(const LightEvent&) = delete;
    LightEvent& operator=(const LightEvent&) = delete;

    // IUnknown and ISensorEvents only. The count is kept but never frees the
    // object; the references others hold keep the library loaded.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE OnStateChanged(ISensor* sensor, SensorState state) override;
    HRESULT STDMETHODCALLTYPE OnDataUpdated(ISensor* sensor, ISensorDataReport* newData) override;
    HRESULT STDMETHODCALLTYPE OnEvent(ISensor* sensor, REFGUID eventId,
                                      IPortableDeviceValues* eventData) override;
    HRESULT STDMETHODCALLTYPE OnLeave(REFSENSOR_ID id) override;
    virtual ~LightEvent() = default;

    // Non-zero: readings are forwarded.
    void SetStatus(std::uint32_t status) { status_ = status; }
    std::uint32_t Status() const { return status_; }

  protected:
    LightEvent() = default;

    template <typename>
    friend class NoDestructor;

  private:
    // Set by the front-end while sensor threads read it.
    std::atomic<std::uint32_t> status_{0};
    std::atomic<ULONG> references_{1};
};
