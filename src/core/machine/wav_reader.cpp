// RIFF/WAVE parsing with every offset checked against the file size.
#include "machine/wav_reader.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr size_t bufferSize = 4096;

uint32_t le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

struct RiffFile {
    std::FILE* f;
    uint64_t size;
    bool readAt(uint64_t offset, void* out, size_t n) const {
        if (offset > size || n > size - offset) return false;
        if (offset > static_cast<uint64_t>(LONG_MAX)) return false;
        if (std::fseek(f, static_cast<long>(offset), SEEK_SET) != 0) return false;
        return std::fread(out, 1, n, f) == n;
    }
};

struct Chunk {
    uint64_t dataOffset = 0;  // first byte after the 8-byte header
    uint32_t size = 0;        // as declared
};

// Walks the sub-chunks in [start, end); chunks are padded to an even size.
bool findChunk(const RiffFile& file, uint64_t start, uint64_t end, const char* id, Chunk& out) {
    uint64_t pos = start;
    uint8_t header[8];
    while (pos + 8 <= end && file.readAt(pos, header, 8)) {
        uint32_t size = le32(header + 4);
        if (std::memcmp(header, id, 4) == 0) {
            out.dataOffset = pos + 8;
            out.size = size;
            return true;
        }
        pos += 8 + static_cast<uint64_t>(size) + (size & 1);
    }
    return false;
}

}  // namespace

WavOpenResult openWav(WavReader& r, const std::string& path, WavFormat& format) {
    closeWav(r);
    FileHandle f = openInputFile(path);
    if (!f) return WavOpenResult::CannotRead;
    if (std::fseek(f.get(), 0, SEEK_END) != 0) return WavOpenResult::CannotRead;
    long end = std::ftell(f.get());
    if (end < 0) return WavOpenResult::CannotRead;
    RiffFile file{f.get(), static_cast<uint64_t>(end)};

    uint8_t riff[12];
    if (!file.readAt(0, riff, sizeof riff)) return WavOpenResult::CannotRead;
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return WavOpenResult::NotMono8;
    // A RIFF size that claims more than the file holds is cut to the file.
    const uint64_t riffEnd = std::min<uint64_t>(8 + static_cast<uint64_t>(le32(riff + 4)), file.size);

    Chunk fmt;
    if (!findChunk(file, 12, riffEnd, "fmt ", fmt)) return WavOpenResult::NotMono8;
    if (fmt.size < 16 || fmt.dataOffset + fmt.size > file.size) return WavOpenResult::CannotRead;
    uint8_t rec[18] = {};
    if (!file.readAt(fmt.dataOffset, rec, std::min<uint32_t>(fmt.size, sizeof rec))) return WavOpenResult::CannotRead;
    format.formatTag = le16(rec);
    format.channels = le16(rec + 2);
    format.sampleRate = le32(rec + 4);
    format.bitsPerSample = le16(rec + 14);
    if (format.formatTag != 1 || format.channels != 1 || format.bitsPerSample != 8) return WavOpenResult::NotMono8;
    if (format.sampleRate == 0) return WavOpenResult::CannotRead;

    Chunk data;
    if (!findChunk(file, 12, riffEnd, "data", data)) return WavOpenResult::NotMono8;
    format.dataSize = data.size;
    if (data.dataOffset > static_cast<uint64_t>(LONG_MAX) ||
        std::fseek(f.get(), static_cast<long>(data.dataOffset), SEEK_SET) != 0)
        return WavOpenResult::UnknownError;
    r.remaining = std::min<uint64_t>(data.size, file.size - data.dataOffset);
    r.buffer.assign(bufferSize, 0);
    r.buffer.resize(0);
    r.bufferPos = 0;
    r.file = std::move(f);
    return WavOpenResult::Ok;
}

bool wavIsOpen(const WavReader& r) { return r.file != nullptr; }

bool wavNextByte(WavReader& r, uint8_t& out) {
    if (!r.file) return false;
    if (r.bufferPos >= r.buffer.size()) {
        size_t want = static_cast<size_t>(std::min<uint64_t>(bufferSize, r.remaining));
        r.buffer.resize(want);
        size_t got = want ? std::fread(r.buffer.data(), 1, want, r.file.get()) : 0;
        r.buffer.resize(got);
        r.bufferPos = 0;
        r.remaining = got < want ? 0 : r.remaining - got;
        if (got == 0) return false;
    }
    out = r.buffer[r.bufferPos++];
    return true;
}

void closeWav(WavReader& r) {
    r.file.reset();
    r.buffer.clear();
    r.bufferPos = 0;
    r.remaining = 0;
}
