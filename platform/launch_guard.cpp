#include "platform/launch_guard.h"

#include <cstdint>

namespace ruskel {

std::string LaunchGuardName(const std::string& folderUpper) {
  // FNV-1a, 64 bits: stable across runs and builds, as the name must be.
  std::uint64_t hash = 0xCBF29CE484222325ull;
  for (const char c : folderUpper) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001B3ull;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name = "Local\\ruskel-launch-";
  for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(hash >> shift) & 0xF];
  return name;
}

LaunchClaim ClaimOf(GuardLook look) {
  return look == GuardLook::HeldElsewhere ? LaunchClaim::AnotherRun : LaunchClaim::Ours;
}

}  // namespace ruskel
