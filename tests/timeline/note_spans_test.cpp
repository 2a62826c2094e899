#include <gtest/gtest.h>

#include <vector>

#include "commands/event_list.h"
#include "common/binary_file.h"
#include "decoding/decoding_fixture.h"
#include "timeline/file_timeline.h"
#include "timeline/note_spans.h"
#include "timeline/roll_geometry.h"

namespace quavert {

inline void PrintTo(const NoteSpan& s, std::ostream* out) {
  *out << "{rows " << s.OnRow << "-" << s.OffRow << ", ticks " << s.StartTick << "-" << s.EndTick << ", key " << s.Key
       << ", velocity " << s.Velocity << ", channel " << s.Channel << "}";
}

namespace {

EventRecord Row(int status, int data1, int data2, int delta) {
  EventRecord row;
  row.Status = status;
  row.Data1 = data1;
  row.Data2 = data2;
  row.Delta = delta;
  return row;
}

TEST(NoteSpansTest, OnsPairWithTheFirstLaterEndOfTheirChannelAndKey) {
  const struct {
    const char* name;
    std::vector<EventRecord> rows;
    std::vector<NoteSpan> spans;
    std::vector<std::int32_t> span_of_row;
  } cases[] = {
      {"an On and its Off", {Row(0x90, 60, 100, 480), Row(0x80, 60, 64, 0)}, {{0, 1, 1000, 1480, 60, 100, 0}}, {0, 0}},
      {"an On of velocity 0 ends it", {Row(0x91, 61, 90, 96), Row(0x91, 61, 0, 10)}, {{0, 1, 1000, 1096, 61, 90, 1}}, {0, 0}},
      {"two Ons of one key both end at the first Off; the second Off ends nothing",
       {Row(0x90, 60, 80, 100), Row(0x90, 60, 70, 100), Row(0x80, 60, 0, 100), Row(0x80, 60, 0, 0)},
       {{0, 2, 1000, 1200, 60, 80, 0}, {1, 2, 1100, 1200, 60, 70, 0}},
       {0, 1, 1, -1}},
      {"an Off of another channel or key ends nothing: the note lasts to the track's end",
       {Row(0x90, 60, 80, 100), Row(0x81, 60, 0, 100), Row(0x80, 61, 0, 50)},
       {{0, -1, 1000, 1250, 60, 80, 0}},
       {0, -1, -1}},
      {"drums and other rows between; a missing delta counts 0",
       {Row(0x99, 38, 90, 0), Row(81, 120, -1, 30), Row(-0xB0, 7, 100, -1), Row(0xC0, 5, -1, 10), Row(0x89, 38, 0, 0)},
       {{0, 4, 1000, 1040, 38, 90, kDrumChannel}},
       {0, -1, -1, -1, 0}},
  };
  for (const auto& c : cases) {
    const NoteSpans notes = BuildNoteSpans(c.rows, 1000);
    EXPECT_EQ(notes.Spans, c.spans) << c.name;
    EXPECT_EQ(notes.SpanOfRow, c.span_of_row) << c.name;
  }
}

TEST(NoteSpansTest, RowsAndSpansAreFoundByTick) {
  // Rows at ticks 0, 100, 100, 150, 400, 400; spans 0-400, 100-400 and 100-150.
  const NoteSpans notes = BuildNoteSpans({Row(0x90, 60, 1, 100), Row(0x90, 62, 1, 0), Row(0x90, 64, 1, 50),
                                          Row(0x80, 64, 0, 250), Row(0x80, 60, 0, 0), Row(0x80, 62, 0, 0)},
                                         0);
  EXPECT_EQ(notes.RowTicks, (std::vector<std::int64_t>{0, 100, 100, 150, 400, 400}));
  EXPECT_EQ(notes.Longest, 400);
  EXPECT_EQ((std::vector<std::int64_t>{RowAtTick(notes, -1), RowAtTick(notes, 0), RowAtTick(notes, 99),
                                       RowAtTick(notes, 100), RowAtTick(notes, 399), RowAtTick(notes, 5000)}),
            (std::vector<std::int64_t>{-1, 0, 0, 2, 3, 5}));
  // Every span before the one found ends before the tick.
  for (const std::int64_t tick : {0, 150, 399, 400, 401, 900}) {
    const std::size_t first = FirstSpanReaching(notes, tick);
    for (std::size_t i = 0; i < first; ++i) EXPECT_LT(notes.Spans[i].EndTick, tick) << tick;
  }
  EXPECT_EQ(FirstSpanReaching(notes, 0), 0u);
  EXPECT_EQ(FirstSpanReaching(BuildNoteSpans({Row(0x90, 60, 1, 10), Row(0x80, 60, 0, 990), Row(0x90, 60, 1, 10),
                                              Row(0x80, 60, 0, 0)},
                                             0),
                              1001),
            1u);
}

TEST(RollGeometryTest, TicksAndKeysBecomeRectanglesAtAZoomAndBack) {
  RollView view;
  view.PixelsPerTick = 0.5;
  view.KeyHeight = 8;
  view.KeyboardWidth = 40;
  view.ScrollTick = 100;
  view.ScrollY = 16;
  const struct {
    NoteSpan span;
    RollRect rect;
  } cases[] = {
      {{0, 1, 196, 292, 60, 100, 0}, {88, 520, 48, 8}},    // (196 - 100) / 2 + 40; (127 - 60) * 8 - 16
      {{0, 1, 100, 100, 127, 1, 3}, {40, -16, 1, 8}},      // no ticks long: still a pixel
      {{0, 1, 300, 900, 0, 1, kDrumChannel}, {140, 1000, 4, 8}},  // a drum: a short mark
  };
  for (const auto& c : cases) EXPECT_EQ(NoteRect(view, c.span), c.rect);
  EXPECT_EQ(TickAtX(view, 88), 196);
  EXPECT_EQ((std::vector<int>{KeyAtY(view, -17), KeyAtY(view, -16), KeyAtY(view, 520), KeyAtY(view, 527),
                              KeyAtY(view, 528), KeyAtY(view, 1007), KeyAtY(view, 1008)}),
            (std::vector<int>{-1, 127, 60, 60, 59, 0, -1}));

  const NoteSpans notes = BuildNoteSpans({Row(0x90, 60, 9, 96), Row(0x90, 60, 9, 0), Row(0x80, 60, 0, 0),
                                          Row(0x99, 36, 9, 0), Row(0x89, 36, 0, 0)},
                                         196);
  view.ScrollTick = 100;
  EXPECT_EQ((std::vector<std::int64_t>{SpanAt(view, notes, 88, 521), SpanAt(view, notes, 135, 521),
                                       SpanAt(view, notes, 136, 521), SpanAt(view, notes, 88, 529),
                                       SpanAt(view, notes, 30, 521), SpanAt(view, notes, 138, YOfKey(view, 36) + 1)}),
            (std::vector<std::int64_t>{0, 0, 1, -1, -1, 2}));
}

// Real tracks, decoded and listed. The first: a name before the timed part and a delta of 96 in
// front of the first note, notes under running status, and an Off written as an On of velocity 0.
// The second: key signatures among the notes and after the last row, which get no rows but
// have their deltas after them all the same.
class NoteSpansFromFileTest : public testing::DecodingTest {
 protected:
  NoteSpans SpansOf(const testing::Bytes& track) {
    Load(testing::Smf(0, 96, {track}));
    Command1Click(session);
    BinaryFile work(session.WorkCopyPath(), BinaryFile::Mode::kRead);
    const std::int64_t data = session.tracks.TrackStart[1] + 8;
    timing = ReadRowTiming(work, data, data + session.decoder.TrackLength - 1);
    EXPECT_EQ(timing.Rows, static_cast<std::size_t>(session.buffers.Rows.size()));
    return BuildNoteSpans(session.buffers.Rows.Records(), timing.FirstTick, timing.Extra);
  }
  RowTiming timing;
};

TEST_F(NoteSpansFromFileTest, TheDecodedRowsOfAFileGiveItsNotesAtTheirTicks) {
  using testing::Hex;
  const NoteSpans notes = SpansOf(Hex("00 FF 03 01 41  60 90 3C 64  30 3E 50  30 80 3C 40  00 90 3E 00  00 FF 2F 00"));
  EXPECT_EQ(timing.FirstTick, 96);
  EXPECT_EQ(timing.Extra, (std::vector<std::int64_t>(5, 0)));
  EXPECT_EQ(notes.Spans, (std::vector<NoteSpan>{{0, 2, 96, 192, 60, 100, 0}, {1, 3, 144, 192, 62, 80, 0}}));
  EXPECT_EQ(notes.EndTick, 192);
  RollView view;
  view.PixelsPerTick = 0.25;
  view.KeyboardWidth = 40;
  EXPECT_EQ(NoteRect(view, notes.Spans[1]), (RollRect{76, (127 - 62) * 8, 12, 8}));

  const NoteSpans hidden =
      SpansOf(Hex("00 90 3C 64  30 FF 59 02 00 00  30 80 3C 40  05 FF 01 01 41  07 FF 59 02 00 00  09 FF 2F 00"));
  EXPECT_EQ(timing.Extra, (std::vector<std::int64_t>{0, 48, 0, 9}));
  EXPECT_EQ(hidden.Spans, (std::vector<NoteSpan>{{0, 1, 0, 96, 60, 100, 0}}));
  EXPECT_EQ(hidden.RowTicks, (std::vector<std::int64_t>{0, 96, 101}));
  EXPECT_EQ(hidden.EndTick, 117);
}

}  // namespace
}  // namespace quavert
