#include "platform/qt/qt_command_line.h"

#include <cstdio>
#include <string>

#include "platform/command_line.h"
#include "version.h"

namespace glowreel {

int ReadCommandLine(QCommandLineParser& parser, int argc, char** argv, const char* program,
                    const char* usage, const char* oneArgument) {
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
  parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
  parser.addOption({{QStringLiteral("V"), QStringLiteral("version")}, QString()});
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (!parser.parse(arguments)) return UsageError(program, parser.errorText().toStdString());
  if (parser.isSet(QStringLiteral("help"))) {
    std::fputs(usage, stdout);
    return 0;
  }
  if (parser.isSet(QStringLiteral("version"))) {
    std::printf("%s %s\n", program, version::kFull);
    return 0;
  }
  if (oneArgument && parser.positionalArguments().size() > 1)
    return UsageError(program, std::string("one ") + oneArgument + " at a time");
  return -1;
}

void AddPictureOptions(QCommandLineParser& parser) {
  parser.addOptions({QCommandLineOption("fit", {}, "MODE"),
                     QCommandLineOption("threshold", {}, "N"), QCommandLineOption("invert"),
                     QCommandLineOption("dither")});
}

std::string ReadPictureOptions(const QCommandLineParser& parser, PictureOptions& options) {
  for (const auto& [name, take] : kPictureValueOptions) {
    const QString option = QString::fromLatin1(name);
    const std::string wrong =
        parser.isSet(option) ? take(parser.value(option).toStdString(), options) : "";
    if (!wrong.empty()) return wrong;
  }
  options.invert = parser.isSet(QStringLiteral("invert"));
  options.dither = parser.isSet(QStringLiteral("dither"));
  return "";
}

}  // namespace glowreel
