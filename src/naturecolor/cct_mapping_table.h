// The CCT mapping table: how a measured colour temperature maps to channel
// gains, loaded row by row by the front-end. One process-wide list, kept in
// the order the rows were added; lookups take the first row as the lowest
// CCT and the last as the highest.
#pragma once

#include <mutex>
#include <vector>

struct CctMappingInfo {
    float cct = 0.0f;
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

class CctMappingTable {
  public:
    static CctMappingTable& Instance();

    void Add(const CctMappingInfo& row);
    void Clear();
    // A copy, so that a lookup is never torn by a caller changing the table.
    std::vector<CctMappingInfo> Rows() const;

  private:
    mutable std::mutex mutex_;
    std::vector<CctMappingInfo> rows_;  // guarded by mutex_
};
