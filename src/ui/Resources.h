#pragma once

class QIcon;

namespace orbisk {

// Registers the images and translations compiled into the client under ":/resource/".
// The resources live in a static library, so they are registered explicitly.
void initResources();
void cleanupResources();

// The client's icon: every window's and the tray's.
QIcon applicationIcon();

} // namespace orbisk
