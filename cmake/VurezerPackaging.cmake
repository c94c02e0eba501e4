# A Debian package of the Linux build: the program with its sound module, the
# three tools and a desktop entry. `cpack -G DEB` in the build folder writes it.
include(GNUInstallDirs)
foreach(program vurezer vurezer-replay vurezer-import vurezer-feed)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()
# The program loads its sound output from here on the first alert sound.
if(TARGET vurezer_sound)
    install(TARGETS vurezer_sound LIBRARY DESTINATION ${VUREZER_SOUND_MODULE_DIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/vurezer.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

set(CPACK_PACKAGE_NAME vurezer)
set(CPACK_PACKAGE_VENDOR "Vurezer")
set(CPACK_PACKAGE_CONTACT "Vurezer maintainers <vurezer@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Currency-strength monitor and basket simulator for fourteen FX pairs")
set(CPACK_PACKAGING_INSTALL_PREFIX ${VUREZER_PACKAGE_PREFIX})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/dist)
include(CPack)
