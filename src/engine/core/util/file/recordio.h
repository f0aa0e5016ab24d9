#pragma once
// Little-endian byte records of the game's own files (profiles, highscores,
// saved runs). A save is composed in memory and then written in one piece, so a
// failed write never leaves half a file behind.

#include <cstdint>
#include <string>

namespace tsv {

class RecordWriter {
public:
    void WriteInt32(int32_t value);
    void WriteByte(uint8_t value);
    void WriteBytes(const void* data, size_t count);
    // A signed 32-bit byte count, then the bytes, no terminator.
    void WriteString(const std::string& text);

    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

// Reads from a byte buffer. A read past the end delivers what is left, fills the
// rest with zero bytes and marks the reader short; callers decide whether that
// matters (the profile file only notices it through the next signature).
class RecordReader {
public:
    explicit RecordReader(std::string bytes) : m_bytes(std::move(bytes)) {}

    int32_t ReadInt32();
    uint8_t ReadByte();
    // Returns the number of bytes that arrived; the rest of `out` is zeroed.
    size_t ReadBytes(void* out, size_t count);
    // False when fewer bytes arrived than the count says, or the count is
    // negative; a count of 0 is a good, empty string.
    bool ReadString(std::string& out);

    bool IsShort() const { return m_short; }
    bool AtEnd() const { return m_position >= m_bytes.size(); }
    size_t Position() const { return m_position; }

private:
    std::string m_bytes;
    size_t m_position = 0;
    bool m_short = false;
};

} // namespace tsv
