#pragma once

namespace quavert {

struct Session;

/// After a load passed its checks: fills the Info frame, writes the report's summary and decodes
/// the current track (again once, after a repair); a failed decode blocks the file commands but
/// keeps the file loaded. False when the user stopped that decode, which is then left half done.
bool ShowFileSummary(Session& session);

/// Sets the window caption to " Quavert 0.15 - " & MidiPath and writes the report's heading once
/// per load.
void WriteReportHeading(Session& session);

/// Writes the report's heading of the current track (decoder.TrackLength) the first time that
/// track is decoded in this load.
void WriteTrackHeading(Session& session);

}  // namespace quavert
