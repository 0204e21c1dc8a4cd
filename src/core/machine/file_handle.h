// FileHandle: a std::FILE* that closes itself, for the files the machine keeps open
// between operations (the cassette being played, the recording, the printer file).
// openInputFile opens a file the machine reads (ROM image, cassette, Quick Type text,
// binary load, input recording) and refuses anything that is not a regular file: a named pipe would
// block the open and every read for ever, and a directory or a device has no bytes
// to give.
//
//   FileHandle f = openInputFile(path);
//   if (!f) ...;            // missing, unreadable or not a regular file: one case
//                           // closed when f goes out of scope or is reset
#pragma once
#include <cstdio>
#include <memory>
#include <string>

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// A binary read handle on a regular file, or null.
FileHandle openInputFile(const std::string& path);
