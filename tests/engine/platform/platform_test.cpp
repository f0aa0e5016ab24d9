#include "engine/core/log.h"
#include "engine/platform/dds.h"
#include "engine/platform/keynames.h"
#include "engine/platform/padnavigator.h"
#include "engine/platform/platform.h"
#include "engine/platform/runoptions.h"
#include "engine/platform/script.h"
#include "engine/platform/sdl/sdlplatform.h"
#include "support/testsupport.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

using namespace tsv;

TEST(KeyNamesTest, NamesMapToPositionsAndScancodes)
{
    EXPECT_EQ(KeyCodeFromName("KEY_ESCAPE"), 1);
    EXPECT_EQ(KeyCodeFromName("KEY_RETURN"), 28);
    EXPECT_EQ(KeyCodeFromName("KEY_LMENU"), 56);
    EXPECT_EQ(KeyCodeFromName("KEY_ALT"), 57);
    EXPECT_EQ(KeyCodeFromName("KEY_SPACE"), 58);
    EXPECT_EQ(KeyCodeFromName("KEY_MEDIASELECT"), 145);
    EXPECT_EQ(KeyCodeFromName("key_escape"), 0);
    EXPECT_EQ(KeyCodeFromName(""), 0);
    for (int code = 1; code <= kKeyCodeCount; ++code) {
        EXPECT_EQ(KeyCodeFromName(KeyNameFromCode(code)), code);
    }
    EXPECT_STREQ(KeyNameFromCode(0), "");
    EXPECT_EQ(PlatformKeyFromKeyCode(KeyCodeFromName("KEY_RETURN")), kKeyboardBase + SDL_SCANCODE_RETURN);
    EXPECT_EQ(PlatformKeyFromKeyCode(KeyCodeFromName("KEY_LCONTROL")), kKeyboardBase + SDL_SCANCODE_LCTRL);
    EXPECT_EQ(PlatformKeyFromKeyCode(KeyCodeFromName("KEY_A")), kKeyboardBase + SDL_SCANCODE_A);
    EXPECT_EQ(PlatformKeyFromKeyCode(KeyCodeFromName("KEY_NUMPAD7")), kKeyboardBase + SDL_SCANCODE_KP_7);
    EXPECT_EQ(PlatformKeyFromKeyCode(KeyCodeFromName("KEY_F12")), kKeyboardBase + SDL_SCANCODE_F12);
    EXPECT_EQ(PlatformKeyFromKeyCode(KeyCodeFromName("KEY_NEXT")), kKeyboardBase + SDL_SCANCODE_PAGEDOWN);
    EXPECT_EQ(PlatformKeyFromKeyCode(0), 0);

    // The keys the code names are where their names are.
    const std::pair<KeyId, const char*> named[] = {
        {KeyId::Escape, "KEY_ESCAPE"},     {KeyId::Back, "KEY_BACK"},       {KeyId::Tab, "KEY_TAB"},
        {KeyId::P, "KEY_P"},               {KeyId::Return, "KEY_RETURN"},   {KeyId::LControl, "KEY_LCONTROL"},
        {KeyId::A, "KEY_A"},               {KeyId::LShift, "KEY_LSHIFT"},   {KeyId::X, "KEY_X"},
        {KeyId::C, "KEY_C"},               {KeyId::V, "KEY_V"},             {KeyId::RShift, "KEY_RSHIFT"},
        {KeyId::Space, "KEY_SPACE"},       {KeyId::NumpadEnter, "KEY_NUMPADENTER"},
        {KeyId::RControl, "KEY_RCONTROL"}, {KeyId::Pause, "KEY_PAUSE"},     {KeyId::Home, "KEY_HOME"},
        {KeyId::Up, "KEY_UP"},             {KeyId::Left, "KEY_LEFT"},       {KeyId::Right, "KEY_RIGHT"},
        {KeyId::End, "KEY_END"},           {KeyId::Down, "KEY_DOWN"},       {KeyId::Insert, "KEY_INSERT"},
        {KeyId::Delete, "KEY_DELETE"},
    };
    for (const auto& [key, name] : named) {
        EXPECT_EQ(KeyCode(key), KeyCodeFromName(name)) << name;
    }
}

TEST(ScriptTest, ParsesCommandsAndRejectsMalformedLines)
{
    std::vector<ScriptCommand> commands;
    std::string error;
    ASSERT_TRUE(ParseScript("# comment\n\nat 0 move 10 20.5\nat 100 click 400 300\nat 120 down right\n"
                            "at 200 key KEY_ESCAPE\nat 210 type hello world\nat 300 screenshot /tmp/a.png\n"
                            "at 310 dump /tmp/b.txt\nat 400 quit\r\n",
                            "s.txt", commands, error))
        << error;
    ASSERT_EQ(commands.size(), 8u);
    EXPECT_EQ(commands[0].kind, ScriptCommand::Kind::Move);
    EXPECT_FLOAT_EQ(commands[0].y, 20.5f);
    EXPECT_EQ(commands[1].kind, ScriptCommand::Kind::Click);
    EXPECT_EQ(commands[1].atMs, 100);
    EXPECT_EQ(commands[2].button, kMouseRight);
    EXPECT_EQ(commands[3].keyCode, 1);
    EXPECT_EQ(commands[4].text, "hello world");
    EXPECT_EQ(commands[5].text, "/tmp/a.png");
    EXPECT_EQ(commands[7].kind, ScriptCommand::Kind::Quit);
    EXPECT_EQ(commands[7].line, 10);

    // The commands that act out windows and pads.
    commands.clear();
    ASSERT_TRUE(ParseScript("at 0 window 1024 768\nat 5 window blur\nat 6 window minimize\nat 10 pad connect\n"
                            "at 20 pad press a\nat 30 pad hold left\nat 40 pad stick -1 0.5\nat 50 pad disconnect\n",
                            "s", commands, error))
        << error;
    ASSERT_EQ(commands.size(), 8u);
    EXPECT_EQ(commands[0].kind, ScriptCommand::Kind::Window);
    EXPECT_EQ(commands[0].action, ScriptCommand::Action::Resize);
    EXPECT_EQ(commands[0].x, 1024);
    EXPECT_EQ(commands[1].action, ScriptCommand::Action::Blur);
    EXPECT_EQ(commands[2].action, ScriptCommand::Action::Minimize);
    EXPECT_EQ(commands[3].action, ScriptCommand::Action::Connect);
    EXPECT_EQ(commands[4].action, ScriptCommand::Action::Press);
    EXPECT_EQ(commands[4].padButton, static_cast<int>(PadButton::A));
    EXPECT_EQ(commands[5].padButton, static_cast<int>(PadButton::Left));
    EXPECT_EQ(commands[6].action, ScriptCommand::Action::Stick);
    EXPECT_FLOAT_EQ(commands[6].y, 0.5f);

    const char* bad[] = {"at x move 1 2",     "move 1 2",           "at 5 move 1",       "at 5 down middle",
                         "at 5 key KEY_NOPE", "at 5 jump",          "at 5 screenshot",   "at -1 quit",
                         "at 5 quit now",     "at 0 window 0 600",  "at 0 window big",   "at 0 window 800",
                         "at 0 pad press x",  "at 0 pad stick 2 0", "at 0 pad",          "at 0 pad press"};
    for (const char* line : bad) {
        commands.clear();
        EXPECT_FALSE(ParseScript(std::string("at 0 quit\n") + line + "\n", "s.txt", commands, error)) << line;
        EXPECT_EQ(error.rfind("s.txt:2: ", 0), 0u) << error;
    }
}

TEST(RunOptionsTest, ParsesAndRejects)
{
    auto parse = [](std::vector<const char*> args, RunOptions& options, std::string& message) {
        args.insert(args.begin(), "brinestoneharbour");
        return ParseRunOptions(static_cast<int>(args.size()), const_cast<char**>(args.data()), options, message);
    };
    RunOptions o;
    std::string message;
    ASSERT_EQ(parse({"--headless", "--fixed-step", "10", "--seed", "7", "--frames", "100", "--script", "s.txt",
                     "--windowed"},
                    o, message),
              0);
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.fixedStepMs, 10);
    EXPECT_TRUE(o.hasSeed);
    EXPECT_EQ(o.seed, 7u);
    EXPECT_EQ(o.frames, 100);
    EXPECT_EQ(o.scriptPath, "s.txt");
    EXPECT_EQ(o.forceWindowed, 1);
    RunOptions o2;
    EXPECT_EQ(parse({"--frames"}, o2, message), 2);
    EXPECT_EQ(parse({"--frames", "1x"}, o2, message), 2);
    EXPECT_EQ(parse({"--no-render"}, o2, message), 2);
}

namespace {

std::vector<uint8_t> DdsHeader(int w, int h, uint32_t pfFlags, const char* fourCc, uint32_t bits = 0,
                               uint32_t r = 0, uint32_t g = 0, uint32_t b = 0, uint32_t a = 0)
{
    std::vector<uint8_t> d(128, 0);
    auto put = [&](size_t at, uint32_t v) { std::memcpy(&d[at], &v, 4); };
    std::memcpy(&d[0], "DDS ", 4);
    put(4, 124);
    put(12, static_cast<uint32_t>(h));
    put(16, static_cast<uint32_t>(w));
    put(76, 32);
    put(80, pfFlags);
    if (fourCc) {
        std::memcpy(&d[84], fourCc, 4);
    }
    put(88, bits);
    put(92, r);
    put(96, g);
    put(100, b);
    put(104, a);
    return d;
}

// Writes a w x h picture filled with `argb` as a PNG in the tests' temporary folder.
std::string SavePicture(const std::string& name, int w, int h, uint32_t argb = 0)
{
    const std::string path = ::testing::TempDir() + name;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr || SDL_FillRect(surface, nullptr, argb) != 0 || IMG_SavePNG(surface, path.c_str()) != 0) {
        ADD_FAILURE() << "cannot write " << path << ": " << SDL_GetError();
    }
    SDL_FreeSurface(surface);
    return path;
}

} // namespace

TEST(DdsTest, DecodesCompressedAndPlainImages)
{
    // DXT1 4x4: colour 0 pure red (0xF800), colour 1 pure blue (0x001F); texels 0,1,2,3 in the first row.
    auto dxt1 = DdsHeader(4, 4, 0x4, "DXT1");
    const uint8_t block[8] = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0x00, 0x00, 0x00};
    dxt1.insert(dxt1.end(), block, block + 8);
    DecodedImage image;
    std::string error;
    ASSERT_TRUE(DecodeDds(dxt1.data(), dxt1.size(), image, error)) << error;
    ASSERT_EQ(image.width, 4);
    EXPECT_EQ(image.pixels[0], 0xFFFF0000u);
    EXPECT_EQ(image.pixels[1], 0xFF0000FFu);
    EXPECT_EQ(image.pixels[2], 0xFFAA0055u); // two thirds red
    EXPECT_EQ(image.pixels[3], 0xFF5500AAu);
    EXPECT_EQ(image.pixels[4], 0xFFFF0000u); // second row: index 0

    // DXT5: alpha endpoints 255 and 0, every texel index 1 (alpha 0); colour white.
    auto dxt5 = DdsHeader(4, 4, 0x4, "DXT5");
    const uint8_t block5[16] = {255, 0, 0x49, 0x92, 0x24, 0x49, 0x92, 0x24, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
    dxt5.insert(dxt5.end(), block5, block5 + 16);
    ASSERT_TRUE(DecodeDds(dxt5.data(), dxt5.size(), image, error)) << error;
    EXPECT_EQ(image.pixels[0], 0x00FFFFFFu);
    EXPECT_EQ(image.pixels[15], 0x00FFFFFFu);

    // Uncompressed 32-bit BGRA with alpha.
    auto plain = DdsHeader(1, 1, 0x41, nullptr, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    const uint8_t texel[4] = {0x30, 0x20, 0x10, 0x80};
    plain.insert(plain.end(), texel, texel + 4);
    ASSERT_TRUE(DecodeDds(plain.data(), plain.size(), image, error)) << error;
    EXPECT_EQ(image.pixels[0], 0x80102030u);

    // Truncated and foreign data are refused with a reason.
    dxt1.resize(130);
    EXPECT_FALSE(DecodeDds(dxt1.data(), dxt1.size(), image, error));
    EXPECT_EQ(error, "file is truncated");
    const uint8_t png[8] = {0x89, 'P', 'N', 'G', 0, 0, 0, 0};
    EXPECT_FALSE(DecodeDds(png, sizeof png, image, error));
}

TEST(TextureLoadTest, APictureTooLargeForTheRendererIsRefusedFromItsHeader)
{
    RunOptions options;
    options.headless = true;
    std::unique_ptr<Platform> platform = CreatePlatform(options);
    ASSERT_TRUE(platform->SystemInitiate());
    const std::string dir = ::testing::TempDir();
    // A header that claims 30000 x 30000 pixels (3.6 GB decoded) over a body
    // of a few bytes: refused before any decoding.
    const auto be32 = [](uint32_t v) {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                           static_cast<char>(v)};
    };
    const std::string png = std::string("\x89PNG\r\n\x1A\n", 8) + be32(13) + "IHDR" + be32(30000) + be32(30000) +
                            std::string("\x08\x06\x00\x00\x00", 5) + be32(0) + std::string(64, '\0');
    testsupport::WriteFile(dir + "huge.png", png);
    EXPECT_EQ(platform->TextureLoad(dir + "huge.png"), 0u);
    // A real picture wider than any the game takes, cheap to decode: refused too.
    EXPECT_EQ(platform->TextureLoad(SavePicture("wide.png", 9000, 1)), 0u);
    // A picture of an ordinary size still loads.
    const TextureHandle texture = platform->TextureLoad(SavePicture("small.png", 16, 16));
    EXPECT_NE(texture, 0u);
    EXPECT_EQ(platform->TextureGetWidth(texture), 16);
    platform->SystemShutdown();
}

TEST(PlatformLogTest, ThePlatformsLinesGoUnderItsOwnSection)
{
    testsupport::ScratchDir dir;
    testsupport::LogCapture log;
    {
        RunOptions options;
        options.headless = true;
        std::unique_ptr<Platform> platform = CreatePlatform(options);
        ASSERT_TRUE(platform->SystemInitiate());
        EXPECT_EQ(platform->TextureLoad(dir.Path() + "missing.png"), 0u);
        platform->SystemShutdown();
    }
    std::vector<std::string> platformLines;
    for (const testsupport::LoggedLine& line : log.Lines()) {
        if (line.section == kPlatformLogSection && line.level != LogLevel::Section) {
            platformLines.push_back(line.text);
        }
    }
    ASSERT_GE(platformLines.size(), 6u);
    EXPECT_EQ(platformLines.front().rfind("Tessvan platform layer over SDL 2.", 0), 0u);
    EXPECT_TRUE(log.Contains(LogLevel::Hint, "Mode: 800 x 600, off-screen, 32 bits"));
    EXPECT_TRUE(log.Has(LogLevel::Error, "can't load texture " + dir.Path() + "missing.png: "));
    EXPECT_EQ(std::count_if(platformLines.begin(), platformLines.end(),
                            [](const std::string& line) { return line.rfind("can't load texture ", 0) == 0; }),
              1);
    EXPECT_EQ(platformLines.back(), "Platform shut down");
}

// A texture's pixels stay in the renderer only while it is drawn; one left
// undrawn is released and comes back from its file, the same picture.
TEST(TextureLoadTest, AnUndrawnTextureIsReleasedAndDrawnAgainFromItsFile)
{
    RunOptions options;
    options.headless = true;
    SdlPlatform platform(options);
    ASSERT_TRUE(platform.SystemInitiate());
    const std::string path = SavePicture("residency.png", 8, 4, 0xFF3366CCu);
    const TextureHandle texture = platform.TextureLoad(path);
    ASSERT_NE(texture, 0u);

    Quad quad;
    quad.texture = texture;
    const float corners[4][2] = {{10, 10}, {90, 10}, {90, 50}, {10, 50}};
    for (int i = 0; i < 4; ++i) {
        quad.v[i].x = corners[i][0];
        quad.v[i].y = corners[i][1];
        quad.v[i].u = i == 1 || i == 2 ? 1.0f : 0.0f;
        quad.v[i].v = i >= 2 ? 1.0f : 0.0f;
    }
    const auto frame = [&](bool draw) {
        std::vector<uint32_t> pixels;
        EXPECT_TRUE(platform.GfxBeginScene());
        platform.GfxClear(0xFF000000u);
        if (draw) {
            platform.GfxRenderQuad(quad);
        }
        EXPECT_TRUE(platform.GfxReadFrame(pixels));
        platform.GfxEndScene();
        return pixels;
    };
    const std::vector<uint32_t> first = frame(true);
    EXPECT_EQ(first[30 * 800 + 50] | 0xFF000000u, 0xFF3366CCu);
    EXPECT_NE(platform.GetSdlTexture(texture), nullptr);
    for (uint64_t i = 0; i <= SdlPlatform::kTextureIdleFrames; ++i) {
        frame(false);
    }
    EXPECT_EQ(platform.GetSdlTexture(texture), nullptr) << "released after its idle frames";
    EXPECT_EQ(platform.TextureGetWidth(texture), 8) << "its size stays known";
    EXPECT_EQ(platform.TextureGetHeight(texture), 4);
    EXPECT_EQ(frame(true), first);
    EXPECT_NE(platform.GetSdlTexture(texture), nullptr);

    // A quad without alpha at its corners is not sent at all.
    Quad clear = quad;
    for (Vertex& v : clear.v) {
        v.color = 0x00FFFFFFu;
    }
    ASSERT_TRUE(platform.GfxBeginScene());
    platform.GfxRenderQuad(clear);
    platform.GfxEndScene();
    EXPECT_EQ(platform.GetLastFrameBatchCount(), 0);

    // Its file gone while it was released: its quads are left out, once logged.
    for (uint64_t i = 0; i <= SdlPlatform::kTextureIdleFrames; ++i) {
        frame(false);
    }
    std::remove(path.c_str());
    testsupport::LogCapture log;
    EXPECT_EQ(frame(true)[30 * 800 + 50] | 0xFF000000u, 0xFF000000u);
    EXPECT_TRUE(log.Has(LogLevel::Error, path + ": cannot load the texture again"));
    EXPECT_EQ(platform.GetLastFrameBatchCount(), 0);
    platform.SystemShutdown();
}

// Without rendering no pixels go to the renderer, yet sizes are known.
TEST(TextureLoadTest, ARunWithoutRenderingKeepsOnlyTheSize)
{
    RunOptions options;
    options.headless = true;
    options.noRender = true;
    SdlPlatform platform(options);
    ASSERT_TRUE(platform.SystemInitiate());
    const TextureHandle texture = platform.TextureLoad(SavePicture("norender.png", 5, 7));
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(platform.GetSdlTexture(texture), nullptr);
    EXPECT_EQ(platform.TextureGetWidth(texture), 5);
    EXPECT_EQ(platform.TextureGetHeight(texture), 7);
    platform.SystemShutdown();
}
