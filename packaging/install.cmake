# The installed tree: the program in bin/, its engine module in its own library folder, the sample
# library in its data folder, and what the desktop needs to list and show it. The program finds
# the module and the sample relative to itself, so the tree works wherever its prefix is moved.
#
# Every file belongs to one component. `cmake --install` of the whole build lists what it put in
# place in install_manifest.txt, which the README's uninstall reads; the package build and the
# install test install this component alone, so their staged paths go to a list of its own and
# never take the place of the user's.
include(GNUInstallDirs)
set(FEYLUME_COMPONENT feylume)

install(TARGETS feylume RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${FEYLUME_COMPONENT})
# A fixed lib/feylume, not the multiarch library folder: the program looks there from bin/.
install(TARGETS feylume_pageengine LIBRARY DESTINATION lib/feylume COMPONENT ${FEYLUME_COMPONENT})

# Made afresh from the sample content, unlike the library beside the built program, which may
# already hold the developer's own changes.
set(FEYLUME_SAMPLE_LIBRARY ${CMAKE_CURRENT_BINARY_DIR}/share/feylume/qvlb.db)
file(GLOB FEYLUME_SAMPLE_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tools/samples/scripts/*)
add_custom_command(OUTPUT ${FEYLUME_SAMPLE_LIBRARY}
    COMMAND feylume-mklib --replace ${FEYLUME_SAMPLE_LIBRARY} ${CMAKE_CURRENT_SOURCE_DIR}/tools/samples/library.json
    DEPENDS feylume-mklib ${CMAKE_CURRENT_SOURCE_DIR}/tools/samples/library.json ${FEYLUME_SAMPLE_SCRIPTS}
    COMMENT "Making the sample library to install")
add_custom_target(feylume_sample_library ALL DEPENDS ${FEYLUME_SAMPLE_LIBRARY})
install(FILES ${FEYLUME_SAMPLE_LIBRARY} DESTINATION ${CMAKE_INSTALL_DATADIR}/feylume COMPONENT ${FEYLUME_COMPONENT})

install(FILES packaging/feylume.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
    COMPONENT ${FEYLUME_COMPONENT})
install(FILES packaging/example.qingyingstudio.feylume.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
    COMPONENT ${FEYLUME_COMPONENT})
foreach(size 16 22 24 32 48 64)
    install(FILES packaging/icons/${size}x${size}/feylume.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT ${FEYLUME_COMPONENT})
endforeach()
install(FILES packaging/icons/scalable/feylume.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    COMPONENT ${FEYLUME_COMPONENT})
# Named after the package, where Debian looks for it, rather than after the project.
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/feylume COMPONENT ${FEYLUME_COMPONENT})
