// The items of a HEIF file as its boxes state them: for taking apart files libheif writes (to build
// others from their pieces) and for tests that check what a file says about itself.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace heif_boxes {

struct Item {
  uint32_t id = 0;
  std::string type;  // 'hvc1', 'grid', 'Exif', ...
  bool hidden = false;
  // Its properties as indexes into File::properties (from 0), each with its essential flag.
  std::vector<std::pair<int, bool>> properties;
  std::string data;  // its extents put together, from the file or from 'idat'
};

struct Reference {
  std::string type;  // 'dimg', 'thmb', ...
  uint32_t from = 0;
  std::vector<uint32_t> to;
};

struct File {
  std::string major_brand;
  std::vector<std::string> compatible_brands;
  std::string handler;
  uint32_t primary = 0;
  std::vector<Item> items;
  std::vector<std::string> properties;  // whole boxes, in the order of 'ipco'
  std::vector<Reference> references;

  const Item* item(uint32_t id) const;
  // The whole box of the item's first property of this type, or none.
  const std::string* property(uint32_t id, const char* type) const;
  // The items `from` refers to by references of this type, in order.
  std::vector<uint32_t> refers_to(uint32_t from, const char* type) const;
  // The items that refer to `to` by a reference of this type.
  std::vector<uint32_t> referred_by(uint32_t to, const char* type) const;
};

// None when a box runs past its parent or a table past its box.
std::optional<File> read(const std::string& bytes);

// The size an 'ispe' box states.
std::pair<uint32_t, uint32_t> ispe_size(const std::string& box);
// The NAL units of an item's HEVC data, each after a 4-byte length.
std::vector<std::string> data_nals(const std::string& data);

}  // namespace heif_boxes
