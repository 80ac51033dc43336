# Optional libraries of the Linux platform layer. Each one found switches on
# its part; without it that part reports itself unavailable.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  # The top-level windows of the X server (closing programs, dial-up keeper).
  pkg_check_modules(TARNWICK_XCB QUIET IMPORTED_TARGET xcb)
  if(TARNWICK_XCB_FOUND)
    target_link_libraries(tarnwick_platform PRIVATE PkgConfig::TARNWICK_XCB)
    target_compile_definitions(tarnwick_platform PRIVATE TARNWICK_HAVE_XCB=1)
  endif()
  # The accessibility bus: pressing buttons in other programs' windows.
  pkg_check_modules(TARNWICK_ATSPI QUIET IMPORTED_TARGET atspi-2 gobject-2.0 glib-2.0)
  if(TARNWICK_ATSPI_FOUND)
    target_link_libraries(tarnwick_platform PRIVATE PkgConfig::TARNWICK_ATSPI)
    target_compile_definitions(tarnwick_platform PRIVATE TARNWICK_HAVE_ATSPI=1)
  endif()
endif()
# SQLite: reading the bookmarks of Firefox profiles ("places.sqlite").
find_package(SQLite3 QUIET)
if(SQLite3_FOUND)
  target_link_libraries(tarnwick_platform PRIVATE SQLite::SQLite3)
  target_compile_definitions(tarnwick_platform PRIVATE TARNWICK_HAVE_SQLITE=1)
endif()
# libcurl: the downloads of web rows (HTTP and HTTPS).
find_package(CURL REQUIRED)
target_link_libraries(tarnwick_platform PRIVATE CURL::libcurl)
