#pragma once
// The logo window's picture: the part of the logo that overhangs the main
// window, over a soft shadow, as premultiplied BGRA W x W, rows top-down.

#include "overhang/logo_geometry.h"

#include <cstdint>
#include <span>
#include <vector>

namespace orvelle::setup {

// A W x W plane of floats, row-major.
using Plane = std::vector<float>;

// The logo's alpha bytes placed at the logo's offset in the canvas.
Plane alpha_plane(std::span<const std::uint8_t> logo_bgra, const LogoGeometry& g);

// The alpha plane moved down by the shadow's drop.
Plane shadow_plane(const Plane& alpha, const LogoGeometry& g);

// One pass of the shadow's blur: a horizontal box of 2r + 1 samples, then a
// vertical one. Samples outside the plane count as 0 and the sum is always
// divided by 2r + 1, so the shadow fades towards the canvas's edges.
void box_blur_pass(Plane& plane, Plane& scratch, std::int32_t size, std::int32_t radius);

// Three passes: close to a Gaussian, in linear time whatever the radius.
void blur_shadow(Plane& plane, const LogoGeometry& g);

// The logo over its shadow, drawn only in the band of rows and columns that
// overhang the main window; every other pixel stays fully transparent.
std::vector<std::uint8_t> compose_logo(std::span<const std::uint8_t> logo_bgra,
                                       const Plane& blurred_shadow, const LogoGeometry& g);

// All of it, from the scaled logo (premultiplied BGRA, L x L). Empty when the
// canvas is empty, too large, or the logo's size does not match.
std::vector<std::uint8_t> build_logo_picture(std::span<const std::uint8_t> logo_bgra,
                                             const LogoGeometry& g);

}  // namespace orvelle::setup
