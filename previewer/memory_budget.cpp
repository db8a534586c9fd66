#include "previewer/memory_budget.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "previewer/contact_sheet.h"

namespace previewer {

namespace {

constexpr uint64_t kFrameBytesPerPixel = 4;
constexpr uint64_t kDepthBytesPerPixel = 4;
// The PNG writer's RGB rows and its compressed output.
constexpr uint64_t kEncodeBytesPerPixel = 4;

}  // namespace

uint64_t estimateRenderBytes(const Options& options) {
    const uint64_t pixels = static_cast<uint64_t>(options.width) * static_cast<uint64_t>(options.height);
    uint64_t bytes = pixels * (kFrameBytesPerPixel + kDepthBytesPerPixel + kEncodeBytesPerPixel);
    if (!options.sheetFile.empty()) {
        // Thumbnails are small; the composed sheet and its encoding dominate.
        const SheetLayout layout = layoutSheet(options.width, options.height, options.sheetThumbnails);
        const uint64_t sheetPixels =
            static_cast<uint64_t>(layout.sheetWidth()) * static_cast<uint64_t>(layout.sheetHeight());
        bytes += sheetPixels * (kFrameBytesPerPixel * 2 + kEncodeBytesPerPixel);
    }
    return bytes;
}

uint64_t availableMemoryBytes() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    uint64_t bytes = pages > 0 && pageSize > 0 ? static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize)
                                               : UINT64_MAX;
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        bytes = std::min<uint64_t>(bytes, static_cast<uint64_t>(limit.rlim_cur));
    return bytes;
}

bool checkMemory(uint64_t needed, uint64_t available, bool force, std::string& error) {
    if (force || needed <= available / 2) return true;
    error = "this render needs about " + describeBytes(needed) + " of memory, more than half of the " +
            describeBytes(available) + " available; add --force to render anyway";
    return false;
}

std::string describeBytes(uint64_t bytes) {
    char text[32];
    const double mib = static_cast<double>(bytes) / (1024.0 * 1024.0);
    if (mib >= 1024.0)
        std::snprintf(text, sizeof text, "%.1f GiB", mib / 1024.0);
    else
        std::snprintf(text, sizeof text, "%.0f MiB", mib);
    return text;
}

}  // namespace previewer
