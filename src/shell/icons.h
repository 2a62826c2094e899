#pragma once

#include <QIcon>
#include <QPixmap>

namespace quavert {

enum class IconShape { kOpen, kSave, kPlay, kPause, kStop, kQuaver };

/// The program's own 16 x 16 drawing of a shape.
QPixmap DrawIcon(IconShape shape);

/// The icon theme's icon for a toolbar command, or the program's drawing when the theme has none.
QIcon ToolbarIcon(IconShape shape);

}  // namespace quavert
