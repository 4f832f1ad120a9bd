// Every unit test runs with the build's English words in use, as the program does from its start.
#include <gtest/gtest.h>

#include "media/text/words.hpp"

namespace {

class BuiltWords : public testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(media::load_words(std::string(PIPKIN_DATA_DIR) + "/locale", media::kEnglish)); }
};

testing::Environment* const kWords = testing::AddGlobalTestEnvironment(new BuiltWords);

}  // namespace
