#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <atomic>
#include <iostream>
#include <string>
#include <vector>

#include "common/app_folder.h"
#include "playback/fluid_media_service.h"
#include "shell/command_line.h"
#include "shell/frm_main.h"
#include "shell/media_hook.h"

int main(int argc, char** argv) {
  // --help and --version answer before Qt looks for a display.
  const quavert::WindowCommandLine early = quavert::ParseWindowArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (early.Do == quavert::WindowCommandLine::Action::kHelp) {
    std::cout << quavert::WindowUsageText();
    return 0;
  }
  if (early.Do == quavert::WindowCommandLine::Action::kVersion) {
    std::cout << "quavert " QUAVERT_VERSION "\n";
    return 0;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quavert"));
  QApplication::setApplicationVersion(QStringLiteral("0.15"));

  // What is left once Qt took its own options (-platform, -style, ...).
  std::vector<std::string> args;
  for (const QString& arg : QCoreApplication::arguments().mid(1)) args.push_back(QFile::encodeName(arg).toStdString());
  const quavert::WindowCommandLine command = quavert::ParseWindowArguments(args);
  if (command.Do == quavert::WindowCommandLine::Action::kUsageError) {
    std::cerr << "quavert: " << command.Error << '\n' << quavert::WindowUsageText();
    return 2;
  }
  const std::string start_file =
      command.File.empty() ? std::string()
                           : QFile::encodeName(QFileInfo(QFile::decodeName(command.File.c_str())).absoluteFilePath()).toStdString();

  // The synthesizer tells of a finished command from its own audio thread: the news goes to the
  // media frame as a posted event, and only while the window has a frame to take it.
  std::atomic<QObject*> notify_target{nullptr};
  quavert::FluidMediaService player(quavert::FluidSetupFromEnvironment(), [&notify_target](quavert::NotifyResult) {
    quavert::PostMediaNotify(notify_target.load());
  });

  const quavert::ProgramFolders folders = quavert::ProgramFoldersOfThisProcess();
  quavert::MakeProgramFolders(folders);
  quavert::frmmain window(folders.App, player);
  window.session().SettingsFile = folders.Settings;
  window.session().DataFolder = folders.Data;
  notify_target.store(window.MediaFrame);
  window.show();
  QTimer::singleShot(0, &window, [&window, &start_file] { window.FormLoad(start_file); });
  const int result = QApplication::exec();
  // Shutdown closed the device, so nothing is told any more; the frame goes with the window.
  notify_target.store(nullptr);
  return result;
}
