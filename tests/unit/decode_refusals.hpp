// What every decoder test asks of a refused file: no picture, the decoder's own words, the reason
// the picture store sorts those words into, and nothing left reserved from the decode budget.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "app/pictures/picture_store.hpp"
#include "media/decode/decode.hpp"
#include "media/decode/decode_budget.hpp"

inline void expect_refused_as(const media::DecodeResult& r, const std::string& error, app::LeftOutReason reason,
                              const std::string& what) {
  SCOPED_TRACE(what);
  EXPECT_FALSE(r.pixmap);
  EXPECT_EQ(r.error, error);
  EXPECT_EQ(app::left_out_reason(r.error), reason);
  EXPECT_EQ(media::decode_budget().in_use(), 0u) << "what was reserved for it is given back";
}
