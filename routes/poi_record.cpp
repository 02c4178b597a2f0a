#include "routes/poi_record.h"

#include <algorithm>

namespace vexa {

void AllocPoiTab(PoiTable& table, std::size_t poisInLoadedVolumes) {
    const std::size_t capacity = poisInLoadedVolumes + kPoiSpareRecords;
    table.records.resize(std::max(capacity, static_cast<std::size_t>(std::max(table.count, 0))));
}

}  // namespace vexa
