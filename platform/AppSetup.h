#pragma once

namespace caldra {

// Gives the running application its name, desktop entry and icon. Call once
// the application object exists.
void setUpApplication();

} // namespace caldra
