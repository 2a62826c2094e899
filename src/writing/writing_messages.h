#pragma once

namespace quavert {

/// Shown after a Save Track that wrote the track into the working copy.
inline constexpr const char* kDataSaved = "Data saved!";
/// First line of the message of a Save Track that wrote nothing; the reason follows on the next line.
inline constexpr const char* kTrackNotSaved = "ERROR: Track not saved";
/// First line of the message of a Save Midi... that wrote nothing; the file and the reason follow.
inline constexpr const char* kFileNotSaved = "ERROR: File not saved";
/// Line break inside a message.
inline constexpr const char* kNewLine = "\r\n";

/// Reasons a Save Track gives.
inline constexpr const char* kNoEventsToSave = "The track has no events to save.";
inline constexpr const char* kTrackNotListed = "The track's events are not listed.";
inline constexpr const char* kTrackChanged = "The track no longer matches its event list.";
inline constexpr const char* kTrackTooLong = "The track would grow past 4294967295 bytes.";
inline constexpr const char* kLeadTooLong = "The time before the first event would pass 268435583 ticks.";

/// Reason a Save Midi... gives when there is nothing to save.
inline constexpr const char* kNoFileLoaded = "No MIDI file is loaded.";

/// The save dialog of "Save Midi...".
inline constexpr const char* kSaveDialogTitle = "Save MIDI file";
inline constexpr const char* kSaveDialogFilter =
    "MIDI files (*.mid;*.midi;*.rmi)|*.mid;*.midi;*.rmi|All files (*.*)|*.*";
/// Hides the read-only box; no overwrite prompt of the dialog's own, no default extension.
inline constexpr int kSaveDialogFlags = 4;
/// The overwrite question: the file's name, then this, titled kConfirmationTitle.
inline constexpr const char* kAlreadyExists = " already exists, overwrite?";
inline constexpr const char* kConfirmationTitle = "Confirmation";

/// Name of the file a track is written into before it replaces the working copy.
inline constexpr const char* kNewTrackFileName = "dffhedc";

}  // namespace quavert
