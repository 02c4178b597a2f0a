#include "maps/render/map_images.h"

namespace vexa {

void MapImages::sync(const MapTable& table) {
    if (generation_ != table.generation) {
        for (std::size_t i = 0; i < slots_.size(); ++i) release(static_cast<int>(i));
        slots_.clear();
        generation_ = table.generation;
    }
    slots_.resize(table.rows.size());
}

bool MapImages::loaded(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < slots_.size() &&
           !slots_[static_cast<std::size_t>(row)].isNull();
}

const QImage& MapImages::image(int row) const { return slots_.at(static_cast<std::size_t>(row)); }

void MapImages::store(int row, QImage image) { slots_.at(static_cast<std::size_t>(row)) = std::move(image); }

void MapImages::release(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= slots_.size()) return;
    QImage& slot = slots_[static_cast<std::size_t>(row)];
    if (!slot.isNull()) spares_.push_back(std::move(slot));
    slot = QImage();
}

QImage MapImages::takeSpare(QSize size) {
    for (auto it = spares_.begin(); it != spares_.end(); ++it) {
        if (it->size() != size || it->format() != QImage::Format_RGB32) continue;
        QImage spare = std::move(*it);
        spares_.erase(it);
        return spare;
    }
    return {};
}

std::size_t MapImages::loadedCount() const {
    std::size_t n = 0;
    for (const QImage& image : slots_) n += image.isNull() ? 0 : 1;
    return n;
}

std::size_t MapImages::heldBytes() const {
    std::size_t bytes = 0;
    for (const QImage& image : slots_) bytes += static_cast<std::size_t>(image.sizeInBytes());
    for (const QImage& image : spares_) bytes += static_cast<std::size_t>(image.sizeInBytes());
    return bytes;
}

}  // namespace vexa
