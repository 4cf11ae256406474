// The firmware's ACPI tables and the description of the "DLUT" table, which a
// machine gives as a file, as hexadecimal text, as a block the LUT block
// writer makes for a panel, or as filler of a given size.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "lut_block.h"
#include "sim/firmware_model.h"
#include "sim/registry_model.h"
#include "sim/whole_number.h"

namespace sim {

namespace {

// Far above any firmware table; keeps a mistyped size from exhausting memory.
constexpr std::int64_t kMaxFillerSize = 16 * 1024 * 1024;
constexpr std::size_t kFillerHeaderLength = 8;

std::vector<BYTE> ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::invalid_argument("firmware: dlut: cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<BYTE> MakeBlock(const nlohmann::json& make) {
    const lut_block::PanelIdentity defaults;
    lut_block::PanelIdentity panel;
    panel.vendor = make.value("vendor", defaults.vendor);
    panel.serial = make.value("serial", defaults.serial);
    panel.week = WholeNumber(make, "week", defaults.week);
    panel.year = WholeNumber(make, "year", defaults.year);
    std::vector<int> modes = {1, 2, 3};
    if (const auto listed = make.find("modes"); listed != make.end()) {
        modes.clear();
        for (const auto& mode : *listed) {
            modes.push_back(WholeNumber<int>(mode, "firmware: dlut: modes"));
        }
    }
    try {
        return lut_block::MakeFirmwareBlock(panel, modes);
    } catch (const std::invalid_argument& error) {
        throw std::invalid_argument(std::string("firmware: dlut: make: ") + error.what());
    }
}

// The table signature and length, as an ACPI table starts, then zeros.
std::vector<BYTE> Filler(std::int64_t size) {
    if (size < 0 || size > kMaxFillerSize) {
        throw std::invalid_argument("firmware: dlut: size out of range");
    }
    std::vector<BYTE> bytes(static_cast<std::size_t>(size));
    if (bytes.size() >= kFillerHeaderLength) {
        std::memcpy(bytes.data(), "DLUT", 4);
        for (std::size_t i = 0; i < 4; ++i) {
            bytes[4 + i] = static_cast<BYTE>(bytes.size() >> (8 * i));
        }
    }
    return bytes;
}

std::vector<BYTE> DlutBytes(const nlohmann::json& dlut) {
    if (!dlut.is_object() || dlut.size() != 1) {
        throw std::invalid_argument(
            "firmware: dlut: one of \"file\", \"hex\", \"make\" or \"size\" expected");
    }
    const auto member = dlut.begin();
    const std::string& key = member.key();
    const nlohmann::json& value = member.value();
    if (key == "file") {
        return ReadHostFile(value.get<std::string>());
    }
    if (key == "hex") {
        return ParseHexText(value.get<std::string>(), "firmware: dlut");
    }
    if (key == "make") {
        return MakeBlock(value);
    }
    if (key == "size") {
        return Filler(WholeNumber<std::int64_t>(value, "firmware: dlut: size"));
    }
    throw std::invalid_argument("firmware: dlut: unknown member " + key);
}

}  // namespace

void FirmwareModel::LoadDlut(const nlohmann::json& dlut) {
    if (dlut.is_null()) {
        ClearAcpiTable(kDlutTableId);
    } else {
        SetAcpiTable(kDlutTableId, DlutBytes(dlut));
    }
}

void FirmwareModel::SetAcpiTable(DWORD id, std::vector<BYTE> bytes) {
    std::lock_guard lock(mutex_);
    acpiTables_[id] = std::move(bytes);
}

void FirmwareModel::ClearAcpiTable(DWORD id) {
    std::lock_guard lock(mutex_);
    acpiTables_.erase(id);
}

std::optional<std::vector<BYTE>> FirmwareModel::AcpiTable(DWORD id) const {
    std::lock_guard lock(mutex_);
    const auto found = acpiTables_.find(id);
    return found == acpiTables_.end() ? std::nullopt : std::optional(found->second);
}

UINT FirmwareModel::GetSystemFirmwareTable(DWORD provider, DWORD id, void* buffer, DWORD size,
                                           std::optional<DWORD> injected, DWORD& error) {
    std::lock_guard lock(mutex_);
    FirmwareTableCall call{provider, id, buffer != nullptr, size, 0};
    const auto found = provider == kAcpiProvider ? acpiTables_.find(id) : acpiTables_.end();
    if (injected) {
        error = *injected;
    } else if (found == acpiTables_.end()) {
        error = ERROR_NOT_FOUND;
    } else {
        const std::vector<BYTE>& table = found->second;
        call.returned = static_cast<UINT>(table.size());
        if (buffer != nullptr && size >= table.size()) {
            std::copy(table.begin(), table.end(), static_cast<BYTE*>(buffer));
        } else if (buffer != nullptr) {
            error = ERROR_INSUFFICIENT_BUFFER;
        }
    }
    firmwareTableCalls_.push_back(call);
    return call.returned;
}

std::vector<FirmwareTableCall> FirmwareModel::FirmwareTableCalls() const {
    std::lock_guard lock(mutex_);
    return firmwareTableCalls_;
}

}  // namespace sim
