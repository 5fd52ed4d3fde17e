# Where `cmake --install` puts the program for desktops to find it, and the Debian package `make package`
# builds from that. Paths are fixed when the build is configured (the program looks for its web-engine
# module in SORANIKA_MODULE_DIR), so configure with the prefix it is installed under.

# The program and its web-engine, plot and ZIP modules in a folder of their own; the modules are looked for
# there.
set(SORANIKA_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/soranika)
install(TARGETS soranika RUNTIME DESTINATION ${SORANIKA_PROGRAM_DIR})
install(TARGETS soranika_webengine soranika_plots soranika_zip LIBRARY DESTINATION ${SORANIKA_PROGRAM_DIR})

# The command `soranika` starts the program in ~/ソラニカ: the desktop entry runs it.
file(RELATIVE_PATH PROGRAM_FROM_LAUNCHER ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_LIBDIR}/soranika/soranika)
configure_file(${CMAKE_CURRENT_LIST_DIR}/../data/soranika.in ${CMAKE_BINARY_DIR}/launcher/soranika @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/soranika DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${CMAKE_CURRENT_LIST_DIR}/../data/soranika.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${CMAKE_CURRENT_LIST_DIR}/../data/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The manual page and the Debian changelog compressed as Debian wants them: gzip -9, no name or time.
set(SORANIKA_DOCS ${CMAKE_BINARY_DIR}/docs)
set(compressed)
foreach(source data/soranika.1 packaging/changelog)
  get_filename_component(name ${source} NAME)
  add_custom_command(OUTPUT ${SORANIKA_DOCS}/${name}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/${source} ${SORANIKA_DOCS}/${name}
                     COMMAND gzip -9nf ${SORANIKA_DOCS}/${name}
                     DEPENDS ${CMAKE_SOURCE_DIR}/${source}
                     VERBATIM)
  list(APPEND compressed ${SORANIKA_DOCS}/${name}.gz)
endforeach()
add_custom_target(soranika_docs ALL DEPENDS ${compressed})
install(FILES ${SORANIKA_DOCS}/soranika.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${SORANIKA_DOCS}/changelog.gz ${CMAKE_CURRENT_LIST_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package. dpkg-shlibdeps finds the libraries the program and module link; what they load
# at run time is named here: the fonts the screens and the printout use, Qt's Japanese texts, the
# SQLite driver, and the web engine's helper process.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME soranika)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "charts for every animal a pet shop buys and sells")
# CPack puts the summary first, indents the rest and marks the empty line as Debian wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "ソラニカ keeps one chart per animal: birth date, breed, sex, coat colour, staff
member, litter size, birthplace, weights, medication history and notes, with
the purchase date, supplier, cost, planned price and sale date typed straight
into the chart. It steps through the charts, finds the next free one, lists
and searches them, exports them as CSV and prints a chart on the default
printer. Its user interface and help are in Japanese.

The data stays in ~/ソラニカ in the file format the shop's earlier program
used, so existing detapetto.dt and pick-list files can be copied in.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Soranika maintainers <maintainers@users.noreply.c-seed-335584e8.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-noto-cjk, fonts-ipafont-gothic, qt6-translations-l10n, libqt6sql6-sqlite, libqt6webenginecore6-bin")
# Japanese input in a Qt 6 program needs the input method's Qt 6 front end (ibus brings its own).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fcitx5-frontend-qt6 | ibus")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "printer-driver-cups-pdf")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
