// Every file that once crashed, hung or misled a decoder stays here with the
// outcome it must now have. A file's name gives its extension; the table in
// data/must_fail/expected.txt gives, one line per file, "<name>\t<message>"
// (an empty message: the file loads and draws without an error).
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "image_files.h"
#include "picture/picture.h"

using namespace picture_test;

namespace {

struct Expected {
  std::string name, message;
};

std::vector<Expected> ReadTable() {
  std::vector<Expected> table;
  std::ifstream in(std::string(PICTURE_TEST_DATA) + "/must_fail/expected.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const auto tab = line.find('\t');
    table.push_back({line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1)});
  }
  return table;
}

TEST(MustFail, CorpusIsListed) { EXPECT_FALSE(ReadTable().empty()); }

TEST(MustFail, EachFileGivesItsOutcome) {
  for (const Expected& e : ReadTable()) {
    SCOPED_TRACE(e.name);
    const std::string path = std::string(PICTURE_TEST_DATA) + "/must_fail/" + e.name;
    const auto start = std::chrono::steady_clock::now();
    std::string message = MessageOf([&] {
      picture::Picture picture = picture::LoadPicture(path);
      const QRect place = picture.isIcon() ? QRect(0, 0, 271, 186)
                                           : picture::PlacePicture(picture.naturalSize(), QSize(271, 186));
      std::string first, second;
      RenderCatching(picture, place, first);
      RenderCatching(picture, place, second);
      EXPECT_EQ(second, "") << "a later draw raised again";
      if (!first.empty()) throw picture::Error(first);
    });
    EXPECT_EQ(message, e.message);
    // Generous even for a sanitized build; a file that decodes from nothing takes far longer.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  }
}

}  // namespace
