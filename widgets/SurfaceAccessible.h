#pragma once
// The surface as assistive programs (screen readers, through AT-SPI on Linux) see it: an object
// of role Canvas named as its content says, with one child per item (a vertex, an edge), the
// item holding the keyboard's selection focused. The content comes from TImage::AccessibleContent.

// Makes Qt build the surface's accessible object with this file's classes. Idempotent.
void InstallSurfaceAccessibility();
