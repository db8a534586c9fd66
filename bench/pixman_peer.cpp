#include "pixman_peer.h"

#include <pixman.h>

#include <unordered_map>

namespace bench {
namespace {

pixman_image_t* asImage(const PixmanImage& image) { return static_cast<pixman_image_t*>(image.get()); }

pixman_op_t toPixman(PixmanOp op) { return op == PixmanOp::Src ? PIXMAN_OP_SRC : PIXMAN_OP_ADD; }

// Solid sources, one per colour, kept so that creating them stays out of the timing.
pixman_image_t* solidOf(uint32_t colour) {
    static std::unordered_map<uint32_t, PixmanImage> cache;
    PixmanImage& slot = cache[colour];
    if (!slot) {
        const auto widen = [colour](int shift) { return static_cast<uint16_t>(((colour >> shift) & 0xFFu) * 0x101u); };
        const pixman_color_t c = {widen(16), widen(8), widen(0), widen(24)};
        slot.reset(pixman_image_create_solid_fill(&c));
    }
    return asImage(slot);
}

}  // namespace

void PixmanImageDeleter::operator()(void* image) const { pixman_image_unref(static_cast<pixman_image_t*>(image)); }

PixmanTarget::PixmanTarget(uint32_t* pixels, int32_t width, int32_t height)
    : frame_(pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, pixels, width * 4)) {}

void PixmanTarget::compositeSolid(PixmanOp op, uint32_t colour, int32_t width, int32_t height) {
    pixman_image_composite32(toPixman(op), solidOf(colour), nullptr, asImage(frame_), 0, 0, 0, 0, 0, 0, width, height);
}

void PixmanTarget::compositeTriangle(PixmanOp op, uint32_t colour, const int32_t xy[6]) {
    pixman_triangle_t triangle;
    triangle.p1 = {pixman_int_to_fixed(xy[0]), pixman_int_to_fixed(xy[1])};
    triangle.p2 = {pixman_int_to_fixed(xy[2]), pixman_int_to_fixed(xy[3])};
    triangle.p3 = {pixman_int_to_fixed(xy[4]), pixman_int_to_fixed(xy[5])};
    pixman_composite_triangles(toPixman(op), solidOf(colour), asImage(frame_), PIXMAN_a8, 0, 0, 0, 0, 1, &triangle);
}

}  // namespace bench
