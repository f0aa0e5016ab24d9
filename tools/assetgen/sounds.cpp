// Sound effects, the four sound groups and the preload list.
#include <sstream>
#include <string>

#include "registry.h"
#include "sounds.h"
#include "synth.h"

namespace assetgen {
namespace {

const std::vector<std::pair<float, float>> kBell = {{1, 1}, {2.76f, 0.45f}, {5.4f, 0.22f}, {8.93f, 0.1f}};
const std::vector<std::pair<float, float>> kMallet = {{1, 1}, {4, 0.25f}, {10, 0.05f}};
const std::vector<std::pair<float, float>> kBrass = {{1, 1}, {2, 0.6f}, {3, 0.45f}, {4, 0.3f}, {5, 0.2f}, {6, 0.12f}};

Buffer MouseClick() {
  Rng rng(1);
  Buffer b = Noise(0.03f, 0.0005f, 0.004f, rng);
  HighPass(b, 2000);
  MixInto(b, Tone(1700, 0.03f, 0.0005f, 0.008f, kMallet), 0, 0.6f);
  Finish(b, 0.6f, 0.5f, 4);
  return b;
}

Buffer MouseOver(bool rising) {
  Buffer b = Tone(rising ? 1100 : 1300, 0.08f, 0.004f, 0.025f, {{1, 1}, {2, 0.2f}}, rising ? 1.5f : -1.5f);
  Finish(b, 0.35f, 2, 10);
  return b;
}

Buffer GlassDrop() {
  Rng rng(2);
  Buffer b = Tone(2100, 0.4f, 0.001f, 0.09f, kBell);
  MixInto(b, Tone(3150, 0.4f, 0.001f, 0.06f, kBell), Samples(0.03f), 0.4f);
  Buffer tick = Noise(0.01f, 0.0005f, 0.002f, rng);
  HighPass(tick, 3000);
  MixInto(b, tick, 0, 0.5f);
  Finish(b, 0.5f, 1, 30);
  return b;
}

Buffer ExplosionBig() {
  Rng rng(3);
  Buffer boom = Noise(1.4f, 0.002f, 0.35f, rng);
  LowPass(boom, 500);
  LowPass(boom, 900);
  Buffer body = Tone(70, 1.4f, 0.002f, 0.3f, {{1, 1}, {1.5f, 0.4f}}, -1.2f);
  MixInto(boom, body, 0, 0.9f);
  Buffer crackle = Noise(0.6f, 0.001f, 0.12f, rng);
  for (size_t i = 0; i < crackle.size(); ++i)
    if (rng.Uniform() > 0.02f) crackle[i] *= 0.1f;
  HighPass(crackle, 1500);
  MixInto(boom, crackle, 0, 1.5f);
  Finish(boom, 0.9f, 1, 200);
  return boom;
}

Buffer Arpeggio(const std::vector<float>& notes, float step, float decay,
                const std::vector<std::pair<float, float>>& partials, float length) {
  Buffer b(Samples(length), 0);
  for (size_t i = 0; i < notes.size(); ++i)
    MixInto(b, Tone(MidiToHz(notes[i]), length - step * float(i), 0.004f, decay, partials),
            Samples(step * float(i)), 1);
  b.resize(Samples(length));
  return b;
}

Buffer Artifact() {
  Buffer b = Arpeggio({84, 88, 91, 96, 100, 103}, 0.075f, 0.35f, kBell, 1.8f);
  Rng rng(4);
  Buffer shimmer = Noise(1.8f, 0.3f, 0.4f, rng);
  HighPass(shimmer, 6000);
  MixInto(b, shimmer, 0, 0.15f);
  Echo(b, 0.17f, 0.35f, 0.5f);
  Finish(b, 0.75f, 2, 300);
  return b;
}

Buffer Bonus() {
  Buffer b = Arpeggio({79, 84, 88, 91}, 0.06f, 0.25f, kBell, 0.9f);
  Echo(b, 0.12f, 0.3f, 0.4f);
  Finish(b, 0.7f, 2, 150);
  return b;
}

Buffer GameOver() {
  Buffer b(Samples(2.2f), 0);
  const float notes[] = {67, 63, 60, 55};
  for (int i = 0; i < 4; ++i)
    MixInto(b, Tone(MidiToHz(notes[i]), 1.2f, 0.01f, i == 3 ? 0.6f : 0.3f, kMallet), Samples(0.32f * float(i)), 1);
  MixInto(b, Tone(MidiToHz(36), 1.2f, 0.05f, 0.5f, {{1, 1}, {2, 0.3f}}), Samples(0.96f), 0.6f);
  b.resize(Samples(2.2f));
  Echo(b, 0.21f, 0.3f, 0.35f);
  Finish(b, 0.7f, 2, 300);
  return b;
}

Buffer Heartbeat() {
  Buffer b(Samples(0.5f), 0);
  for (float at : {0.0f, 0.19f}) MixInto(b, Tone(58, 0.25f, 0.004f, 0.07f, {{1, 1}, {2, 0.15f}}, -0.5f), Samples(at), at == 0 ? 1 : 0.7f);
  b.resize(Samples(0.5f));
  Finish(b, 0.8f, 1, 40);
  return b;
}

Buffer LevelUp() {
  Buffer b = Arpeggio({72, 76, 79, 84}, 0.11f, 0.5f, kBrass, 1.7f);
  MixInto(b, Tone(MidiToHz(88), 1.25f, 0.02f, 0.5f, kBrass), Samples(0.45f), 0.7f);
  b.resize(Samples(1.7f));
  LowPass(b, 5000);
  Echo(b, 0.15f, 0.3f, 0.35f);
  Finish(b, 0.75f, 2, 250);
  return b;
}

// Jewels clinking as a run clears: a bright chime on a pentatonic note.
Buffer PieceVariant(int i) {
  const float notes[] = {84, 86, 88, 91, 93};
  Buffer b = Tone(MidiToHz(notes[i]), 0.45f, 0.002f, 0.12f, kBell);
  MixInto(b, Tone(MidiToHz(notes[i] + 12), 0.3f, 0.002f, 0.06f, kBell), Samples(0.04f), 0.35f);
  Rng rng(uint64_t(10 + i));
  Buffer tick = Noise(0.015f, 0.0005f, 0.003f, rng);
  HighPass(tick, 2500);
  MixInto(b, tick, 0, 0.4f);
  Finish(b, 0.55f, 1, 40);
  return b;
}

Buffer StoneVariant(int i) {
  Rng rng(uint64_t(20 + i));
  Buffer b = Noise(0.35f, 0.001f, 0.07f + 0.01f * float(i), rng);
  LowPass(b, 1400 + 300 * float(i));
  MixInto(b, Tone(110 + 25 * float(i), 0.35f, 0.001f, 0.06f, {{1, 1}, {2.3f, 0.4f}}), 0, 0.6f);
  Buffer second = Noise(0.2f, 0.001f, 0.03f, rng);
  LowPass(second, 2000);
  MixInto(b, second, Samples(0.05f + 0.02f * float(i)), 0.6f);
  Finish(b, 0.6f, 1, 40);
  return b;
}

Buffer WoodVariant(int i) {
  Rng rng(uint64_t(30 + i));
  Buffer b = Noise(0.3f, 0.0005f, 0.035f, rng);
  HighPass(b, 500);
  LowPass(b, 3500);
  MixInto(b, Tone(230 + 35 * float(i), 0.3f, 0.001f, 0.07f, {{1, 1}, {2.3f, 0.5f}, {4.1f, 0.2f}}), 0, 0.8f);
  Finish(b, 0.6f, 0.5f, 40);
  return b;
}

Buffer IronVariant(int i) {
  Rng rng(uint64_t(40 + i));
  Buffer b = Tone(420 + 60 * float(i), 0.7f, 0.001f, 0.22f, {{1, 1}, {2.41f, 0.6f}, {3.93f, 0.4f}, {5.37f, 0.25f}});
  Buffer hit = Noise(0.05f, 0.0005f, 0.01f, rng);
  HighPass(hit, 1200);
  MixInto(b, hit, 0, 0.8f);
  Finish(b, 0.55f, 0.5f, 60);
  return b;
}

std::string GroupPlaylist(const std::string& dir, const std::string& stem, int count) {
  std::ostringstream x;
  x << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<playlist>\n  <playonce>true</playonce>\n";
  for (int i = 1; i <= count; ++i)
    x << "  <sound><source>" << dir << stem << i << ".wav</source><volume>1</volume></sound>\n";
  x << "</playlist>\n";
  return x.str();
}

}  // namespace

const std::vector<SoundGroup>& SoundGroups() {
  static const std::vector<SoundGroup> groups = {
      {"/sound/grouppiece.xml", "/sound/piece/", "piece", 5},
      {"/sound/groupstone.xml", "/sound/stone/", "stone", 4},
      {"/sound/groupwood.xml", "/sound/wood/", "wood", 4},
      {"/sound/groupiron.xml", "/sound/iron/", "iron", 4},
  };
  return groups;
}

void GenerateSounds(Output& out) {
  out.WriteBytes("/sound/mouseclick.wav", EncodeWav(MouseClick()));
  out.WriteBytes("/sound/mouseover.wav", EncodeWav(MouseOver(true)));
  out.WriteBytes("/sound/mouseout.wav", EncodeWav(MouseOver(false)));
  out.WriteBytes("/sound/glassdrop.wav", EncodeWav(GlassDrop()));
  out.WriteBytes("/sound/explosionbig.wav", EncodeWav(ExplosionBig()));
  out.WriteBytes("/sound/artifact.wav", EncodeWav(Artifact()));
  out.WriteBytes("/sound/bonus.wav", EncodeWav(Bonus()));
  out.WriteBytes("/sound/gameover.wav", EncodeWav(GameOver()));
  out.WriteBytes("/sound/heartbeat.wav", EncodeWav(Heartbeat()));
  out.WriteBytes("/sound/levelup.wav", EncodeWav(LevelUp()));
  Buffer (*const makers[4])(int) = {PieceVariant, StoneVariant, WoodVariant, IronVariant};
  for (size_t g = 0; g < SoundGroups().size(); ++g) {
    const SoundGroup& group = SoundGroups()[g];
    for (int i = 1; i <= group.variants; ++i)
      out.WriteBytes(group.dir + group.stem + std::to_string(i) + ".wav", EncodeWav(makers[g](i - 1)));
    out.WriteText(group.playlist, GroupPlaylist(group.dir, group.stem, group.variants));
  }

  // Preload: music in group 1, effects in group 0. Stacks let a sound
  // overlap itself; hold delays stop one event from stacking the same sound.
  std::ostringstream x;
  x << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<preload>\n";
  for (const std::string& track : MusicTrackPaths())
    x << "  <sound><source>" << track << "</source><group>1</group><stack>1</stack><holddelay>0</holddelay></sound>\n";
  struct Effect {
    const char* path;
    int stack, hold;
  };
  const Effect effects[] = {
      {"/sound/mouseclick.wav", 2, 40},  {"/sound/mouseover.wav", 2, 60}, {"/sound/mouseout.wav", 2, 60},
      {"/sound/glassdrop.wav", 4, 40},   {"/sound/explosionbig.wav", 2, 120}, {"/sound/artifact.wav", 1, 500},
      {"/sound/bonus.wav", 2, 150},      {"/sound/gameover.wav", 1, 1000}, {"/sound/heartbeat.wav", 1, 300},
      {"/sound/levelup.wav", 1, 500},
  };
  for (const Effect& e : effects)
    x << "  <sound><source>" << e.path << "</source><group>0</group><stack>" << e.stack
      << "</stack><holddelay>" << e.hold << "</holddelay></sound>\n";
  for (const SoundGroup& group : SoundGroups())
    for (int i = 1; i <= group.variants; ++i)
      x << "  <sound><source>" << group.dir << group.stem << i
        << ".wav</source><group>0</group><stack>2</stack><holddelay>60</holddelay></sound>\n";
  for (const SoundGroup& group : SoundGroups())
    x << "  <playlist><source>" << group.playlist << "</source><group>0</group></playlist>\n";
  x << "  <playlist><source>/sound/menumusic.xml</source><group>1</group></playlist>\n";
  x << "  <playlist><source>/sound/gamemusic.xml</source><group>1</group></playlist>\n";
  x << "</preload>\n";
  out.WriteText("/sound/preload.xml", x.str());
}

}  // namespace assetgen
