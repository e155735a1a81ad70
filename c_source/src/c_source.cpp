#include "c_source/c_source.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "file_io/atomic_output_file.h"
#include "file_io/same_file.h"
#include "file_io/whole_file.h"
#include "vexo.h"

namespace c_source {
namespace {

using vexo::Error;
using vexo::ErrorCode;
using vexo::Result;

// The keywords of C (to C23) and C++ (to C++20), and the names no array may
// take: the function every program has and the type the files use. Each
// stands between spaces.
constexpr std::string_view kTakenNames =
    " _Alignas _Alignof _Atomic _BitInt _Bool _Complex _Decimal128 _Decimal32 _Decimal64 _Generic"
    " _Imaginary _Noreturn _Static_assert _Thread_local alignas alignof and and_eq asm auto"
    " bitand bitor bool break case catch char char16_t char32_t char8_t class co_await co_return"
    " co_yield compl concept const const_cast consteval constexpr constinit continue decltype"
    " default delete do double dynamic_cast else enum explicit export extern false float for"
    " friend goto if inline int long main mutable namespace new noexcept not not_eq nullptr"
    " operator or or_eq private protected public register reinterpret_cast requires restrict"
    " return short signed sizeof static static_assert static_cast struct switch template this"
    " thread_local throw true try typedef typeid typename typeof typeof_unqual uint8_t union"
    " unsigned using virtual void volatile wchar_t while xor xor_eq ";

// `name` is an identifier, so it holds no space.
bool IsTaken(std::string_view name) {
  return kTakenNames.find(" " + std::string(name) + " ") != std::string_view::npos;
}

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsIdentifierCharacter(char c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_';
}

// Put before a name that would begin with a digit or _, or in place of none.
constexpr std::string_view kNamePrefix = "image";

std::string FileNameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// The characters an #include "..." line cannot carry as they are.
bool CanBeIncluded(std::string_view fileName) {
  return std::none_of(fileName.begin(), fileName.end(), [](char c) {
    return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
  });
}

Error Refused(const std::string& path, const std::string& reason) {
  return {ErrorCode::kInvalidRequest, path + ": " + reason};
}

std::string_view PathMacro(int path) {
  switch (path) {
    case VEXO_PATH_TRANSFORM:
      return "VEXO_PATH_TRANSFORM";
    case VEXO_PATH_FAST:
      return "VEXO_PATH_FAST";
    default:
      return "VEXO_PATH_PREDICTIVE";
  }
}

// "0x%02x, " for every byte, a line feed after every eighth, as byteloom
// writes byte lists; a last line of fewer than eight bytes is ended too.
void AppendByteList(std::span<const uint8_t> bytes, std::string& text) {
  static constexpr char kHexDigits[] = "0123456789abcdef";
  constexpr size_t kBytesPerLine = 8;
  for (size_t i = 0; i < bytes.size(); ++i) {
    text += "0x";
    text += kHexDigits[bytes[i] >> 4];
    text += kHexDigits[bytes[i] & 0x0f];
    text += ", ";
    if (i % kBytesPerLine == kBytesPerLine - 1) text += '\n';
  }
  if (bytes.size() % kBytesPerLine != 0) text += '\n';
}

}  // namespace

std::string ArrayNameFromPath(const std::string& sourcePath) {
  const std::string stem = std::filesystem::path(sourcePath).stem().string();
  std::string name;
  for (const char c : stem) {
    if (IsAsciiLetter(c) || IsAsciiDigit(c)) {
      name += c;
    } else if (name.empty() || name.back() != '_') {
      name += '_';
    }
  }
  // C reserves names that begin with _, and C++ those that hold __, as the
  // macros NAME_WIDTH... of a name that ends with _ would.
  if (!name.empty() && name.back() == '_') name.pop_back();
  if (name.empty()) return std::string(kNamePrefix);
  if (name.front() == '_') return std::string(kNamePrefix) + name;
  if (IsAsciiDigit(name.front())) return std::string(kNamePrefix) + "_" + name;
  return name;
}

std::string ArrayNameProblem(std::string_view name) {
  if (name.empty()) return "the array name is empty";
  const std::string quoted = "\"" + std::string(name) + "\"";
  if (IsAsciiDigit(name.front()) || !std::all_of(name.begin(), name.end(), IsIdentifierCharacter)) {
    return quoted + " is not a C identifier (A-Z, a-z, 0-9 and _, not starting with a digit)";
  }
  if (name.front() == '_' || name.back() == '_' || name.find("__") != std::string_view::npos) {
    return quoted +
           " is reserved in C and C++, or its macros are (it begins or ends with _, or "
           "holds __)";
  }
  if (IsTaken(name)) return quoted + " cannot name an array in C and C++";
  return {};
}

std::string MacroPrefix(std::string_view arrayName) {
  std::string capitals(arrayName);
  for (char& c : capitals) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return capitals;
}

std::string HeaderPathFor(const std::string& sourcePath) {
  return std::filesystem::path(sourcePath).replace_extension(".h").string();
}

Result<CSourceNames> CSourceNamesFor(const std::string& sourcePath,
                                     std::string_view requestedName) {
  CSourceNames names{
      sourcePath, HeaderPathFor(sourcePath),
      requestedName.empty() ? ArrayNameFromPath(sourcePath) : std::string(requestedName)};
  if (names.headerPath == sourcePath) {
    return Refused(sourcePath, "the C source cannot be named like its header (.h)");
  }
  if (!CanBeIncluded(FileNameOf(names.headerPath))) {
    return Refused(sourcePath, "the header's name cannot be written in an #include line");
  }
  if (const std::string problem = ArrayNameProblem(names.arrayName); !problem.empty()) {
    const std::string origin = requestedName.empty() ? " (from the file name)" : "";
    return Refused(sourcePath, problem + origin);
  }
  return names;
}

Result<CSourcePair> MakeCSourcePair(const CSourceNames& names, std::span<const uint8_t> vexoFile) {
  vexo_info info{};
  if (vexo_read_info(vexoFile.data(), vexoFile.size(), &info) != VEXO_OK) {
    return Refused(names.sourcePath, "the bytes to embed are not a VEXO file");
  }
  const std::string& name = names.arrayName;
  const std::string capitals = MacroPrefix(name);
  const std::string guard = "VEXO_ASSET_" + capitals + "_H";
  const std::string size = capitals + "_SIZE";
  CSourcePair pair{names, {}, {}};
  std::string& header = pair.headerText;
  header += "/* The VEXO picture " + name + ", written by vexo encode. */\n";
  header += "#ifndef " + guard + "\n#define " + guard + "\n\n";
  header += "#include <stdint.h>\n\n#include \"vexo.h\"\n\n";
  header += "#define " + capitals + "_WIDTH " + std::to_string(info.width) + "\n";
  header += "#define " + capitals + "_HEIGHT " + std::to_string(info.height) + "\n";
  header += "#define " + size + " " + std::to_string(vexoFile.size()) + "\n";
  header += "#define " + capitals + "_PATH " + std::string(PathMacro(info.path)) + "\n";
  header +=
      "/* The workspace vexo_decode needs for this picture (vexo_workspace_size), 0 when\n"
      " * its path needs none. */\n";
  header += "#define " + capitals + "_WORKSPACE_SIZE " +
            std::to_string(vexo_workspace_size(&info)) + "\n\n";
  header += "#ifdef __cplusplus\nextern \"C\" {\n#endif\n\n";
  header += "extern const uint8_t " + name + "[" + size + "];\n\n";
  header += "#ifdef __cplusplus\n}\n#endif\n\n";
  header += "#endif /* " + guard + " */\n";

  std::string& source = pair.sourceText;
  source += "/* The bytes of the VEXO picture " + name + ", written by vexo encode. */\n";
  source += "#include \"" + FileNameOf(names.headerPath) + "\"\n\n";
  source += "/* A section, an alignment or PROGMEM for the array, if the program defines it. */\n";
  source += "#ifndef VEXO_ASSET_ATTRIBUTE\n#define VEXO_ASSET_ATTRIBUTE\n#endif\n\n";
  source += "VEXO_ASSET_ATTRIBUTE const uint8_t " + name + "[" + size + "] = {\n";
  AppendByteList(vexoFile, source);
  source += "};\n";
  return pair;
}

Result<void> WriteCSourcePair(const CSourcePair& pair) {
  const std::string& sourcePath = pair.names.sourcePath;
  const std::string& headerPath = pair.names.headerPath;
  if (file_io::NamesSameFile(sourcePath, headerPath)) {
    return Error{ErrorCode::kWriteFailed, headerPath + ": is the C source " + sourcePath};
  }
  // Only a plain file of ours is removed again, never a link or a device.
  struct stat status {};
  const bool plainHeader = ::lstat(headerPath.c_str(), &status) != 0 || S_ISREG(status.st_mode);
  file_io::AtomicOutputFile header, source;
  if (const int error = header.Open(headerPath); error != 0) {
    return file_io::WriteFailure(headerPath, error);
  }
  if (const int error = source.Open(sourcePath); error != 0) {
    return file_io::WriteFailure(sourcePath, error);
  }
  if (const int error = header.Write(pair.headerText); error != 0) {
    return file_io::WriteFailure(headerPath, error);
  }
  if (const int error = source.Write(pair.sourceText); error != 0) {
    return file_io::WriteFailure(sourcePath, error);
  }
  if (const int error = header.Commit(); error != 0) {
    return file_io::WriteFailure(headerPath, error);
  }
  if (const int error = source.Commit(); error != 0) {
    if (plainHeader) ::unlink(headerPath.c_str());  // a header without its array misleads
    return file_io::WriteFailure(sourcePath, error);
  }
  return {};
}

}  // namespace c_source
