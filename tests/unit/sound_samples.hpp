// Sounds made in memory for the sound tests and the fuzz seeds: plain PCM WAV files, and Ogg
// Vorbis encoded here with libvorbis's own encoder.
#pragma once
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace sound_samples {

inline void put16(std::string& s, uint16_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>(v >> 8));
}
inline void put32(std::string& s, uint32_t v) {
  put16(s, static_cast<uint16_t>(v & 0xFFFF));
  put16(s, static_cast<uint16_t>(v >> 16));
}

// A plain PCM WAV file around the given sample bytes.
inline std::string make_wav(int channels, int rate, int bits, const std::string& samples) {
  std::string s = "RIFF";
  put32(s, static_cast<uint32_t>(36 + samples.size()));
  s += "WAVEfmt ";
  put32(s, 16);
  put16(s, 1);
  put16(s, static_cast<uint16_t>(channels));
  put32(s, static_cast<uint32_t>(rate));
  put32(s, static_cast<uint32_t>(rate * channels * bits / 8));
  put16(s, static_cast<uint16_t>(channels * bits / 8));
  put16(s, static_cast<uint16_t>(bits));
  s += "data";
  put32(s, static_cast<uint32_t>(samples.size()));
  return s + samples;
}


// Encodes `frames` frames of a sine (left) and silence or the same sine (right) as Ogg Vorbis.
inline std::string make_ogg(int channels, int rate, int frames, double hz, double amplitude) {
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, 0.5f) != 0) {
    vorbis_info_clear(&vi);
    return {};
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block vb;
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 1234);

  std::string out;
  ogg_page og;
  auto take_page = [&] {
    out.append(reinterpret_cast<const char*>(og.header), static_cast<size_t>(og.header_len));
    out.append(reinterpret_cast<const char*>(og.body), static_cast<size_t>(og.body_len));
  };
  ogg_packet id, comment, code;
  vorbis_analysis_headerout(&vd, &vc, &id, &comment, &code);
  ogg_stream_packetin(&os, &id);
  ogg_stream_packetin(&os, &comment);
  ogg_stream_packetin(&os, &code);
  while (ogg_stream_flush(&os, &og)) take_page();

  auto drain = [&] {
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet op;
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        while (ogg_stream_pageout(&os, &og)) take_page();
      }
    }
  };
  for (int done = 0; done < frames;) {
    const int n = std::min(1024, frames - done);
    float** buf = vorbis_analysis_buffer(&vd, n);
    for (int i = 0; i < n; ++i) {
      buf[0][i] = static_cast<float>(amplitude * std::sin(2 * M_PI * hz * (done + i) / rate));
      if (channels == 2) buf[1][i] = 0.0f;
    }
    vorbis_analysis_wrote(&vd, n);
    drain();
    done += n;
  }
  vorbis_analysis_wrote(&vd, 0);  // marks the end of the stream
  drain();
  while (ogg_stream_flush(&os, &og)) take_page();
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

}  // namespace sound_samples
