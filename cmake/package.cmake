# The Debian package: `cpack` in a Release build makes tollvane_<version>_amd64.deb
# (scripts/package.sh does all of it). The binaries go to bin/, the template of the program folder
# to share/tollvane/; an installed program lays out its own folder from that template.
set(TOLLVANE_STAGE ${CMAKE_BINARY_DIR}/package)
set(TOLLVANE_FONT_LINK ../fonts/truetype/dseg/DSEG7Classic-Regular.ttf)
add_custom_command(
    OUTPUT ${TOLLVANE_STAGE}/template/Data/temp.dat
        ${TOLLVANE_STAGE}/tollvane.1.gz ${TOLLVANE_STAGE}/tollvane-table.1.gz
        ${TOLLVANE_STAGE}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${TOLLVANE_STAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory
        ${TOLLVANE_STAGE}/template/Music ${TOLLVANE_STAGE}/template/随机音乐
    COMMAND $<TARGET_FILE:tollvane-table> init ${TOLLVANE_STAGE}/template/Data
    # The clock font stays in fonts-dseg: the template holds a link to it.
    COMMAND ${CMAKE_COMMAND} -E create_symlink ${TOLLVANE_FONT_LINK}
        ${TOLLVANE_STAGE}/template/digital.ttf
    COMMAND sh -c "for f in \"$@\"; do gzip -9n -c \"$f\" > \"${TOLLVANE_STAGE}/$(basename \"$f\").gz\" || exit 1; done"
        gzip ${CMAKE_SOURCE_DIR}/packaging/tollvane.1 ${CMAKE_SOURCE_DIR}/packaging/tollvane-table.1
        ${CMAKE_SOURCE_DIR}/packaging/changelog
    DEPENDS tollvane-table ${CMAKE_SOURCE_DIR}/packaging/tollvane.1
        ${CMAKE_SOURCE_DIR}/packaging/tollvane-table.1 ${CMAKE_SOURCE_DIR}/packaging/changelog
    COMMENT "Staging the package's template, manual pages and changelog"
    VERBATIM)
add_custom_target(package_stage ALL DEPENDS ${TOLLVANE_STAGE}/template/Data/temp.dat)

install(TARGETS tollvane tollvane-table RUNTIME DESTINATION bin)
install(DIRECTORY ${TOLLVANE_STAGE}/template/ DESTINATION share/tollvane)
install(FILES ${CMAKE_SOURCE_DIR}/assets/sys.mp3 ${CMAKE_SOURCE_DIR}/assets/tollvane.svg
    DESTINATION share/tollvane)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/tollvane.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/assets/tollvane.svg
    DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/assets/tollvane-48.png
    DESTINATION share/icons/hicolor/48x48/apps RENAME tollvane.png)
install(FILES ${TOLLVANE_STAGE}/tollvane.1.gz ${TOLLVANE_STAGE}/tollvane-table.1.gz
    DESTINATION share/man/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${TOLLVANE_STAGE}/changelog.gz
    DESTINATION share/doc/tollvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tollvane)
set(CPACK_PACKAGE_VENDOR "Tollvane developers")
set(CPACK_PACKAGE_CONTACT "Tollvane developers <dev@tollvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "school bells that play music on a timetable")
set(CPACK_PACKAGE_DESCRIPTION
    "Tollvane rings a school's bells by playing music. At each second of the\n\
timetable (hour, minute, second, weekdays) it plays the event's sound file\n\
(MP3, WMA, WAV, MIDI) or a short random playlist. It counts down the last ten\n\
seconds, names the next event, records announcements, shuts the computer down\n\
at a set time, starts with the session and controls the master volume. Five\n\
timetables (temporary; summer and winter, each sunny and rainy) and a school\n\
calendar of holidays and make-up days. The user interface is in Chinese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The shared libraries the binaries link are computed by dpkg-shlibdeps; these are what the
# program loads at run time: Qt's plug-ins, GStreamer's, an output, fonts, fluidsynth (opened at
# the first MIDI file) and a soundfont.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6sql6-sqlite, libqt6svg6, qt6-translations-l10n, \
gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, \
gstreamer1.0-plugins-ugly, gstreamer1.0-libav, \
gstreamer1.0-pulseaudio | gstreamer1.0-pipewire, gstreamer1.0-alsa, \
fonts-wqy-microhei | fonts-noto-cjk | fonts-wqy-zenhei, fonts-dseg, \
libfluidsynth3, timgm6mb-soundfont | sf2-soundfont-gm")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
