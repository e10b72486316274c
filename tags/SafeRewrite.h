#pragma once

#include <functional>

#include <QString>

namespace caldra {

// Changes a file in place so that it ends up either changed as intended or as
// it was. The bytes are first copied to a hidden file beside it; `change`
// rewrites the file, then `check` compares it with that copy (whose path it
// gets) and raises TagError when the result is wrong. On any failure the
// original bytes are written back into the same file, so that it keeps its
// inode, permissions and links, and the error is raised again.
void rewriteInPlace(const QString &path, const std::function<void()> &change,
                    const std::function<void(const QString &original)> &check);

// Whether `length` bytes from `offsetA` in file a equal those from `offsetB` in
// file b; false when either file is shorter or cannot be read.
bool sameBytes(const QString &a, qint64 offsetA, const QString &b, qint64 offsetB, qint64 length);

// Whether the file is the original's first `keepFront` bytes, then `middle`
// bytes of anything, then the original from `tailFrom` to its end.
bool keepsOriginalAround(const QString &path, const QString &original, qint64 keepFront,
                         qint64 middle, qint64 tailFrom);

} // namespace caldra
