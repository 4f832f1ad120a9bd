// A camera's HEIC photo decoded straight to the size it is shown at (heif_grid.cpp): its grid's
// tiles go to libavcodec one by one, on as many threads as decode_heif gives them, and each tile
// is averaged down into the reduced picture as soon as it is decoded. No full-size canvas is made,
// nor a full-size conversion to RGB: the colours are converted at the reduced size.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "media/decode/decode.hpp"
#include "media/decode/heif_boxes.hpp"

namespace media::heif {

// What the walk through the boxes (heif_boxes.hpp) found of a grid photo.
struct GridPlan {
  int rows = 0, columns = 0;
  uint32_t width = 0, height = 0;  // the canvas the tiles are laid on, cropped, before any turn
  uint32_t tile_width = 0, tile_height = 0;
  struct Tile {
    Pieces config;  // the units of its decoder configuration, each without a length
    Pieces data;    // its coded data: units, each after a 4-byte length
  };
  std::vector<Tile> tiles;  // row by row
  // The colours the tiles' own colour property states (else their streams say).
  bool colour_stated = false;
  int matrix = 2;
  bool full_range = false;
  int orientation = 1;              // the grid's turn and mirror, as an EXIF orientation
  uint64_t decoder_bytes = 0;       // what one tile's decoder holds at most (libavcodec_hevc_bytes)
};

// The primary picture laid out for decode_grid_reduced, when it is a grid of HEVC tiles alike, of
// one size, turned and mirrored at most by one 'irot' then one 'imir', and not cropped: false for
// anything else, which libheif decodes whole. canvas_w x canvas_h is the size libheif states.
bool plan_grid(const Walk& w, int canvas_w, int canvas_h, GridPlan& plan);

// The grid decoded at 1/2, 1/4 or 1/8 of its size: the smallest that still covers min_width x
// min_height (within `slack`, as DecodeOptions says; swapped when `upright` and the photo is turned a
// quarter), RGB, with the plan's orientation for the caller to turn it upright. Nothing when the
// photo is better decoded whole (no reduction helps, tiles that do not divide by it, tiles that are
// not 8-bit 4:2:0, colours this code does not convert); an error when a tile is damaged.
std::optional<DecodeResult> decode_grid_reduced(const GridPlan& plan, const DecodeOptions& opt, int threads, size_t file_bytes);

// The factor decode_grid_reduced would reduce a width x height canvas by for opt (1: none).
int grid_reduction(uint32_t width, uint32_t height, uint32_t tile_width, uint32_t tile_height, const DecodeOptions& opt,
                   bool quarter_turn);

}  // namespace media::heif
