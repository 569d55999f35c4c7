# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack -G DEB` in a build configured with the prefix
# the package installs to (the help file's path is compiled in).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavik)
set(CPACK_PACKAGE_VENDOR "Tavik 開発班")
set(CPACK_PACKAGE_CONTACT "Tavik 開発班 <i@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "MPEG file size, bit rate and recording time calculator")
# One string: CPack turns its blank lines into Debian's " ." paragraph
# breaks (separate quoted pieces would be joined with ";").
set(CPACK_PACKAGE_DESCRIPTION [[
From the audio rate, the video rate, the file size and the playing time of
a recording, Tavik works out the missing quantity: the file size, the video
rate that fills a disc or file exactly, or the recordable time. A split
calculation scales the playing time by the episodes kept and shows the
seconds per episode.

Recordings dropped onto its small always-on-top window fill in their
playing time and audio rate. The user interface is Japanese.

The package also holds tavik-calc, which does the same calculations for
scripts and prints the bare result.]])
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://tavik.example.org/)
# Library dependencies come from the binary; the font is loaded by name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-ipafont-gothic)
# ffprobe reads dropped recordings, without it a drop says what to install;
# qt6-translations-l10n gives Qt's own texts (context menus, buttons) in English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg, qt6-translations-l10n")

include(CPack)
