#pragma once

namespace caldra {

// Gives the running application its name, desktop entry and icon, and makes
// every title bar show its window's caption exactly. Call once the application
// object exists.
void setUpApplication();

} // namespace caldra
