// Case files of one line per case: "NAME INPUT => ANSWER", with blank lines
// and lines starting with "#" (comments) left out. The INPUT may be empty.
#pragma once

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace testing_support {

struct CaseLine {
  std::string name;
  std::string input;
  std::string answer;
};

inline std::vector<CaseLine> ReadCaseLines(const std::string& file) {
  std::ifstream in(file);
  if (!in) throw std::runtime_error("cannot read the case file " + file);
  std::vector<CaseLine> lines;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line.starts_with("#")) continue;
    const size_t arrow = line.find(" => ");
    if (arrow == std::string::npos)
      throw std::runtime_error(file + ": a case without \" => \": " + line);
    const size_t space = std::min(line.find(' '), arrow);
    const size_t input = std::min(space + 1, arrow);
    lines.push_back(
        {line.substr(0, space), line.substr(input, arrow - input), line.substr(arrow + 4)});
  }
  return lines;
}

}  // namespace testing_support
