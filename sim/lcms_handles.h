// Little CMS objects owned the RAII way, for the parts of the machine that
// read and write ICC profiles.
#pragma once

#include <lcms2.h>

#include <memory>

namespace sim {

struct LcmsProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using LcmsProfile = std::unique_ptr<void, LcmsProfileCloser>;

}  // namespace sim
