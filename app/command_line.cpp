#include "app/command_line.h"

#include <QCommandLineParser>
#include <QFile>
#include <cstdio>

#include "tol_version.h"

namespace app {

namespace {

const char* const kProgram = "Toledit";

struct OptionText {
  QStringList names;
  const char* description;
};

// The options, shared by the parser and the help text.
const OptionText& ChooseFileOption() {
  static const OptionText kOption{{QStringLiteral("choose-file")},
                                  "без ФАЙЛА выбрать файл в окне открытия файла"};
  return kOption;
}
const OptionText& HelpOption() {
  static const OptionText kOption{{QStringLiteral("h"), QStringLiteral("help")},
                                  "показать эту справку и выйти"};
  return kOption;
}
const OptionText& VersionOption() {
  static const OptionText kOption{{QStringLiteral("v"), QStringLiteral("version")},
                                  "показать версию и выйти"};
  return kOption;
}

QString OptionNames(const OptionText& option) {
  QStringList names;
  for (const QString& name : option.names) {
    names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
  }
  return names.join(QStringLiteral(", "));
}

QString HelpText() {
  QString text = QStringLiteral(
      "Использование: Toledit [параметры] [ФАЙЛ]\n"
      "Редактор файла допусков.\n"
      "\n"
      "ФАЙЛ — файл допусков; папка означает файл Zarava.win в ней.\n"
      "Без ФАЙЛА редактируется Zarava.win в текущей папке.\n"
      "\n"
      "Параметры:\n");
  for (const OptionText* option : {&ChooseFileOption(), &HelpOption(), &VersionOption()}) {
    text += QStringLiteral("  %1  %2\n")
                .arg(OptionNames(*option), -16)
                .arg(QString::fromUtf8(option->description));
  }
  return text;
}

StartRequest Error(const QString& line) {
  StartRequest request;
  request.action = StartRequest::Action::kError;
  request.text = QString::fromLatin1(kProgram) + QStringLiteral(": ") + line +
                 QStringLiteral("; справка: Toledit --help\n");
  return request;
}

QString Quoted(const QString& text) { return QStringLiteral("«") + text + QStringLiteral("»"); }

}  // namespace

StartRequest ParseCommandLine(int argc, const char* const* argv) {
  QStringList arguments{QString::fromLatin1(kProgram)};
  for (int i = 1; i < argc; ++i) arguments << QFile::decodeName(argv[i]);

  QCommandLineParser parser;
  const QCommandLineOption choose_file(ChooseFileOption().names);
  const QCommandLineOption help(HelpOption().names);
  const QCommandLineOption version(VersionOption().names);
  parser.addOptions({choose_file, help, version});
  parser.addPositionalArgument(QStringLiteral("file"), QString());
  if (!parser.parse(arguments)) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
      const QString dashes =
          unknown.front().size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
      return Error(QStringLiteral("неизвестный параметр ") + Quoted(dashes + unknown.front()));
    }
    QString reason = parser.errorText();
    if (reason.endsWith(QLatin1Char('.'))) reason.chop(1);
    return Error(QStringLiteral("неверная командная строка: ") + reason);
  }
  StartRequest request;
  if (parser.isSet(help)) {
    request.action = StartRequest::Action::kHelp;
    request.text = HelpText();
    return request;
  }
  if (parser.isSet(version)) {
    request.action = StartRequest::Action::kVersion;
    request.text = QStringLiteral("Toledit " TOL_VERSION "\n");
    return request;
  }
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    return Error(QStringLiteral("лишний аргумент ") + Quoted(files[1]) +
                 QStringLiteral(", ФАЙЛ может быть только один"));
  }
  if (!files.isEmpty()) {
    // The bytes as given, so that a name the locale cannot spell still opens the same file.
    request.file = QFile::encodeName(files.front()).toStdString();
    for (int i = argc - 1; i >= 1; --i) {
      if (QFile::decodeName(argv[i]) == files.front()) {
        request.file = argv[i];
        break;
      }
    }
    if (request.file.empty()) return Error(QStringLiteral("пустое имя ФАЙЛА"));
  }
  request.choose_file = parser.isSet(choose_file);
  return request;
}

int Answer(const StartRequest& request) {
  const QByteArray bytes = request.text.toUtf8();
  const bool error = request.action == StartRequest::Action::kError;
  std::FILE* stream = error ? stderr : stdout;
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
  std::fflush(stream);
  return error ? kUsageExitCode : 0;
}

}  // namespace app
