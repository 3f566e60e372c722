// The programs as a shell, a script or a service manager meets them: arguments, output, exit
// status, and the signals that end them the way Exit does.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/movie_text.h"
#include "support/port_record.h"
#include "support/temp_file.h"

namespace glowreel::test {
namespace {

struct Outcome {
  int status;
  std::string out, err;
};

std::string Contents(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs a shell command line; standard output and error are kept apart.
Outcome Shell(const std::string& command) {
  static TempFile place;
  const std::string out = place.Directory() + "/out", err = place.Directory() + "/err";
  const int raw = std::system(("(" + command + ") >" + out + " 2>" + err).c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Contents(out), Contents(err)};
}

const std::string kPlay = GLOWREEL_PLAY_EXECUTABLE;
const std::string kWindow = GLOWREEL_EXECUTABLE;
const std::string kConvert = GLOWREEL_CONVERT_EXECUTABLE;

TEST(Programs, AnswerHelpVersionAndWrongUseWithoutADisplay) {
  struct Case {
    std::string command;
    int status;
    std::string out, err;  // what the output starts with
  };
  const Case cases[] = {
      {kPlay + " --help", 0, "Usage: glowreel-play [--repeat] [--port SPEC] MOVIE\n", ""},
      {kPlay + " --version", 0, "glowreel-play 0.1.0.6\n", ""},
      {kPlay + " --bogus x.grm", 2, "", "glowreel-play: unknown option --bogus\nUsage:"},
      {kPlay + " --repeat", 2, "", "glowreel-play: no movie named\nUsage:"},
      {kPlay + " a.grm b.grm", 2, "", "glowreel-play: one movie at a time\nUsage:"},
      {kPlay + " /nonexistent.grm", 1, "",
       "glowreel-play: An error has occured: 53 - File not found\n"},
      {kPlay + " --port bogus /dev/null", 1, "", "glowreel-play: An error has occured: 75 - "},
      {"env -u DISPLAY " + kWindow + " --help", 0, "Usage: glowreel [MOVIE]\n", ""},
      {"env -u DISPLAY " + kWindow + " --version", 0, "glowreel 0.1.0.6\n", ""},
      {"env -u DISPLAY " + kWindow + " --bogus", 2, "", "glowreel: unknown option: --bogus\n"},
      {kConvert + " --version", 0, "glowreel-convert 0.1.0.6\n", ""},
      {kConvert + " --threshold 101 a.png -o a.grm", 2, "",
       "glowreel-convert: --threshold takes a number from 0 to 100\n"},
      {kConvert + " a.png", 2, "", "glowreel-convert: no output named (-o FILE)\n"},
      {kConvert + " /nonexistent.png -o /tmp/x.txt", 2, "", "glowreel-convert: the output must"},
      {kPlay + " --check /nonexistent.grm", 1, "/nonexistent.grm: 53 - File not found\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    const Outcome run = Shell(c.command);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out.substr(0, c.out.size()), c.out);
    EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
  }
}

TEST(Programs, GlowreelPlayShowsTheMovieAndReportsOnStandardErrorAsTheWindowWould) {
  TempFile movie(Frame("10", OneCell(0, 0)) + Frame("10", Rows("11111111111111111x")));
  const std::string trace = movie.Directory() + "/run.trace";
  const Outcome run = Shell(kPlay + " --port bogus,trace:" + trace + " " + movie.Path());
  EXPECT_EQ(run.status, 1) << "a port that cannot be opened ends it before anything is sent";
  EXPECT_EQ(Contents(trace), "");
  const Outcome played = Shell(kPlay + " --port trace:" + trace + " " + movie.Path());
  EXPECT_EQ(played.status, 0) << "reports do not fail a movie that was played";
  std::string reports;
  for (int cell = 0; cell < 8; ++cell)
    reports += "glowreel-play: An error has occured: 13 - Type mismatch\n";
  EXPECT_EQ(played.err, reports);
  const std::vector<std::string> lines = Transcript(ReadTrace(trace).writes);
  const std::vector<std::string> start = Without(Golden("startup"), "wait");
  const std::vector<std::string> fade = Without(Golden("fadeout"), "wait");
  ASSERT_EQ(lines.size(), start.size() + 1 + 2 * 80 + fade.size());
  EXPECT_TRUE(std::equal(start.begin(), start.end(), lines.begin()));
  EXPECT_EQ(lines[start.size()], "clear") << "as Load does";
  EXPECT_TRUE(std::equal(fade.begin(), fade.end(), lines.end() - fade.size()));
}

TEST(Programs, GlowreelConvertKeepsEachGifFramesDelayAndWritesNothingUnlessAllWasRead) {
  TempFile dir;
  const std::string d = dir.Directory();
  ASSERT_EQ(Shell("cd " + d + " && convert -size 18x8 xc:black a.png && convert -delay 20 a.png " +
                  "-delay 0 a.png -delay 50 a.png anim.gif")
                .status,
            0);
  const auto durations = [&](const std::string& options) {
    Shell("cd " + d + " && " + kConvert + " " + options);
    return Shell("grep '^@' " + d + "/m.grm | tr -d '\\r'").out;
  };
  EXPECT_EQ(durations("anim.gif a.png -o m.grm"), "@200\n@100\n@500\n@100\n");
  EXPECT_EQ(durations("--duration 30 anim.gif -o m.grm"), "@30\n@30\n@30\n");
  const Outcome broken =
      Shell("cd " + d + " && echo no > bad.png && " + kConvert + " a.png bad.png -o m.grm");
  EXPECT_EQ(broken.status, 1);
  EXPECT_EQ(broken.err, "glowreel-convert: bad.png: Unsupported image format\n");
  EXPECT_EQ(durations("--help"), "@30\n@30\n@30\n") << "the movie before is untouched";
  const Outcome check = Shell(kPlay + " --check " + d + "/m.grm");
  EXPECT_EQ(check.status, 0);
  EXPECT_EQ(check.out, "");
}

TEST(Programs, ASignalEndsEitherProgramTheWayExitDoes) {
  TempFile movie(Frame("5000", Rows("111111111111111111")));
  const std::string trace = movie.Directory() + "/run.trace";
  const std::string env = "GLOWREEL_PORT=trace:" + trace + " QT_QPA_PLATFORM=offscreen ";
  for (const std::string& program : {kPlay + " --repeat", kWindow}) {
    for (const char* signal : {"TERM", "INT", "HUP"}) {
      SCOPED_TRACE(program + ", SIG" + signal);
      std::remove(trace.c_str());
      const Outcome run = Shell(env + program + " " + movie.Path() + " & sleep 0.7; kill -" +
                                signal + " $!; wait $!");
      EXPECT_EQ(run.status, 0);
      const std::vector<std::string> lines = Transcript(ReadTrace(trace).writes);
      const std::vector<std::string> fade = Without(Golden("fadeout"), "wait");
      ASSERT_GE(lines.size(), fade.size());
      EXPECT_TRUE(std::equal(fade.begin(), fade.end(), lines.end() - fade.size()))
          << "the fade-out and the switch-off come last";
    }
  }
}

}  // namespace
}  // namespace glowreel::test
