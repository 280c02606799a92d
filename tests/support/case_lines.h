// Case files of one line per case: "NAME INPUT => ANSWER", with blank lines
// and lines starting with "#" (comments) left out. The INPUT may be empty.
// A folder of them holds one file per operation, OPERATION.txt.
#pragma once

#include <algorithm>
#include <fstream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace testing_support {

struct CaseLine {
  std::string operation;  // the name of the file it is read from, without ".txt"
  std::string name;
  std::string input;
  std::string answer;
  friend void PrintTo(const CaseLine& c, std::ostream* out) {
    *out << c.operation << "/" << c.name;
  }
};

inline std::vector<CaseLine> ReadCaseLines(const std::string& folder,
                                           const std::string& operation) {
  const std::string file = folder + "/" + operation + ".txt";
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
    lines.push_back({operation, line.substr(0, space), line.substr(input, arrow - input),
                     line.substr(arrow + 4)});
  }
  return lines;
}

// The cases of every operation in `operations`, in that order.
inline std::vector<CaseLine> ReadCaseLines(const std::string& folder,
                                           std::initializer_list<const char*> operations) {
  std::vector<CaseLine> lines;
  for (const char* operation : operations) {
    for (CaseLine& line : ReadCaseLines(folder, operation)) lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace testing_support
