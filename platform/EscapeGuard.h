#pragma once

class QDialog;

namespace caldra {

// Escape no longer closes the dialog. Our tool windows have no cancel button,
// and the toolkit's default would throw away unwritten edits and unsaved rows
// without a word; the frame's close button stays the way out.
void keepOpenOnEscape(QDialog *dialog);

} // namespace caldra
