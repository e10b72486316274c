# Installs Caldra under the prefix the way a desktop expects to find it, and
# makes the Debian package from that install (./scripts/package).
include(GNUInstallDirs)

set(CALDRA_WEB_URL "https://www.example.org/caldra/" CACHE STRING
  "Caldra's web page; the software centre's screenshots are below it, in screenshots/")
set(CPACK_PACKAGE_CONTACT
  "Caldra maintainers <maintainers@users.noreply.c-seed-e36a3c78.example>" CACHE STRING
  "The package's maintainer, as Name <address>")

set(generated ${CMAKE_BINARY_DIR}/generated)
configure_file(resources/org.example.caldra.metainfo.xml.in
  ${generated}/org.example.caldra.metainfo.xml @ONLY)
configure_file(resources/caldra.1.in ${generated}/caldra.1 @ONLY)
configure_file(resources/debian/changelog.in ${generated}/changelog @ONLY)

# Debian wants manual pages and changelogs compressed, and byte for byte the
# same on every build (-n leaves the time and name out).
find_program(GZIP gzip REQUIRED)
foreach(name caldra.1 changelog)
  add_custom_command(OUTPUT ${generated}/${name}.gz
    COMMAND ${GZIP} -9nfk ${generated}/${name}
    DEPENDS ${generated}/${name}
    COMMENT "Compressing ${name}")
endforeach()
add_custom_target(caldra_docs ALL DEPENDS ${generated}/caldra.1.gz ${generated}/changelog.gz)

install(TARGETS caldra RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/caldra.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${generated}/org.example.caldra.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${generated}/caldra.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${generated}/changelog.gz resources/debian/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/caldra)
install(FILES resources/caldra.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES resources/caldra-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME caldra.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME caldra)
set(CPACK_PACKAGE_VENDOR "the Caldra developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "time lyrics to MP3s, edit ID3 tags, build playlists")
# Debian shows the description as written, so the lines are kept short here.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Caldra is a small desktop program for people who keep their music as MP3"
  "files. Its lyric creator plays a song while you stamp each line of its"
  "lyrics with the moment it is sung, and saves an LRC file. Its tag editor"
  "shows the ID3v1 and ID3v2 tags of an MP3 file side by side for editing."
  "Its playlist creator gathers songs into an M3U playlist and copies them"
  "to a device.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CALDRA_WEB_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so the libraries do not name them: the window system's
# plugin, and GStreamer's parts for MP3 (good: mpg123, the MPEG parser, the
# sound output) and WMA (ugly: the ASF container; libav: the decoder).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, gstreamer1.0-plugins-base, \
gstreamer1.0-plugins-good, gstreamer1.0-plugins-ugly, gstreamer1.0-libav")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
