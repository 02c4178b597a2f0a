// The decoded map images, one slot per MapTable row. A slot holds an image only while its row
// is drawn; a new table empties every slot.
//
// A released image is kept as a spare until the frame ends: a map coming into view in the same
// frame decodes into its memory instead of into fresh pages, which the kernel would first have
// to fault in and clear (megabytes per map).
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

    // A spare of this size in the 32-bit format maps are kept in, or a null image.
    QImage takeSpare(QSize size);
    // Frees the spares; called when a frame's maps are drawn.
    void dropSpares() { spares_.clear(); }

    std::size_t loadedCount() const;
    // Bytes of every decoded image held, spares included.
    std::size_t heldBytes() const;

private:
    std::vector<QImage> slots_;
    std::vector<QImage> spares_;
    std::uint64_t generation_ = ~std::uint64_t{0};
};

}  // namespace vexa
