// The sound effects, synthesised: a soft boing for bouncing cards, a bubble pop, a sparkly magic
// arpeggio for a finished game, a bell ping, a wooden click for a piece snapping home, and a few
// quiet falling notes when play time is over.
// Every sound is peak-normalised and faded in and out so that it starts and ends without a click.
#include <cmath>
#include <vector>

#include "tools/kit/sound_out.hpp"

namespace {

using gen::kPi;
using gen::SoundBuffer;
constexpr double kRate = gen::kSoundRate;

SoundBuffer blank(double seconds, int channels = 1) {
  SoundBuffer s;
  s.channels = channels;
  s.samples.assign(static_cast<size_t>(seconds * kRate) * channels, 0.0f);
  return s;
}

// Scales the sound so that its loudest sample sits at `peak_db` decibels below full scale.
void normalise(SoundBuffer& s, double peak_db) {
  float peak = 0;
  for (float v : s.samples) peak = std::fmax(peak, std::fabs(v));
  if (peak <= 0) return;
  const float gain = static_cast<float>(std::pow(10.0, peak_db / 20.0) / peak);
  for (float& v : s.samples) v *= gain;
}

// Raised-cosine fades at both ends; the last frame ends at exactly zero.
void fade(SoundBuffer& s, double in_seconds, double out_seconds) {
  const size_t frames = s.frames();
  const size_t in = static_cast<size_t>(in_seconds * kRate), out = static_cast<size_t>(out_seconds * kRate);
  for (size_t i = 0; i < frames; ++i) {
    double g = 1;
    if (i < in) g *= 0.5 - 0.5 * std::cos(kPi * i / in);
    if (i + out >= frames) g *= 0.5 - 0.5 * std::cos(kPi * (frames - 1 - i) / out);
    for (int c = 0; c < s.channels; ++c) s.samples[i * s.channels + c] *= static_cast<float>(g);
  }
}

// A two-pole band-pass filter (constant peak gain), for shaping noise.
class BandPass {
 public:
  BandPass(double freq, double q) {
    double w = 2 * kPi * freq / kRate, alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
    b0_ = alpha / a0;
    b2_ = -alpha / a0;
    a1_ = -2 * std::cos(w) / a0;
    a2_ = (1 - alpha) / a0;
  }
  double operator()(double x) {
    double y = b0_ * x + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

 private:
  double b0_, b2_, a1_, a2_;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// A bell-like tone: partials with their own strengths and decay rates, added into `s` at `start`
// seconds, panned from -1 (left) to 1 (right) when the buffer is stereo.
struct Partial {
  double ratio, level, decay;
};
void add_bell(SoundBuffer& s, double start, double freq, double level, const std::vector<Partial>& partials,
              double pan = 0, double attack_seconds = 0.0025) {
  const size_t first = static_cast<size_t>(start * kRate);
  const double left = s.channels == 2 ? std::sqrt(0.5 * (1 - pan)) : 1;
  const double right = std::sqrt(0.5 * (1 + pan));
  for (size_t i = first; i < s.frames(); ++i) {
    double t = (i - first) / kRate;
    double attack = 1 - std::exp(-t / attack_seconds);
    double v = 0;
    for (const Partial& p : partials)
      v += p.level * std::exp(-t * p.decay) * std::sin(2 * kPi * freq * p.ratio * t);
    v *= level * attack;
    if (s.channels == 2) {
      s.samples[i * 2] += static_cast<float>(v * left);
      s.samples[i * 2 + 1] += static_cast<float>(v * right);
    } else {
      s.samples[i] += static_cast<float>(v);
    }
  }
}

// A soft "boing": a round tone that springs up in pitch with a fading wobble, over a low thud.
SoundBuffer bounce() {
  SoundBuffer s = blank(0.25);
  double phase = 0;
  for (size_t i = 0; i < s.frames(); ++i) {
    double t = i / kRate;
    double wobble = 1 + 0.07 * std::exp(-t * 7) * std::sin(2 * kPi * 19 * t);
    double f = 190 * (1 + 0.55 * (1 - std::exp(-t * 13))) * wobble;
    phase += 2 * kPi * f / kRate;
    double tone = std::sin(phase) + 0.30 * std::sin(2 * phase) + 0.08 * std::sin(3 * phase);
    double thud = 0.6 * std::sin(2 * kPi * 85 * t) * std::exp(-t * 45);
    s.samples[i] = static_cast<float>(tone * std::exp(-t * 10) + thud);
  }
  fade(s, 0.006, 0.04);
  normalise(s, -8);
  return s;
}

// A bubble pop: a quick upward "bloop" with a tiny wet tick at its start.
SoundBuffer pop() {
  SoundBuffer s = blank(0.15);
  gen::Rng rng(5150);
  BandPass tick(3200, 2.5);
  double phase = 0;
  for (size_t i = 0; i < s.frames(); ++i) {
    double t = i / kRate;
    double f = 320 + 1250 * (1 - std::exp(-t * 60));
    phase += 2 * kPi * f / kRate;
    double tone = (std::sin(phase) + 0.18 * std::sin(2 * phase)) * std::exp(-t * 42);
    double noise = tick(rng.range(-1, 1)) * std::exp(-t * 700);
    s.samples[i] = static_cast<float>(tone + 1.5 * noise);
  }
  fade(s, 0.0015, 0.03);
  normalise(s, -6);
  return s;
}

// The reward: a rising major arpeggio of chimes moving left to right, with a dusting of sparkles.
SoundBuffer magic() {
  SoundBuffer s = blank(1.5, 2);
  const std::vector<Partial> chime = {{1, 1.0, 3.2}, {2, 0.30, 4.5}, {3, 0.12, 7}, {4.2, 0.06, 11}};
  const double notes[] = {783.99, 1046.50, 1318.51, 1567.98, 2093.00, 2637.02};
  for (int k = 0; k < 6; ++k)
    add_bell(s, 0.02 + k * 0.075, notes[k], 0.75 - k * 0.06, chime, -0.6 + k * 0.24);
  gen::Rng rng(1234);
  const std::vector<Partial> glint = {{1, 1.0, 28}, {2.7, 0.25, 45}};
  for (int k = 0; k < 36; ++k) {
    double start = 0.08 + rng.range(0, 1.05);
    double freq = rng.range(2600, 5200);
    double level = 0.12 * (1 - start / 1.3);
    add_bell(s, start, freq, level, glint, rng.range(-0.9, 0.9));
  }
  fade(s, 0.003, 0.35);
  normalise(s, -6);
  return s;
}

// A bright bell ping: a clear tone with a few bell overtones dying away at their own rates.
SoundBuffer ping() {
  SoundBuffer s = blank(0.6);
  add_bell(s, 0, 1318.51, 1.0, {{1, 1.0, 5.5}, {2, 0.35, 8}, {3, 0.14, 12}, {5.4, 0.07, 22}, {0.5, 0.10, 7}});
  fade(s, 0.002, 0.08);
  normalise(s, -6);
  return s;
}

// A wooden click: a short knock of two damped tones, a burst of filtered noise and a small thump.
SoundBuffer click() {
  SoundBuffer s = blank(0.1);
  gen::Rng rng(808);
  BandPass wood(2400, 3.5);
  for (size_t i = 0; i < s.frames(); ++i) {
    double t = i / kRate;
    double knock = 0.7 * std::sin(2 * kPi * 1150 * t) * std::exp(-t * 110) +
                   0.5 * std::sin(2 * kPi * 640 * t) * std::exp(-t * 70);
    double noise = 2.2 * wood(rng.range(-1, 1)) * std::exp(-t * 160);
    double thump = 0.35 * std::sin(2 * kPi * 170 * t) * std::exp(-t * 55);
    s.samples[i] = static_cast<float>(knock + noise + thump);
  }
  fade(s, 0.001, 0.03);
  normalise(s, -6);
  return s;
}

// Time for a break: four soft music-box notes falling to rest (G, E, D, C), each swelling in gently
// instead of striking, with only mild overtones; quieter than every other sound.
SoundBuffer rest() {
  SoundBuffer s = blank(3.2, 2);
  const std::vector<Partial> music_box = {{1, 1.0, 1.6}, {2, 0.22, 3.0}, {3, 0.06, 5.0}, {0.5, 0.05, 2.0}};
  const double notes[] = {783.99, 659.26, 587.33, 523.25};
  for (int k = 0; k < 4; ++k)
    add_bell(s, 0.05 + k * 0.42, notes[k], k == 3 ? 1.0 : 0.8, music_box, 0.3 - k * 0.2, 0.012);
  fade(s, 0.01, 0.9);
  normalise(s, -15);
  return s;
}

bool make_sounds(const gen::fs::path& out) {
  bool ok = true;
  ok = gen::write_wav(out / "sound/bounce.wav", bounce()) && ok;
  ok = gen::write_wav(out / "sound/pop.wav", pop()) && ok;
  ok = gen::write_ogg(out / "sound/magic.ogg", magic()) && ok;
  ok = gen::write_ogg(out / "sound/ping.ogg", ping()) && ok;
  ok = gen::write_ogg(out / "sound/click.ogg", click()) && ok;
  ok = gen::write_ogg(out / "sound/break.ogg", rest()) && ok;
  return ok;
}

gen::Register sound_family("sounds", make_sounds);

}  // namespace
