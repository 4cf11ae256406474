#include "sim/firmware_model.h"
#include "sim/whole_number.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <nlohmann/json.hpp>

namespace sim {

namespace {

constexpr std::size_t kBiosInputSize = 64;
constexpr BYTE kSensorColorCommand[] = {6, 0x26};

// The input size each information class of the hardware library takes.
std::optional<int> HalClassSize(int informationClass) {
    switch (informationClass) {
        case 2:
        case 5:
            return 8;
        case 6:
            return 20;
        default:
            return std::nullopt;
    }
}

}  // namespace

void FirmwareModel::Load(const nlohmann::json& description) {
    if (const auto dlut = description.find("dlut"); dlut != description.end()) {
        LoadDlut(*dlut);
    }
    if (const auto hal = description.find("hal"); hal != description.end()) {
        SetHalInitSucceeds(hal->value("init", true));
        SetHalRefusesAll(hal->value("refuseAll", false));
        for (const auto& refused : hal->value("refuseClasses", nlohmann::json::array())) {
            SetHalRefusesClass(WholeNumber<int>(refused, "refuseClasses"));
        }
    }
    if (const auto bios = description.find("biosInfo"); bios != description.end()) {
        BiosInfoAnswer answer;
        answer.result = WholeNumber(*bios, "result", answer.result);
        const int status = WholeNumber(*bios, "status", static_cast<int>(answer.status));
        const std::int64_t value =
            WholeNumber(*bios, "value", static_cast<std::int64_t>(answer.value));
        if (status < 0 || status > 255 || value < 0 || value > 0xFFFFFFFF) {
            throw std::invalid_argument("firmware: biosInfo status or value out of range");
        }
        answer.status = static_cast<BYTE>(status);
        answer.value = static_cast<DWORD>(value);
        SetBiosInfoAnswer(answer);
    }
    if (const auto dp = description.find("dpStatus"); dp != description.end()) {
        if (const auto value = dp->find("value"); value != dp->end()) {
            SetDpStatusValue(value->is_null()
                                 ? std::nullopt
                                 : std::optional(WholeNumber<int>(*value, "dpStatus")));
        }
        std::lock_guard lock(mutex_);
        dpGetResult_ = WholeNumber(*dp, "getResult", dpGetResult_);
        dpSetResult_ = WholeNumber(*dp, "setResult", dpSetResult_);
    }
    if (const auto monitor = description.find("eventMonitor"); monitor != description.end()) {
        SetEventMonitorResults(WholeNumber(*monitor, "startResult", 0),
                               WholeNumber(*monitor, "stopResult", 0));
    }
}

void FirmwareModel::SetHalInitSucceeds(bool succeeds) {
    std::lock_guard lock(mutex_);
    halInitSucceeds_ = succeeds;
}

void FirmwareModel::SetHalRefusesAll(bool refuses) {
    std::lock_guard lock(mutex_);
    halRefusesAll_ = refuses;
}

void FirmwareModel::SetHalRefusesClass(int informationClass, bool refuses) {
    std::lock_guard lock(mutex_);
    if (refuses) {
        halRefusedClasses_.insert(informationClass);
    } else {
        halRefusedClasses_.erase(informationClass);
    }
}

int FirmwareModel::HalInit(int version, void** context, bool injected) {
    std::lock_guard lock(mutex_);
    HalInitCall call{version, 0};
    if (context != nullptr && version == kHalVersion && halInitSucceeds_ && !injected) {
        void* block = std::calloc(1, kHalBlockSize);
        if (block != nullptr) {
            call.block = reinterpret_cast<std::uintptr_t>(block);
            halBlocks_.insert(call.block);
            *context = block;
        }
    }
    halInitCalls_.push_back(call);
    return call.block != 0 ? 1 : 0;
}

int FirmwareModel::HalSetInformation(int version, void* context, int informationClass,
                                     const void* data, int size, bool injected) {
    std::lock_guard lock(mutex_);
    HalSetInformationCall call{version, context, informationClass, {}, size, false};
    if (data != nullptr && size > 0) {
        const auto* bytes = static_cast<const BYTE*>(data);
        call.data.assign(bytes, bytes + size);
    }
    const auto address = reinterpret_cast<std::uintptr_t>(context);
    const bool knownContext =
        context != nullptr && halBlocks_.contains(address - kHalContextOffset);
    const auto expectedSize = HalClassSize(informationClass);
    call.accepted = !injected && !halRefusesAll_ && version == kHalVersion && knownContext &&
                    expectedSize && *expectedSize == size && data != nullptr &&
                    !halRefusedClasses_.contains(informationClass);
    halSetInformationCalls_.push_back(call);
    return call.accepted ? 1 : 0;
}

std::vector<HalInitCall> FirmwareModel::HalInitCalls() const {
    std::lock_guard lock(mutex_);
    return halInitCalls_;
}

std::vector<HalSetInformationCall> FirmwareModel::HalSetInformationCalls() const {
    std::lock_guard lock(mutex_);
    return halSetInformationCalls_;
}

void FirmwareModel::SetBiosInfoAnswer(BiosInfoAnswer answer) {
    std::lock_guard lock(mutex_);
    biosInfoAnswer_ = answer;
}

int FirmwareModel::GetBiosInfo(const BYTE* input, BYTE* output, int injectedError) {
    std::lock_guard lock(mutex_);
    if (input != nullptr) {
        biosInfoRequests_.emplace_back(input, input + kBiosInputSize);
    }
    if (injectedError != 0) {
        return injectedError;
    }
    if (input == nullptr || output == nullptr ||
        std::memcmp(input, kSensorColorCommand, sizeof kSensorColorCommand) != 0) {
        return -1;
    }
    if (biosInfoAnswer_.result != 0) {
        return biosInfoAnswer_.result;
    }
    output[0] = biosInfoAnswer_.status;
    for (int i = 0; i < 4; ++i) {
        output[1 + i] = static_cast<BYTE>(biosInfoAnswer_.value >> (8 * i));
    }
    return 0;
}

std::vector<std::vector<BYTE>> FirmwareModel::BiosInfoRequests() const {
    std::lock_guard lock(mutex_);
    return biosInfoRequests_;
}

void FirmwareModel::SetDpStatusValue(std::optional<int> value) {
    std::lock_guard lock(mutex_);
    dpStatus_ = value;
}

void FirmwareModel::SetDpStatusResults(int getResult, int setResult) {
    std::lock_guard lock(mutex_);
    dpGetResult_ = getResult;
    dpSetResult_ = setResult;
}

std::optional<int> FirmwareModel::DpStatusValue() const {
    std::lock_guard lock(mutex_);
    return dpStatus_;
}

int FirmwareModel::GetDpStatus(int& status, int injectedError) {
    std::lock_guard lock(mutex_);
    if (injectedError != 0) {
        return injectedError;
    }
    if (dpStatus_) {
        status = *dpStatus_;
    }
    return dpGetResult_;
}

int FirmwareModel::SetDpStatus(int status, int injectedError) {
    std::lock_guard lock(mutex_);
    dpStatusWrites_.push_back(status);
    if (injectedError != 0) {
        return injectedError;
    }
    if (dpSetResult_ == 0) {
        dpStatus_ = status;
    }
    return dpSetResult_;
}

std::vector<int> FirmwareModel::DpStatusWrites() const {
    std::lock_guard lock(mutex_);
    return dpStatusWrites_;
}

void FirmwareModel::SetEventMonitorResults(int startResult, int stopResult) {
    std::lock_guard lock(mutex_);
    monitorStartResult_ = startResult;
    monitorStopResult_ = stopResult;
}

int FirmwareModel::StartEventMonitor(EventReceiver receiver) {
    int result = 0;
    {
        std::lock_guard lock(mutex_);
        result = monitorStartResult_;
    }
    if (result == 0) {
        std::lock_guard lock(receiverMutex_);
        receiver_ = std::move(receiver);
    }
    return result;
}

int FirmwareModel::StopEventMonitor() {
    int result = 0;
    {
        std::lock_guard lock(mutex_);
        result = monitorStopResult_;
    }
    if (result == 0) {
        DetachEventMonitor();
    }
    return result;
}

void FirmwareModel::DetachEventMonitor() {
    std::lock_guard lock(receiverMutex_);
    receiver_ = nullptr;
}

bool FirmwareModel::EventMonitorStarted() const {
    std::lock_guard lock(receiverMutex_);
    return static_cast<bool>(receiver_);
}

void FirmwareModel::RaiseEvent(unsigned int event) {
    std::lock_guard receiverLock(receiverMutex_);
    if (!receiver_) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        ++undeliveredEvents_;
    }
    receiver_(event);
}

void FirmwareModel::EventDone() {
    std::lock_guard lock(mutex_);
    --undeliveredEvents_;
    eventsDone_.notify_all();
}

void FirmwareModel::AwaitEvents() {
    std::unique_lock lock(mutex_);
    eventsDone_.wait(lock, [this] { return undeliveredEvents_ == 0; });
}

}  // namespace sim
