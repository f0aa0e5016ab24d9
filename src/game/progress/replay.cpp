#include "game/progress/replay.h"

#include "engine/core/log.h"
#include "engine/core/storage.h"
#include "engine/core/util/file/filestream.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <sstream>

namespace bsh {

namespace {

constexpr int64_t kMaxStepMs = 3'600'000;
constexpr float kMaxCoordinate = 100000.0f;

std::string Hex(const std::string& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

int HexDigit(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

bool Unhex(const std::string& hex, std::string& out)
{
    if (hex.size() % 2 != 0) {
        return false;
    }
    out.clear();
    out.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        out += static_cast<char>(high << 4 | low);
    }
    return true;
}

// A whole decimal number in [low, high].
bool Number(const std::string& text, int64_t low, int64_t high, int64_t& out)
{
    if (text.empty() || text.size() > 20) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high) {
        return false;
    }
    out = value;
    return true;
}

bool Coordinate(const std::string& text, float& out)
{
    char* end = nullptr;
    out = std::strtof(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(out) && std::fabs(out) <= kMaxCoordinate;
}

// "KEY_" and capitals, digits or underscores: the shape of the engine's key names.
bool IsKeyName(const std::string& word)
{
    return word.size() > 4 && word.size() <= 32 && word.rfind("KEY_", 0) == 0 &&
           std::all_of(word.begin() + 4, word.end(), [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; });
}

std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

std::string FormatFrame(const ReplayFrame& frame)
{
    std::string line = std::to_string(frame.stepMs) + (frame.running ? " 1" : " 0");
    for (const ReplayAction& action : frame.actions) {
        switch (action.kind) {
        case ReplayAction::Kind::Pointer: {
            char text[64];
            std::snprintf(text, sizeof text, " p %.9g %.9g %d", static_cast<double>(action.x),
                          static_cast<double>(action.y), action.down ? 1 : 0);
            line += text;
            break;
        }
        case ReplayAction::Kind::Key:
            line += " k " + action.key;
            break;
        case ReplayAction::Kind::Leave:
            line += " l";
            break;
        case ReplayAction::Kind::TutorialClosed:
            line += " c";
            break;
        case ReplayAction::Kind::TutorialClosedByBot:
            line += " b";
            break;
        }
    }
    return line;
}

bool ParseFrame(const std::string& line, ReplayFrame& frame)
{
    const std::vector<std::string> words = Words(line);
    int64_t step = 0, running = 0;
    if (words.size() < 2 || !Number(words[0], 0, kMaxStepMs, step) || !Number(words[1], 0, 1, running)) {
        return false;
    }
    frame.stepMs = static_cast<int32_t>(step);
    frame.running = running != 0;
    for (size_t i = 2; i < words.size();) {
        ReplayAction action;
        const std::string& kind = words[i++];
        if (kind == "p") {
            int64_t down = 0;
            if (i + 3 > words.size() || !Coordinate(words[i], action.x) || !Coordinate(words[i + 1], action.y) ||
                !Number(words[i + 2], 0, 1, down)) {
                return false;
            }
            action.down = down != 0;
            i += 3;
        } else if (kind == "k") {
            action.kind = ReplayAction::Kind::Key;
            action.key = i < words.size() ? words[i++] : std::string();
            if (!IsKeyName(action.key)) {
                return false;
            }
        } else if (kind == "l" || kind == "c" || kind == "b") {
            action.kind = kind == "l"   ? ReplayAction::Kind::Leave
                          : kind == "c" ? ReplayAction::Kind::TutorialClosed
                                        : ReplayAction::Kind::TutorialClosedByBot;
        } else {
            return false;
        }
        frame.actions.push_back(action);
    }
    return true;
}

} // namespace

std::string FormatReplay(const Replay& replay)
{
    std::ostringstream out;
    out << Replay::kSignature << " " << replay.version << "\n"
        << "game " << replay.game << "\n"
        << "level " << replay.level << "\n"
        << "sha256 " << replay.levelSha256 << "\n"
        << "mode " << replay.mode << "\n"
        << "difficulty " << replay.difficulty << "\n"
        << "clock " << (replay.relaxed ? "relaxed" : "timed") << "\n"
        << "player " << (replay.bot ? "bot" : "person") << "\n"
        << "profile " << (replay.profile ? "yes" : "no") << "\n"
        << "seed " << replay.seed << "\n"
        << "random " << replay.randomState << "\n"
        << "hints " << (replay.hints ? "on" : "off") << "\n"
        << "tutorials";
    for (int32_t counter : replay.tutorials) {
        out << " " << counter;
    }
    out << "\n"
        << "score " << replay.runScore << "\n"
        << "multiplier " << replay.multiplier << "\n"
        << "carried " << replay.carried.score << " " << replay.carried.moves << " " << replay.carried.longestCascade
        << " " << replay.carried.piecesCleared << "\n"
        << "time " << replay.startMs << "\n"
        << "board " << Hex(replay.board) << "\n"
        << "frames " << replay.frames.size() << "\n";
    for (const ReplayFrame& frame : replay.frames) {
        out << FormatFrame(frame) << "\n";
    }
    out << "result " << replay.result << "\n";
    return out.str();
}

ReplayRead ParseReplay(const std::string& text, Replay& out, std::string& why)
{
    out = Replay{};
    if (text.size() > Replay::kMaxBytes) {
        why = "the file is larger than any recording";
        return ReplayRead::Damaged;
    }
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    const auto next = [&]() {
        ++lineNumber;
        return static_cast<bool>(std::getline(in, line));
    };
    const auto fail = [&](const std::string& what) {
        why = "line " + std::to_string(lineNumber) + ": " + what;
        return ReplayRead::Damaged;
    };
    // The signature and the version.
    if (!next()) {
        why = "the file is empty";
        return ReplayRead::NotAReplay;
    }
    std::vector<std::string> words = Words(line);
    int64_t version = 0;
    if (words.size() != 2 || words[0] != Replay::kSignature) {
        why = "it does not start with \"" + std::string(Replay::kSignature) + "\"";
        return ReplayRead::NotAReplay;
    }
    if (!Number(words[1], 1, 1'000'000, version)) {
        return fail("a version number was expected");
    }
    if (version > Replay::kVersion) {
        why = "it was recorded by a newer version of the game (recording version " + words[1] + ", this game reads " +
              std::to_string(Replay::kVersion) + ")";
        return ReplayRead::Newer;
    }
    out.version = static_cast<int>(version);

    // The header, each field once, up to "frames".
    std::map<std::string, std::string> fields;
    for (;;) {
        if (!next()) {
            return fail("the file ends before its frames");
        }
        const size_t blank = line.find(' ');
        const std::string key = line.substr(0, blank);
        const std::string value = blank == std::string::npos ? std::string() : line.substr(blank + 1);
        if (key == "frames") {
            fields[key] = value;
            break;
        }
        if (!fields.emplace(key, value).second) {
            return fail("\"" + key + "\" is given twice");
        }
    }
    static const char* const kFields[] = {"game",   "level", "sha256",    "mode",       "difficulty", "clock",
                                          "player", "profile", "seed",  "random",    "hints",      "tutorials",  "score",
                                          "multiplier", "carried", "time", "board", "frames"};
    for (const char* key : kFields) {
        if (fields.find(key) == fields.end()) {
            why = "the field \"" + std::string(key) + "\" is missing";
            return ReplayRead::Damaged;
        }
    }
    if (fields.size() != std::size(kFields)) {
        why = "the header has a field this version does not know";
        return ReplayRead::Damaged;
    }
    const auto bad = [&why](const std::string& key) {
        why = "the field \"" + key + "\" has a bad value";
        return ReplayRead::Damaged;
    };
    out.game = fields["game"];
    out.level = fields["level"];
    out.levelSha256 = fields["sha256"];
    if (out.level.empty()) {
        return bad("level");
    }
    if (out.levelSha256.size() != 64 ||
        !std::all_of(out.levelSha256.begin(), out.levelSha256.end(), [](char c) { return HexDigit(c) >= 0; })) {
        return bad("sha256");
    }
    out.mode = fields["mode"];
    if (out.mode != "quest" && out.mode != "arcade" && out.mode != "endless") {
        return bad("mode");
    }
    out.difficulty = fields["difficulty"];
    if (out.difficulty != "easy" && out.difficulty != "normal" && out.difficulty != "hard") {
        return bad("difficulty");
    }
    if (fields["clock"] != "timed" && fields["clock"] != "relaxed") {
        return bad("clock");
    }
    out.relaxed = fields["clock"] == "relaxed";
    if (fields["player"] != "person" && fields["player"] != "bot") {
        return bad("player");
    }
    out.bot = fields["player"] == "bot";
    if (fields["profile"] != "yes" && fields["profile"] != "no") {
        return bad("profile");
    }
    out.profile = fields["profile"] == "yes";
    if (fields["hints"] != "on" && fields["hints"] != "off") {
        return bad("hints");
    }
    out.hints = fields["hints"] == "on";
    int64_t number = 0;
    if (!Number(fields["seed"], 0, UINT32_MAX, number)) {
        return bad("seed");
    }
    out.seed = static_cast<uint32_t>(number);
    if (!Number(fields["random"], 0, UINT32_MAX, number)) {
        return bad("random");
    }
    out.randomState = static_cast<uint32_t>(number);
    words = Words(fields["tutorials"]);
    if (words.size() != out.tutorials.size()) {
        return bad("tutorials");
    }
    for (size_t i = 0; i < words.size(); ++i) {
        if (!Number(words[i], 0, 1000, number)) {
            return bad("tutorials");
        }
        out.tutorials[i] = static_cast<int32_t>(number);
    }
    if (!Number(fields["score"], 0, INT32_MAX, number)) {
        return bad("score");
    }
    out.runScore = static_cast<int32_t>(number);
    if (!Number(fields["multiplier"], 0, 1000, number)) {
        return bad("multiplier");
    }
    out.multiplier = static_cast<int32_t>(number);
    words = Words(fields["carried"]);
    int64_t carried[4] = {};
    if (words.size() != 4 || !Number(words[0], 0, INT64_MAX / 2, carried[0]) ||
        !Number(words[1], 0, INT32_MAX, carried[1]) || !Number(words[2], 0, INT32_MAX, carried[2]) ||
        !Number(words[3], 0, INT32_MAX, carried[3])) {
        return bad("carried");
    }
    out.carried = {carried[0], static_cast<int32_t>(carried[1]), static_cast<int32_t>(carried[2]),
                   static_cast<int32_t>(carried[3])};
    if (!Number(fields["time"], 0, INT64_MAX / 4, out.startMs)) {
        return bad("time");
    }
    if (!Unhex(fields["board"], out.board) || out.board.empty()) {
        return bad("board");
    }
    int64_t frames = 0;
    if (!Number(fields["frames"], 0, Replay::kMaxFrames, frames)) {
        return bad("frames");
    }

    // The frames, then the result line.
    for (int64_t i = 0; i < frames; ++i) {
        if (!next()) {
            return fail("the file ends after " + std::to_string(i) + " of its " + std::to_string(frames) + " frames");
        }
        ReplayFrame frame;
        if (!ParseFrame(line, frame)) {
            return fail("this is no frame");
        }
        out.frames.push_back(std::move(frame));
    }
    if (!next() || line.rfind("result ", 0) != 0 || line.size() <= 7) {
        return fail("the result line was expected");
    }
    out.result = line.substr(7);
    while (next()) {
        if (!line.empty()) {
            return fail("nothing was expected after the result line");
        }
    }
    return ReplayRead::Read;
}

std::string ReplayShelf::Folder() { return tsv::GetStoragePath() + "replays/"; }

std::string ReplayShelf::Keep(const Replay& replay)
{
    namespace fs = std::filesystem;
    const std::string folder = Folder();
    std::error_code error;
    fs::create_directories(folder, error);
    // Named by when it was played and which level: the newest sort last.
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d_%H-%M-%S", &local);
    std::string level = fs::path(replay.level).stem().string();
    std::replace_if(level.begin(), level.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)) && c != '-'; }, '_');
    std::string path = folder + when + "_" + level + ".replay";
    for (int n = 2; fs::exists(path, error); ++n) {
        path = folder + when + "_" + level + "-" + std::to_string(n) + ".replay";
    }
    if (!tsv::WriteFileAtomically(path, FormatReplay(replay))) {
        tsv::GetLog() << tsv::Error << "The level's recording could not be written: " << path << tsv::EndL;
        return {};
    }
    std::vector<fs::path> kept;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->path().extension() == ".replay" && it->is_regular_file(error)) {
            kept.push_back(it->path());
        }
    }
    std::sort(kept.begin(), kept.end());
    for (size_t i = 0; i + kKeep < kept.size(); ++i) {
        fs::remove(kept[i], error);
    }
    return path;
}

} // namespace bsh
