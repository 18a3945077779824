// What would make Windows start the emulator elevated: a "Run this program as
// an administrator" compatibility flag, or a manifest that asks for it.
#include <string>
#include <vector>

#include "tools/check/probes/win32_system_probe.h"

namespace ruskel {
namespace {

// Where the Compatibility tab of a program's properties keeps its flags, one
// value per program, named by the program's full path.
constexpr const char* kLayersKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";

// The path as the Compatibility tab writes it: full, with long names.
std::string CanonicalPath(const std::string& path) {
  char full[MAX_PATH];
  DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return path;
  char longPath[MAX_PATH];
  const DWORD longLength = GetLongPathNameA(full, longPath, MAX_PATH);
  if (longLength == 0 || longLength >= MAX_PATH) return std::string(full, length);
  return std::string(longPath, longLength);
}

std::string LayersValue(HKEY root, REGSAM view, const std::string& program) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, kLayersKey, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) return {};
  std::string text;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key, program.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_SZ && size > 0) {
    std::vector<char> data(size + 1, '\0');
    if (RegQueryValueExA(key, program.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) == ERROR_SUCCESS) {
      text = data.data();
    }
  }
  RegCloseKey(key);
  return text;
}

std::string Joined(const std::string& first, const std::string& second) {
  if (first.empty() || first == second) return second;
  if (second.empty()) return first;
  return first + " " + second;
}

}  // namespace

ProgramAnswer Win32SystemProbe::Program(const std::string& path) {
  ProgramAnswer answer;
  const std::string program = CanonicalPath(path);
  answer.layersUser = LayersValue(HKEY_CURRENT_USER, 0, program);
  // The machine-wide flags may sit in the 64-bit or the 32-bit view of the
  // registry, whichever this program is; both are read (32-bit Windows
  // ignores the view flags).
  answer.layersMachine = Joined(LayersValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, program),
                                LayersValue(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, program));

  // As data only: nothing of the program runs, and a 64-bit program opens
  // from a 32-bit one too.
  HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  answer.readable = module != nullptr;
  if (module == nullptr) return answer;
  // The manifest Windows reads when it starts a program (RT_MANIFEST number
  // CREATEPROCESS_MANIFEST_RESOURCE_ID), in the ANSI form of the names.
  if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes != nullptr) {
      answer.manifest = std::string(static_cast<const char*>(bytes), SizeofResource(module, found));
    }
  }
  FreeLibrary(module);
  return answer;
}

}  // namespace ruskel
