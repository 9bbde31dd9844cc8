#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace shell {

// The product artwork shown by the splash window and the About box.
inline constexpr QSize productPictureSize{485, 326};

// Painted at run time for the screen's device pixel ratio, so it stays sharp when
// the desktop scales; its size in device-independent pixels is productPictureSize.
[[nodiscard]] QPixmap productPicture(qreal devicePixelRatio = 1.0);
// The program icon: a lamp head throwing a beam (scalable).
[[nodiscard]] QIcon productIcon();

enum class ToolbarPicture { New, Open, Save, About };
// The toolbar button pictures: the desktop theme's standard ones, else our own
// scalable ones.
[[nodiscard]] QIcon toolbarIcon(ToolbarPicture picture);

}  // namespace shell
