#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

#include "common/text_encoding.h"

namespace quavert {

/// How the window shows bytes of the program's: as UTF-8 when they are valid UTF-8 (file names
/// on this system), otherwise as Latin-1 (text from old MIDI files). CR LF line ends become LF.
QString ToDisplay(std::string_view bytes);

/// Texts of the file as the user chose to read them: Automatic is ToDisplay; another encoding
/// reads the bytes through it (a byte it does not define shows as U+FFFD). CR LF becomes LF.
QString ToDisplay(std::string_view bytes, TextEncoding encoding);

/// Bytes of a text the user typed: Latin-1 when every character has a Latin-1 byte, otherwise
/// UTF-8, so that what the window shows comes back as it was.
std::string FromUser(const QString& text);

/// A path as the file system spells it, in bytes.
std::string PathBytes(const QString& path);

/// Qt's name filters for a "description|pattern|description|pattern" filter; patterns
/// separated by ";" ("*.mid;*.midi") become one filter. A trailing lone description is dropped.
QStringList NameFilters(std::string_view filter);

}  // namespace quavert
