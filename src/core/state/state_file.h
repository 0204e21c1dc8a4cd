// Machine state files: everything that decides what the machine does next (processor,
// on-chip timer and registers, cycle count, the 64 KiB address space with the latch and
// speaker level, the keyboard matrix, Quick Type, cassette playback, the cassette/printer
// decoder, the frame totals), as a versioned binary image. Settings and host state
// (windows, sound, key tables built from the host layout) are not in it.
//
//   std::vector<uint8_t> bytes = saveStateToBytes(m);
//   std::string why;
//   if (!loadStateFromBytes(m, bytes.data(), bytes.size(), why)) show(why);  // m untouched
//   saveStateFile(m, "game.tvs", why);   loadStateFile(m, "game.tvs", why);
//
// Layout (little-endian): "TOVRINST", u16 format version, u16 section count, u32 file
// length, then the sections in a fixed order, each a 4-character tag, a u32 payload
// length and the payload, and last a CRC-32 of every byte before it. A file that is
// truncated, damaged, of a newer format or made for another memory layout is refused
// with a message, and the machine it was to be loaded into is left as it was.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct Machine;

constexpr uint16_t stateFormatVersion = 1;
constexpr char stateFileExtension[] = ".tvs";

std::vector<uint8_t> saveStateToBytes(const Machine& m);
// Parses the whole image into a fresh copy first; only a valid image reaches m.
// False, with a one-line reason in why, otherwise.
bool loadStateFromBytes(Machine& m, const uint8_t* data, size_t size, std::string& why);

bool saveStateFile(const Machine& m, const std::filesystem::path& file, std::string& why);
bool loadStateFile(Machine& m, const std::filesystem::path& file, std::string& why);

uint32_t crc32(const uint8_t* data, size_t size);
