# The release zip: Tamsil.dll, the README and the example settings file, at
# the zip's root, and what the README links (the dialog's picture and the
# users' reference), at the path its link names, as `cpack` in the build folder writes it (scripts/release.sh).
#
# The zip is the same for every run on one commit when SOURCE_DATE_EPOCH is
# set (CPack then gives every entry that time as its modification, access and
# change time, instead of the staged files' own, which no touch could fix) and
# TZ is fixed (the entries' DOS times are local times). The entries come in
# the order of their names only in a component install: CPack lists the files
# of a component sorted, while a plain install is listed in the order the
# folder happens to return them, which varies from one file system to the next.
# Each entry also records the numeric user and group that ran CPack, for which
# this CPack has no setting: scripts/release.sh clears them afterwards.
install(FILES $<TARGET_FILE:Tamsil> ${CMAKE_SOURCE_DIR}/README.md
              ${CMAKE_SOURCE_DIR}/Tamsil.ini.example
        DESTINATION . COMPONENT release
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${CMAKE_SOURCE_DIR}/docs/reference.md ${CMAKE_SOURCE_DIR}/docs/settings-dialog.png
        DESTINATION docs COMPONENT release
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tamsil)
set(CPACK_PACKAGE_FILE_NAME Tamsil-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL release)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
include(CPack)
