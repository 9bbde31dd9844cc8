#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace shell {

// The product artwork shown by the splash window and the About box.
inline constexpr QSize productPictureSize{485, 326};

// Painted at run time, so the program carries no image files of its own.
[[nodiscard]] QPixmap productPicture();
// The program icon: a lamp head throwing a beam.
[[nodiscard]] QIcon productIcon();

enum class ToolbarPicture { New, Open, Save, About };
// The 16 x 16 toolbar button pictures.
[[nodiscard]] QIcon toolbarIcon(ToolbarPicture picture);

}  // namespace shell
