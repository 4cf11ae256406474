// The maker's data report component (OrvDataReport).
#pragma once

#include <string>

struct LogInfo {
    std::string first;
    std::string second;
};

class EventDataReport {
  public:
    static EventDataReport& Instance();
    LogInfo GetMsg(const std::string& first, const std::string& second);
    bool SendMsg(const LogInfo& info);

  private:
    EventDataReport() = default;
};
