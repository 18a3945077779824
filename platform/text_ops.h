// Text as the system reads it: the ANSI code page of names and titles.
#pragma once

#include <string>

namespace ruskel {

class TextOps {
 public:
  virtual ~TextOps() = default;

  // Upper-cases text as the system does for its ANSI code page.
  virtual std::string UpperAnsi(const std::string& text) = 0;
};

}  // namespace ruskel
