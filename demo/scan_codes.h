// Which key a keyboard reading stands for. Readers that see scan codes (DirectInput, raw input)
// turn them into the key's virtual-key code here, the way a game would; readers that see
// virtual-key codes look up the key's scan code here for the log.
#pragma once

namespace ruskel::demo {

struct KeyId {
  int vk = 0;            // 0: no key recognised
  int scan = 0;          // set-1 make code without the E0 prefix
  bool extended = false; // the scan code carries the E0 prefix
};

// The key a scan code stands for on a US keyboard; vk 0 when none (scan code 0 is no key).
KeyId KeyFromScan(int scan, bool extended);

// The key's own scan code; scan 0 for a virtual-key code that has none. Shift, control and alt
// are known by their generic codes (16, 17, 18), the ones window messages carry.
KeyId KeyFromVk(int vk);

}  // namespace ruskel::demo
