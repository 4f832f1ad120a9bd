// Sound decoding (WAV and Ogg Vorbis built here), refusal of damaged files, and the mixer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "media/sound/sound.hpp"
#include "tests/unit/sound_samples.hpp"

namespace {

using sound_samples::make_ogg;
using sound_samples::make_wav;
using sound_samples::put16;
using sound_samples::put32;

media::SoundResult decode(const std::string& bytes) {
  return media::decode_sound(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// Root mean square of one channel over frames [from, to).
double rms(const media::Sound& s, int channel, size_t from, size_t to) {
  double sum = 0;
  for (size_t f = from; f < to; ++f) {
    const double v = s.samples[f * 2 + channel];
    sum += v * v;
  }
  return std::sqrt(sum / double(to - from));
}

media::SoundPtr constant_sound(size_t frames, int16_t left, int16_t right) {
  auto s = std::make_shared<media::Sound>();
  for (size_t i = 0; i < frames; ++i) {
    s->samples.push_back(left);
    s->samples.push_back(right);
  }
  return s;
}

}  // namespace

TEST(Sound, WavDecodesToStereoAtTheMixRate) {
  // 16-bit stereo at 44100: passes through unchanged.
  std::string pcm;
  for (int i = 0; i < 300; ++i) {
    put16(pcm, static_cast<uint16_t>(i * 100));
    put16(pcm, static_cast<uint16_t>(-i * 100));
  }
  auto r = decode(make_wav(2, 44100, 16, pcm));
  ASSERT_TRUE(r.sound) << r.error;
  ASSERT_EQ(r.sound->frames(), 300u);
  for (int i = 0; i < 300; ++i) {
    ASSERT_EQ(r.sound->samples[i * 2], i * 100);
    ASSERT_EQ(r.sound->samples[i * 2 + 1], -i * 100);
  }

  // 8-bit mono at 22050: twice the frames, both channels equal, unsigned bytes centred on 128.
  // Half a second at +64 steps above the centre, then half a second 64 below.
  const std::string bytes = std::string(11025, '\xC0') + std::string(11025, '\x40');
  r = decode(make_wav(1, 22050, 8, bytes));
  ASSERT_TRUE(r.sound) << r.error;
  ASSERT_EQ(r.sound->frames(), 44100u);
  const auto& s = r.sound->samples;
  for (size_t f = 0; f < r.sound->frames(); ++f) ASSERT_EQ(s[f * 2], s[f * 2 + 1]) << f;
  // Away from the step and the ends, the level is 64 << 8 (the resampling filter may ripple).
  for (size_t f = 2000; f < 20000; f += 97) EXPECT_NEAR(s[f * 2], 16384, 400) << f;
  for (size_t f = 24000; f < 42000; f += 97) EXPECT_NEAR(s[f * 2], -16384, 400) << f;

  // Odd chunks before the format chunk are stepped over (with their padding byte).
  std::string extra = make_wav(2, 44100, 16, pcm);
  std::string list = "LIST";
  put32(list, 3);
  list += "abc";
  list.push_back('\0');
  extra.insert(12, list);
  r = decode(extra);
  ASSERT_TRUE(r.sound) << r.error;
  EXPECT_EQ(r.sound->frames(), 300u);
}

TEST(Sound, DamagedWavIsRefused) {
  std::string pcm(4000, '\x10');
  const std::string good = make_wav(1, 22050, 16, pcm);
  ASSERT_TRUE(decode(good).sound);

  std::string past_end = good;
  past_end[42] = '\x01';  // data chunk size now runs past the end
  EXPECT_FALSE(decode(past_end).sound);
  std::string fmt_past_end = good;
  fmt_past_end[19] = '\x7f';  // format chunk size past the end
  EXPECT_FALSE(decode(fmt_past_end).sound);

  EXPECT_FALSE(decode(good.substr(0, good.size() - 100)).sound);  // truncated samples
  EXPECT_FALSE(decode(good.substr(0, 30)).sound);                 // truncated header
  EXPECT_FALSE(decode(good.substr(0, 12)).sound);

  std::string no_channels = good;
  no_channels[22] = 0;
  EXPECT_FALSE(decode(no_channels).sound);
  std::string six_channels = good;
  six_channels[22] = 6;
  EXPECT_FALSE(decode(six_channels).sound);
  std::string slow = good;
  slow[24] = 10, slow[25] = 0, slow[26] = 0, slow[27] = 0;  // 10 Hz
  EXPECT_FALSE(decode(slow).sound);

  EXPECT_FALSE(decode(make_wav(1, 22050, 16, "")).sound);  // no samples at all
  EXPECT_FALSE(decode("This is a text file, not a sound.\n").sound);
  EXPECT_FALSE(decode("").sound);

  // A text file named .wav fails to load and logs, without crashing.
  const std::string path = "/tmp/pipkin_sound_" + std::to_string(getpid()) + ".wav";
  std::ofstream(path) << "hello\n";
  EXPECT_FALSE(media::load_sound(path));
  std::remove(path.c_str());
  EXPECT_FALSE(media::load_sound(path));  // missing file
}

TEST(Sound, TooLongSoundIsRefused) {
  // 61 seconds of 8-bit mono at 8000 Hz: small as a file, but longer than any effect may be.
  const size_t frames = 8000 * 61;
  auto r = decode(make_wav(1, 8000, 8, std::string(frames, '\x80')));
  EXPECT_FALSE(r.sound);
  EXPECT_FALSE(r.error.empty());
  r = decode(make_wav(1, 8000, 8, std::string(8000 * 59, '\x80')));
  ASSERT_TRUE(r.sound) << r.error;
  EXPECT_LE(r.sound->frames(), media::kMaxSoundFrames);
}

TEST(Sound, OggDecodesToStereoAtTheMixRate) {
  // One second of mono at 22050: about 44100 frames, both channels carrying the tone.
  const std::string mono = make_ogg(1, 22050, 22050, 440, 0.5);
  ASSERT_GT(mono.size(), 100u);
  auto r = decode(mono);
  ASSERT_TRUE(r.sound) << r.error;
  EXPECT_NEAR(double(r.sound->frames()), 44100.0, 441.0);
  const double level = rms(*r.sound, 0, 4000, 40000);
  EXPECT_NEAR(level, 0.5 * 32767 / std::sqrt(2.0), 1500.0);  // a sine's RMS is peak / sqrt 2
  EXPECT_NEAR(rms(*r.sound, 1, 4000, 40000), level, 1.0);

  // Half a second of stereo at 44100: tone on the left, silence on the right.
  const std::string stereo = make_ogg(2, 44100, 22050, 1000, 0.5);
  r = decode(stereo);
  ASSERT_TRUE(r.sound) << r.error;
  EXPECT_NEAR(double(r.sound->frames()), 22050.0, 221.0);
  EXPECT_GT(rms(*r.sound, 0, 2000, 20000), 8000.0);
  EXPECT_LT(rms(*r.sound, 1, 2000, 20000), 500.0);
}

TEST(Sound, DamagedOggIsRefused) {
  const std::string good = make_ogg(1, 22050, 22050, 440, 0.5);
  ASSERT_TRUE(decode(good).sound);
  EXPECT_FALSE(decode(good.substr(0, good.size() / 2)).sound);  // truncated mid-stream
  EXPECT_FALSE(decode(good.substr(0, good.size() - 1)).sound);  // last byte missing
  EXPECT_FALSE(decode(good.substr(0, 200)).sound);              // headers cut short
  EXPECT_FALSE(decode(good.substr(0, 4)).sound);
  for (size_t at : {size_t{30}, size_t{120}, good.size() / 2, good.size() - 10}) {
    std::string bad = good;
    bad[at] = static_cast<char>(bad[at] ^ 0x5A);  // one damaged byte anywhere
    EXPECT_FALSE(decode(bad).sound) << "damage at " << at;
  }
  EXPECT_FALSE(decode("OggS and then some text that is not a stream at all").sound);
  EXPECT_FALSE(decode(good + "trailing junk").sound);
}

TEST(Sound, MixerSumsChannelsAndDropsFinishedOnes) {
  ASSERT_EQ(media::channels_playing(), 0);
  std::vector<int16_t> out(2 * 100);

  // Two overlapping plays are summed; where both are loud the sum saturates.
  auto a = constant_sound(50, 1000, -2000);
  auto b = constant_sound(100, 30000, -31000);
  media::play_sound(a);
  media::play_sound(b);
  EXPECT_EQ(media::channels_playing(), 2);
  media::mix_audio(out.data(), 30);
  EXPECT_EQ(out[0], 31000);
  EXPECT_EQ(out[1], -32768);  // -33000 saturates
  EXPECT_EQ(out[29 * 2], 31000);
  media::play_sound(a);  // a new play overlaps the first, never restarting it
  media::mix_audio(out.data(), 30);  // frames 30..59 of a (ending at 50) and b, 0..29 of a again
  EXPECT_EQ(out[0], 32000);
  EXPECT_EQ(out[19 * 2], 32000);
  EXPECT_EQ(out[20 * 2], 31000);  // the first play of a ended at its frame 50
  EXPECT_EQ(media::channels_playing(), 2);
  media::mix_audio(out.data(), 100);  // the second a ends after 20 frames, b after 40
  EXPECT_EQ(out[0], 31000);
  EXPECT_EQ(out[19 * 2], 31000);
  EXPECT_EQ(out[20 * 2], 30000);
  EXPECT_EQ(out[39 * 2 + 1], -31000);
  EXPECT_EQ(out[40 * 2], 0);  // silence once everything has finished
  EXPECT_EQ(out[99 * 2 + 1], 0);
  EXPECT_EQ(media::channels_playing(), 0);

  // Empty sounds are ignored; past the cap the oldest channel is dropped.
  media::play_sound(nullptr);
  media::play_sound(std::make_shared<media::Sound>());
  EXPECT_EQ(media::channels_playing(), 0);
  auto quiet = constant_sound(10, 1, 1);
  auto loud = constant_sound(10, 100, 100);
  media::play_sound(loud);
  for (int i = 0; i < 40; ++i) media::play_sound(quiet);
  EXPECT_EQ(media::channels_playing(), 32);
  media::mix_audio(out.data(), 10);
  EXPECT_EQ(out[0], 32);  // the loud one was the oldest and went first
  EXPECT_EQ(media::channels_playing(), 0);
}

TEST(Sound, OpenPlayCloseNeverFail) {
  // With a device or without one, opening never fails loudly and play never blocks.
  media::open_audio();
  auto s = constant_sound(441, 500, 500);
  for (int i = 0; i < 100; ++i) media::play_sound(s);
  EXPECT_LE(media::channels_playing(), 32);
  media::close_audio();
  EXPECT_FALSE(media::audio_open());
  EXPECT_EQ(media::channels_playing(), 0);
}
