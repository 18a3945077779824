// ruskel-check --options: every option of the {options} section, as a table.
#pragma once

#include <string>

namespace ruskel::check {

// One line per option under a heading: name, values, default, what it does.
std::string FormatOptionTable();

}  // namespace ruskel::check
