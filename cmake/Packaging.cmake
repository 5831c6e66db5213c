# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Installing the client, the test server and the teacher's console, and the three Debian
# packages built from these install rules by CPack: chengling-client, chengling-testserver and
# chengling-teacher.
#
#   cmake --install build --prefix /usr/local       install into a prefix
#   cd build && cpack                                 build/chengling-*_1.8.0_<arch>.deb
#
# The layout is fixed: AppPaths looks for the data files at ../share/chengling from the
# folder of the executable, so the executable goes to bin/ and the data to share/chengling/.

set(CLIENT_APP_ID "cn.chengling.client")
set(TEACHER_APP_ID "cn.chengling.teacher")
set(CLIENT_RELEASE_DATE "2026-12-10")
set(CLIENT_RELEASE_DATE_RFC2822 "Thu, 10 Dec 2026 12:00:00 +0000")
set(CLIENT_PACKAGE_MAINTAINER
    "Chengling client maintainers <maintainers@users.noreply.c-seed-43a2f8ee.example>"
    CACHE STRING "Maintainer field of the Debian packages")

# Wayland shells match the client's window to its menu entry by the desktop file's name; the
# icon built in serves window switchers where the icon theme has none (a copied client).
target_compile_definitions(chengling-client PRIVATE CLIENT_APP_ID="${CLIENT_APP_ID}")
qt_add_resources(chengling-client "appicon" PREFIX "/" FILES assets/icons/chengling-client.svg)

# Installed programs resolve every symbol at start, so their relocations can be made read-only.
foreach(program chengling-client chengling-testserver chengling-teacher)
    target_link_options(${program} PRIVATE -Wl,-z,now)
endforeach()

# Folders made by the install get the usual modes whatever the builder's umask is.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(pkg_src ${CMAKE_SOURCE_DIR}/packaging)
set(pkg_out ${CMAKE_BINARY_DIR}/packaging)

# --- The client ------------------------------------------------------------------------------
install(TARGETS chengling-client RUNTIME DESTINATION bin COMPONENT client)
# The code tables are text files in GBK by design (the format the client has always read).
install(FILES ${pkg_src}/lintian-overrides DESTINATION share/lintian/overrides
        RENAME chengling-client COMPONENT client)

file(GLOB CLIENT_DATA_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/data/*.dat)
install(FILES ${CLIENT_DATA_FILES} DESTINATION share/chengling COMPONENT client)

configure_file(${pkg_src}/client.desktop.in ${pkg_out}/${CLIENT_APP_ID}.desktop @ONLY)
configure_file(${pkg_src}/client.metainfo.xml.in ${pkg_out}/${CLIENT_APP_ID}.metainfo.xml @ONLY)
install(FILES ${pkg_out}/${CLIENT_APP_ID}.desktop DESTINATION share/applications COMPONENT client)
install(FILES ${pkg_out}/${CLIENT_APP_ID}.metainfo.xml DESTINATION share/metainfo
        COMPONENT client)

install(FILES ${CMAKE_SOURCE_DIR}/assets/icons/chengling-client.svg
        DESTINATION share/icons/hicolor/scalable/apps RENAME ${CLIENT_APP_ID}.svg COMPONENT client)
foreach(size 16 22 24 32 48 64 128 256 512)
    install(FILES ${CMAKE_SOURCE_DIR}/assets/icons/chengling-client-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${CLIENT_APP_ID}.png
            COMPONENT client)
endforeach()

# --- The test server -------------------------------------------------------------------------
install(TARGETS chengling-testserver RUNTIME DESTINATION bin COMPONENT testserver)
file(GLOB TESTSERVER_SAMPLES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/testserver/samples/*)
install(FILES ${TESTSERVER_SAMPLES} DESTINATION share/chengling-testserver/samples
        COMPONENT testserver)
install(FILES ${CMAKE_SOURCE_DIR}/tools/testserver/README.md
        DESTINATION share/doc/chengling-testserver COMPONENT testserver)

# --- The teacher's console -------------------------------------------------------------------
install(TARGETS chengling-teacher RUNTIME DESTINATION bin COMPONENT teacher)
configure_file(${pkg_src}/teacher.desktop.in ${pkg_out}/${TEACHER_APP_ID}.desktop @ONLY)
configure_file(${pkg_src}/teacher.metainfo.xml.in ${pkg_out}/${TEACHER_APP_ID}.metainfo.xml @ONLY)
install(FILES ${pkg_out}/${TEACHER_APP_ID}.desktop DESTINATION share/applications
        COMPONENT teacher)
install(FILES ${pkg_out}/${TEACHER_APP_ID}.metainfo.xml DESTINATION share/metainfo
        COMPONENT teacher)
install(FILES ${CMAKE_SOURCE_DIR}/assets/icons/chengling-teacher.svg
        DESTINATION share/icons/hicolor/scalable/apps RENAME ${TEACHER_APP_ID}.svg
        COMPONENT teacher)
foreach(size 16 22 24 32 48 64 128 256 512)
    install(FILES ${CMAKE_SOURCE_DIR}/assets/icons/chengling-teacher-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${TEACHER_APP_ID}.png
            COMPONENT teacher)
endforeach()

# --- Manual pages, copyright and changelog of the packages -----------------------------------
# Debian wants them compressed with gzip -9n (no name, no time stamp: reproducible).
configure_file(${pkg_src}/changelog ${pkg_out}/changelog @ONLY)
set(pkg_gz_files)
foreach(page chengling-client chengling-testserver chengling-teacher)
    configure_file(${pkg_src}/${page}.1.in ${pkg_out}/${page}.1 @ONLY)
    list(APPEND pkg_gz_files ${pkg_out}/${page}.1)
endforeach()
list(APPEND pkg_gz_files ${pkg_out}/changelog)
set(pkg_gz_outputs)
foreach(file ${pkg_gz_files})
    add_custom_command(OUTPUT ${file}.gz
                       COMMAND gzip -9n -c ${file} > ${file}.gz
                       DEPENDS ${file} VERBATIM)
    list(APPEND pkg_gz_outputs ${file}.gz)
endforeach()
add_custom_target(package-docs ALL DEPENDS ${pkg_gz_outputs})

foreach(component client testserver teacher)
    set(package chengling-${component})
    install(FILES ${pkg_out}/${package}.1.gz DESTINATION share/man/man1 COMPONENT ${component})
    install(FILES ${pkg_src}/copyright DESTINATION share/doc/${package} COMPONENT ${component})
    install(FILES ${pkg_out}/changelog.gz DESTINATION share/doc/${package} COMPONENT ${component})
endforeach()

# --- Debian packages -------------------------------------------------------------------------
# CPack builds them from the tree already built for the tests: no second compile, and the
# install rules above are the one list of what a package holds.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME chengling)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${CLIENT_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL client testserver teacher)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CLIENT_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SOURCE chengling)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_CLIENT_PACKAGE_NAME chengling-client)
# Qt's own texts (the buttons of message boxes) in the student's language; the libraries
# follow from shlibdeps.
set(CPACK_DEBIAN_CLIENT_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_CLIENT_PACKAGE_RECOMMENDS
    "fcitx5-frontend-qt6 | ibus, fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei")
set(CPACK_DEBIAN_CLIENT_DESCRIPTION
    "student client of a classroom Chinese text-entry test system
The program a student uses in a computer room to take the Chinese
text-entry tests a teacher runs from a test server. It shows the test text,
colours every typed character as right or wrong, measures speed, accuracy
and time, reports the progress to the server every second, and shows the
result with a drill on the characters typed wrong. For Wubi learners it
shows code hints and the roots of the next character, and it offers root
practice on the Wubi 86 keyboard.

A technician presets the server address for every user of a computer in
/etc/chengling/appset.ini.")

set(CPACK_DEBIAN_TESTSERVER_PACKAGE_NAME chengling-testserver)
# Qt loads its SQLite and PostgreSQL drivers as plugins, which the library dependencies do not
# name; the reports' PDF pages write Chinese in Noto Sans CJK.
set(CPACK_DEBIAN_TESTSERVER_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql")
set(CPACK_DEBIAN_TESTSERVER_PACKAGE_RECOMMENDS "fonts-noto-cjk")
set(CPACK_DEBIAN_TESTSERVER_PACKAGE_SUGGESTS "chengling-client, chengling-teacher")
set(CPACK_DEBIAN_TESTSERVER_DESCRIPTION
    "small test server for the Chengling text-entry client
Runs one text-entry test for any number of chengling-client students: it
sends the test's settings and text, and prints the progress and the results
the clients report. For practice without the teacher's server, for checking
the computers of a room, and for trying how the client reacts to the
server's messages. Sample tests are included.

It runs the same class console as chengling-teacher, without a window:
results store, class roster, duplicate logins and per-test results
files, history, reports and saved setups, driven by options and by
commands typed on standard input.")

set(CPACK_DEBIAN_TEACHER_PACKAGE_NAME chengling-teacher)
set(CPACK_DEBIAN_TEACHER_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, fonts-noto-cjk")
set(CPACK_DEBIAN_TEACHER_PACKAGE_SUGGESTS chengling-client)
set(CPACK_DEBIAN_TEACHER_DESCRIPTION
    "teacher's console of the Chengling text-entry test system
Runs Chinese text-entry tests for a class of chengling-client students:
it sends the test's settings and text, shows every student's progress
live with the class's speeds, a summary and a countdown, and ends the test
at its time limit.

Every report is kept in a results store (SQLite) as it arrives, so a test
survives a crash of the console and goes on after a restart. A class
roster imported from a spreadsheet shows absent students; a second login
with a number in use is warned and left to the teacher; figures no typist
can reach are marked. The results of each test are written as a CSV file.

Every test is kept with its setup and pass mark: a class's term and a
student's progress are shown as charts, graded, printed and saved as PDF,
XLSX and CSV reports; a library keeps the teacher's texts and settings.
The results can be copied into a school's PostgreSQL database that several
rooms' consoles share, and are kept locally while it cannot be reached.")

include(CPack)
