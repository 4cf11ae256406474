// OperateColor's factory white point record: read from the firmware (or the
// golden text), parsed, checked by its checksum and against the fitted panel.
#include <cctype>
#include <exception>
#include <new>

#include "log/log_line.h"
#include "services/hardware_hal.h"
#include "temperature/operate_color.h"

namespace {

constexpr int kReady = 0;
constexpr int kNotReady = -1;

// The record's fields before its trailing text; the checksum covers all
// but its own two characters.
constexpr std::size_t kRecordLength = 66;
constexpr std::size_t kChecksummedLength = 64;
constexpr std::size_t kHeader1Length = 4;
constexpr std::size_t kHeader2Length = 2;
constexpr std::size_t kNumberLength = 4;
constexpr std::size_t kSerialLength = 8;
constexpr std::size_t kYearLength = 4;
constexpr std::size_t kWeekLength = 2;
constexpr std::size_t kManufacturerLength = 4;
constexpr std::size_t kChecksumLength = 2;
constexpr unsigned kChecksumModulus = 256;

// The value of the leading digits, as strtoul reads them; "12x4" is 12.
std::uint32_t LeadingNumber(const std::string& text, unsigned base) {
    std::uint32_t value = 0;
    for (char c : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : base == 16 && c >= 'a' && c <= 'f'        ? c - 'a' + 10
                          : base == 16 && c >= 'A' && c <= 'F'        ? c - 'A' + 10
                                                                      : -1;
        if (digit < 0) {
            break;
        }
        value = value * base + static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::string UpperCased(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

unsigned SumOfFirstCharacters(const std::string& text) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < kChecksummedLength; ++i) {
        sum += static_cast<unsigned char>(text[i]);
    }
    return sum % kChecksumModulus;
}

void LogLengthError(const char* source, const std::string& text) {
    Log(log_level::kError, source)
        << L"WhitePoint data lenth error!data:" << text << L" ,dataLen:" << text.size();
}

}  // namespace

int OperateColor::InitWhitePointInfo() {
    const std::lock_guard lock(whitePointMutex_);
    if (whitePointReady_) {
        return kReady;
    }
    if (!GetLcdEdidData()) {
        return kNotReady;
    }
    if (InitializeWhitePointData(whitePointFallback_) && !IsLcdChanged()) {
        whitePointReady_ = true;
        return kReady;
    }
    // The golden record is the front-end's own; it is not held to the panel.
    whitePointFallback_ = true;
    if (InitializeWhitePointData(true)) {
        whitePointReady_ = true;
        return kReady;
    }
    return kNotReady;
}

bool OperateColor::SetWhitePointGoldenData(const char* text) {
    if (text == nullptr) {
        Log(log_level::kError, "OperateColor::SetWhitePointGoldenData")
            << L"SetWhitePointGoldenData Failed!";
        return false;
    }
    const std::lock_guard lock(whitePointMutex_);
    goldenWhitePoint_ = text;
    return true;
}

bool OperateColor::IsWhitePointReady() const {
    const std::lock_guard lock(whitePointMutex_);
    return whitePointReady_;
}

bool OperateColor::IsWhitePointFallback() const {
    const std::lock_guard lock(whitePointMutex_);
    return whitePointFallback_;
}

std::optional<WhitePointAdjustInfo> OperateColor::WhitePointRecord() const {
    const std::lock_guard lock(whitePointMutex_);
    if (!whitePointAdjustInfo_) {
        return std::nullopt;
    }
    return *whitePointAdjustInfo_;
}

std::optional<WhitePointAdjustInfo> OperateColor::ReadyWhitePointRecord() const {
    const std::lock_guard lock(whitePointMutex_);
    if (!whitePointReady_) {
        return std::nullopt;
    }
    return WhitePointRecord();
}

bool OperateColor::InitializeWhitePointData(bool useGolden) {
    const std::lock_guard lock(whitePointMutex_);
    const char* source = "OperateColor::InitializeWhitePointData";
    try {
        const std::string text =
            useGolden ? goldenWhitePoint_ : SmBiosHelper::GetInstance().GetOemBiosWhitePointInfo();
        if (!whitePointAdjustInfo_) {
            whitePointAdjustInfo_.reset(new (std::nothrow) WhitePointAdjustInfo);
            if (!whitePointAdjustInfo_) {
                Log(log_level::kError, source) << L"pWhitePointAdjustInfo is nullptr!";
                return false;
            }
        } else {
            whitePointAdjustInfo_->Clear();
        }
        Log(log_level::kTrace, source) << L"Current WhitePoint Source Data:" << text;
        return ParseWhitePointInfo(text) && IsChecksumCorret(text, whitePointAdjustInfo_->checksum);
    } catch (const std::exception& error) {
        Log(log_level::kError, source) << L"GetBiosWhitePointInfo exception.msg:" << error.what();
        return false;
    }
}

bool OperateColor::ParseWhitePointInfo(const std::string& text) {
    const std::lock_guard lock(whitePointMutex_);
    const char* source = "OperateColor::ParseWhitePointInfo";
    if (text.size() < kRecordLength) {
        LogLengthError(source, text);
        return false;
    }
    if (!whitePointAdjustInfo_) {
        Log(log_level::kError, source) << L"pWhitePointAdjustInfo is nullptr!";
        return false;
    }
    WhitePointAdjustInfo& info = *whitePointAdjustInfo_;
    std::size_t offset = 0;
    const auto field = [&](std::size_t length) {
        return GetChildStrFromString(text, offset, length);
    };
    const auto number = [&] { return LeadingNumber(field(kNumberLength), 10); };
    info.header1 = field(kHeader1Length);
    info.header2 = field(kHeader2Length);
    for (std::uint32_t* value :
         {&info.whiteX, &info.whiteY, &info.redX, &info.redY, &info.greenX, &info.greenY,
          &info.blueX, &info.blueY, &info.value9, &info.value10}) {
        *value = number();
    }
    info.serialNumber = UpperCased(field(kSerialLength));
    info.year = field(kYearLength);
    info.week = field(kWeekLength);
    info.manufacturerId = UpperCased(field(kManufacturerLength));
    info.checksum = static_cast<std::uint16_t>(LeadingNumber(field(kChecksumLength), 16));
    if (text.size() > kRecordLength) {
        info.trailing = text.substr(kRecordLength);
    }
    return true;
}

std::string OperateColor::GetChildStrFromString(const std::string& text, std::size_t& offset,
                                                std::size_t length) {
    if (offset + length <= text.size()) {
        std::string child = text.substr(offset, length);
        offset += length;
        return child;
    }
    Log(log_level::kError, "OperateColor::GetChildStrFromString")
        << L"GetChildStrFromString out of boundary! data:" << text << L" ,offset:" << offset
        << L" ,dataLen:" << length;
    return {};
}

bool OperateColor::IsChecksumCorret(const std::string& text, std::uint16_t checksum) {
    const char* source = "OperateColor::IsChecksumCorret";
    if (text.size() < kRecordLength) {
        LogLengthError(source, text);
        return false;
    }
    const unsigned computed = SumOfFirstCharacters(text);
    if (computed != checksum) {
        Log(log_level::kError, source)
            << L"WhitePoint data checksum error!data:" << text << L" ,CalcheckSum:" << computed;
        return false;
    }
    return true;
}

bool OperateColor::IsLcdChanged() {
    const std::lock_guard lock(whitePointMutex_);
    if (!whitePointAdjustInfo_) {
        Log(log_level::kError, "OperateColor::IsLcdChanged")
            << L"pWhitePointAdjustInfo is nullptr!";
        return true;
    }
    const WhitePointAdjustInfo& record = *whitePointAdjustInfo_;
    if (record.serialNumber == lcdIdentity_.serialNumber &&
        record.manufacturerId == lcdIdentity_.vendor && record.year == lcdIdentity_.year &&
        record.week == lcdIdentity_.week) {
        return false;
    }
    Log(log_level::kWarning, "OperateColor::IsLcdChanged") << L"Lcd changed!";
    return true;
}
