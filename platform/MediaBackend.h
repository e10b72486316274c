#pragma once

namespace caldra {

// Picks the media stack the program plays and decodes through, before Qt or
// GStreamer start; a choice already made in the environment stands.
void chooseMediaBackend();

} // namespace caldra
