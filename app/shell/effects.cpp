#include "app/shell/effects.hpp"

namespace app {
namespace {

const char* const kSoundFiles[kEffects] = {"sound/bounce.wav", "sound/pop.wav", "sound/magic.ogg",
                                           "sound/ping.ogg", "sound/click.ogg", "sound/break.ogg"};

}  // namespace

void SoundEffects::play(Effect e) {
  if (!on_) return;
  media::SoundPtr& slot = slots_[static_cast<size_t>(e)];
  if (!slot) slot = media::load_sound(data_dir_ + kSoundFiles[static_cast<size_t>(e)]);
  if (slot) media::play_sound(slot);
}

}  // namespace app
