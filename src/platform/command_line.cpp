#include "platform/command_line.h"

#include <cstdio>

namespace glowreel {

namespace {
std::string Key(const OptionSpec& option) {
  return option.longName.empty() ? option.shortName : option.longName;
}
}  // namespace

const OptionSpec* CommandLine::Find(const std::string& name, bool isLong) const {
  for (const OptionSpec& option : options_)
    if ((isLong ? option.longName : option.shortName) == name && !name.empty()) return &option;
  return nullptr;
}

bool CommandLine::Take(const OptionSpec& option, const std::string& shown,
                       const std::string* inlineValue, int& i, int argc, char** argv) {
  if (!option.takesValue) {
    if (inlineValue) {
      error_ = "Unexpected value after '" + shown + "'.";
      return false;
    }
    values_[Key(option)];
    return true;
  }
  if (inlineValue) {
    values_[Key(option)] = *inlineValue;
  } else if (i + 1 < argc) {
    values_[Key(option)] = argv[++i];
  } else {
    error_ = "Missing value after '" + shown + "'.";
    return false;
  }
  return true;
}

bool CommandLine::Parse(int argc, char** argv) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      positional_.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg[1] == '-') {
      const auto equals = arg.find('=');
      const std::string name = arg.substr(2, equals - 2);
      const OptionSpec* option = Find(name, true);
      if (!option) {
        error_ = "Unknown option '" + name + "'.";
        return false;
      }
      const std::string value = equals == std::string::npos ? "" : arg.substr(equals + 1);
      if (!Take(*option, "--" + name, equals == std::string::npos ? nullptr : &value, i, argc,
                argv))
        return false;
    } else {
      for (std::size_t k = 1; k < arg.size(); ++k) {
        const OptionSpec* option = Find(arg.substr(k, 1), false);
        if (!option) {
          error_ = "Unknown option '" + arg.substr(k, 1) + "'.";
          return false;
        }
        const std::string rest = arg.substr(k + 1);
        const bool valueHere = option->takesValue && !rest.empty();
        if (!Take(*option, "-" + arg.substr(k, 1), valueHere ? &rest : nullptr, i, argc, argv))
          return false;
        if (option->takesValue) break;
      }
    }
  }
  return true;
}

bool CommandLine::IsSet(const std::string& name) const {
  for (const OptionSpec& option : options_)
    if ((option.shortName == name || option.longName == name) && values_.count(Key(option)))
      return true;
  return false;
}

std::string CommandLine::Value(const std::string& name) const {
  for (const OptionSpec& option : options_) {
    if (option.shortName != name && option.longName != name) continue;
    const auto found = values_.find(Key(option));
    return found == values_.end() ? "" : found->second;
  }
  return "";
}

int UsageError(const std::string& program, const std::string& error) {
  std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", program.c_str(), error.c_str(),
               program.c_str());
  return 2;
}

}  // namespace glowreel
