#include <QApplication>
#include <QTimer>
#include <atomic>

#include "common/app_folder.h"
#include "playback/fluid_media_service.h"
#include "shell/frm_main.h"
#include "shell/media_hook.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quavert"));
  QApplication::setApplicationVersion(QStringLiteral("0.15"));

  // The synthesizer tells of a finished command from its own audio thread: the news goes to the
  // media frame as a posted event, and only while the window has a frame to take it.
  std::atomic<QObject*> notify_target{nullptr};
  quavert::FluidMediaService player(quavert::FluidSetupFromEnvironment(), [&notify_target](quavert::NotifyResult) {
    quavert::PostMediaNotify(notify_target.load());
  });

  quavert::frmmain window(quavert::ApplicationFolder(), player);
  notify_target.store(window.MediaFrame);
  window.show();
  QTimer::singleShot(0, &window, [&window] { window.FormLoad(); });
  const int result = QApplication::exec();
  // Shutdown closed the device, so nothing is told any more; the frame goes with the window.
  notify_target.store(nullptr);
  return result;
}
