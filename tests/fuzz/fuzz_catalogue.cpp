// Fuzz target: any bytes read as a compiled catalogue must be taken or refused with a reason, never
// crash, hang or read out of bounds; whatever is taken answers every lookup and count. The same
// bytes are read as a Plural-Forms rule too, which a catalogue's header carries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "media/text/catalogue.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string why;
  const std::optional<media::Catalogue> c = media::Catalogue::parse(bytes, &why);
  if (!c && why.empty()) std::abort();
  if (c)
    for (std::string_view id : {"usage.text", "pictures.count", "", "a"})
      for (unsigned long n : {0ul, 1ul, 2ul, 5ul, 11ul, 100ul, 4294967295ul})
        if (const auto t = c->find(id, n); t && t->size() > size) std::abort();
  media::PluralRule rule;
  if (rule.parse(bytes))
    for (unsigned long n = 0; n < 200; ++n)
      if (rule.form(n) >= rule.forms()) std::abort();
  return 0;
}
