// The decoded map images, one slot per MapTable row. A slot holds an image only while its row
// is drawn; a new table empties every slot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <QImage>

#include "maps/map_table.h"

namespace vexa {

class MapImages {
public:
    // Fits the slots to the table: all images go when the table was replaced.
    void sync(const MapTable& table);

    bool loaded(int row) const;
    const QImage& image(int row) const;
    void store(int row, QImage image);
    void release(int row);

    std::size_t loadedCount() const;
    std::size_t loadedBytes() const;

private:
    std::vector<QImage> slots_;
    std::uint64_t generation_ = ~std::uint64_t{0};
};

}  // namespace vexa
