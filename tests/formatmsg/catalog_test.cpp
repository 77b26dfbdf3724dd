#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

#include "catalog.h"
#include "catalog_cache.h"
#include "catalog_paths.h"
#include "support/temp_dir.h"

namespace {

using xoltlog::fmt::Catalog;
using xoltlog::fmt::CatalogCache;

std::string template_of(const Catalog& catalog, std::uint32_t id) {
  const std::string* found = catalog.find(id);
  return found != nullptr ? *found : "(none)";
}

TEST(Catalog, KeepsWellFormedLinesAndSkipsJunk) {
  const Catalog catalog = Catalog::parse(
      "# comment = 5\n"
      "1 = first\r\n"
      "  2=  trimmed  \n"
      "1 = duplicate loses\n"
      "0 = id zero\n"
      "4294967295 = largest\n"
      "4294967296 = out of range\n"
      "-3 = negative\n"
      "7x = trailing junk\n"
      "no equals sign\n"
      "= no id\n"
      "\xff\xfe binary \x01 junk\n"
      "8 = \xff\xfe kept as bytes\n"
      "9 =\n"
      "10 = last line without line feed");
  const std::pair<std::uint32_t, std::string> expected[] = {
      {1, "first"},      {2, "trimmed"},           {4294967295u, "largest"},
      {0, "(none)"},     {3, "(none)"},            {7, "(none)"},
      {8, "\xff\xfe kept as bytes"}, {9, ""},      {10, "last line without line feed"},
  };
  for (const auto& [id, text] : expected) {
    EXPECT_EQ(template_of(catalog, id), text) << id;
  }
  EXPECT_EQ(catalog.size(), 6u);
}

TEST(Catalog, ExpandsInsertionPoints) {
  const std::vector<std::string> args = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};
  const std::pair<const char*, const char*> cases[] = {
      {"%1 and %2", "a and b"},
      {"%2%1%2", "bab"},
      {"100%% sure", "100% sure"},
      {"%11 missing", "%11 missing"},   // an insertion point without its argument
      {"%10th", "jth"},
      {"%100", "j0"},                   // two digits at most
      {"%0 %x %", "%0 %x %"},
      {"no points", "no points"},
  };
  for (const auto& [tmpl, expected] : cases) {
    std::string out;
    xoltlog::fmt::expand_template(tmpl, args, out);
    EXPECT_EQ(out, expected) << tmpl;
  }
  std::string out;
  xoltlog::fmt::expand_template("%1 %2 %3", std::vector<std::string>{"only"}, out);
  EXPECT_EQ(out, "only %2 %3");
}

TEST(CatalogPaths, MostSpecificLocaleFirstAndUnsafeNamesRefused) {
  using Paths = std::vector<std::string>;
  const struct {
    const char* dir;
    const char* resource;
    const char* locale;
    Paths expected;
  } cases[] = {
      {"/d", "app", "de_DE.UTF-8@euro", {"/d/app.de_DE.cat", "/d/app.de.cat", "/d/app.cat"}},
      {"/d/", "app", "fr", {"/d/app.fr.cat", "/d/app.cat"}},
      {"/d", "app", "C", {"/d/app.cat"}},
      {"/d", "app", "POSIX", {"/d/app.cat"}},
      {"/d", "app", "", {"/d/app.cat"}},
      {"/d", "app", "LC_CTYPE=C.UTF-8;LC_MESSAGES=it_IT.UTF-8;LC_TIME=C", {"/d/app.it_IT.cat", "/d/app.it.cat", "/d/app.cat"}},
      {"/d", "app", "LC_CTYPE=de_DE", {"/d/app.cat"}},
      {"/d", "app", "../../etc/x", {"/d/app.cat"}},
      {"/d", "my.app", "de", {"/d/my.app.de.cat", "/d/my.app.cat"}},
      {"/d", "../app", "de", {}},
      {"/d", "a/b", "de", {}},
      {"/d", "", "de", {}},
      {"", "app", "de", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(xoltlog::fmt::catalog_paths(c.dir, c.resource, c.locale), c.expected)
        << c.dir << " " << c.resource << " " << c.locale;
  }
}

void write_file(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

// A file is read once and kept; what is not a small regular file is
// refused (a FIFO without blocking); the oldest files make room and are
// read again when asked for. The library's catalogs show a template longer
// than any buffer expanded whole.
TEST(CatalogCache, ReadsOnceRefusesOddFilesAndDropsTheOldest) {
  xoltlog::test::TempDir dir;
  CatalogCache cache;
  std::vector<std::string> paths;
  for (std::size_t i = 0; i <= CatalogCache::kMaxFiles; ++i) {
    paths.push_back(dir.file("c" + std::to_string(i) + ".cat"));
    write_file(paths.back(), "1 = first read\n");
    ASSERT_NE(cache.get(paths.back()), nullptr);
    write_file(paths.back(), "1 = second read\n");
  }
  EXPECT_EQ(template_of(*cache.get(paths.back()), 1), "first read");
  EXPECT_EQ(cache.get(paths.back()), cache.get(paths.back()));
  EXPECT_EQ(template_of(*cache.get(paths.front()), 1), "second read");

  EXPECT_EQ(cache.get(dir.file("missing.cat")), nullptr);
  EXPECT_EQ(cache.get(dir.path()), nullptr);
  const std::string fifo = dir.file("fifo.cat");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(cache.get(fifo), nullptr);
  const std::string big = dir.file("big.cat");
  write_file(big, std::string(CatalogCache::kMaxFileSize + 1, '#'));
  EXPECT_EQ(cache.get(big), nullptr);
}

}  // namespace
