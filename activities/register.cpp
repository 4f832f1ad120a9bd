#include "activities/register.hpp"

namespace activities {

void register_all() {}

}  // namespace activities
