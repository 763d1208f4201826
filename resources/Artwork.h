#pragma once

// Registers the compiled-in pictures (":/pieces/...", ":/textures/...",
// ":/menu/...", ":/about/...", ":/icons/..."). Linking the artwork library
// normally does this on its own; calling it once at start-up makes sure of
// it even where the linker drops the library's unreferenced initialiser.
// Calling it again is harmless.
void InitArtwork();
