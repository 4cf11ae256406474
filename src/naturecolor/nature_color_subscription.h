// Subscribing the nature-colour engine to its measurements: the light
// sensor's sinks through the Sensor API, and for monitor type 1 the
// firmware's colour temperature events.
#pragma once

#include <windows.h>
#include <sensorsapi.h>

// 0 light sensor for lux and kelvin (LightEvent); 1 light sensor for lux
// (SensorLightEventHandle) and firmware for kelvin (NatureColorMonitor).
constexpr unsigned int kMonitorLightSensor = 0;
constexpr unsigned int kMonitorLightSensorAndFirmware = 1;

// The sinks of the monitor type on every light sensor, then for type 1 the
// firmware monitor: 0, -1, or the firmware monitor's start result.
int StartNatureColorSubscription(unsigned int type);
// Attaches the sink of the monitor type to every light sensor; 0 or -1.
int StartMonitorNatureColorSensorEvent(unsigned int type);
int StartMonitorNatureColorSensorEventImpl(ISensorEvents* events);
// Cancels the sinks and lets go of the sensors, then for type 1 stops the
// firmware monitor: 0, -1 for an unknown type, or the monitor's stop result.
// Once the last subscription has ended, no reading reaches the engine and
// the transition in hand is dropped.
int UninstallNatureColorSubscription(unsigned int type);
// The callback of the firmware event monitor.
void OnNatureColorFirmwareEvent(unsigned int event);
