// Checks of the asset generator: it reproduces the committed data byte for
// byte, and the committed data has the properties the game relies on.
#include <SDL_image.h>
#include <expat.h>
#include <vorbis/vorbisfile.h>
#include <gtest/gtest.h>

#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include "dds.h"
#include "fonts.h"
#include "nodes.h"
#include "registry.h"
#include "sounds.h"
#include "synth.h"

namespace fs = std::filesystem;
using namespace assetgen;

namespace {

const std::string kData = ASSETGEN_DATA_DIR;

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}
std::string Data(const std::string& resourcePath) { return kData + resourcePath; }

// A scratch folder of this process: work trees on one machine test at once.
fs::path Scratch(const std::string& name) {
  return fs::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
}

// A parsed XML element: name, text and children.
struct Element {
  std::string name, text;
  std::vector<std::unique_ptr<Element>> children;
  const Element* Child(const std::string& n) const {
    for (const auto& c : children)
      if (c->name == n) return c.get();
    return nullptr;
  }
};

std::unique_ptr<Element> ParseXml(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFile(path);
  if (bytes.empty()) return nullptr;
  struct State {
    std::unique_ptr<Element> root;
    std::vector<Element*> stack;
  } state;
  XML_Parser parser = XML_ParserCreate(nullptr);
  XML_SetUserData(parser, &state);
  XML_SetElementHandler(
      parser,
      [](void* user, const XML_Char* name, const XML_Char**) {
        auto* s = static_cast<State*>(user);
        auto e = std::make_unique<Element>();
        e->name = name;
        Element* raw = e.get();
        if (s->stack.empty())
          s->root = std::move(e);
        else
          s->stack.back()->children.push_back(std::move(e));
        s->stack.push_back(raw);
      },
      [](void* user, const XML_Char*) { static_cast<State*>(user)->stack.pop_back(); });
  XML_SetCharacterDataHandler(parser, [](void* user, const XML_Char* s, int len) {
    auto* st = static_cast<State*>(user);
    if (!st->stack.empty()) st->stack.back()->text.append(s, size_t(len));
  });
  const bool ok = XML_Parse(parser, reinterpret_cast<const char*>(bytes.data()), int(bytes.size()), 1) != 0;
  XML_ParserFree(parser);
  return ok ? std::move(state.root) : nullptr;
}

struct Png {
  int w = 0, h = 0;
  std::vector<uint8_t> rgba;
  uint8_t Alpha(int x, int y) const { return rgba[(size_t(y) * size_t(w) + size_t(x)) * 4 + 3]; }
};

Png LoadPng(const std::string& path) {
  Png png;
  SDL_Surface* raw = IMG_Load(path.c_str());
  if (!raw) return png;
  SDL_Surface* s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_RGBA32, 0);
  SDL_FreeSurface(raw);
  if (!s) return png;
  png.w = s->w;
  png.h = s->h;
  png.rgba.resize(size_t(s->w) * size_t(s->h) * 4);
  for (int y = 0; y < s->h; ++y)
    std::memcpy(&png.rgba[size_t(y) * size_t(s->w) * 4], static_cast<uint8_t*>(s->pixels) + y * s->pitch,
                size_t(s->w) * 4);
  SDL_FreeSurface(s);
  return png;
}

// Collects every element of a tree with the given name.
void Collect(const Element& e, const std::string& name, std::vector<const Element*>& out) {
  if (e.name == name) out.push_back(&e);
  for (const auto& c : e.children) Collect(*c, name, out);
}

}  // namespace

TEST(AssetGen, RegeneratesTheCommittedFilesByteForByte) {
  // The map and the music take a while; the rest covers every code path that
  // writes PNG, WAV and XML.
  const fs::path scratch = Scratch("assetgen-test");
  fs::remove_all(scratch);
  Output out(scratch.string());
  out.SetSource(ASSETGEN_DATA_DIR);
  ASSERT_TRUE(RunJobs(out, {"pieces", "playfield", "effects", "gui", "treasures", "fonts", "sounds", "nodes"}));
  ASSERT_GT(out.Written().size(), 150u);
  for (const std::string& path : out.Written()) {
    SCOPED_TRACE(path);
    const auto fresh = ReadFile(out.FullPath(path));
    const auto committed = ReadFile(Data(path));
    ASSERT_FALSE(committed.empty()) << "not committed";
    EXPECT_TRUE(fresh == committed) << "differs from the committed file; rerun assetgen";
  }
  fs::remove_all(scratch);
}

TEST(AssetGen, JewelsDifferInShapeAndColour) {
  struct Jewel {
    std::vector<bool> mask;
    float r = 0, g = 0, b = 0;
  };
  for (const char* size : {"normal", "small"}) {
    SCOPED_TRACE(size);
    std::vector<Jewel> jewels;
    for (int k = 1; k <= 8; ++k) {
      const Png png = LoadPng(Data("/texture/piece/piece" + std::to_string(k) + "-" + size + ".png"));
      ASSERT_EQ(png.w, std::string(size) == "normal" ? 40 : 24);
      ASSERT_EQ(png.h, png.w);
      Jewel j;
      int n = 0;
      for (int y = 0; y < png.h; ++y)
        for (int x = 0; x < png.w; ++x) {
          // The soft shadow stays below this level; the stone itself is opaque.
          const bool solid = png.Alpha(x, y) > 200;
          j.mask.push_back(solid);
          if (!solid) continue;
          const uint8_t* p = &png.rgba[(size_t(y) * size_t(png.w) + size_t(x)) * 4];
          j.r += p[0];
          j.g += p[1];
          j.b += p[2];
          ++n;
        }
      ASSERT_GT(n, png.w * png.h / 5) << "jewel " << k << " is nearly empty";
      j.r /= float(n);
      j.g /= float(n);
      j.b /= float(n);
      jewels.push_back(j);
    }
    for (size_t a = 0; a < 8; ++a)
      for (size_t b = a + 1; b < 8; ++b) {
        int differ = 0, either = 0;
        for (size_t i = 0; i < jewels[a].mask.size(); ++i) {
          differ += jewels[a].mask[i] != jewels[b].mask[i];
          either += jewels[a].mask[i] || jewels[b].mask[i];
        }
        EXPECT_GT(float(differ) / float(either), 0.12f) << "silhouettes " << a + 1 << " and " << b + 1;
        const float dr = jewels[a].r - jewels[b].r, dg = jewels[a].g - jewels[b].g, db = jewels[a].b - jewels[b].b;
        EXPECT_GT(std::sqrt(dr * dr + dg * dg + db * db), 40.0f) << "colours " << a + 1 << " and " << b + 1;
      }
  }
}

TEST(AssetGen, FontFilesDescribeGlyphsInsideTheirTextures) {
  for (const FontFile& font : FontFiles()) {
    SCOPED_TRACE(font.xmlPath);
    const auto root = ParseXml(Data(font.xmlPath));
    ASSERT_TRUE(root);
    ASSERT_EQ(root->name, "font");
    ASSERT_TRUE(root->Child("texture"));
    EXPECT_EQ(root->Child("texture")->text, font.texturePath);
    const Png tex = LoadPng(Data(font.texturePath));
    ASSERT_GT(tex.w, 0);
    EXPECT_LE(tex.h, tex.w);
    std::set<int> ids;
    float height = -1;
    for (const auto& c : root->children) {
      if (c->name != "character") continue;
      const int id = std::stoi(c->Child("id")->text);
      const int x = std::stoi(c->Child("x")->text), y = std::stoi(c->Child("y")->text);
      const int w = std::stoi(c->Child("width")->text), h = std::stoi(c->Child("height")->text);
      EXPECT_TRUE(ids.insert(id).second) << "id " << id << " twice";
      const int unicode = id == kMarkerCode             ? kMarkerUnicode
                          : id >= 32 && id != 127 ? CharToUnicode(font.codePage, id)
                                                  : -1;
      ASSERT_GE(unicode, 32) << "id " << id;
      EXPECT_TRUE(x >= 0 && y >= 0 && w > 0 && x + w <= tex.w && y + h <= tex.h) << "id " << id;
      if (height < 0) height = float(h);
      EXPECT_EQ(float(h), height) << "line height would depend on the last character";
      // Letters must have ink inside their own rectangle.
      if (unicode != 32 && unicode != 160 && unicode != 0x3000 && (unicode > 127 || std::isalnum(unicode))) {
        int ink = 0;
        for (int yy = y; yy < y + h; ++yy)
          for (int xx = x; xx < x + w; ++xx) ink += tex.Alpha(xx, yy) > 128;
        EXPECT_GT(ink, 0) << "id " << id << " is blank";
      }
    }
    EXPECT_TRUE(ids.count('A') && ids.count('z') && ids.count(' ') && ids.count(kMarkerCode));
    if (IsDoubleByte(font.codePage)) {
      // Exactly the characters the language files and the game's punctuation need.
      std::set<int> wanted = FontCharacters(font.codePage, Data("/language"));
      wanted.insert(kMarkerCode);
      EXPECT_EQ(ids, wanted);
      continue;
    }
    // A letter of the code page's own script: Cyrillic A, Polish L-stroke, e-acute.
    const int own = font.codePage == 1251 ? 0xC0 : font.codePage == 1250 ? 0xA3 : 0xE9;
    EXPECT_TRUE(ids.count(own)) << "byte " << own;
  }
}

TEST(AssetGen, DoubleByteFontsHoldWhatTheLanguageFilesUse) {
  const fs::path scratch = Scratch("assetgen-cjk-test");
  fs::remove_all(scratch / "language");
  fs::create_directories(scratch / "language");
  // The first run of digits in the name is the code page; other pages' files are not read.
  std::ofstream(scratch / "language" / "Japan932.xml") << "<hierarchy><a>\xe7\x8c\xab &#x72AC;</a>"
                                                          "<b>\xf0\x9f\x98\x80</b></hierarchy>";
  std::ofstream(scratch / "language" / "Chinese936.xml") << "<hierarchy><a>\xe9\xbe\x99</a></hierarchy>";
  std::set<int> unmapped;
  const std::set<int> codes = FontCharacters(932, (scratch / "language").string(), &unmapped);
  EXPECT_TRUE(codes.count(UnicodeToChar(932, 0x732B)));  // cat
  EXPECT_TRUE(codes.count(UnicodeToChar(932, 0x72AC)));  // dog, as a character reference
  EXPECT_FALSE(codes.count(UnicodeToChar(932, 0x9F99))); // dragon, only in the Chinese file
  EXPECT_TRUE(codes.count(UnicodeToChar(932, 0x3002)) && codes.count('%') && codes.count('~'));
  EXPECT_EQ(unmapped, std::set<int>{0x1F600});
  EXPECT_EQ(UnicodeToChar(932, 0x732B), 0x944C);
  EXPECT_EQ(CharToUnicode(932, 0x944C), 0x732B);
  EXPECT_EQ(CharToUnicode(932, 0x81), -1);  // a lone lead byte
  fs::remove_all(scratch);
}

TEST(AssetGen, SoundsAreCleanPcmThatNeverClips) {
  std::vector<std::string> wavs;
  for (const auto& e : fs::recursive_directory_iterator(Data("/sound")))
    if (e.path().extension() == ".wav") wavs.push_back(e.path().string());
  ASSERT_GE(wavs.size(), 10u + 17u);
  for (const std::string& path : wavs) {
    SCOPED_TRACE(path);
    const auto b = ReadFile(path);
    ASSERT_GT(b.size(), 44u);
    auto u16 = [&](size_t at) { return unsigned(b[at] | b[at + 1] << 8); };
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(u16(20), 1u);  // PCM
    EXPECT_EQ(u16(22), 1u);  // mono
    EXPECT_EQ(u16(24) | u16(26) << 16, 44100u);
    EXPECT_EQ(u16(34), 16u);
    const size_t n = (b.size() - 44) / 2;
    auto sample = [&](size_t i) { return int(int16_t(u16(44 + 2 * i))); };
    EXPECT_LT(std::abs(sample(0)), 300) << "click at the start";
    EXPECT_LT(std::abs(sample(n - 1)), 300) << "click at the end";
    int peak = 0;
    for (size_t i = 0; i < n; ++i) peak = std::max(peak, std::abs(sample(i)));
    EXPECT_LT(peak, 32000) << "clips";
    EXPECT_GT(peak, 3000) << "nearly silent";
    EXPECT_LT(float(n) / 44100.0f, 3.0f) << "too long for an effect";
  }
}

TEST(AssetGen, SoundDescriptionsNameExistingFiles) {
  const auto preload = ParseXml(Data("/sound/preload.xml"));
  ASSERT_TRUE(preload);
  ASSERT_EQ(preload->name, "preload");
  std::vector<const Element*> sources;
  Collect(*preload, "source", sources);
  std::vector<std::unique_ptr<Element>> lists;  // keeps the collected elements alive
  for (const auto& g : SoundGroups()) {
    SCOPED_TRACE(g.playlist);
    lists.push_back(ParseXml(Data(g.playlist)));
    const auto& list = lists.back();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->name, "playlist");
    ASSERT_TRUE(list->Child("playonce"));
    EXPECT_EQ(list->Child("playonce")->text, "true");
    Collect(*list, "source", sources);
  }
  for (const char* music : {"/sound/menumusic.xml", "/sound/gamemusic.xml"}) {
    lists.push_back(ParseXml(Data(music)));
    const auto& list = lists.back();
    ASSERT_TRUE(list);
    std::vector<const Element*> tracks;
    Collect(*list, "source", tracks);
    EXPECT_GE(tracks.size(), 2u) << music;
    sources.insert(sources.end(), tracks.begin(), tracks.end());
  }
  for (const Element* s : sources) EXPECT_TRUE(fs::exists(Data(s->text))) << s->text;
}

TEST(AssetGen, EffectFilesAreLightOneShotBursts) {
  std::vector<std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(Data("/object")))
    // Panels and buttons are pictures, not bursts.
    if (e.path().extension() == ".xml" && e.path().filename() != "styles.xml" &&
        e.path().parent_path().filename() != "panel")
      files.push_back(e.path().string());
  ASSERT_GE(files.size(), 12u + 6u + 8u + 2u);
  for (const std::string& path : files) {
    SCOPED_TRACE(path);
    const auto root = ParseXml(path);
    ASSERT_TRUE(root);
    ASSERT_EQ(root->name, "node");
    std::vector<const Element*> textures, prototypes, flags;
    Collect(*root, "texture", textures);
    Collect(*root, "prototype", prototypes);
    for (const char* f : {"enabled", "isplaying", "islooped", "isforward", "rotatetodirection"}) Collect(*root, f, flags);
    for (const Element* t : textures) EXPECT_TRUE(fs::exists(Data(t->text))) << t->text;
    // Node files read booleans as integers, so the words true/false would be 0.
    for (const Element* f : flags) EXPECT_TRUE(f->text == "0" || f->text == "1") << f->name << "=" << f->text;
    if (path.find("/bg/") != std::string::npos) continue;  // the backdrop emits for as long as it is shown
    int particles = 0;
    for (const Element* p : prototypes) {
      particles += std::stoi(p->Child("count")->text);
      EXPECT_GE(std::stoll(p->Child("spawnrate")->text), 1000000000LL) << "emitter would fire again";
    }
    EXPECT_GT(particles, 0);
    EXPECT_LT(particles, 100);
  }
  const auto styles = ParseXml(Data("/object/styles.xml"));
  ASSERT_TRUE(styles);
  ASSERT_EQ(styles->name, "styles");
  std::set<std::string> listed;
  for (const auto& s : styles->children) {
    listed.insert(s->text);
    EXPECT_TRUE(fs::exists(Data("/object/fragment/" + s->text + ".xml"))) << s->text;
  }
  for (const std::string& name : FragmentStyleNames()) EXPECT_TRUE(listed.count(name)) << name;
}

TEST(AssetGen, MapTilesCoverTheChartAtTheirCentres) {
  for (int row = 1; row <= 3; ++row)
    for (int col = 1; col <= 4; ++col) {
      const std::string path = "/texture/map/map" + std::to_string(row) + "-" + std::to_string(col) + ".dds";
      SCOPED_TRACE(path);
      int w = 0, h = 0;
      std::vector<uint8_t> rgba;
      ASSERT_TRUE(DecodeDxt1Dds(ReadFile(Data(path)), w, h, rgba));
      // Columns 1-3 and rows 1-2 are 512 wide and high; the last column and
      // row only fill the rest of the 1600 x 1200 chart.
      EXPECT_EQ(w, col < 4 ? 512 : 64);
      EXPECT_EQ(h, row < 3 ? 512 : 256);
      std::set<uint32_t> colours;
      for (size_t i = 0; i < rgba.size(); i += 4 * 97) colours.insert(uint32_t(rgba[i] << 16 | rgba[i + 1] << 8 | rgba[i + 2]));
      EXPECT_GT(colours.size(), 20u) << "tile looks blank";
    }
}

TEST(AssetGen, DxtEncodingKeepsColoursClose) {
  // A ramp along one direction and a hard two-colour edge: both lie on one
  // line in colour space, which a block encoder must reproduce closely.
  Image img(8, 8);
  auto expected = [](int x, int y) {
    if (y >= 4) return Rgba{x < 2 ? 0.9f : 0.1f, x < 2 ? 0.2f : 0.6f, 0.3f, 1};
    return Rgba{float(x) / 7, 0.3f + float(x) / 14, 0.5f, 1};
  };
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) img.At(x, y) = expected(x, y);
  int w = 0, h = 0;
  std::vector<uint8_t> rgba;
  ASSERT_TRUE(DecodeDxt1Dds(EncodeDxt1Dds(img), w, h, rgba));
  ASSERT_EQ(w, 8);
  ASSERT_EQ(h, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const uint8_t* p = &rgba[(size_t(y) * 8 + size_t(x)) * 4];
      const Rgba e = expected(x, y);
      EXPECT_NEAR(p[0], e.r * 255, 14) << x << "," << y;
      EXPECT_NEAR(p[1], e.g * 255, 14) << x << "," << y;
      EXPECT_NEAR(p[2], e.b * 255, 14) << x << "," << y;
    }
}

TEST(AssetGen, CodePagesMapToTheirLetters) {
  const auto western = CodePageToUnicode(1252);
  const auto central = CodePageToUnicode(1250);
  const auto cyrillic = CodePageToUnicode(1251);
  EXPECT_EQ(western[0x41], 0x41);
  EXPECT_EQ(western[0x80], 0x20AC);  // euro sign
  EXPECT_EQ(western[0xE9], 0xE9);    // e acute
  EXPECT_EQ(western[0x81], -1);      // no character: no glyph
  EXPECT_EQ(western[0x0A], -1);      // control bytes never get glyphs
  EXPECT_EQ(central[0xA3], 0x141);   // L with stroke
  EXPECT_EQ(central[0x8A], 0x160);   // S caron
  EXPECT_EQ(cyrillic[0xC0], 0x410);  // Cyrillic A
  EXPECT_EQ(cyrillic[0xFF], 0x44F);  // Cyrillic ya
}

TEST(AssetGen, MusicLoopsWithoutASeam) {
  std::vector<float> left, right;
  RenderMusicTrack(0, left, right);
  ASSERT_GT(left.size(), size_t(kSampleRate) * 60);
  ASSERT_EQ(left.size(), right.size());
  for (const std::vector<float>* ch : {&left, &right}) {
    const std::vector<float>& x = *ch;
    double step = 0;
    for (size_t i = 1; i < x.size(); ++i) step += std::fabs(x[i] - x[i - 1]);
    step /= double(x.size() - 1);
    // Jumping from the last sample back to the first is no bigger a step
    // than the music takes anywhere else.
    EXPECT_LT(std::fabs(x.back() - x.front()), 6 * step);
    // The loop point is not a gap of silence either: the last chord still
    // sounds when the first one comes in.
    auto rms = [&](size_t from, size_t n) {
      double sum = 0;
      for (size_t i = from; i < from + n; ++i) sum += double(x[i]) * x[i];
      return std::sqrt(sum / double(n));
    };
    const size_t tenth = size_t(kSampleRate) / 10;
    EXPECT_GT(rms(x.size() - tenth, tenth), 0.01);
    EXPECT_GT(rms(0, tenth), 0.01);
    float peak = 0;
    for (float v : x) peak = std::max(peak, std::fabs(v));
    EXPECT_LT(peak, 1.0f) << "clips";
  }
}

TEST(AssetGen, MusicFilesDecodeAsStereoTracksOfOneToTwoMinutes) {
  for (const std::string& track : MusicTrackPaths()) {
    SCOPED_TRACE(track);
    OggVorbis_File vf;
    ASSERT_EQ(ov_fopen(Data(track).c_str(), &vf), 0);
    const vorbis_info* info = ov_info(&vf, -1);
    EXPECT_EQ(info->channels, 2);
    EXPECT_EQ(info->rate, 44100);
    const double seconds = ov_time_total(&vf, -1);
    EXPECT_GT(seconds, 55);
    EXPECT_LT(seconds, 125);
    ov_clear(&vf);
  }
}

TEST(AssetGen, WavEncoderWritesWhatItWasGiven) {
  Buffer b = {0, 0.5f, -0.5f, 1.5f, -1.5f};
  const auto bytes = EncodeWav(b);
  ASSERT_EQ(bytes.size(), 44u + 10u);
  auto sample = [&](size_t i) { return int(int16_t(bytes[44 + 2 * i] | bytes[45 + 2 * i] << 8)); };
  EXPECT_EQ(sample(0), 0);
  EXPECT_EQ(sample(1), 16384);
  EXPECT_EQ(sample(2), -16384);
  EXPECT_EQ(sample(3), 32767) << "values beyond full scale are held, not wrapped";
  EXPECT_EQ(sample(4), -32767);
  // Finishing fades both ends to silence whatever the sound does there.
  Buffer tone = Tone(440, 0.2f, 0.0001f, 10, {{1, 1}});
  for (float& v : tone) v += 0.3f;
  Finish(tone, 0.8f);
  EXPECT_FLOAT_EQ(tone.front(), 0);
  EXPECT_FLOAT_EQ(tone.back(), 0);
}

TEST(AssetGen, IconIsCommittedAtEverySizeAsARoundedTile) {
  const fs::path scratch = Scratch("assetgen-icon-test");
  fs::remove_all(scratch);
  Output out(scratch.string());
  GenerateIcons(out);
  ASSERT_EQ(out.Failures(), 0);
  ASSERT_EQ(out.Written().size(), IconSizes().size());
  for (int size : IconSizes()) {
    SCOPED_TRACE(size);
    const std::string committed = std::string(ASSETGEN_ICON_DIR) + IconPath(size);
    EXPECT_TRUE(ReadFile(out.FullPath(IconPath(size))) == ReadFile(committed))
        << "differs from the committed icon; rerun assetgen --icons";
    const Png png = LoadPng(committed);
    ASSERT_EQ(png.w, size);
    ASSERT_EQ(png.h, size);
    // The tile's rounded corners leave the picture's corners clear; its middle is solid.
    for (int x : {0, size - 1})
      for (int y : {0, size - 1}) EXPECT_LT(png.Alpha(x, y), 16) << "corner " << x << "," << y;
    EXPECT_EQ(png.Alpha(size / 2, size / 2), 255);
  }
  fs::remove_all(scratch);
}
