// Procedural music: chord progressions with a composed melody, bass, pads
// and drums, rendered as a seamless loop and stored as Ogg Vorbis.
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "registry.h"
#include "sounds.h"
#include "synth.h"

namespace assetgen {
namespace {

constexpr float kTwoPi = 6.2831853f;

struct Stereo {
  Buffer left, right;
};

enum class Voice { Pad, Bass, Bell, Pluck, Lead, Kick, Snare, Hat };

struct TrackStyle {
  const char* path;
  float bpm;
  int root;                 // MIDI note of the key's tonic (melody octave)
  std::vector<int> verse;   // scale degrees (0 = I) of one chord per bar
  std::vector<int> bridge;
  int drums;                // 0 none, 1 light, 2 full
  Voice melody;
  bool arpeggio;
  uint64_t seed;
};

const int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};

int ScaleNote(int root, int degree) {
  const int oct = degree >= 0 ? degree / 7 : -((-degree + 6) / 7);
  const int idx = degree - oct * 7;
  return root + oct * 12 + kMajor[idx];
}

// Renders one note of a voice into the stereo loop, wrapping past the end so
// that the loop joins without a seam.
void RenderNote(Stereo& mix, Voice voice, float start, float length, float midi, float gain, float pan,
                Rng& rng) {
  const size_t loop = mix.left.size();
  const float freq = MidiToHz(midi);
  float attack = 0.005f, decay = 0.4f, release = 0.03f, tail = 0.0f;
  std::vector<std::pair<float, float>> partials;
  switch (voice) {
    case Voice::Pad:
      attack = 0.4f; decay = 8; release = 0.5f;
      partials = {{1, 1}, {1.004f, 0.8f}, {2, 0.35f}, {2.996f, 0.2f}, {4, 0.08f}};
      break;
    case Voice::Bass:
      attack = 0.006f; decay = 0.6f; release = 0.05f;
      partials = {{1, 1}, {2, 0.35f}, {3, 0.1f}};
      break;
    case Voice::Bell:
      attack = 0.003f; decay = 0.7f; release = 0.05f; tail = 1.2f;
      partials = {{1, 1}, {2, 0.25f}, {3.01f, 0.12f}, {4.2f, 0.06f}};
      break;
    case Voice::Pluck:
      attack = 0.003f; decay = 0.18f; release = 0.04f; tail = 0.3f;
      partials = {{1, 1}, {2, 0.5f}, {3, 0.3f}, {4, 0.15f}, {5, 0.08f}};
      break;
    case Voice::Lead:
      attack = 0.01f; decay = 1.2f; release = 0.06f;
      partials = {{1, 1}, {2, 0.3f}, {3, 0.35f}, {5, 0.12f}};
      break;
    case Voice::Kick:
      attack = 0.002f; decay = 0.12f; release = 0.02f;
      break;
    case Voice::Snare:
      attack = 0.001f; decay = 0.07f; release = 0.02f;
      break;
    case Voice::Hat:
      attack = 0.001f; decay = 0.025f; release = 0.01f;
      break;
  }
  const float total = length + tail;
  const size_t n = Samples(total);
  const size_t first = Samples(start);
  const float gl = gain * std::sqrt(0.5f * (1 - pan)), gr = gain * std::sqrt(0.5f * (1 + pan));
  std::vector<float> phase(partials.size(), 0);
  float noiseLow = 0;
  for (size_t i = 0; i < n; ++i) {
    const float t = float(i) / float(kSampleRate);
    float env = std::min(1.0f, t / attack) * std::exp(-t / decay);
    if (t > total - release) env *= std::max(0.0f, (total - t) / release);
    if (env <= 0) continue;
    float s = 0;
    if (voice == Voice::Kick) {
      const float f = 45 + 90 * std::exp(-t * 30);
      phase.resize(1);
      phase[0] += kTwoPi * f / float(kSampleRate);
      s = std::sin(phase[0]);
    } else if (voice == Voice::Snare || voice == Voice::Hat) {
      const float w = rng.Uniform() * 2 - 1;
      noiseLow += 0.3f * (w - noiseLow);
      s = voice == Voice::Hat ? (w - noiseLow) * 0.7f : w * 0.6f + std::sin(kTwoPi * 190 * t) * 0.4f;
    } else {
      for (size_t k = 0; k < partials.size(); ++k) {
        phase[k] += kTwoPi * freq * partials[k].first / float(kSampleRate);
        if (phase[k] > kTwoPi) phase[k] -= kTwoPi;
        s += std::sin(phase[k]) * partials[k].second;
      }
      if (voice == Voice::Pad) s *= 0.6f + 0.4f * std::sin(kTwoPi * 0.3f * t);
    }
    const size_t at = (first + i) % loop;
    mix.left[at] += s * env * gl;
    mix.right[at] += s * env * gr;
  }
}

Stereo Compose(const TrackStyle& style) {
  Rng rng(style.seed);
  const float beat = 60.0f / style.bpm;
  const float bar = beat * 4;
  // Form: verse, verse, bridge, verse; each section is as long as its chords.
  std::vector<int> chords;
  std::vector<int> section;
  const std::vector<const std::vector<int>*> form = {&style.verse, &style.verse, &style.bridge, &style.verse};
  for (size_t s = 0; s < form.size(); ++s)
    for (int c : *form[s]) {
      chords.push_back(c);
      section.push_back(int(s));
    }
  const size_t bars = chords.size();
  Stereo mix{Buffer(Samples(bar * float(bars)), 0), Buffer(Samples(bar * float(bars)), 0)};

  // A two-bar motif of eighth notes: onsets and contour steps, reused with
  // variation so the tune is recognisable.
  struct MotifNote {
    int slot;     // eighth note in the two bars
    int length;   // in eighths
    int step;     // scale steps relative to the chord root
  };
  auto makeMotif = [&](Rng& r) {
    std::vector<MotifNote> m;
    int slot = 0;
    int step = 2 + r.Int(3);
    while (slot < 15) {
      const int len = (slot % 4 == 0 && r.Uniform() < 0.5f) ? 2 : (r.Uniform() < 0.3f ? 3 : 1);
      m.push_back({slot, std::min(len, 16 - slot), step});
      slot += len + (r.Uniform() < 0.25f ? 1 : 0);
      step += r.Int(5) - 2;
      step = std::clamp(step, -1, 7);
    }
    return m;
  };
  Rng motifRng(style.seed * 7 + 1);
  const auto motifA = makeMotif(motifRng);
  const auto motifB = makeMotif(motifRng);

  for (size_t b = 0; b < bars; ++b) {
    const float t0 = bar * float(b);
    const int degree = chords[b];
    const int chordRoot = ScaleNote(style.root - 12, degree);
    // Pad: the triad, held into the next bar so chords cross-fade rather
    // than leave a gap (the last one fades into the loop's first).
    for (int k : {0, 2, 4})
      RenderNote(mix, Voice::Pad, t0, bar + 0.45f, float(ScaleNote(style.root - 12, degree + k)), 0.05f, (k - 2) * 0.3f, rng);
    // Bass: root on beats 1 and 3, fifth walking in between for the lively tracks.
    for (int q = 0; q < 4; ++q) {
      if (style.drums < 2 && q % 2 == 1) continue;
      const int note = (q == 3 && style.drums == 2) ? ScaleNote(style.root - 24, degree + 4) : chordRoot - 12;
      RenderNote(mix, Voice::Bass, t0 + beat * float(q), beat * (style.drums < 2 ? 1.9f : 0.9f), float(note), 0.22f, 0, rng);
    }
    if (style.arpeggio)
      for (int e = 0; e < 8; ++e) {
        const int k = (e % 4 == 3) ? 2 : (e % 4) * 2;
        RenderNote(mix, Voice::Pluck, t0 + beat * 0.5f * float(e), beat * 0.45f,
                   float(ScaleNote(style.root, degree + k)), 0.05f, 0.5f, rng);
      }
    // Melody: the motif of this section over the current chord; the last
    // bar of each section rests on a long chord tone.
    const bool lastBarOfSection = b + 1 == bars || section[b + 1] != section[b];
    const auto& motif = section[b] == 2 ? motifB : motifA;
    const int half = int(b % 2);
    const int variation = section[b] == 1 ? 1 : 0;
    if (lastBarOfSection) {
      RenderNote(mix, style.melody, t0, bar, float(ScaleNote(style.root, degree + 2)), 0.16f, -0.15f, rng);
    } else {
      for (const MotifNote& m : motif) {
        if (m.slot / 8 != half) continue;
        const int step = m.step + ((variation && m.slot % 8 >= 4) ? 1 : 0);
        RenderNote(mix, style.melody, t0 + beat * 0.5f * float(m.slot % 8), beat * 0.5f * float(m.length) * 0.95f,
                   float(ScaleNote(style.root, degree + step)), 0.15f, -0.15f, rng);
      }
    }
    // Drums.
    if (style.drums > 0)
      for (int e = 0; e < 8; ++e) {
        const float t = t0 + beat * 0.5f * float(e);
        if (e % 4 == 0) RenderNote(mix, Voice::Kick, t, 0.3f, 0, style.drums == 2 ? 0.5f : 0.3f, 0, rng);
        if (style.drums == 2 && e == 5 && rng.Uniform() < 0.4f) RenderNote(mix, Voice::Kick, t, 0.3f, 0, 0.3f, 0, rng);
        if (e % 4 == 2 && style.drums == 2) RenderNote(mix, Voice::Snare, t, 0.2f, 0, 0.22f, 0.1f, rng);
        RenderNote(mix, Voice::Hat, t, 0.06f, 0, (e % 2 ? 0.05f : 0.08f) * float(style.drums), 0.35f, rng);
      }
  }
  // Echo in its steady state: run it over two passes and keep the second, so
  // the echoes of the end sound at the start as they will when the loop repeats.
  for (Buffer* ch : {&mix.left, &mix.right}) {
    Buffer twice(*ch);
    twice.insert(twice.end(), ch->begin(), ch->end());
    Echo(twice, beat * 0.75f, 0.3f, 0.25f);
    std::copy(twice.begin() + std::ptrdiff_t(ch->size()), twice.end(), ch->begin());
  }
  float peak = 0;
  for (size_t i = 0; i < mix.left.size(); ++i) peak = std::max({peak, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
  const float gain = peak > 0 ? 0.85f / peak : 1;
  for (size_t i = 0; i < mix.left.size(); ++i) {
    mix.left[i] *= gain;
    mix.right[i] *= gain;
  }
  return mix;
}

std::vector<uint8_t> EncodeOgg(const Stereo& pcm, int serial) {
  std::vector<uint8_t> out;
  auto writePage = [&out](const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
  };
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, 2, kSampleRate, 0.25f) != 0) {
    vorbis_info_clear(&vi);
    return out;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "TITLE", "Brinestoneharbour");
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, serial);  // fixed serial: identical bytes every run
  ogg_packet header, comments, codebooks;
  vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comments);
  ogg_stream_packetin(&os, &codebooks);
  ogg_page page;
  while (ogg_stream_flush(&os, &page)) writePage(page);
  auto drain = [&]() {
    ogg_packet packet;
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      while (vorbis_bitrate_flushpacket(&vd, &packet)) {
        ogg_stream_packetin(&os, &packet);
        while (ogg_stream_pageout(&os, &page)) writePage(page);
      }
    }
  };
  const size_t chunk = 4096;
  for (size_t at = 0; at < pcm.left.size(); at += chunk) {
    const size_t n = std::min(chunk, pcm.left.size() - at);
    float** buffer = vorbis_analysis_buffer(&vd, int(n));
    std::copy_n(pcm.left.begin() + std::ptrdiff_t(at), n, buffer[0]);
    std::copy_n(pcm.right.begin() + std::ptrdiff_t(at), n, buffer[1]);
    vorbis_analysis_wrote(&vd, int(n));
    drain();
  }
  vorbis_analysis_wrote(&vd, 0);
  drain();
  while (ogg_stream_flush(&os, &page)) writePage(page);
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

const std::vector<TrackStyle>& Tracks() {
  static const std::vector<TrackStyle> tracks = {
      // Calm menu themes: slow, bell melody over pads, light brushes.
      {"/sound/music/menu1.ogg", 76, 72, {0, 5, 3, 4, 0, 5, 1, 4}, {3, 0, 3, 4, 5, 3, 1, 4}, 1, Voice::Bell, false, 11},
      {"/sound/music/menu2.ogg", 84, 70, {0, 3, 5, 4, 0, 3, 1, 4}, {5, 3, 0, 4, 5, 3, 1, 4}, 0, Voice::Bell, true, 12},
      // Livelier game music: arpeggios, walking bass, full kit.
      {"/sound/music/game1.ogg", 118, 74, {0, 4, 5, 3, 0, 4, 3, 4}, {3, 4, 0, 5, 3, 4, 1, 4}, 2, Voice::Pluck, true, 21},
      {"/sound/music/game2.ogg", 126, 69, {5, 3, 0, 4, 5, 3, 0, 4}, {3, 0, 4, 5, 3, 0, 1, 4}, 2, Voice::Lead, true, 22},
  };
  return tracks;
}

}  // namespace

std::vector<std::string> MusicTrackPaths() {
  std::vector<std::string> paths;
  for (const TrackStyle& t : Tracks()) paths.push_back(t.path);
  return paths;
}

void RenderMusicTrack(size_t index, std::vector<float>& left, std::vector<float>& right) {
  Stereo mix = Compose(Tracks().at(index));
  left = std::move(mix.left);
  right = std::move(mix.right);
}

void GenerateMusic(Output& out) {
  int serial = 0x42530001;
  for (const TrackStyle& t : Tracks()) out.WriteBytes(t.path, EncodeOgg(Compose(t), serial++));
  auto playlist = [](const std::string& prefix) {
    std::ostringstream x;
    x << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<playlist>\n";
    for (const TrackStyle& t : Tracks())
      if (std::string(t.path).find(prefix) != std::string::npos)
        x << "  <sound><source>" << t.path << "</source><volume>0.8</volume></sound>\n";
    x << "</playlist>\n";
    return x.str();
  };
  out.WriteText("/sound/menumusic.xml", playlist("/menu"));
  out.WriteText("/sound/gamemusic.xml", playlist("/game"));
}

}  // namespace assetgen
