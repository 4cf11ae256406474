#include "naturecolor/cct_mapping_table.h"

CctMappingTable& CctMappingTable::Instance() {
    static CctMappingTable instance;
    return instance;
}

void CctMappingTable::Add(const CctMappingInfo& row) {
    std::lock_guard lock(mutex_);
    rows_.push_back(row);
}

void CctMappingTable::Clear() {
    std::lock_guard lock(mutex_);
    rows_.clear();
}

std::vector<CctMappingInfo> CctMappingTable::Rows() const {
    std::lock_guard lock(mutex_);
    return rows_;
}
