#pragma once

#include <map>
#include <string>
#include <vector>

namespace glowreel {

// An option a program takes: its short and long names ("h" and "help", either may be empty),
// and whether a value follows it.
struct OptionSpec {
  std::string shortName;
  std::string longName;
  bool takesValue = false;
};

// The command line read the way every GlowReel program reads it (the window programs through
// QCommandLineParser): "--opt value", "--opt=value", "-o value", "-ovalue", short flags joined
// ("-rV"), "--" ends the options. Errors read as Qt's do: "Unknown option 'x'.".
class CommandLine {
 public:
  explicit CommandLine(std::vector<OptionSpec> options) : options_(std::move(options)) {}

  // False with Error() set when the arguments are not what the options allow.
  bool Parse(int argc, char** argv);
  const std::string& Error() const { return error_; }

  // Asked by either name.
  bool IsSet(const std::string& name) const;
  // The last value given, or "".
  std::string Value(const std::string& name) const;
  const std::vector<std::string>& Positional() const { return positional_; }

 private:
  const OptionSpec* Find(const std::string& name, bool isLong) const;
  bool Take(const OptionSpec& option, const std::string& shown, const std::string* inlineValue,
            int& i, int argc, char** argv);

  std::vector<OptionSpec> options_;
  std::map<std::string, std::string> values_;  // by long name, or short where there is none
  std::vector<std::string> positional_;
  std::string error_;
};

// "PROGRAM: ERROR" and "Try 'PROGRAM --help'." on standard error; returns status 2.
int UsageError(const std::string& program, const std::string& error);

}  // namespace glowreel
