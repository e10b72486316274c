#pragma once

#include <QString>

#include "platform/Services.h"

class QWidget;

namespace caldra {

// The lyric window's "Get id3": opens a fresh tag editor on the music file last
// confirmed in its file dialog, or says that WMA tags are not supported.
void cmdGetId3(const Services &services, const QString &fileTitle, const QString &fileName,
               QWidget *messageParent);

} // namespace caldra
