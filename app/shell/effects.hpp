// The sound effects. Activities play them through the small Effects interface; the loop owns
// the one SoundEffects, and with it whether sound is on.
#pragma once
#include <array>
#include <string>

#include "media/sound/sound.hpp"

namespace app {

enum class Effect { Bounce, Pop, Magic, Ping, Click, Break };
constexpr int kEffects = 6;

class Effects {
 public:
  virtual ~Effects() = default;
  virtual void play(Effect e) = 0;
};

// Each sound is read from the data folder on its first play; a missing file is tried again on the
// next play. Nothing is read or played while sound is off.
class SoundEffects final : public Effects {
 public:
  explicit SoundEffects(std::string data_dir) : data_dir_(std::move(data_dir)) {}
  void play(Effect e) override;
  // Turning sound off also silences what is playing (the break's tune, a long magic sound).
  void set_on(bool on) {
    on_ = on;
    if (!on) media::stop_sounds();
  }
  bool on() const { return on_; }
  bool loaded(Effect e) const { return slots_[static_cast<size_t>(e)] != nullptr; }

 private:
  std::string data_dir_;
  bool on_ = true;
  std::array<media::SoundPtr, kEffects> slots_;
};

}  // namespace app
