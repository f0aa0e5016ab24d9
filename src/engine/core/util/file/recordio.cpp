#include "engine/core/util/file/recordio.h"

#include <cstring>

namespace tsv {

void RecordWriter::WriteInt32(int32_t value)
{
    auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        m_bytes.push_back(static_cast<char>((bits >> (8 * i)) & 0xFFu));
    }
}

void RecordWriter::WriteByte(uint8_t value)
{
    m_bytes.push_back(static_cast<char>(value));
}

void RecordWriter::WriteBytes(const void* data, size_t count)
{
    m_bytes.append(static_cast<const char*>(data), count);
}

void RecordWriter::WriteString(const std::string& text)
{
    WriteInt32(static_cast<int32_t>(text.size()));
    m_bytes += text;
}

size_t RecordReader::ReadBytes(void* out, size_t count)
{
    size_t left = m_bytes.size() - m_position;
    size_t got = count < left ? count : left;
    if (got > 0) {
        std::memcpy(out, m_bytes.data() + m_position, got);
    }
    if (got < count) {
        std::memset(static_cast<char*>(out) + got, 0, count - got);
        m_short = true;
    }
    m_position += got;
    return got;
}

int32_t RecordReader::ReadInt32()
{
    unsigned char raw[4];
    ReadBytes(raw, sizeof raw);
    uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) {
        bits = (bits << 8) | raw[i];
    }
    return static_cast<int32_t>(bits);
}

uint8_t RecordReader::ReadByte()
{
    uint8_t value = 0;
    ReadBytes(&value, 1);
    return value;
}

bool RecordReader::ReadString(std::string& out)
{
    int32_t count = ReadInt32();
    out.clear();
    if (count == 0) {
        return true;
    }
    if (count < 0) {
        return false;
    }
    size_t left = m_bytes.size() - m_position;
    size_t wanted = static_cast<size_t>(count);
    size_t got = wanted < left ? wanted : left;
    out.assign(m_bytes, m_position, got);
    m_position += got;
    if (got < wanted) {
        m_short = true;
        return false;
    }
    return true;
}

} // namespace tsv
