#include "naturecolor/nature_color_monitor.h"

#include "naturecolor/natural_tone.h"

NatureColorMonitor& NatureColorMonitor::Instance() {
    // The engine its events reach is created first, so that it is destroyed
    // after the monitor has stopped calling back.
    static_cast<void>(NaturalTone::Instance());
    static NatureColorMonitor instance;
    return instance;
}

NatureColorMonitor::~NatureColorMonitor() {
    status_ = 0;
}
