// A light sensor service for the tests under Wine, which has none: the
// Sensor API's manager class registered in this process, one light sensor
// per collection handed out, and reports delivered to the sensor's sink on a
// thread of the service, as Windows delivers them.
#pragma once

#include <windows.h>

namespace tw_test {

class LightSensorService {
  public:
    // Registers the manager's class object for the multithreaded apartment;
    // the calling thread must be in it.
    LightSensorService();
    ~LightSensorService();
    LightSensorService(const LightSensorService&) = delete;
    LightSensorService& operator=(const LightSensorService&) = delete;

    bool Registered() const { return cookie_ != 0; }
    // How many sensors a collection counts (it holds one all the same): with
    // none, a subscription fails after it made the manager and collection.
    static void SetSensorCount(ULONG count);
    // The manager, collections and sensors not released yet.
    static long LiveObjects();
    // Whether a sensor handed out and still referenced has a sink.
    bool HasSink() const;
    // One report of both values, delivered on a thread of the service;
    // returns once the sink has returned. The sink's result.
    HRESULT Deliver(float lux, float kelvin);

  private:
    DWORD cookie_ = 0;
};

}  // namespace tw_test
