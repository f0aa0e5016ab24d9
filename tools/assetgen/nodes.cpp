// Node description files: the board's bursts, the fragment styles, the GUI
// effects and the animated backdrop.
//
// Particles animate through their sprite strips (frame animation runs on the
// particle's own clock from the moment it is spawned) rather than through
// keyframes, whose times are absolute on the node's timer. Each burst emitter
// spawns once when the effect is fired; its spawn interval is long enough
// never to come round again on its own.
#include <cstdio>
#include <sstream>
#include <string>

#include "nodes.h"
#include "registry.h"

namespace assetgen {
namespace {

constexpr int kOnce = 1000000000;  // spawn interval of a one-shot burst, ms

std::string Num(float v) {
  std::ostringstream s;
  s << v;
  return s.str();
}

std::string Hex32(uint32_t argb) {
  std::ostringstream s;
  s << "0x" << std::uppercase << std::hex << argb;
  return s.str();
}

struct Strip {
  std::string texture;
  int size;    // frame width and height
  int frames;
};
const Strip kSparkle{"/texture/effect/sparkle-strip.png", 32, 8};
const Strip kGlow{"/texture/effect/glow-strip.png", 32, 8};
const Strip kSmoke{"/texture/effect/smoke-strip.png", 32, 8};
const Strip kSplinter{"/texture/effect/splinter-strip.png", 16, 8};
const Strip kSpark{"/texture/effect/spark-strip.png", 16, 8};
const Strip kChip{"/texture/effect/chip-strip.png", 16, 8};
const Strip kRing{"/texture/effect/ring-strip.png", 64, 8};
const Strip kFlash{"/texture/effect/flash-strip.png", 64, 8};
const Strip kRainbow{"/texture/effect/rainbow-strip.png", 32, 8};
const Strip kGlint{"/texture/bg/glint-strip.png", 16, 8};

struct Burst {
  Strip strip;
  int count = 1;
  int fps = 14;
  bool optional = false;
  float speed = 0;        // base speed; random directions when spread > 0
  int spread = 0;         // extra random speed
  float gravity = 0;      // downward acceleration
  float scale = 1;
  uint32_t colour = 0xFFFFFFFF;
  bool turn = false;      // face the direction of motion
  int spawnRate = kOnce;
  bool looped = false;
  int lifetime = 0;       // 0: exactly the strip's length
  float x = 0, y = 0;
};

std::string Emitter(const Burst& b, const std::string& indent) {
  const int life = b.lifetime > 0 ? b.lifetime : b.strip.frames * 1000 / b.fps - 10;
  std::ostringstream x;
  x << indent << "<node>\n";
  const std::string in = indent + "  ";
  if (b.x != 0 || b.y != 0)
    x << in << "<position><x>" << Num(b.x) << "</x><y>" << Num(b.y) << "</y></position>\n";
  x << in << "<texture>" << b.strip.texture << "</texture>\n";
  x << in << "<mesh><width>" << b.strip.size << "</width><height>" << b.strip.size << "</height><color>"
    << Hex32(b.colour) << "</color></mesh>\n";
  x << in << "<animation><enabled>1</enabled><framebegin>0</framebegin><frameend>" << b.strip.frames - 1
    << "</frameend><currentframe>0</currentframe><fps>" << b.fps << "</fps><isplaying>1</isplaying><islooped>"
    << (b.looped ? 1 : 0) << "</islooped><isforward>1</isforward></animation>\n";
  if (b.scale != 1) x << in << "<scale><x>" << Num(b.scale) << "</x><y>" << Num(b.scale) << "</y></scale>\n";
  x << in << "<lifetime>" << life << "</lifetime>\n";
  if (b.speed != 0) x << in << "<velocity><x>" << Num(b.speed) << "</x><y>0</y></velocity>\n";
  if (b.gravity != 0) x << in << "<acceleration><x>0</x><y>" << Num(b.gravity) << "</y></acceleration>\n";
  if (b.turn) x << in << "<rotatetodirection>1</rotatetodirection>\n";
  x << in << "<prototype><count>" << b.count << "</count>" << (b.optional ? "<optional/>" : "")
    << "<spawnrate>" << b.spawnRate << "</spawnrate>";
  if (b.spread > 0) x << "<randomvelocity>" << b.spread << "</randomvelocity>";
  x << "</prototype>\n";
  x << indent << "</node>\n";
  return x.str();
}

std::string Effect(const std::vector<Burst>& bursts) {
  std::ostringstream x;
  x << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<node>\n";
  for (const Burst& b : bursts) x << Emitter(b, "  ");
  x << "</node>\n";
  return x.str();
}

Burst Make(Strip s, int count, bool optional) {
  Burst b;
  b.strip = s;
  b.count = count;
  b.optional = optional;
  return b;
}
Burst& Moving(Burst& b, float speed, int spread, float gravity) {
  b.speed = speed;
  b.spread = spread;
  b.gravity = gravity;
  return b;
}

const uint32_t kJewelArgb[8] = {0xFFFF6070, 0xFF70F090, 0xFF80A8FF, 0xFFFFE070,
                                0xFFD090FF, 0xFFFFB060, 0xFFFFFFFF, 0xFF80F4FF};

std::vector<Burst> Shards(const std::string& shardTexture, uint32_t glowArgb) {
  Burst shards = Make({shardTexture, 16, 8}, 8, false);
  Moving(shards, 70, 130, 520);
  shards.turn = true;
  shards.fps = 13;
  Burst sparkles = Make(kSparkle, 4, true);
  Moving(sparkles, 20, 60, 0);
  sparkles.colour = glowArgb;
  sparkles.scale = 0.7f;
  sparkles.fps = 16;
  Burst glow = Make(kGlow, 1, true);
  glow.colour = glowArgb;
  glow.scale = 1.6f;
  glow.fps = 18;
  return {glow, shards, sparkles};
}

}  // namespace

const std::vector<std::string>& FragmentStyleNames() {
  static const std::vector<std::string> names = {"stone", "coral", "ironblock", "crate", "compass", "amulet", "shell"};
  return names;
}

void GenerateNodes(Output& out) {
  // Jewel fragments, one style per colour.
  for (int k = 1; k <= 8; ++k) {
    char name[64];
    std::snprintf(name, sizeof name, "/object/fragment/piece%02d.xml", k);
    const std::string shard = "/texture/effect/shard" + std::to_string(k) + "-strip.png";
    out.WriteText(name, Effect(Shards(shard, kJewelArgb[k - 1])));
  }

  // Worn cells.
  {
    Burst splinters = Make(kSplinter, 10, false);
    Moving(splinters, 60, 120, 600);
    splinters.turn = true;
    splinters.fps = 12;
    Burst dust = Make(kSmoke, 3, true);
    Moving(dust, 10, 25, -20);
    dust.colour = 0xFFE8C8A0;
    dust.fps = 11;
    out.WriteText("/object/fragment/tilewood.xml", Effect({dust, splinters}));
    Burst sparks = Make(kSpark, 12, false);
    Moving(sparks, 90, 160, 400);
    sparks.turn = true;
    sparks.fps = 16;
    Burst chips = Make(kChip, 5, false);
    Moving(chips, 50, 90, 550);
    Burst flash = Make(kGlow, 1, true);
    flash.colour = 0xFFFFD8A0;
    flash.scale = 1.5f;
    flash.fps = 20;
    out.WriteText("/object/fragment/tileiron.xml", Effect({flash, chips, sparks}));
  }

  // Fragment styles for level pieces.
  {
    Burst stoneChips = Make(kChip, 9, false);
    Moving(stoneChips, 50, 110, 560);
    Burst dust = Make(kSmoke, 3, true);
    Moving(dust, 10, 30, -15);
    dust.fps = 11;
    out.WriteText("/object/fragment/stone.xml", Effect({dust, stoneChips}));
    Burst coral = stoneChips;
    coral.colour = 0xFFFFB8A0;
    Burst coralDust = dust;
    coralDust.colour = 0xFFFFD8C8;
    out.WriteText("/object/fragment/coral.xml", Effect({coralDust, coral}));
    Burst sparks = Make(kSpark, 14, false);
    Moving(sparks, 90, 170, 420);
    sparks.turn = true;
    sparks.fps = 16;
    Burst ironChips = Make(kChip, 6, false);
    Moving(ironChips, 50, 100, 560);
    ironChips.colour = 0xFF9098A8;
    out.WriteText("/object/fragment/ironblock.xml", Effect({ironChips, sparks}));
    Burst splinters = Make(kSplinter, 12, false);
    Moving(splinters, 60, 130, 600);
    splinters.turn = true;
    splinters.fps = 12;
    out.WriteText("/object/fragment/crate.xml", Effect({dust, splinters}));
    Burst gold = Make(kSparkle, 14, false);
    Moving(gold, 30, 110, 60);
    gold.colour = 0xFFFFE080;
    Burst ring = Make(kRing, 1, true);
    ring.colour = 0xFFFFE8A0;
    ring.fps = 16;
    Burst glow = Make(kGlow, 1, false);
    glow.scale = 2.5f;
    glow.colour = 0xFFFFE8A0;
    glow.fps = 10;
    out.WriteText("/object/fragment/compass.xml", Effect({glow, ring, gold}));
    Burst red = gold;
    red.colour = 0xFFFF8090;
    out.WriteText("/object/fragment/amulet.xml", Effect({glow, ring, red}));
    Burst pearl = gold;
    pearl.colour = 0xFFFFF0F4;
    out.WriteText("/object/fragment/shell.xml", Effect({glow, ring, pearl}));
  }
  {
    std::ostringstream x;
    x << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<styles>\n";
    for (const std::string& s : FragmentStyleNames()) x << "  <style>" << s << "</style>\n";
    x << "</styles>\n";
    out.WriteText("/object/styles.xml", x.str());
  }

  // Board effects.
  {
    Burst glitter = Make(kSparkle, 5, true);
    Moving(glitter, 8, 30, 0);
    glitter.scale = 0.8f;
    glitter.fps = 12;
    out.WriteText("/object/game/jewelglitter.xml", Effect({glitter}));
    Burst blockGlitter = glitter;
    blockGlitter.count = 6;
    blockGlitter.colour = 0xFFE0F0FF;
    Burst one = glitter;
    one.count = 1;
    one.optional = false;
    out.WriteText("/object/game/blockglitter.xml", Effect({one, blockGlitter}));

    Burst flash = Make(kFlash, 1, false);
    flash.scale = 2;
    flash.fps = 16;
    Burst ring = Make(kRing, 1, false);
    ring.scale = 2.2f;
    ring.fps = 16;
    Burst sparks = Make(kSpark, 16, false);
    Moving(sparks, 140, 200, 300);
    sparks.turn = true;
    sparks.fps = 14;
    Burst smoke = Make(kSmoke, 8, true);
    Moving(smoke, 20, 60, -30);
    smoke.scale = 1.6f;
    smoke.fps = 9;
    out.WriteText("/object/game/bomb.xml", Effect({smoke, flash, ring, sparks}));
    Burst bigFlash = flash;
    bigFlash.scale = 2.8f;
    Burst bigRing = ring;
    bigRing.scale = 3.2f;
    Burst moreSparks = sparks;
    moreSparks.count = 22;
    Burst chips = Make(kChip, 8, true);
    Moving(chips, 80, 160, 500);
    chips.colour = 0xFFB07048;
    Burst moreSmoke = smoke;
    moreSmoke.count = 10;
    moreSmoke.scale = 2;
    out.WriteText("/object/game/dynamite.xml", Effect({moreSmoke, bigFlash, bigRing, moreSparks, chips}));
    Burst muzzle = flash;
    muzzle.scale = 1.2f;
    Burst few = sparks;
    few.count = 8;
    Burst puff = smoke;
    puff.count = 4;
    puff.scale = 1.2f;
    out.WriteText("/object/game/cannon.xml", Effect({puff, muzzle, few}));
    Burst drift = Make(kSmoke, 6, false);
    Moving(drift, 15, 40, -40);
    drift.scale = 1.4f;
    drift.fps = 8;
    Burst glow = Make(kGlow, 1, true);
    glow.colour = 0xFFFFB060;
    glow.scale = 1.5f;
    out.WriteText("/object/game/cannonsmoke.xml", Effect({drift, glow}));

    Burst gold = Make(kSparkle, 12, false);
    Moving(gold, 40, 100, 80);
    gold.colour = 0xFFFFE070;
    Burst goldRing = Make(kRing, 1, false);
    goldRing.colour = 0xFFFFE070;
    goldRing.fps = 16;
    goldRing.scale = 1.2f;
    Burst goldGlow = Make(kGlow, 1, true);
    goldGlow.colour = 0xFFFFE070;
    goldGlow.scale = 2;
    out.WriteText("/object/game/key.xml", Effect({goldGlow, goldRing, gold}));
    Burst lockSparks = sparks;
    lockSparks.count = 10;
    Burst lockChips = Make(kChip, 6, false);
    Moving(lockChips, 60, 100, 520);
    lockChips.colour = 0xFFFFD070;
    out.WriteText("/object/game/lock.xml", Effect({goldRing, lockChips, lockSparks}));

    Burst colours = Make(kRainbow, 16, false);
    Moving(colours, 80, 90, 0);
    colours.fps = 12;
    Burst rainbowRing = Make(kRing, 1, false);
    rainbowRing.scale = 2.5f;
    rainbowRing.fps = 14;
    Burst rainbowGlow = Make(kGlow, 1, true);
    rainbowGlow.scale = 2.5f;
    out.WriteText("/object/game/rainbow.xml", Effect({rainbowGlow, rainbowRing, colours}));
    // While the rainbow gathers its jewels: a slow swirl of colour in place.
    Burst gather = Make(kRainbow, 12, false);
    Moving(gather, 15, 30, 0);
    gather.fps = 16;
    gather.scale = 1.3f;
    Burst pulse = Make(kGlow, 1, false);
    pulse.scale = 3;
    pulse.fps = 16;
    out.WriteText("/object/game/rainbowsuck.xml", Effect({pulse, gather}));
  }

  // GUI effects.
  {
    Burst sparkles = Make(kSparkle, 12, false);
    Moving(sparkles, 40, 110, 40);
    sparkles.colour = 0xFFFFF0B0;
    Burst ring = Make(kRing, 1, false);
    ring.scale = 1.5f;
    ring.fps = 14;
    ring.colour = 0xFFFFF0C0;
    Burst glow = Make(kGlow, 1, true);
    glow.scale = 2.5f;
    glow.fps = 10;
    out.WriteText("/object/gui/bonusappears.xml", Effect({glow, ring, sparkles}));
    Burst many = sparkles;
    many.count = 16;
    Burst bigRing = ring;
    bigRing.scale = 2.5f;
    Burst bigGlow = glow;
    bigGlow.scale = 3.5f;
    out.WriteText("/object/gui/artifactappears.xml", Effect({bigGlow, bigRing, many}));
    Burst ten = sparkles;
    ten.count = 10;
    out.WriteText("/object/gui/levelcompleteicon.xml", Effect({glow, ring, ten}));
    Burst eight = sparkles;
    eight.count = 8;
    eight.speed = 20;
    eight.spread = 60;
    Burst smallRing = ring;
    smallRing.scale = 0.8f;
    out.WriteText("/object/gui/objectivecomplete.xml", Effect({smallRing, eight}));
    Burst six = sparkles;
    six.count = 6;
    out.WriteText("/object/gui/showlevelicon.xml", Effect({ring, six}));
    Burst five = sparkles;
    five.count = 5;
    five.speed = 15;
    five.spread = 40;
    five.scale = 0.7f;
    five.optional = true;
    Burst one = five;
    one.count = 1;
    one.optional = false;
    out.WriteText("/object/gui/statappears.xml", Effect({one, five}));
    // One drifting twinkle of the highscore table.
    Burst twinkle = Make(kSparkle, 1, false);
    Moving(twinkle, 10, 20, 30);
    twinkle.colour = 0xFFFFF0B0;
    twinkle.scale = 0.8f;
    twinkle.fps = 12;
    out.WriteText("/object/gui/sparkle.xml", Effect({twinkle}));
    // The victory's fireworks of sparkles, rising and falling for as long as it is open.
    Burst fountain = Make(kSparkle, 3, true);
    Moving(fountain, 0, 180, 120);
    fountain.colour = 0xFFFFE8A0;
    fountain.spawnRate = 140;
    fountain.lifetime = 1400;
    fountain.fps = 6;
    Burst bursts = Make(kGlow, 1, true);
    Moving(bursts, 0, 90, 0);
    bursts.colour = 0xC0FFD080;
    bursts.spawnRate = 600;
    bursts.scale = 1.5f;
    out.WriteText("/object/bg/victorysparkles.xml", Effect({bursts, fountain}));
  }

  // The animated backdrop of the menus: sunset sky, drifting clouds, gulls
  // and glints on the sun's path over the water. Continuous emitters here
  // keep spawning while the backdrop is shown; their particles expire.
  {
    std::ostringstream x;
    x << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<node>\n";
    x << "  <node>\n    <texture>/texture/bg/sky.png</texture>\n"
         "    <position><x>0</x><y>0</y><z>3</z></position>\n  </node>\n";
    struct CloudAt {
      const char* texture;
      float x, y, speed;
    };
    for (const CloudAt& c : {CloudAt{"/texture/bg/cloud1.png", -250, -230, 6},
                             CloudAt{"/texture/bg/cloud2.png", 120, -170, 4},
                             CloudAt{"/texture/bg/cloud1.png", 330, -250, 5}})
      x << "  <node>\n    <texture>" << c.texture << "</texture>\n    <position><x>" << Num(c.x) << "</x><y>"
        << Num(c.y) << "</y><z>2</z></position>\n    <velocity><x>" << Num(c.speed)
        << "</x><y>0</y></velocity>\n  </node>\n";
    // New clouds enter from the left now and then.
    x << "  <node>\n    <texture>/texture/bg/cloud2.png</texture>\n"
         "    <position><x>-520</x><y>-200</y><z>2</z></position>\n"
         "    <velocity><x>7</x><y>0</y></velocity>\n    <lifetime>160000</lifetime>\n"
         "    <prototype><count>1</count><spawnrate>45000</spawnrate></prototype>\n  </node>\n";
    Burst gulls = Make({"/texture/bg/gull-strip.png", 32, 4}, 1, true);
    gulls.fps = 6;
    gulls.looped = true;
    gulls.speed = 38;
    gulls.lifetime = 26000;
    gulls.spawnRate = 13000;
    gulls.x = -440;
    gulls.y = -150;
    x << Emitter(gulls, "  ");
    for (float y : {60.0f, 120.0f, 200.0f}) {
      Burst glint = Make(kGlint, 1, true);
      Moving(glint, 1, int(20 + y * 0.2f), 0);
      glint.fps = 10;
      glint.spawnRate = 140;
      glint.x = 160;
      glint.y = y;
      x << Emitter(glint, "  ");
    }
    x << "</node>\n";
    out.WriteText("/object/bg/gamebg2.xml", x.str());
  }
}

}  // namespace assetgen
