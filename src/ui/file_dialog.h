#pragma once

class QAbstractFileIconProvider;
class QFileDialog;

namespace ui {

// Icons and type names from a file's name and kind alone. Nothing here opens a file,
// so a device, a pipe or a kernel file that blocks on reading cannot hang a list of
// files. One provider for the whole run; it outlives every model that uses it.
[[nodiscard]] QAbstractFileIconProvider* plainFileIcons();

// Sets `dialog` up as every file dialog of the program is shown: the toolkit's own
// dialog over plainFileIcons(), for opening (an existing file only) or saving (any name).
void prepareFileDialog(QFileDialog& dialog, bool save);

}  // namespace ui
