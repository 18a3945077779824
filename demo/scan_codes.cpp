#include "demo/scan_codes.h"

#include <iterator>

namespace ruskel::demo {
namespace {

struct Entry {
  int scan;
  bool extended;
  int vk;
};

// US layout. Plain codes come first so that a virtual-key code with two keys (Return and the
// numpad's Enter) finds the main one.
constexpr Entry kTable[] = {
    {0x01, false, 27},  {0x02, false, '1'}, {0x03, false, '2'}, {0x04, false, '3'},
    {0x05, false, '4'}, {0x06, false, '5'}, {0x07, false, '6'}, {0x08, false, '7'},
    {0x09, false, '8'}, {0x0A, false, '9'}, {0x0B, false, '0'}, {0x0C, false, 189},
    {0x0D, false, 187}, {0x0E, false, 8},   {0x0F, false, 9},   {0x10, false, 'Q'},
    {0x11, false, 'W'}, {0x12, false, 'E'}, {0x13, false, 'R'}, {0x14, false, 'T'},
    {0x15, false, 'Y'}, {0x16, false, 'U'}, {0x17, false, 'I'}, {0x18, false, 'O'},
    {0x19, false, 'P'}, {0x1A, false, 219}, {0x1B, false, 221}, {0x1C, false, 13},
    {0x1D, false, 17},  {0x1E, false, 'A'}, {0x1F, false, 'S'}, {0x20, false, 'D'},
    {0x21, false, 'F'}, {0x22, false, 'G'}, {0x23, false, 'H'}, {0x24, false, 'J'},
    {0x25, false, 'K'}, {0x26, false, 'L'}, {0x27, false, 186}, {0x28, false, 222},
    {0x29, false, 192}, {0x2A, false, 16},  {0x2B, false, 220}, {0x2C, false, 'Z'},
    {0x2D, false, 'X'}, {0x2E, false, 'C'}, {0x2F, false, 'V'}, {0x30, false, 'B'},
    {0x31, false, 'N'}, {0x32, false, 'M'}, {0x33, false, 188}, {0x34, false, 190},
    {0x35, false, 191}, {0x36, false, 16},  {0x37, false, 106}, {0x38, false, 18},
    {0x39, false, 32},  {0x3A, false, 20},  {0x3B, false, 112}, {0x3C, false, 113},
    {0x3D, false, 114}, {0x3E, false, 115}, {0x3F, false, 116}, {0x40, false, 117},
    {0x41, false, 118}, {0x42, false, 119}, {0x43, false, 120}, {0x44, false, 121},
    {0x45, false, 144}, {0x46, false, 145}, {0x47, false, 103}, {0x48, false, 104},
    {0x49, false, 105}, {0x4A, false, 109}, {0x4B, false, 100}, {0x4C, false, 101},
    {0x4D, false, 102}, {0x4E, false, 107}, {0x4F, false, 97},  {0x50, false, 98},
    {0x51, false, 99},  {0x52, false, 96},  {0x53, false, 110}, {0x56, false, 226},
    {0x57, false, 122}, {0x58, false, 123},
    // The E0 family: the same make codes as numpad keys and modifiers, told apart by the prefix.
    {0x1C, true, 13},   {0x1D, true, 17},   {0x35, true, 111},  {0x37, true, 44},
    {0x38, true, 18},   {0x45, true, 19},   {0x47, true, 36},   {0x48, true, 38},
    {0x49, true, 33},   {0x4B, true, 37},   {0x4D, true, 39},   {0x4F, true, 35},
    {0x50, true, 40},   {0x51, true, 34},   {0x52, true, 45},   {0x53, true, 46},
    {0x5B, true, 91},   {0x5C, true, 92},   {0x5D, true, 93},
};

}  // namespace

KeyId KeyFromScan(int scan, bool extended) {
  for (const Entry& entry : kTable) {
    if (entry.scan == scan && entry.extended == extended) return {entry.vk, scan, extended};
  }
  return {0, scan, extended};
}

KeyId KeyFromVk(int vk) {
  for (const Entry& entry : kTable) {
    if (entry.vk == vk) return {vk, entry.scan, entry.extended};
  }
  return {vk, 0, false};
}

}  // namespace ruskel::demo
