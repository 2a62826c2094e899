#pragma once

#include <QTest>

#include "app/recording_media_service.h"
#include "shell/frm_main.h"
#include "support/temp_folder.h"

namespace quavert::bench {

/// The real main window as the benchmarks drive it: its own application folder, a player that
/// plays nothing, shown (offscreen under the offscreen platform) and started as at launch.
struct BenchWindow {
  testing::TempFolder folder;
  RecordingMediaService media;
  frmmain window{folder.Path(), media};

  /// Shows the window and runs its start-up; false when it never appears.
  bool Show() {
    window.show();
    window.FormLoad();
    return QTest::qWaitForWindowExposed(&window);
  }
};

}  // namespace quavert::bench
