// The maker's file component (OrvFileUtil): registry access.
#pragma once

namespace DE {

class Registry {
  public:
    virtual ~Registry();
};

}  // namespace DE
