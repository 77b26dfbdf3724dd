#include "writer/writer_fixture.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace xoltlog::test {

std::vector<std::string> WriterTest::files() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> WriterTest::lines(const std::string& name) const {
  std::vector<std::string> result;
  std::istringstream in(content(name));
  for (std::string line; std::getline(in, line);) {
    result.push_back(line);
  }
  return result;
}

}  // namespace xoltlog::test
