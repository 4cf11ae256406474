#include "sim/wmi.h"

#include <algorithm>
#include <cwctype>

#include "sim/display_model.h"
#include "sim/machine.h"
#include "sim/wide_text.h"

namespace sim {

namespace {

constexpr std::wstring_view kCimV2 = L"ROOT\\CIMV2";
constexpr std::wstring_view kWmi = L"ROOT\\WMI";
constexpr std::wstring_view kVideoController = L"Win32_VideoController";
constexpr std::wstring_view kDesktopMonitor = L"Win32_DesktopMonitor";
constexpr std::wstring_view kConnectionParams = L"WmiMonitorConnectionParams";
// The monitor classes of ROOT\WMI name a monitor's device node followed by
// the index of its instance.
constexpr std::wstring_view kFirstInstance = L"_0";

struct WqlQuery {
    bool allProperties = false;
    std::vector<std::wstring> properties;
    std::wstring className;
    std::optional<std::wstring> notNullProperty;
};

bool IsNameCharacter(wchar_t c) {
    return std::iswalnum(c) || c == L'_';
}

// Names, "*" and "," as tokens; blanks separate.
std::vector<std::wstring> Tokens(std::wstring_view text) {
    std::vector<std::wstring> tokens;
    for (std::size_t i = 0; i < text.size();) {
        if (std::iswspace(text[i])) {
            ++i;
        } else if (IsNameCharacter(text[i])) {
            const std::size_t start = i;
            while (i < text.size() && IsNameCharacter(text[i])) {
                ++i;
            }
            tokens.emplace_back(text.substr(start, i - start));
        } else {
            tokens.emplace_back(1, text[i++]);
        }
    }
    return tokens;
}

bool IsName(const std::wstring& token) {
    return !token.empty() && std::all_of(token.begin(), token.end(), IsNameCharacter);
}

class WqlReader {
  public:
    explicit WqlReader(std::wstring_view text) : tokens_(Tokens(text)) {}

    std::optional<WqlQuery> Read() {
        WqlQuery query;
        if (!Keyword(L"SELECT") || !Selection(query) || !Keyword(L"FROM") ||
            !Name(query.className)) {
            return std::nullopt;
        }
        if (Keyword(L"WHERE")) {
            std::wstring property;
            if (!Name(property) || !Keyword(L"IS") || !Keyword(L"NOT") || !Keyword(L"NULL")) {
                return std::nullopt;
            }
            query.notNullProperty = property;
        }
        return next_ == tokens_.size() ? std::optional<WqlQuery>(query) : std::nullopt;
    }

  private:
    bool Keyword(std::wstring_view keyword) {
        if (next_ < tokens_.size() && EqualsIgnoringCase(tokens_[next_], keyword)) {
            ++next_;
            return true;
        }
        return false;
    }

    bool Name(std::wstring& name) {
        if (next_ < tokens_.size() && IsName(tokens_[next_])) {
            name = tokens_[next_++];
            return true;
        }
        return false;
    }

    bool Selection(WqlQuery& query) {
        if (Keyword(L"*")) {
            query.allProperties = true;
            return true;
        }
        do {
            std::wstring property;
            if (!Name(property)) {
                return false;
            }
            query.properties.push_back(property);
        } while (Keyword(L","));
        return true;
    }

    std::vector<std::wstring> tokens_;
    std::size_t next_ = 0;
};

std::vector<WmiObject> VideoControllers(const DisplayModel& displays) {
    std::vector<WmiObject> objects;
    for (const auto& adapter : displays.Adapters()) {
        WmiObject object{{L"Name", adapter.deviceString}};
        if (!adapter.deviceId.empty()) {
            object.emplace(L"PNPDeviceID", adapter.deviceId);
        }
        objects.push_back(std::move(object));
    }
    return objects;
}

// Each monitor's PNP device id is its device node.
std::vector<WmiObject> DesktopMonitors(const DisplayModel& displays) {
    std::vector<WmiObject> objects;
    for (const auto& monitor : displays.MonitorsInPnpOrder()) {
        WmiObject object{{L"Caption", monitor.deviceString}};
        if (auto node = MonitorDeviceNode(monitor)) {
            object.emplace(L"PNPDeviceID", std::move(*node));
        }
        objects.push_back(std::move(object));
    }
    return objects;
}

// One object per monitor with a device node whose connection is described.
std::vector<WmiObject> ConnectionParams(const DisplayModel& displays) {
    std::vector<WmiObject> objects;
    for (const auto& monitor : displays.MonitorsInPnpOrder()) {
        auto node = MonitorDeviceNode(monitor);
        if (node && monitor.connection) {
            objects.push_back({{L"InstanceName", *node + std::wstring(kFirstInstance)},
                               {L"VideoOutputTechnology", *monitor.connection}});
        }
    }
    return objects;
}

bool Names(std::wstring_view wmiNamespace, std::wstring_view className,
           std::wstring_view classNamespace, std::wstring_view name) {
    return EqualsIgnoringCase(wmiNamespace, classNamespace) && EqualsIgnoringCase(className, name);
}

std::vector<WmiObject> ObjectsOf(Machine& machine, std::wstring_view wmiNamespace,
                                 std::wstring_view className) {
    if (auto described = machine.System().DescribedWmiObjects(wmiNamespace, className)) {
        return std::move(*described);
    }
    if (Names(wmiNamespace, className, kCimV2, kVideoController)) {
        return VideoControllers(machine.Displays());
    }
    if (Names(wmiNamespace, className, kCimV2, kDesktopMonitor)) {
        return DesktopMonitors(machine.Displays());
    }
    if (Names(wmiNamespace, className, kWmi, kConnectionParams)) {
        return ConnectionParams(machine.Displays());
    }
    return {};
}

// Keeps what the query selected of the objects that pass its condition.
std::vector<WmiObject> Answer(const WqlQuery& query, const std::vector<WmiObject>& objects) {
    std::vector<WmiObject> answer;
    for (const auto& object : objects) {
        if (query.notNullProperty && !WmiProperty(object, *query.notNullProperty)) {
            continue;
        }
        if (query.allProperties) {
            answer.push_back(object);
            continue;
        }
        WmiObject selected;
        for (const auto& property : query.properties) {
            if (auto value = WmiProperty(object, property)) {
                selected.emplace(property, std::move(*value));
            }
        }
        answer.push_back(std::move(selected));
    }
    return answer;
}

}  // namespace

bool WmiQueryResult::Selects(std::wstring_view property) const {
    return allProperties ||
           std::any_of(properties.begin(), properties.end(), [&](const auto& selected) {
               return EqualsIgnoringCase(selected, property);
           });
}

std::optional<WmiValue> WmiProperty(const WmiObject& object, std::wstring_view property) {
    const auto found = std::find_if(object.begin(), object.end(), [&](const auto& entry) {
        return EqualsIgnoringCase(entry.first, property);
    });
    return found == object.end() ? std::nullopt : std::optional<WmiValue>(found->second);
}

WmiQueryResult ExecuteWmiQuery(Machine& machine, std::wstring_view wmiNamespace,
                               std::wstring_view query) {
    machine.System().RecordWmiQuery({std::wstring(wmiNamespace), std::wstring(query)});
    WmiQueryResult result;
    if (const auto error = machine.TakeFailure("ExecQuery")) {
        result.status = *error != 0 ? static_cast<HRESULT>(*error) : kWbemFailed;
        return result;
    }
    if (!EqualsIgnoringCase(wmiNamespace, kCimV2) && !EqualsIgnoringCase(wmiNamespace, kWmi)) {
        result.status = kWbemInvalidNamespace;
        return result;
    }
    const auto parsed = WqlReader(query).Read();
    if (!parsed) {
        result.status = kWbemInvalidQuery;
        return result;
    }
    result.allProperties = parsed->allProperties;
    result.properties = parsed->properties;
    result.objects = Answer(*parsed, ObjectsOf(machine, wmiNamespace, parsed->className));
    return result;
}

}  // namespace sim
