#include "support/recordfilereader.h"

#include <stdexcept>

namespace bsh::test {

namespace {

struct LayoutError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Cursor {
public:
    explicit Cursor(const std::string& bytes) : m_bytes(bytes) {}

    std::string Take(size_t count, const char* what)
    {
        if (m_bytes.size() - m_at < count) {
            throw LayoutError(std::string("file ends inside ") + what + " at offset " + std::to_string(m_at));
        }
        std::string out = m_bytes.substr(m_at, count);
        m_at += count;
        return out;
    }
    int32_t Int(const char* what)
    {
        std::string raw = Take(4, what);
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value |= static_cast<uint32_t>(static_cast<unsigned char>(raw[static_cast<size_t>(i)])) << (8 * i);
        }
        return static_cast<int32_t>(value);
    }
    uint8_t Byte(const char* what) { return static_cast<uint8_t>(Take(1, what)[0]); }
    std::string Text(const char* what)
    {
        int32_t count = Int(what);
        if (count < 0) {
            throw LayoutError(std::string("negative length of ") + what);
        }
        return Take(static_cast<size_t>(count), what);
    }
    size_t Left() const { return m_bytes.size() - m_at; }

private:
    const std::string& m_bytes;
    size_t m_at = 0;
};

constexpr char kSignature[] = "[Tarvel][Brinestoneharbour][009]";

RawRecord ParseRecord(Cursor& in)
{
    RawRecord record;
    record.score[0] = in.Int("score");
    record.score[1] = in.Int("score");
    record.mapPage = in.Int("map page");
    record.reserved = in.Int("reserved");
    record.seconds[0] = in.Int("seconds");
    record.seconds[1] = in.Int("seconds");
    for (auto& levels : record.levels) {
        int32_t count = in.Int("level count");
        if (count < 0) {
            throw LayoutError("negative level count");
        }
        for (int32_t i = 0; i < count; ++i) {
            RawLevel level;
            level.path = in.Text("level path");
            level.state = in.Int("level state");
            level.best = in.Int("level best");
            // std::string compares its characters as unsigned bytes.
            if (!levels.empty() && levels.back().path >= level.path) {
                throw LayoutError("level entries not in ascending byte order: " + level.path);
            }
            levels.push_back(level);
        }
    }
    return record;
}

template <class Parse>
auto Guard(std::string* why, Parse parse) -> std::optional<decltype(parse())>
{
    try {
        return parse();
    } catch (const LayoutError& error) {
        if (why) {
            *why = error.what();
        }
        return std::nullopt;
    }
}

void ExpectEnd(const Cursor& in)
{
    if (in.Left() != 0) {
        throw LayoutError(std::to_string(in.Left()) + " bytes left over");
    }
}

} // namespace

std::optional<std::vector<RawProfile>> ParseProfiles(const std::string& bytes, std::string* why)
{
    return Guard(why, [&] {
        Cursor in(bytes);
        int32_t count = in.Int("profile count");
        if (count < 1 || count > 6) {
            throw LayoutError("profile count out of range: " + std::to_string(count));
        }
        std::vector<RawProfile> profiles;
        for (int32_t i = 0; i < count; ++i) {
            if (in.Take(32, "signature") != kSignature) {
                throw LayoutError("bad signature of profile " + std::to_string(i + 1));
            }
            RawProfile profile;
            profile.name = in.Text("name");
            profile.difficulty = in.Int("difficulty");
            profile.hints = in.Byte("hints flag");
            if (profile.hints > 1) {
                throw LayoutError("hints flag is neither 0 nor 1");
            }
            for (auto& record : profile.records) {
                record = ParseRecord(in);
            }
            for (auto& flag : profile.pending) {
                flag = in.Byte("pending award");
            }
            for (auto& flag : profile.earned) {
                flag = in.Byte("earned award");
            }
            for (auto& counter : profile.hintCounters) {
                counter = in.Int("hint counter");
            }
            profiles.push_back(profile);
        }
        ExpectEnd(in);
        return profiles;
    });
}

std::optional<std::vector<RawHighscore>> ParseHighscores(const std::string& bytes, std::string* why)
{
    return Guard(why, [&] {
        Cursor in(bytes);
        int32_t count = in.Int("entry count");
        std::vector<RawHighscore> entries;
        for (int32_t i = 0; i < count; ++i) {
            RawHighscore entry;
            entry.table = in.Int("table number");
            entry.name = in.Text("name");
            entry.score = in.Int("score");
            entries.push_back(entry);
        }
        ExpectEnd(in);
        return entries;
    });
}

std::optional<RawSavedGame> ParseSavedGame(const std::string& bytes, std::string* why)
{
    return Guard(why, [&] {
        Cursor in(bytes);
        RawSavedGame game;
        game.levelPath = in.Text("level path");
        game.awardKey = in.Text("award key");
        for (auto& block : game.stats) {
            for (auto& counter : block) {
                counter = in.Int("statistics");
            }
        }
        game.board = in.Take(in.Left(), "board");
        return game;
    });
}

} // namespace bsh::test
