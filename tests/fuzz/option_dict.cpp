// Writes the fuzz dictionary of lconfig.ini: the hand-written tags and words
// of the file (the first argument), then every option's name and the values
// it names, taken from the option table.
//
//   option_dict config.dict out/config.dict
#include <fstream>
#include <iostream>
#include <set>

#include "core/options.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: option_dict tags.dict out.dict\n";
    return 1;
  }
  std::ifstream tags(argv[1], std::ios::binary);
  std::ofstream out(argv[2], std::ios::binary);
  if (!tags || !out) {
    std::cerr << "option_dict: cannot read " << argv[1] << " or write " << argv[2] << "\n";
    return 1;
  }
  out << tags.rdbuf();
  out << "# Every option and the values it names, from the option table.\n";
  std::set<std::string> values;
  for (const ruskel::OptionRow& row : ruskel::OptionTable()) {
    out << '"' << row.name << "=\"\n";
    values.insert(row.samples.begin(), row.samples.end());
  }
  for (const std::string& value : values) out << '"' << value << "\"\n";
  return out ? 0 : 1;
}
