# Installation and the Debian package.
include(GNUInstallDirs)

# The executable lives beside the sample movies, since the Open Movie dialog starts in the
# executable's folder; bin/glowreel is a link to it.
set(GLOWREEL_APP_DIR ${CMAKE_INSTALL_LIBDIR}/glowreel)
install(TARGETS glowreel RUNTIME DESTINATION ${GLOWREEL_APP_DIR})
install(FILES ${sample_movies} DESTINATION ${GLOWREEL_APP_DIR})
file(CREATE_LINK ../${GLOWREEL_APP_DIR}/glowreel ${CMAKE_CURRENT_BINARY_DIR}/glowreel-link SYMBOLIC)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/glowreel-link DESTINATION ${CMAKE_INSTALL_BINDIR}
        RENAME glowreel)

add_executable(write_icons packaging/write_icons.cpp)
target_link_libraries(write_icons PRIVATE glowreel_qt)
set(icon_dir ${CMAKE_CURRENT_BINARY_DIR}/icons)
add_custom_command(OUTPUT ${icon_dir}/16.png ${icon_dir}/32.png
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_dir}
                   COMMAND write_icons ${icon_dir}
                   DEPENDS write_icons)
add_custom_target(glowreel_icons ALL DEPENDS ${icon_dir}/16.png ${icon_dir}/32.png)
foreach(size 16 32)
  install(FILES ${icon_dir}/${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME glowreel.png)
endforeach()
install(FILES packaging/glowreel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/60-glowreel-parport.rules DESTINATION lib/udev/rules.d)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glowreel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "GlowReel player for Noritake 128x64 VFD 800")
set(CPACK_PACKAGE_CONTACT "GlowReel developers <glowreel@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), qt6-qpa-plugins, libstdc++6, libc6, fonts-dejavu-core")
include(CPack)
