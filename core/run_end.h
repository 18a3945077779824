// How a run ends, as a part reports it: the exit code, why in the log's words
// and, for an error, the text the user sees in a message box.
#pragma once

#include <string>
#include <utility>

#include "core/log_texts.h"

namespace ruskel {

struct RunEnd {
  RunEnd(int exitCode, std::string why, std::string message = {})
      : exitCode(exitCode), why(std::move(why)), message(std::move(message)) {}

  int exitCode = 0;
  std::string why;
  std::string message;  // empty: no box

  // An error the user must see: the box's text, also the log's line.
  static RunEnd Error(int exitCode, const std::string& message) {
    return {exitCode, Compose<Say::Error>(message), message};
  }
};

}  // namespace ruskel
