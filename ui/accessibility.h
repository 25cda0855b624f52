#pragma once

// Makes the toolkit's accessibility describe this program's own widgets: the
// window as a window named by its caption, and each drawing area with the role
// and the live description its PictureBox gives. Call before the first widget
// is queried; calling again changes nothing.
void InstallAccessibility();
