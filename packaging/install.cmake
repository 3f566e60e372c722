# Installation and the Debian package.
include(GNUInstallDirs)

# The window program lives beside the sample movies, since the Open Movie dialog starts in the
# executable's folder; bin/glowreel is a link to it.
set(GLOWREEL_APP_DIR ${CMAKE_INSTALL_LIBDIR}/glowreel)
install(TARGETS glowreel RUNTIME DESTINATION ${GLOWREEL_APP_DIR})
install(TARGETS glowreel-play glowreel-convert glowreel-edit RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${sample_movies} DESTINATION ${GLOWREEL_APP_DIR})
file(CREATE_LINK ../${GLOWREEL_APP_DIR}/glowreel ${CMAKE_CURRENT_BINARY_DIR}/glowreel-link SYMBOLIC)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/glowreel-link DESTINATION ${CMAKE_INSTALL_BINDIR}
        RENAME glowreel)

# The icon, drawn by the program's own code at the sizes desktops ask for.
add_executable(write_icons packaging/write_icons.cpp)
target_link_libraries(write_icons PRIVATE glowreel_windows)
set(icon_sizes 16 24 32 48 64 128 256)
set(icon_dir ${CMAKE_CURRENT_BINARY_DIR}/icons)
list(TRANSFORM icon_sizes APPEND ".png" OUTPUT_VARIABLE icon_files)
list(TRANSFORM icon_files PREPEND "${icon_dir}/")
add_custom_command(OUTPUT ${icon_files}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_dir}
                   COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                           $<TARGET_FILE:write_icons> ${icon_dir} ${icon_sizes}
                   DEPENDS write_icons)
foreach(size ${icon_sizes})
  install(FILES ${icon_dir}/${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME glowreel.png)
endforeach()

# Manual pages and the changelog, compressed as Debian wants them.
set(gzipped)
foreach(page glowreel glowreel-play glowreel-convert glowreel-edit)
  list(APPEND man_pages ${PROJECT_SOURCE_DIR}/docs/man/${page}.1)
endforeach()
foreach(source ${man_pages} ${PROJECT_SOURCE_DIR}/packaging/changelog)
  get_filename_component(name ${source} NAME)
  set(target ${CMAKE_CURRENT_BINARY_DIR}/gz/${name}.gz)
  add_custom_command(OUTPUT ${target}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/gz
                     COMMAND gzip -9n -c ${source} > ${target}
                     DEPENDS ${source})
  list(APPEND gzipped ${target})
endforeach()
add_custom_target(glowreel_package_files ALL DEPENDS ${icon_files} ${gzipped})
foreach(source ${man_pages})
  get_filename_component(name ${source} NAME)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/gz/${name}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

install(FILES packaging/org.example.glowreel.desktop packaging/org.example.glowreel.edit.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/org.example.glowreel.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/glowreel-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME glowreel.xml)
install(FILES packaging/60-glowreel-parport.rules packaging/61-glowreel-gpio.rules
        DESTINATION lib/udev/rules.d)
# The unit names the program where this installation puts it, whatever the prefix.
install(CODE "set(bindir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/packaging/glowreel-play@.service.in\"
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/system/glowreel-play@.service\" @ONLY)")
install(FILES README.md packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/gz/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glowreel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "player for movies on a Noritake 128x64 VFD")
# CPack puts the summary above it and indents each line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "GlowReel plays monochrome movies, written as plain text files of frames, on a
Noritake 128 x 64 dot graphic vacuum-fluorescent display of the 800 series
wired to the PC's parallel port. Without a display, the same bytes drive an
on-screen virtual display.

The package has the player's window (glowreel), a player without windows for
kiosks and services (glowreel-play) with a systemd unit, a converter between
pictures and movies (glowreel-convert), a movie editor (glowreel-edit) and
sample movies.")
set(CPACK_PACKAGE_CONTACT "GlowReel developers <glowreel@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://glowreel.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the libraries do not tell: Qt's window-system plugins and the font the windows use.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core, adduser")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/packaging/postinst)
include(CPack)
