// The sink of the light sensor for nature colour that takes its colour
// temperature from the firmware: each report's lux is kept, whatever the
// status, and while the status allows it becomes a reading together with the
// firmware's last colour temperature. Never destroyed, as LightEvent.
#pragma once

#include <atomic>

#include "naturecolor/light_event.h"

class SensorLightEventHandle : public LightEvent {
  public:
    static SensorLightEventHandle& Instance();

    HRESULT STDMETHODCALLTYPE OnDataUpdated(ISensor* sensor, ISensorDataReport* newData) override;
    ~SensorLightEventHandle() override = default;

    // The last light level the sensor reported, in lux; 300 until the first.
    float Light() const { return light_; }

  private:
    SensorLightEventHandle() = default;

    template <typename>
    friend class NoDestructor;

    std::atomic<float> light_{300.0f};
};
