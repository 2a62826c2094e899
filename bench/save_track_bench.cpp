// Times "Save Track" of one unedited track of 100,000 events in-process, against copying the
// same file with cp, in the same run, and prints both medians and their ratio.
//
//   save-track-bench [EVENTS] [RUNS]        (defaults: 100000 events, 9 runs)
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/recording_media_service.h"
#include "app/recording_toolkit.h"
#include "app/session.h"
#include "bench_files.h"
#include "commands/event_list.h"
#include "commands/load_driver.h"
#include "commands/save_track.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Runs cp FROM TO and waits for it; false when it did not succeed.
bool Copy(const std::string& from, const std::string& to) {
  std::string program = "cp";
  std::vector<char*> argv = {program.data(), const_cast<char*>(from.c_str()), const_cast<char*>(to.c_str()), nullptr};
  pid_t child = 0;
  if (::posix_spawnp(&child, "cp", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0) {
    std::fprintf(stderr, "save-track-bench: cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::int64_t events = argc > 1 ? std::atoll(argv[1]) : 100000;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 9;
  if (events < 1 || runs < 1) {
    std::fprintf(stderr, "usage: save-track-bench [EVENTS] [RUNS]\n");
    return 2;
  }

  char folder_template[] = "/tmp/save-track-bench.XXXXXX";
  const char* made = ::mkdtemp(folder_template);
  if (made == nullptr) {
    std::perror("save-track-bench: mkdtemp");
    return 1;
  }
  const std::string folder = made;
  const std::string app = folder + "/app";
  ::mkdir(app.c_str(), 0755);
  ::mkdir((app + "/logs").c_str(), 0755);
  const std::string song = folder + "/song.mid";
  quavert::generate::FileOptions options;
  options.events = events;
  WriteFile(song, quavert::generate::MakeFile(options));

  quavert::RecordingToolkit ui;
  quavert::RecordingMediaService media;
  quavert::Session session(app, ui, media);
  quavert::OpenMidiFile(session, song);
  quavert::Command1Click(session);
  const std::int64_t rows = session.decoder.LastEventIndex + 1;
  if (!session.file.FileLoaded || rows < events) {
    std::fprintf(stderr, "save-track-bench: the file did not load and list (%lld rows)\n", static_cast<long long>(rows));
    return 1;
  }

  std::vector<double> save_times;
  std::vector<double> copy_times;
  for (int run = 0; run < runs; ++run) {
    const auto save_start = Clock::now();
    try {
      quavert::SaveTrack(session);
    } catch (const quavert::TrackNotSaved& failure) {
      std::fprintf(stderr, "save-track-bench: track not saved: %s\n", failure.what());
      return 1;
    }
    save_times.push_back(Milliseconds(Clock::now() - save_start));
    const auto copy_start = Clock::now();
    if (!Copy(session.WorkCopyPath(), folder + "/copy.mid")) {
      std::fprintf(stderr, "save-track-bench: cp failed\n");
      return 1;
    }
    copy_times.push_back(Milliseconds(Clock::now() - copy_start));
  }

  const double save = Median(save_times);
  const double copy = Median(copy_times);
  std::printf("Save Track of one unedited track: %lld rows, %lld bytes, %d runs each\n", static_cast<long long>(rows),
              static_cast<long long>(std::filesystem::file_size(session.WorkCopyPath())), runs);
  std::printf("  %-26s %9.2f ms   (target: under 50 ms)\n", "Save Track, in-process", save);
  std::printf("  %-26s %9.2f ms\n", "cp of the same file", copy);
  std::printf("  ratio save/cp: %.2f\n", copy > 0 ? save / copy : 0.0);
  std::filesystem::remove_all(folder);
  return 0;
}
