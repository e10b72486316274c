#pragma once

// The committed tone: MPEG audio without any tag, which the tag tests and the
// fixture makers put tags around (tools/make_tag_cases.py, tools/Id3Bytes.h).

#include <QByteArray>
#include <QString>

#include "support/Files.h"
#include "support/QtPrinters.h"

namespace caldra::test {

inline QByteArray toneAudio()
{
    return readBytes(QStringLiteral(CALDRA_FIXTURES_DIR "/tags/tone.mp3"));
}

// Audio of about `bytes` bytes: the tone's frames over and over.
inline QByteArray longAudio(qint64 bytes)
{
    const QByteArray tone = toneAudio();
    return tone.repeated(int((bytes + tone.size() - 1) / tone.size()));
}

} // namespace caldra::test
