#pragma once

// The rule every ID3v2 write keeps: only the frames of the edited fields
// change; every other frame keeps its bytes, and the ID3v1 tag and the audio
// stay as they were.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/Id3Bytes.h"
#include "tags/TagComponent.h"

namespace caldra::test {

// Whether every piece is found in `bytes`, each after the one before.
inline bool keptInOrder(const QByteArray &bytes, const QList<QByteArray> &pieces)
{
    qsizetype from = 0;
    for (const QByteArray &piece : pieces) {
        const qsizetype at = bytes.indexOf(piece, from);
        if (at < 0)
            return false;
        from = at + piece.size();
    }
    return true;
}

class TagRuleTest : public ::testing::Test {
protected:
    QString make(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("case%1.mp3").arg(++m_files));
        EXPECT_TRUE(writeBytes(path, bytes));
        return path;
    }

    // What the window does: every value as read, one of them edited.
    void writeOne(const QString &path, void (TagComponent::*set)(const QString &),
                  const QString &value)
    {
        TagComponent tags;
        tags.V2FileName(path);
        (tags.*set)(value);
        tags.WriteV2();
    }

    // The title written into a file made of `tag` then the audio and the
    // ID3v1 tag: every frame of `kept` is still in the new tag, byte for
    // byte and in order, and everything after the tag is as it was.
    void expectTitleWriteKeeps(const QByteArray &tag, const QList<QByteArray> &kept,
                               const QByteArray &after = {})
    {
        const QString path = make(tag + after + audio + v1);
        ASSERT_NO_THROW(writeOne(path, &TagComponent::V2Title, QStringLiteral("New ☃")));
        const QByteArray bytes = readBytes(path);
        const qsizetype rest = after.size() + audio.size() + v1.size();
        EXPECT_TRUE(bytes.endsWith(QByteArray(after + audio + v1)));
        EXPECT_TRUE(keptInOrder(bytes.left(bytes.size() - rest), kept));
        TagComponent again;
        again.V2FileName(path);
        EXPECT_EQ(again.V2Title(), QStringLiteral("New ☃"));
    }

    QTemporaryDir dir;
    QByteArray audio = toneAudio();
    QByteArray v1 = id3v1("Title1", "Artist1", "Album1", "1999", "Comment1", 7, 17);

private:
    int m_files = 0;
};

} // namespace caldra::test
