// WMI as the tests under Wine need it: Wine's own WMI reports a video
// controller without a maker's name, so the library finds neither Intel nor
// AMD graphics there. This locator, registered in this process, answers the
// video controller query with the name of an Intel adapter and every other
// query with no object.
#pragma once

#include <windows.h>

namespace tw_test {

class VideoControllerService {
  public:
    // Registers the locator's class object for the multithreaded apartment;
    // the calling thread must be in it.
    VideoControllerService();
    ~VideoControllerService();
    VideoControllerService(const VideoControllerService&) = delete;
    VideoControllerService& operator=(const VideoControllerService&) = delete;

    bool Registered() const { return cookie_ != 0; }

  private:
    DWORD cookie_ = 0;
};

}  // namespace tw_test
