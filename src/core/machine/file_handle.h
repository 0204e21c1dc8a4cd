// FileHandle: a std::FILE* that closes itself, for the files the machine keeps open
// between operations (the cassette being played, the recording, the printer file).
//
//   FileHandle f(std::fopen(path.c_str(), "rb"));
//   if (!f) ...;            // closed when f goes out of scope or is reset
#pragma once
#include <cstdio>
#include <memory>

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;
