# Installation keeps the executable and its media together in one program
# folder and puts a small launcher on PATH.
include(GNUInstallDirs)
set(RAVLIN_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/ravlin)
install(DIRECTORY ${RAVLIN_APP_DIR}/ DESTINATION ${RAVLIN_INSTALL_DIR} USE_SOURCE_PERMISSIONS)
file(RELATIVE_PATH RAVLIN_LAUNCHER_TARGET /${CMAKE_INSTALL_BINDIR} /${RAVLIN_INSTALL_DIR}/ravlin)
configure_file(${CMAKE_SOURCE_DIR}/cmake/ravlin-launcher.in ${CMAKE_BINARY_DIR}/ravlin-launcher @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/ravlin-launcher DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME ravlin)
