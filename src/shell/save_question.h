#pragma once

#include <QString>

class QMessageBox;
class QWidget;

namespace quavert {

/// The answer to "Save changes to NAME?".
enum class SaveChoice { kSave, kDiscard, kCancel };

/// The question set up in `box`: Save, Discard and Cancel, Save the default, Escape cancels.
void SetUpSaveQuestion(QMessageBox& box, const QString& name);

/// Asks whether to save the changes to the file named `name` before they would be lost.
SaveChoice AskToSaveChanges(QWidget* parent, const QString& name);

}  // namespace quavert
