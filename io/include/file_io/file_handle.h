#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace file_io {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// A C stream closed when it goes out of scope. C streams are used because a failed open
// reports its cause in errno, which the tool's messages show.
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` with a std::fopen `mode`; empty on failure, with errno telling why.
FileHandle OpenFile(const std::string& path, const char* mode);

// errno after a failed call, or EIO if the call failed without saying why.
int LastErrorNumber();

}  // namespace file_io
