#include "loading/name_tables.h"

namespace quavert {
namespace {

struct ControllerEntry {
  int number;
  const char* name;
};

// Controller 38 is the low half of data entry, as 6 is its high half.
constexpr ControllerEntry kControllers[] = {
    {1, "modulation"},   {5, "portamento time"}, {6, "data entry"},      {7, "volume"},
    {10, "panpot"},      {11, "expression"},     {38, "data entry"},     {64, "hold 1"},
    {65, "portamento"},  {66, "sostenuto"},      {67, "soft"},           {91, "effect 1 depth"},
    {92, "effect 2 depth"}, {93, "effect 3 depth"}, {120, "all sounds off"}, {121, "reset all controllers"},
    {123, "all notes off"}, {124, "omni off"},  {125, "omni on"},        {126, "mono"},
    {127, "poly"},       {-1, ""},
};

constexpr const char* kDrumKits[] = {"Standard", "Room", "Power", "Electronic", "TR - 808",
                                     "Jazz",     "Brush", "Orchestra", "unknown"};

constexpr const char* kNotes[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

}  // namespace

void FillNameTables(NameTables& tables) {
  for (int entry = 1; entry <= 9; ++entry) tables.DrumKitName[entry] = kDrumKits[entry - 1];
  for (int entry = 1; entry <= 12; ++entry) tables.NoteName[entry] = kNotes[entry - 1];
  for (int entry = 1; entry <= 22; ++entry) {
    tables.ControllerNumber[entry] = kControllers[entry - 1].number;
    tables.ControllerName[entry] = kControllers[entry - 1].name;
  }
}

}  // namespace quavert
