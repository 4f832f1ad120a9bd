// Hands the shell a maker for every activity that exists.
#pragma once

namespace activities {

void register_all();

}  // namespace activities
