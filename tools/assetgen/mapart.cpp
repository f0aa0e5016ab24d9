// The sea chart's frame with its button bar, and the small pictures of the
// quest levels that the arcade selection shows, drawn from the level files
// themselves so that a picture always matches its board.
#include <expat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "art.h"
#include "registry.h"

namespace assetgen {
namespace {

// ---------------------------------------------------------------- chart frame

constexpr int kViewW = 800, kViewH = 600;
constexpr float kRim = 5;
constexpr float kBarHeight = 46;

Image MapFrame() {
  Image img(kViewW, kViewH);
  const Vec2 c{kViewW / 2.0f, kViewH / 2.0f};
  const float barTop = kViewH - kBarHeight - kRim;
  auto view = [&](Vec2 p) { return SdBox(p, {c.x, (kRim + barTop - 3) / 2}, {c.x - kRim, (barTop - 3 - kRim) / 2}, 12); };
  auto bar = [&](Vec2 p) { return SdBox(p, {c.x, (barTop + kViewH - kRim) / 2}, {c.x - kRim, (kViewH - kRim - barTop) / 2}, 8); };
  auto outer = [&](Vec2 p) { return SdBox(p, c, {c.x + 2, c.y + 2}, 0); };
  auto rim = [&](Vec2 p) { return std::max(outer(p), -std::min(view(p), bar(p))); };
  // The chart sinks below the rim: a soft shade along its edge.
  DrawShadow(img, rim, 0, 0, 6, 0.55f);
  BevelStyle st;
  st.bevel = 3;
  st.radius = 60;
  DrawBevelled(img, rim, MetalPaint(GoldAt, 0, float(kViewH)), st);
  // The bar: the deep harbour blue of the dialogs with fine waves.
  FillShape(img, bar, [&](Vec2 p) { return Mix(Hex(0x23405a), Hex(0x0e1c2c), Clamp01((p.y - barTop) / kBarHeight)); });
  for (int i = 0; i < 2; ++i) {
    const float y = kViewH - kRim - 10.0f - float(i) * 8;
    FillShape(img,
              [&, y, i](Vec2 p) {
                const float wave = y + 2.0f * std::sin(p.x * 0.06f + float(i));
                return std::max(bar(p), std::abs(p.y - wave) - 0.7f);
              },
              [](Vec2) { return Hex(0x6fa8c8, 0.12f); });
  }
  return img;
}

// ---------------------------------------------------------------- level pictures

constexpr int kColumns = 18, kRows = 15;
constexpr int kCell = 7;
constexpr int kIconW = kColumns * kCell + 2, kIconH = kRows * kCell + 3;

struct Alias {
  std::string type = "jewel";
  int colour = 0;  // 0: random
};

struct LevelFile {
  std::map<char, Alias> aliases;
  std::string colours;
  std::string playfield, fill;
};

// Collects what the picture needs from a level file (the game's own reader
// is not available to the tools).
struct LevelReader {
  LevelFile level;
  std::vector<std::string> path;
  std::string text;
  Alias alias;
  char aliasChar = '.';

  static void Start(void* user, const XML_Char* name, const XML_Char**) {
    auto* r = static_cast<LevelReader*>(user);
    r->path.push_back(name);
    r->text.clear();
    if (r->path.size() == 2 && r->path[1] == "alias") {
      r->alias = Alias();
      r->aliasChar = '.';
    }
  }
  static void End(void* user, const XML_Char*) {
    auto* r = static_cast<LevelReader*>(user);
    const std::string name = r->path.back();
    if (r->path.size() == 2) {
      if (name == "colors") r->level.colours = r->text;
      if (name == "playfield") r->level.playfield = r->text;
      if (name == "fill") r->level.fill = r->text;
      if (name == "alias" && r->aliasChar != '.') r->level.aliases[r->aliasChar] = r->alias;
    } else if (r->path.size() == 3 && r->path[1] == "alias") {
      if (name == "char" && !r->text.empty()) r->aliasChar = r->text[0];
      if (name == "type") r->alias.type = r->text;
      if (name == "color")
        r->alias.colour = r->text == "random" || r->text.empty() || r->text[0] < '1' || r->text[0] > '8'
                              ? 0
                              : r->text[0] - '0';
    }
    r->path.pop_back();
    r->text.clear();
  }
  static void Text(void* user, const XML_Char* s, int len) {
    static_cast<LevelReader*>(user)->text.append(s, size_t(len));
  }
};

// Feeds a whole file to a reader with Start, End and Text callbacks.
template <typename Reader>
bool ParseFile(const std::string& file, Reader& reader) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  const std::string data = bytes.str();
  XML_Parser parser = XML_ParserCreate("UTF-8");
  XML_SetUserData(parser, &reader);
  XML_SetElementHandler(parser, Reader::Start, Reader::End);
  XML_SetCharacterDataHandler(parser, Reader::Text);
  const bool ok = !data.empty() && XML_Parse(parser, data.data(), int(data.size()), 1) == XML_STATUS_OK;
  XML_ParserFree(parser);
  return ok;
}

bool ReadLevel(const std::string& file, LevelFile& level) {
  LevelReader reader;
  const bool ok = ParseFile(file, reader);
  level = reader.level;
  return ok;
}

// The board walk of the level files: the first line break only resets the
// column, later ones start the next row; other control characters are skipped.
template <typename Fn>
void WalkBoard(const std::string& text, Fn fn) {
  int row = 0, column = 0;
  bool first = true;
  for (char ch : text) {
    if (ch == '\n') {
      if (!first) ++row;
      first = false;
      column = 0;
    } else if (static_cast<unsigned char>(ch) >= 32) {
      if (row < kRows && column < kColumns) fn(column, row, ch);
      ++column;
    }
  }
}

Image LevelIcon(const LevelFile& level) {
  Image img(kIconW, kIconH);
  PaintAll(img, [](Vec2 p) { return Mix(Hex(0x1d4a6e), Hex(0x0f2840), Clamp01(p.y / kIconH)); });
  int kinds[kRows][kColumns] = {};
  WalkBoard(level.fill, [&](int c, int r, char ch) { kinds[r][c] = ch == '0' ? 1 : ch == '1' ? 2 : ch == '2' ? 3 : 0; });
  auto centre = [](int c, int r) { return Vec2{1.0f + kCell * (c + 0.5f), 1.5f + kCell * (r + 0.5f)}; };
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kColumns; ++c) {
      if (!kinds[r][c]) continue;
      static const uint32_t tiles[4] = {0, 0x5d86a8, 0xa87a44, 0x9aa6b2};
      Rgba tile = Hex(tiles[kinds[r][c]]);
      if (kinds[r][c] == 1 && (r + c) % 2) tile = Scaled(tile, 0.86f);
      const Vec2 p = centre(c, r);
      FillSolid(img, [&](Vec2 q) { return SdBox(q, p, {kCell / 2.0f, kCell / 2.0f}); }, tile);
    }
  const std::string colours = level.colours.empty() ? std::string("1234567") : level.colours;
  WalkBoard(level.playfield, [&](int c, int r, char ch) {
    const auto found = level.aliases.find(ch);
    if (found == level.aliases.end() || !kinds[r][c]) return;
    const Alias& alias = found->second;
    // Random jewels take a colour of the level's list, fixed by their place.
    const int colour = alias.colour ? alias.colour : colours[size_t(c * 37 + r * 91 + c * r * 13) % colours.size()] - '0';
    const Vec2 p = centre(c, r);
    const Rgba jewel = JewelColour(std::clamp(colour, 1, 8));
    const float h = kCell / 2.0f;
    if (alias.type == "block") {
      FillSolid(img, [&](Vec2 q) { return SdBox(q, p, {h - 0.5f, h - 0.5f}, 1); }, Scaled(jewel, 0.7f));
    } else if (alias.type == "fixedblock") {
      FillSolid(img, [&](Vec2 q) { return SdBox(q, p, {h - 0.5f, h - 0.5f}, 1); }, Hex(0x4a4640));
    } else if (alias.type == "key" || alias.type == "lock") {
      FillSolid(img, [&](Vec2 q) { return std::abs(Length(q - p) - 2.2f) - 0.8f; }, Hex(0xf0c040));
      FillSolid(img, [&](Vec2 q) { return Length(q - p) - 1.2f; }, jewel);
    } else if (alias.type == "artifact") {
      FillSolid(img, [&](Vec2 q) { return Length(q - p) - 3.2f; }, Hex(0xffe070));
    } else if (alias.type == "jewel") {
      FillSolid(img, [&](Vec2 q) { return Length(q - p) - 2.6f; }, jewel);
    } else {
      // Bombs, dynamite, cannons and rainbows: a bright spark.
      FillSolid(img, [&](Vec2 q) { return Length(q - p) - 3.0f; }, Hex(0xfff4d8));
    }
  });
  return img;
}

}  // namespace

void GenerateMapFrame(Output& out) {
  out.WritePng("/texture/map/frame.png", MapFrame());
  out.WriteText("/object/panel/mapframe.xml",
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<node>\n  <texture>/texture/map/frame.png</texture>\n"
                "  <mesh><width>800</width><height>600</height></mesh>\n</node>\n");
}

namespace {

struct Place {
  std::string source;
  float x = 0, y = 0;
  std::vector<std::string> parents;
};

// The <level> entries of a map file: source and place.
struct MapReader {
  std::vector<Place> places;
  std::vector<std::string> path;
  std::string text;

  static void Start(void* user, const XML_Char* name, const XML_Char**) {
    auto* r = static_cast<MapReader*>(user);
    r->path.push_back(name);
    r->text.clear();
    if (r->path.size() == 2 && r->path[1] == "level") r->places.emplace_back();
  }
  static void End(void* user, const XML_Char*) {
    auto* r = static_cast<MapReader*>(user);
    if (r->path.size() == 3 && r->path[1] == "level" && !r->places.empty()) {
      Place& p = r->places.back();
      if (r->path[2] == "source") p.source = r->text;
      if (r->path[2] == "x") p.x = std::strtof(r->text.c_str(), nullptr);
      if (r->path[2] == "y") p.y = std::strtof(r->text.c_str(), nullptr);
      if (r->path[2] == "parent") p.parents.push_back(r->text);
    }
    r->path.pop_back();
    r->text.clear();
  }
  static void Text(void* user, const XML_Char* s, int len) { static_cast<MapReader*>(user)->text.append(s, size_t(len)); }
};

// Distance from (x, y) to the nearest land, searched in rings out to `limit`;
// `shore` receives the land point found.
float DistanceToLand(float x, float y, float limit, Vec2* shore = nullptr) {
  if (ChartLandHeight(x, y) >= ChartShoreHeight) return 0;
  for (float r = 2; r <= limit; r += 2)
    for (int a = 0; a < 48; ++a) {
      const float t = float(a) * 6.2831853f / 48;
      const Vec2 p{x + r * std::cos(t), y + r * std::sin(t)};
      if (ChartLandHeight(p.x, p.y) >= ChartShoreHeight) {
        if (shore) *shore = p;
        return r;
      }
    }
  return limit + 1;
}

}  // namespace

bool CheckChartPlaces(const std::string& mapXml, const std::string& sheetPng) {
  MapReader reader;
  if (!ParseFile(mapXml, reader)) {
    std::fprintf(stderr, "assetgen: cannot read %s\n", mapXml.c_str());
    return false;
  }
  // A big sphere is about 36 units across: it belongs to the land when the
  // shore lies under it.
  constexpr float kReach = 16;
  int atSea = 0;
  std::vector<bool> sea;
  for (const Place& p : reader.places) {
    Vec2 shore{p.x, p.y};
    const float d = DistanceToLand(p.x, p.y, 200, &shore);
    const char* where = d == 0 ? "land" : d <= kReach ? "coast" : "SEA";
    sea.push_back(d > kReach);
    if (sea.back()) ++atSea;
    std::printf("%-40s %6.0f %6.0f  %-5s %4.0f", p.source.c_str(), p.x, p.y, where, d);
    if (d > kReach && d <= 200) std::printf("  (shore at %.0f, %.0f)", shore.x, shore.y);
    std::printf("\n");
  }
  std::printf("%zu levels, %d out at sea\n", reader.places.size(), atSea);
  if (!sheetPng.empty()) {
    Image chart = SeaChartImage();
    // The trails as dotted lines, then the spheres.
    for (const Place& p : reader.places)
      for (const std::string& parent : p.parents)
        for (const Place& q : reader.places)
          if (q.source == parent) {
            const Vec2 a{q.x + 400, q.y + 980}, b{p.x + 400, p.y + 980};
            FillSolid(chart, [&](Vec2 o) {
              const Vec2 ab = b - a;
              const float t = std::clamp(((o.x - a.x) * ab.x + (o.y - a.y) * ab.y) / (ab.x * ab.x + ab.y * ab.y), 0.0f, 1.0f);
              return Length(o - (a + ab * t)) - 1.5f;
            }, Hex(0xfff4c0, 0.8f));
          }
    for (size_t i = 0; i < reader.places.size(); ++i) {
      const Vec2 c{reader.places[i].x + 400, reader.places[i].y + 980};
      FillSolid(chart, [&](Vec2 q) { return std::abs(Length(q - c) - 16) - 1.5f; }, sea[i] ? Hex(0xff2020) : Hex(0x202020));
    }
    // The four pages of the view.
    for (int page = 0; page < 4; ++page) {
      const Vec2 centre{float(page % 2) * 800 + 400, float(page / 2) * -600 + 980};
      FillSolid(chart, [&](Vec2 q) { return std::abs(SdBox(q, centre, {400, 300})) - 1; }, Hex(0xffffff, 0.6f));
    }
    if (!SavePng(chart, sheetPng)) return false;
  }
  return atSea == 0;
}

void GenerateLevelIcons(Output& out) {
  const std::filesystem::path dir = std::filesystem::path(out.Source()) / "level" / "original";
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
    if (entry.path().extension() == ".xml") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    LevelFile level;
    if (!ReadLevel(file.string(), level)) {
      std::fprintf(stderr, "assetgen: cannot read %s\n", file.string().c_str());
      continue;
    }
    out.WriteJpg("/texture/level/icon/original/" + file.stem().string() + ".jpg", LevelIcon(level));
  }
}

}  // namespace assetgen
