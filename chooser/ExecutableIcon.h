// An executable's own icon read straight from the resources in its file, with a few small reads: the window
// system's own reader maps the whole file and builds an icon, which the image list then takes apart again.
#pragma once
#include "IconLoader.h"

// What the file's resources hold for an icon of `size` pixels: no readable icon (the file may be damaged, and
// the window system's reader is not asked, as Wine's fails on such a file), the first icon group's best
// image, read into the picture as the image list takes it, or that image in a form not read here (compressed,
// or of another size), which the window system's reader takes, and scales.
enum class IconForm { None, Read, Other };
IconForm ReadExecutableIcon(LPCSTR path, int size, IconLoader::Picture& picture);
