#!/usr/bin/env python3
"""Makes every input file of tests/fixtures/tags/cases byte for byte.

Run by hand (python3 tools/make_tag_cases.py [FOLDER]); the test command never
runs it. Each file is the committed tone (MPEG audio, no tag) with ID3 tags
written around it by hand, so that the tests do not trust the library they
check. One line of CASES is one file: its name, what is special about it and
its bytes. A new case is a new line; then record what the operations make of
it with CALDRA_REGOLD=1 (tests/fixtures/tags/README.md).
"""
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
FIXTURES = HERE.parent / "tests" / "fixtures" / "tags"
TONE = (FIXTURES / "tone.mp3").read_bytes()

LATIN1, UTF16, UTF16BE, UTF8 = 0, 1, 2, 3


def syncsafe(n):
    return bytes((n >> shift) & 0x7F for shift in (21, 14, 7, 0))


def encoded(enc, text):
    if enc == LATIN1:
        return text.encode("latin-1", errors="replace")
    if enc == UTF16:
        return b"\xff\xfe" + text.encode("utf-16-le")
    return text.encode("utf-16-be" if enc == UTF16BE else "utf-8")


def text_body(enc, text):
    return bytes([enc]) + encoded(enc, text)


def comment_body(enc, language, description, text):
    end = b"\0\0" if enc in (UTF16, UTF16BE) else b"\0"
    return bytes([enc]) + language + encoded(enc, description) + end + encoded(enc, text)


def frame(major, fid, body, flags=b"\0\0"):
    if major == 2:
        return fid + len(body).to_bytes(3, "big") + body
    size = syncsafe(len(body)) if major == 4 else len(body).to_bytes(4, "big")
    return fid + size + flags + body


def latin1(major, fid, text, flags=b"\0\0"):
    return frame(major, fid, text_body(LATIN1, text), flags)


def id3v2(major, frames, padding=0, flags=0):
    return (b"ID3" + bytes([major, 0, flags]) + syncsafe(len(frames) + padding) + frames
            + bytes(padding))


def id3v1(title, artist, album, year, comment, track, genre):
    def fixed(text, size):
        return text[:size].ljust(size, b"\0")
    tail = fixed(comment, 28) + b"\0" + bytes([track]) if track else fixed(comment, 30)
    return (b"TAG" + fixed(title, 30) + fixed(artist, 30) + fixed(album, 30) + fixed(year, 4)
            + tail + bytes([genre]))


def unsynchronised(data):
    out = bytearray()
    for i, b in enumerate(data):
        out.append(b)
        if b == 0xFF and i + 1 < len(data) and (data[i + 1] == 0 or data[i + 1] & 0xE0 == 0xE0):
            out.append(0)
    return bytes(out)


def every_frame(major, enc):
    """One frame of every kind the tag editor shows; the comment and the link
    also once with a description, which makes them someone else's."""
    return (frame(major, b"TIT2", text_body(enc, "Tïtle ☃"))
            + frame(major, b"TPE1", text_body(enc, "Ärtist"))
            + latin1(major, b"TALB", "Album")
            + latin1(major, b"TDRC" if major == 4 else b"TYER", "2001")
            + frame(major, b"TRCK", text_body(enc, "3/12"))
            + frame(major, b"COMM", comment_body(enc, b"eng", "iTunNORM", " 0000 0001"))
            + frame(major, b"COMM", comment_body(enc, b"deu", "", "line one\r\nline two"))
            + frame(major, b"TCOM", text_body(UTF16BE if major == 4 else enc, "Composer"))
            + frame(major, b"TOPE", text_body(enc, "Orig"))
            + frame(major, b"TCOP", text_body(enc, "© me"))
            + frame(major, b"TENC", text_body(enc, "lame"))
            + frame(major, b"WXXX", b"\0shop\0http://shop.example/")
            + frame(major, b"WXXX", b"\0\0http://home.example/\0")
            + frame(major, b"TCON", text_body(enc, "(17)")))


def foreign_frames(major):
    """Frames the editor does not show, which every write must keep."""
    return (frame(major, b"APIC", b"\0image/png\0\3cover\0" + b"\x89" * 300)
            + frame(major, b"USLT", comment_body(UTF16, b"eng", "", "la la la"))
            + frame(major, b"PRIV", b"owner.example\0" + b"\x07" * 40)
            + latin1(major, b"TXXX", "REPLAYGAIN_TRACK_GAIN\0-6.5 dB")
            + frame(major, b"XQZW", b"anything at all"))


AUDIO = TONE
V1 = id3v1(b"Title1", b"Artist1", b"Album1", b"1999", b"Comment1", 7, 17)


def title_then(major, rest, padding, flags=0):
    """A tag of the title "Old", then `rest`, before the audio and V1."""
    title = latin1(major, b"TT2" if major == 2 else b"TIT2", "Old")
    return id3v2(major, title + rest, padding, flags) + AUDIO + V1


def broken_then(major, bad):
    """A frame TagLib stops reading at, then frames it then never sees."""
    apic = frame(major, b"APIC", b"\0image/png\0\3\0" + b"\x89" * 900)
    return title_then(major, bad + frame(major, b"TPE1", text_body(UTF16, "Artist")) + apic
                      + latin1(major, b"TRCK", "4/9"), 32)


def with_flags(frame_bytes, at, flags):
    return frame_bytes[:at] + bytes([flags]) + frame_bytes[at + 1:]


def with_footer(tag):
    """The header's copy behind the frames, marked "3DI"; a tag with one has no padding."""
    return tag + b"3DI" + tag[3:10]


def year_then(major, year):
    return title_then(major, year + latin1(major, b"TPE1", "Artist"), 64)


def genre(major, text):
    return title_then(major, latin1(major, b"TCO" if major == 2 else b"TCON", text), 64)


def editor_hidden(major):
    flag = 0x40 if major == 4 else 0x80  # discard when the tag is altered
    return title_then(major, foreign_frames(major) + frame(major, b"TPE1", b"\3A\0B"), 16), flag


def encrypted_grouped(major):
    return title_then(major, with_flags(frame(major, b"PRIV", b"\x81" + b"Z" * 30), 9,
                                        0x04 if major == 4 else 0x40)
                      + with_flags(frame(major, b"TXXX", b"\x07\0a\0b"), 9,
                                   0x40 if major == 4 else 0x20), 16)


def discard_flagged(major):
    flags = b"\x40\0" if major == 4 else b"\x80\0"
    return id3v2(major, latin1(major, b"TIT2", "kept", flags) + latin1(major, b"TCOP", "old", flags)
                 + latin1(major, b"TPE1", "old", flags)) + AUDIO


def edit(major, frames):
    return id3v2(major, frames, 64 if major != 2 else 16) + AUDIO


def genres(major):
    gid = b"TCO" if major == 2 else b"TCON"
    return id3v2(major, latin1(major, gid, "(3)Dance")
                 + latin1(major, b"TP1" if major == 2 else b"TPE1", "Artist")
                 + latin1(major, gid, "Rock"), 64) + AUDIO


def lyrics(major):
    """Lyrics of others around the ones a write replaces, and a stacked tag."""
    v22 = major == 2
    stacked = id3v2(3, frame(3, b"USLT", comment_body(UTF16, b"eng", "", "stacked"))
                    + latin1(3, b"TIT2", "Second"), 16)
    frames = (frame(major, b"TXX" if v22 else b"TXXX", b"")
              + frame(major, b"SLT" if v22 else b"SYLT", b"\0eng\2\1\0old\0\0\0\0\0")
              + frame(major, b"ULT" if v22 else b"USLT",
                      comment_body(LATIN1, b"eng", "karaoke", "keep me"))
              + frame(major, b"ULT" if v22 else b"USLT", comment_body(UTF16, b"eng", "", "la la la")))
    if v22:
        frames += (latin1(2, b"TT2", "Old") + frame(2, b"PIC", b"\0PNG\3\0" + b"\x89" * 300)
                   + frame(2, b"TP1", text_body(UTF16, "Ärtist")))
    else:
        frames += foreign_frames(major) + every_frame(major, UTF16)
    return id3v2(major, frames) + stacked + AUDIO + V1


def several_comments(major):
    return id3v2(major, frame(major, b"COMM", comment_body(LATIN1, b"eng", "", "first"))
                 + frame(major, b"COMM", comment_body(LATIN1, b"deu", "", "second"))
                 + frame(major, b"WXXX", b"\0\0http://one.example/")
                 + frame(major, b"WXXX", b"\0\0http://two.example/")
                 + frame(major, b"COMM", comment_body(LATIN1, b"eng", "own", "kept"))) + AUDIO


OLD = id3v2(3, latin1(3, b"TIT2", "Old"), 16)
MARKED = AUDIO[:8] + b"ID3" + AUDIO[11:]  # a mark inside the audio is no tag
EXT = frame(4, b"TPE1", text_body(UTF8, "Artist")) + latin1(4, b"TRCK", "11")
STACKED = id3v2(3, every_frame(3, UTF16) + foreign_frames(3)
                + frame(3, b"APIC", b"\0image/jpeg\0\3\0" + b"\xd8" * 6000), 64)
RVAD = b"\3\x10" + b"\x11" * 8
JPEG = b"\xff\xd8\xff\xe0 jpeg \xff\0 bytes"
PNG = b"\x89PNG\r\n\x1a\n png bytes"


def pic(major, mime, kind, data, description=b""):
    """A picture frame; ID3v2.2 names a three-letter format instead of the MIME type."""
    if major == 2:
        return frame(2, b"PIC", b"\0" + mime[6:9].upper().replace(b"JPE", b"JPG") + bytes([kind])
                     + description + b"\0" + data)
    return frame(major, b"APIC", b"\0" + mime + b"\0" + bytes([kind]) + description + b"\0" + data)


def title(major):
    return latin1(major, b"TT2" if major == 2 else b"TIT2", "T")


def sylt(major, enc, description, lines, time_format=2):
    """Timed lines: time format 2 is milliseconds, 1 MPEG frames."""
    end = b"\0\0" if enc in (UTF16, UTF16BE) else b"\0"
    body = bytes([enc]) + b"eng" + bytes([time_format, 1]) + encoded(enc, description) + end
    for text, ms in lines:
        body += encoded(enc, text) + end + ms.to_bytes(4, "big")
    return frame(major, b"SLT" if major == 2 else b"SYLT", body)


def uslt(major, enc, language, description, text):
    return frame(major, b"ULT" if major == 2 else b"USLT",
                 comment_body(enc, language, description, text))


BACK = pic(3, b"image/jpeg", 4, JPEG, b"back")
FRONT = pic(3, b"image/jpeg", 3, JPEG, b"front")
XP09 = frame(3, b"XP09", b"owner\0data")  # experimental frames may have digits in their names
UNSYNC = (frame(3, b"PRIV", b"own\0\xff\xe0\xff\0\x12")
          + frame(3, b"TPE1", text_body(UTF16, "Ärtist")))

CASES = [
    ("cover-after-title", "a title and no picture", id3v2(3, title(3), 200) + AUDIO + V1),
    ("cover-back-front", "a back cover, a front cover and an experimental frame",
     id3v2(3, BACK + FRONT + XP09, 200) + AUDIO + V1),
    ("cover-front-back", "the front cover first", id3v2(3, FRONT + BACK, 200) + AUDIO + V1),
    ("cover-back-only", "a back cover and no front cover", id3v2(3, BACK + XP09, 200) + AUDIO + V1),
    ("cover-v22", "an ID3v2.2 front cover",
     id3v2(2, title(2) + pic(2, b"image/jpeg", 3, JPEG), 200) + AUDIO + V1),
    ("cover-v24", "an ID3v2.4 front cover before a UTF-8 title",
     id3v2(4, FRONT + frame(4, b"TIT2", text_body(UTF8, "T")), 200) + AUDIO + V1),
    ("pictures-v22", "two ID3v2.2 front covers",
     id3v2(2, title(2) + pic(2, b"image/png", 3, PNG) + pic(2, b"image/jpeg", 3, JPEG), 10)
     + AUDIO + V1),
    ("pictures-v23", "a picture of the band, then a back cover",
     id3v2(3, pic(3, b"image/png", 8, PNG) + pic(3, b"image/jpeg", 4, JPEG), 10) + AUDIO + V1),
    ("pictures-v24-unsynchronised-frame", "an ID3v2.4 picture frame unsynchronised alone",
     id3v2(4, b"APIC" + syncsafe(16) + b"\0\2\0image/png\0\3\0\xff\0\xe0", 10) + AUDIO + V1),
    ("own-lyrics-v22", "timed and plain lyrics in ID3v2.2",
     id3v2(2, sylt(2, LATIN1, "", [("la", 1500)]) + uslt(2, LATIN1, b"eng", "", "la"), 10) + AUDIO),
    ("own-lyrics-v23", "timed lines with a description, then without; plain text with one",
     id3v2(3, sylt(3, UTF16, "karaoke", [("x", 1)])
           + sylt(3, UTF16, "", [("\u00fcber", 2000), ("b", 3000)])
           + uslt(3, UTF16, b"deu", "other", "p\nq"), 10) + AUDIO),
    ("own-lyrics-v24", "timed lines in UTF-8 with a description",
     id3v2(4, sylt(4, UTF8, "k", [("a", 10)]), 10) + AUDIO),
    ("own-lyrics-v24-mpeg-frames", "timed in MPEG frames, which need the audio to be placed",
     id3v2(4, sylt(4, UTF16BE, "", [("m", 5)], 1) + uslt(4, UTF16BE, b"eng", "", "plain"), 10)
     + AUDIO),
    ("own-lyrics-v24-unsynchronised", "a whole-tag unsynchronisation of the time 0xFFE0",
     id3v2(4, frame(4, b"SYLT", b"\0eng\2\1\0u\0\0\0\xff\0\xe0"), 10, 0x80) + AUDIO),
    ("extended-header-size-without-flag", "what reads as an extended header's size, without "
     "the flag that there is one", id3v2(3, b"\0\0\0\6" + bytes(6) + latin1(3, b"TIT2", "Old"), 16)
     + AUDIO + V1),
    ("bare", "the tone alone: no tag of any kind", AUDIO),
    ("every-v23", "ID3v2.3 in UTF-16 with every field and frames the editor does not show",
     id3v2(3, every_frame(3, UTF16) + foreign_frames(3), 64) + AUDIO + V1),
    ("every-v23-latin1", "ID3v2.3 in Latin-1, the snowman lost to '?', no padding",
     id3v2(3, every_frame(3, LATIN1)) + AUDIO + V1),
    ("every-v24", "ID3v2.4 in UTF-8, the composer in UTF-16BE",
     id3v2(4, every_frame(4, UTF8), 64) + AUDIO + V1),
    ("discard-flagged-v23", "every frame flagged to be dropped once the tag changes (2.3)",
     discard_flagged(3)),
    ("discard-flagged-v24", "the same flag where ID3v2.4 keeps it", discard_flagged(4)),
    ("edit-v22-toa", "ID3v2.2 TOA, which TagLib reads as the original album",
     edit(2, latin1(2, b"TOT", "First album") + latin1(2, b"TOA", "First artist")
          + latin1(2, b"TP1", "Artist"))),
    ("edit-v23-tyer", "the year in TYER before the artist",
     edit(3, latin1(3, b"TIT2", "Old") + latin1(3, b"TYER", "2001") + latin1(3, b"TPE1", "Artist"))),
    ("edit-v23-tdrc", "an ID3v2.3 tag holding the ID3v2.4 year frame",
     edit(3, latin1(3, b"TIT2", "Old") + latin1(3, b"TDRC", "2001") + latin1(3, b"TPE1", "Artist"))),
    ("edit-v24-noyear", "ID3v2.4 without a year frame",
     edit(4, latin1(4, b"TIT2", "Old") + latin1(4, b"TPE1", "Artist"))),
    ("edit-v24-tyer", "ID3v2.4 holding the ID3v2.3 year frame",
     edit(4, latin1(4, b"TIT2", "Old") + latin1(4, b"TYER", "2001") + latin1(4, b"TPE1", "Artist"))),
    ("genres-v22", "two genre frames around another (2.2)", genres(2)),
    ("genres-v23", "two genre frames around another (2.3)", genres(3)),
    ("genres-v24", "two genre frames around another (2.4)", genres(4)),
    ("keep01-zero-size-frame", "a frame of size 0",
     broken_then(3, b"TXXX" + bytes(6))),
    ("keep02-zero-size-frame-2-4", "a frame of size 0 (2.4)",
     broken_then(4, b"TXXX" + bytes(6))),
    ("keep03-compressed-frame-no-zlib-data", "a compressed frame whose data is no zlib",
     broken_then(3, with_flags(frame(3, b"TCOP", (40).to_bytes(4, "big") + b"not zlib at all"), 9,
                               0x80))),
    ("keep04-text-frame-running-past-the-tag", "a frame size past the end of the tag",
     broken_then(3, b"TENC" + (5000).to_bytes(4, "big") + b"\0\0\0lame")),
    ("keep05-text-frame-running-past-the-tag-2-4", "a frame size past the end of the tag (2.4)",
     broken_then(4, b"TENC" + syncsafe(5000) + b"\0\0\0lame")),
    ("keep05b-a-frame-running-past-the-tag-after-a-look-alike", "the same after a frame whose "
     "last bytes read as a frame header, which is no place to look for the next frame",
     broken_then(3, frame(3, b"PRIV", b"owner\0TXXX\0\0\0\x0f\0\0") + b"TENC"
                 + (5000).to_bytes(4, "big") + b"\0\0\0lame")),
    ("keep06-dropped-2-3-frames", "ID3v2.3 frames TagLib reads and never writes",
     title_then(3, frame(3, b"RVAD", RVAD) + latin1(3, b"TSIZ", "123456")
                + latin1(3, b"TRDA", "4th-7th June 1998") + latin1(3, b"TDAT", "0706")
                + frame(3, b"EQUA", b"\x10\x80\x40\x00\x10"), 16)),
    ("keep07-dropped-2-2-frames", "ID3v2.2 frames TagLib reads and never writes",
     title_then(2, frame(2, b"RVA", RVAD) + latin1(2, b"TDA", "0706") + latin1(2, b"TYE", "1998"),
                16)),
    ("keep07b-an-empty-frame-last", "a frame of size 0 that ends the tag, no padding",
     id3v2(3, latin1(3, b"TIT2", "Old") + b"TXXX" + bytes(6)) + AUDIO + V1),
    ("keep07c-a-frame-header-cut-off", "a frame header cut off by the end of the tag",
     id3v2(3, latin1(3, b"TIT2", "Old") + b"TPE1\0\0") + AUDIO + V1),
    ("keep08-last-frame-after-an-extended-header", "an extended header and no padding: "
     "TagLib 1.13 never reads the last frame",
     id3v2(4, syncsafe(6) + b"\1\0" + latin1(4, b"TIT2", "Old") + EXT, 0, 0x40) + AUDIO + V1),
    ("keep08b-an-id3v2-3-extended-header", "an ID3v2.3 extended header, whose size leaves "
     "itself out", id3v2(3, (6).to_bytes(4, "big") + bytes(6) + latin1(3, b"TIT2", "Old")
                         + latin1(3, b"TALB", "Album"), 16, 0x40) + AUDIO + V1),
    ("keep09-flagged-extended-header-that-is-not-there", "the extended-header flag and none",
     title_then(4, EXT, 16, 0x40)),
    ("keep10-stacked-tag", "a second, larger tag behind the first, which fills its place",
     id3v2(3, latin1(3, b"TIT2", "Old") + latin1(3, b"TALB", "Album")) + STACKED + AUDIO + V1),
    ("keep11-stacked-tag", "a second tag behind the first, which has room to spare",
     id3v2(3, latin1(3, b"TIT2", "Old") + latin1(3, b"TALB", "Album"), 200) + STACKED + AUDIO + V1),
    ("keep12-a-byte-order-mark-and-nothing-else", "a year of a Latin-1 byte-order mark alone",
     year_then(3, frame(3, b"TYER", b"\0\xfe\xff"))),
    ("keep13-a-year-of-two-digits", "a year of two digits", year_then(3, latin1(3, b"TYER", "95"))),
    ("keep14-a-year-with-a-date", "a year with the day",
     year_then(3, latin1(3, b"TYER", "1995-03-01"))),
    ("keep15-the-id3v2-3-year-in-an-id3v2-4-tag", "TYER in an ID3v2.4 tag",
     year_then(4, latin1(4, b"TYER", "2001"))),
    ("keep16-3-dance", "a genre as code and name", genre(3, "(3)Dance")),
    ("keep17-80", "a genre as a code in brackets", genre(3, "(80)")),
    ("keep18-17-80-rocky", "two codes and a name in one genre frame", genre(3, "(17)(80)Rocky")),
    ("keep19-3", "an ID3v2.4 genre as a bare number", genre(4, "3")),
    ("keep20-3-dance", "an ID3v2.2 genre as code and name", genre(2, "(3)Dance")),
    ("keep21-frames-the-editor-does-not-show", "frames the editor does not show, a UTF-8 "
     "artist in an ID3v2.3 tag", editor_hidden(3)[0]),
    ("keep22-encrypted-and-grouped-frames", "an encrypted and a grouped frame",
     encrypted_grouped(3)),
    ("keep23-frames-the-editor-does-not-show", "frames the editor does not show (2.4)",
     editor_hidden(4)[0]),
    ("keep24-encrypted-and-grouped-frames", "an encrypted and a grouped frame (2.4)",
     encrypted_grouped(4)),
    ("keep25-unsynchronised-tag", "an unsynchronised tag",
     id3v2(3, unsynchronised(latin1(3, b"TIT2", "Old") + UNSYNC), 16, 0x80) + AUDIO + V1),
    ("keep26-plain-frame-size-before-padding", "an ID3v2.4 frame size written as a plain "
     "number, which read as syncsafe would end inside the text; padding after it",
     id3v2(4, b"TIT2" + (256).to_bytes(4, "big") + b"\0\0" + text_body(LATIN1, "l" * 255), 64)
     + AUDIO + V1),
    ("keep27-a-footer", "an ID3v2.4 tag closed by a footer, which a write keeps after the frames",
     with_footer(id3v2(4, latin1(4, b"TIT2", "Old") + latin1(4, b"TPE1", "Artist"), 0, 0x10))
     + AUDIO + V1),
    ("keep28-a-name-that-starts-wrong", "bytes after the frames that would be a frame but for "
     "the first letter of its name, which stay behind the padding",
     id3v2(3, latin1(3, b"TIT2", "Old") + b"tXXX\0\0\0\2\0\0ab", 16) + AUDIO + V1),
    ("lyrics-file", "a lyric file named like a song", b"[00:01]la la\r\n"),
    ("lyrics-v22", "lyrics of others in an ID3v2.2 tag", lyrics(2)),
    ("lyrics-v23", "lyrics of others in an ID3v2.3 tag", lyrics(3)),
    ("lyrics-v24", "lyrics of others in an ID3v2.4 tag", lyrics(4)),
    ("old-v22", "ID3v2.2 with a UTF-16 title, an empty ID3v1.0 tag",
     id3v2(2, frame(2, b"TT2", text_body(UTF16, "Old ☃")) + latin1(2, b"TYE", "1980")
           + latin1(2, b"TCO", "(17)Rock")) + AUDIO + id3v1(b"", b"", b"", b"", b"", 0, 255)),
    ("refused-bad-size", "a tag size that is no syncsafe number",
     b"ID3\3\0\0\x80\0\0\0" + AUDIO + V1),
    ("refused-v22-compressed", "a compressed ID3v2.2 tag",
     id3v2(2, b"\x33" * 40, 0, 0x40) + AUDIO + V1),
    ("remove-junk", "bytes without a mark between the tag and the audio",
     OLD + b"junk without a mark" + MARKED + V1),
    ("remove-stacked", "a second tag between the tag and the audio",
     OLD + id3v2(3, latin1(3, b"TIT2", "second")) + MARKED + V1),
    ("remove-stray-mark", "an 'ID3' mark of no tag behind the tag",
     OLD + b"\0\0ID3\3\0\0" + b"\x7f" * 4 + MARKED + V1),
    ("several-comments-v23", "several comments and links without a description",
     several_comments(3)),
    ("several-comments-v24", "several comments and links without a description (2.4)",
     several_comments(4)),
]


def main():
    folder = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else FIXTURES / "cases"
    folder.mkdir(parents=True, exist_ok=True)
    for name, _, data in CASES:
        (folder / f"{name}.mp3").write_bytes(data)


if __name__ == "__main__":
    main()
