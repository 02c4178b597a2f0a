#include "maps/import/tile_renderer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <proj.h>

namespace vexa {
namespace {

// The warper's working memory per chunk: with the block cache it bounds the import's memory.
constexpr double kWarpMemory = 64.0 * 1024 * 1024;

GDALDatasetH planeDataset(std::uint8_t* planes, int pixels, int bands) {
    GDALDatasetH dataset = GDALCreate(GDALGetDriverByName("MEM"), "", pixels, pixels, 0, GDT_Byte, nullptr);
    for (int band = 0; band < bands; ++band) {
        char pointer[64] = {};
        CPLPrintPointer(pointer, planes + static_cast<std::size_t>(band) * pixels * pixels, sizeof pointer);
        const std::string option = std::string("DATAPOINTER=") + pointer;
        const char* options[] = {option.c_str(), nullptr};
        GDALAddBand(dataset, GDT_Byte, const_cast<char**>(options));
    }
    return dataset;
}

int progressUntilCancelled(double, const char*, void* cancel) {
    return !(cancel && static_cast<const std::atomic<bool>*>(cancel)->load());
}

std::string wkt(const OGRSpatialReference& srs) {
    char* text = nullptr;
    srs.exportToWkt(&text);
    std::string result = text ? text : "";
    CPLFree(text);
    return result;
}

bool sameSpacing(double a, double b) { return std::abs(a - b) <= 1e-9 * std::abs(b); }

// Whole pixels of offset between two grids, when the offset is whole.
bool wholeOffset(double from, double to, double pixel, int& offset) {
    const double exact = (to - from) / pixel;
    offset = static_cast<int>(std::lround(exact));
    return std::abs(exact - offset) < 1e-6;
}

// GDAL takes a shortcut from Web Mercator to WGS84 longitude and latitude that ignores the
// target's angular unit (plate carrée counts in 1/10000 degree). Between a projected source
// and a geographic target the operation PROJ chooses is therefore handed to GDAL explicitly;
// empty when PROJ has no single operation to give.
std::string explicitOperation(const std::string& sourceWkt, const std::string& targetWkt) {
    PJ_CONTEXT* context = proj_context_create();
    PJ* operation = proj_create_crs_to_crs(context, sourceWkt.c_str(), targetWkt.c_str(), nullptr);
    const char* text = operation ? proj_as_proj_string(context, operation, PJ_PROJ_5, nullptr) : nullptr;
    std::string result = text ? text : "";
    proj_destroy(operation);
    proj_context_destroy(context);
    return result;
}

}  // namespace

TileRenderer::TileRenderer(const std::vector<const RasterSource*>& sources, const OGRSpatialReference& target,
                           int pixels, GDALResampleAlg resampling)
    : pixels_(pixels), resampling_(resampling), planes_(static_cast<std::size_t>(pixels) * pixels * 4) {
    canvas_ = planeDataset(planes_.data(), pixels, 4);
    colour_ = planeDataset(planes_.data(), pixels, 3);
    const std::string targetWkt = wkt(target);
    for (const RasterSource* source : sources) {
        Input input;
        input.source = source;
        const std::string sourceWkt = wkt(source->srs);
        const std::string srcOption = "SRC_SRS=" + sourceWkt, dstOption = "DST_SRS=" + targetWkt;
        const std::string operation = source->srs.IsProjected() && target.IsGeographic()
                                          ? explicitOperation(sourceWkt, targetWkt)
                                          : std::string();
        const std::string operationOption = "COORDINATE_OPERATION=" + operation;
        const char* options[] = {srcOption.c_str(), dstOption.c_str(),
                                 operation.empty() ? nullptr : operationOption.c_str(), nullptr};
        CPLPushErrorHandler(CPLQuietErrorHandler);
        input.transformer = GDALCreateGenImgProjTransformer2(source->dataset, nullptr, const_cast<char**>(options));
        double suggested[6];
        double extent[4];
        int columns = 0, rows = 0;
        const bool placed = input.transformer &&
                            GDALSuggestedWarpOutput2(source->dataset, GDALGenImgProjTransform, input.transformer,
                                                     suggested, &columns, &rows, extent, 0) == CE_None;
        CPLPopErrorHandler();
        if (!placed && failure_.empty())
            failure_ = source->path + ": cannot be transformed into the target grid";
        input.footprint = {extent[0], extent[1], extent[2], extent[3]};
        input.pixelSize = placed ? suggested[1] : 0.0;
        input.sameSystem = source->srs.IsSame(&target) != 0;
        int hasNoData = 0;
        GDALGetRasterNoDataValue(GDALGetRasterBand(source->dataset, source->colourBands[0]), &hasNoData);
        input.noData = hasNoData != 0 && source->alphaBand == 0;
        inputs_.push_back(input);
    }
}

TileRenderer::~TileRenderer() {
    for (Input& input : inputs_)
        if (input.transformer) GDALDestroyGenImgProjTransformer(input.transformer);
    GDALClose(colour_);
    GDALClose(canvas_);
}

bool TileRenderer::ready(std::string& error) const {
    error = failure_;
    return failure_.empty();
}

TileRenderer::Outcome TileRenderer::draw(const std::array<double, 6>& gt, const std::atomic<bool>* cancel,
                                         std::string& error) {
    const std::size_t plane = static_cast<std::size_t>(pixels_) * pixels_;
    // Where no source reaches, the tile is white (and transparent until encoded).
    std::fill(planes_.begin(), planes_.begin() + 3 * plane, 0xff);
    std::fill(planes_.begin() + 3 * plane, planes_.end(), 0);
    const SrsExtent tile{std::min(gt[0], gt[0] + pixels_ * gt[1]), std::min(gt[3], gt[3] + pixels_ * gt[5]),
                         std::max(gt[0], gt[0] + pixels_ * gt[1]), std::max(gt[3], gt[3] + pixels_ * gt[5])};
    for (Input& input : inputs_) {
        const SrsExtent& f = input.footprint;
        if (f.maxX <= tile.minX || f.minX >= tile.maxX || f.maxY <= tile.minY || f.minY >= tile.maxY) continue;
        if (inputs_.size() == 1 && !input.noData && copyAligned(input, gt)) continue;
        if (!warp(input, gt, cancel, error)) return cancel && cancel->load() ? Outcome::Cancelled : Outcome::Failed;
    }
    const auto alpha = planes_.begin() + 3 * plane;
    return std::any_of(alpha, planes_.end(), [](std::uint8_t a) { return a != 0; }) ? Outcome::Drawn : Outcome::Empty;
}

// A source in the target grid at the tile's resolution, its pixels on the tile's pixels: read,
// not resampled.
bool TileRenderer::copyAligned(const Input& input, const std::array<double, 6>& gt) {
    double src[6];
    if (!input.sameSystem || GDALGetGeoTransform(input.source->dataset, src) != CE_None) return false;
    int dx = 0, dy = 0;
    if (src[2] != 0.0 || src[4] != 0.0 || gt[2] != 0.0 || gt[4] != 0.0 || !sameSpacing(src[1], gt[1]) ||
        !sameSpacing(src[5], gt[5]) || !wholeOffset(src[0], gt[0], src[1], dx) || !wholeOffset(src[3], gt[3], src[5], dy))
        return false;
    const int width = GDALGetRasterXSize(input.source->dataset), height = GDALGetRasterYSize(input.source->dataset);
    const int x0 = std::max(dx, 0), y0 = std::max(dy, 0);
    const int x1 = std::min(dx + pixels_, width), y1 = std::min(dy + pixels_, height);
    if (x1 <= x0 || y1 <= y0) return true;
    const std::size_t plane = static_cast<std::size_t>(pixels_) * pixels_;
    std::uint8_t* at = planes_.data() + static_cast<std::size_t>(y0 - dy) * pixels_ + (x0 - dx);
    const auto& c = input.source->colourBands;
    int bands[4] = {c[0], c[1], c[2], input.source->alphaBand};
    const int count = input.source->alphaBand ? 4 : 3;
    if (GDALDatasetRasterIO(input.source->dataset, GF_Read, x0, y0, x1 - x0, y1 - y0, at, x1 - x0, y1 - y0, GDT_Byte,
                            count, bands, 1, pixels_, static_cast<GSpacing>(plane)) != CE_None)
        return false;
    if (count == 3) {
        for (int y = y0; y < y1; ++y)
            std::memset(at + 3 * plane + static_cast<std::size_t>(y - y0) * pixels_, 0xff, x1 - x0);
    }
    return true;
}

bool TileRenderer::warp(Input& input, const std::array<double, 6>& gt, const std::atomic<bool>* cancel,
                        std::string& error) {
    GDALSetGenImgProjTransformerDstGeoTransform(input.transformer, gt.data());
    GDALWarpOptions* options = GDALCreateWarpOptions();
    options->hSrcDS = input.source->dataset;
    options->hDstDS = canvas_;
    options->nBandCount = 3;
    options->panSrcBands = static_cast<int*>(CPLMalloc(3 * sizeof(int)));
    options->panDstBands = static_cast<int*>(CPLMalloc(3 * sizeof(int)));
    for (int b = 0; b < 3; ++b) options->panSrcBands[b] = input.source->colourBands[b], options->panDstBands[b] = b + 1;
    options->nSrcAlphaBand = input.source->alphaBand;
    options->nDstAlphaBand = 4;
    options->eResampleAlg = resampling_;
    options->dfWarpMemoryLimit = kWarpMemory;
    options->pfnTransformer = GDALGenImgProjTransform;
    options->pTransformerArg = input.transformer;
    options->pfnProgress = progressUntilCancelled;
    options->pProgressArg = const_cast<std::atomic<bool>*>(cancel);
    options->papszWarpOptions = CSLSetNameValue(options->papszWarpOptions, "NUM_THREADS", "ALL_CPUS");
    options->papszWarpOptions = CSLSetNameValue(options->papszWarpOptions, "SKIP_NOSOURCE", "YES");
    if (input.noData) {
        options->padfSrcNoDataReal = static_cast<double*>(CPLMalloc(3 * sizeof(double)));
        for (int b = 0; b < 3; ++b)
            options->padfSrcNoDataReal[b] =
                GDALGetRasterNoDataValue(GDALGetRasterBand(input.source->dataset, input.source->colourBands[b]), nullptr);
        options->papszWarpOptions = CSLSetNameValue(options->papszWarpOptions, "UNIFIED_SRC_NODATA", "YES");
    }
    GDALWarpOperationH operation = GDALCreateWarpOperation(options);
    CPLErrorReset();
    const bool ok = operation && GDALChunkAndWarpImage(operation, 0, 0, pixels_, pixels_) == CE_None;
    if (!ok) error = input.source->path + ": " + (CPLGetLastErrorMsg()[0] ? CPLGetLastErrorMsg() : "warping failed");
    if (operation) GDALDestroyWarpOperation(operation);
    options->pTransformerArg = nullptr;  // owned by the input
    GDALDestroyWarpOptions(options);
    return ok;
}

bool TileRenderer::write(const std::filesystem::path& file, const std::filesystem::path& temporary,
                         const std::string& format, int quality, std::string& error, int& systemError) {
    // Encoded in memory, then written with every write checked: an image driver may not
    // notice a short write, and a full disk must never leave a truncated tile.
    const bool jpeg = format == "jpg";
    const std::string qualityOption = "QUALITY=" + std::to_string(quality);
    const char* options[] = {jpeg ? qualityOption.c_str() : nullptr, nullptr};
    const std::string encoded = "/vsimem/vexa-tile-" + std::to_string(reinterpret_cast<std::uintptr_t>(this));
    CPLErrorReset();
    GDALDatasetH written = GDALCreateCopy(GDALGetDriverByName(jpeg ? "JPEG" : "PNG"), encoded.c_str(), colour_, FALSE,
                                          const_cast<char**>(options), nullptr, nullptr);
    if (written) GDALClose(written);
    vsi_l_offset size = 0;
    GByte* bytes = written ? VSIGetMemFileBuffer(encoded.c_str(), &size, FALSE) : nullptr;
    systemError = 0;
    bool ok = bytes != nullptr;
    if (!ok) error = CPLGetLastErrorMsg();
    if (ok) {
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        std::size_t done = 0;
        while (fd >= 0 && done < size) {
            const ssize_t n = ::write(fd, bytes + done, size - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        ok = fd >= 0 && done == size;
        if (!ok) systemError = errno ? errno : ENOSPC;
        if (fd >= 0 && ::close(fd) != 0 && ok) ok = false, systemError = errno;
        if (ok && ::rename(temporary.c_str(), file.c_str()) != 0) ok = false, systemError = errno;
        if (!ok) {
            error = std::strerror(systemError);
            ::unlink(temporary.c_str());
        }
    }
    VSIUnlink(encoded.c_str());
    return ok;
}

}  // namespace vexa
