# A Debian package of the four programs: `scripts/package` builds it with CPack.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vintage-disk-explorers)
set(CPACK_PACKAGE_VENDOR "Vintage disk explorers")
set(CPACK_PACKAGE_CONTACT "Vintage disk explorers <maintainers@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Explore and extract VersaDOS, System V/68, CP/M and FAT disk images")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Four desktop programs for people who preserve software from vintage computers:\n Kestrel (VersaDOS on ImageDisk), Quarry (CP/M images), Tamarin (System V/68 on\n ImageDisk) and Osprey (FAT12/FAT16 images).")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a platform plugin, which no library links against.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
