#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/shared_state.h"
#include "player/movie_file.h"
#include "support/fake_platform.h"
#include "support/temp_file.h"

namespace glowreel {
namespace {

using test::FakePlatform;
using test::TempFile;

std::vector<std::string> Lines(const LineList& list) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < list.size(); ++i) lines.emplace_back(list[i]);
  return lines;
}

struct LineCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> lines;
};

TEST(ReadMovieFile, SplitsLinesByEveryKindOfLineEnd) {
  const std::vector<LineCase> cases = {
      {"empty file", "", {}},
      {"one line without end", "abc", {"abc"}},
      {"lf", "a\nb\nc", {"a", "b", "c"}},
      {"cr lf", "a\r\nb\r\nc", {"a", "b", "c"}},
      {"cr", "a\rb\rc", {"a", "b", "c"}},
      {"mixed", "a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"final cr lf adds nothing", "a\r\nb\r\n", {"a", "b"}},
      {"final cr adds nothing", "a\rb\r", {"a", "b"}},
      {"final lone lf adds an empty line", "a\nb\n", {"a", "b", ""}},
      {"empty lines inside are kept", "a\r\n\r\n\r\nb", {"a", "", "", "b"}},
      {"leading empty lines of a cr file are dropped", "\r\n\r\na\r\nb", {"a", "b"}},
      {"leading empty lines of an lf file stay", "\n\na\nb", {"", "", "a", "b"}},
      {"a cr alone is no line", "\r", {}},
      {"a lone lf gives two empty lines", "\n", {"", ""}},
      {"lf right after cr lf makes an empty line", "a\r\n\nb", {"a", "", "b"}},
      {"cr right after cr makes an empty line", "a\r\rb", {"a", "", "b"}},
      {"bytes above 127 are kept as they are", "\xE9\xFF\r\n\x01", {"\xE9\xFF", "\x01"}},
  };
  FakePlatform platform;
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempFile file(c.bytes);
    sMovieFile = file.Path();
    EXPECT_EQ(Lines(ReadMovieFile()), c.lines);
  }
  EXPECT_EQ(platform.boxes.size(), 0u);
}

struct FailureCase {
  const char* name;
  std::function<std::string(const TempFile&)> path;
  int32_t number;
};

TEST(ReadMovieFile, FileThatCannotBeReadIsReportedOnceAndHasNoLines) {
  const std::vector<FailureCase> cases = {
      {"missing file", [](const TempFile& f) { return f.Directory() + "/nothing.grm"; }, 53},
      {"missing folder", [](const TempFile& f) { return f.Directory() + "/no/such.grm"; }, 53},
      {"empty name", [](const TempFile&) { return std::string(); }, 53},
      {"a directory", [](const TempFile& f) { return f.Directory(); }, 75},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform platform;
    TempFile file("@100\r\n");
    sMovieFile = c.path(file);
    EXPECT_TRUE(ReadMovieFile().empty());
    EXPECT_EQ(platform.ErrorReports(), 1);
    EXPECT_EQ(platform.ErrorReports(c.number), 1);
  }
}

TEST(ReadMovieFile, UnreadableFileIsReportedAsPermissionDenied) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  FakePlatform platform;
  TempFile file("@100\r\n");
  chmod(file.Path().c_str(), 0);
  sMovieFile = file.Path();
  EXPECT_TRUE(ReadMovieFile().empty());
  EXPECT_EQ(platform.ErrorReports(70), 1);
}

TEST(ReadMovieFile, ErrorBoxTextIsExact) {
  FakePlatform platform;
  sMovieFile = "/nonexistent/movie.grm";
  ReadMovieFile();
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].title, "Error");
  EXPECT_EQ(platform.boxes[0].text, "An error has occured: \r\n53 - File not found");
}

}  // namespace
}  // namespace glowreel
