// The part of the machine that holds colour management (mscms): the colour
// directory's installed profiles, the profiles associated with each monitor,
// open profile handles, and what image colour management (gdi32's ICM calls)
// was asked to do.
#pragma once

#include <windows.h>
#include <icm.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "sim/icc_profile_writer.h"

namespace sim {

class Machine;

// One SetICMMode or SetICMProfileW, in call order.
struct IcmCall {
    enum class Kind { SetIcmMode, SetIcmProfile };
    Kind kind = Kind::SetIcmMode;
    std::wstring
        target;    // what the DC was created for (adapter name, monitor device id, or "DISPLAY")
    int mode = 0;  // SetICMMode's mode
    std::wstring profile;  // SetICMProfileW's file name, as given
    bool accepted = true;
};

enum class AssociationChange { Associate, Disassociate };

// One WcsAssociateColorProfileWithDevice or WcsDisassociateColorProfileFromDevice, in call order.
struct AssociationEvent {
    AssociationChange change = AssociationChange::Associate;
    WCS_PROFILE_MANAGEMENT_SCOPE scope = WCS_PROFILE_MANAGEMENT_SCOPE_CURRENT_USER;
    std::wstring device;   // as given
    std::wstring profile;  // as given
    bool accepted = true;
};

class ColorModel {
  public:
    ColorModel();

    // Reads the "colorManagement" part of a machine description; absent keys
    // keep defaults.
    void Load(const nlohmann::json& description);

    // C:\Windows\System32\spool\drivers\color
    static std::wstring ColorDirectory();
    // The standard sRGB profile in the colour directory.
    static std::wstring StandardProfilePath();

    // Binds the model to `directory`, the colour directory's host folder,
    // once per folder: writes the standard profile and the described ones
    // where they are missing (so a profile a test removes afterwards stays
    // removed), and takes up the installs and associations that an earlier
    // process on the same machine root kept there. From then on every
    // install and association change is kept there too, as Windows keeps
    // them across processes.
    void AttachColorDirectory(const std::filesystem::path& directory);

    // Whether the process runs elevated; a standard user's installs are
    // refused, as InstallColorProfileW needs administrator rights.
    bool Elevated() const;
    void SetElevated(bool elevated);

    // File names, install order, no duplicates (names compare case-blind).
    std::vector<std::wstring> InstalledProfiles() const;
    bool IsInstalled(std::wstring_view fileName) const;
    void RecordInstall(std::wstring fileName);

    // Profile file names associated with a device (device names compare
    // case-blind), oldest first; the last one is the device's default.
    std::vector<std::wstring> Associations(WCS_PROFILE_MANAGEMENT_SCOPE scope,
                                           std::wstring_view device) const;
    // Associating again moves the profile to the end.
    void Associate(WCS_PROFILE_MANAGEMENT_SCOPE scope, std::wstring_view device,
                   std::wstring fileName);
    // False when the profile was not associated with the device.
    bool Disassociate(WCS_PROFILE_MANAGEMENT_SCOPE scope, std::wstring_view device,
                      std::wstring_view fileName);
    // The profile WcsGetDefaultColorProfile reports: for the current user
    // their last association, else the last system-wide one.
    std::optional<std::wstring> DefaultProfile(WCS_PROFILE_MANAGEMENT_SCOPE scope,
                                               std::wstring_view device) const;
    void RecordAssociationEvent(AssociationEvent event);
    std::vector<AssociationEvent> AssociationHistory() const;
    void RecordDefaultProfileQuery(std::wstring device);
    // The device name of every WcsGetDefaultColorProfile, in call order.
    std::vector<std::wstring> DefaultProfileQueries() const;

    // Profile handles, each holding the bytes it was opened with.
    HPROFILE OpenProfile(std::vector<std::uint8_t> bytes);
    // Runs with a profile file's path as OpenColorProfileW is about to read
    // it: another program acting at the worst moment.
    void SetBeforeProfileFileOpens(std::function<void(const std::filesystem::path&)> hook);
    void RunBeforeProfileFileOpens(const std::filesystem::path& file) const;
    std::optional<std::vector<std::uint8_t>> ProfileBytes(HPROFILE profile) const;
    bool CloseProfile(HPROFILE profile);
    std::size_t OpenProfileCount() const;    // not yet closed
    std::size_t OpenedProfileCount() const;  // opened in all

    void RecordIcmCall(IcmCall call);
    std::vector<IcmCall> IcmCalls() const;
    void RecordGdiFlush();
    std::size_t GdiFlushes() const;

  private:
    struct Preinstalled {
        std::wstring name;
        RgbColorSpace space;
    };
    using AssociationKey = std::pair<WCS_PROFILE_MANAGEMENT_SCOPE, std::wstring>;

    mutable std::mutex mutex_;
    std::function<void(const std::filesystem::path&)> beforeProfileFileOpens_;
    std::vector<Preinstalled> preinstalled_;
    void RestoreKeptState();
    void KeepState() const;

    std::optional<std::filesystem::path> writtenIn_;
    std::vector<std::wstring> installed_;
    bool elevated_ = true;
    std::map<AssociationKey, std::vector<std::wstring>> associations_;
    std::vector<AssociationEvent> associationHistory_;
    std::vector<std::wstring> defaultProfileQueries_;
    std::map<HPROFILE, std::vector<std::uint8_t>> openProfiles_;
    std::size_t openedProfiles_ = 0;
    std::vector<IcmCall> icmCalls_;
    std::size_t gdiFlushes_ = 0;
};

// The file a profile name stands for: a bare file name is in the colour
// directory, as Windows looks profile names up; any other name is a path.
// Writes the pre-installed profiles first, so they are there when looked for.
std::filesystem::path ProfileHostPath(Machine& machine, std::wstring_view name);

// Writes a profile of `space` unless `file` exists, creating its folders.
void WriteProfileIfMissing(const std::filesystem::path& file, const RgbColorSpace& space);

// The part of a profile name after its last backslash (or slash).
std::wstring ProfileFileName(std::wstring_view name);

}  // namespace sim
