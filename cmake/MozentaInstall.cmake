# What `cmake --install` puts beside the two programs: the menu entry and icon a desktop shows, the manual
# pages, and the package documentation. The programs themselves are installed where they are built
# (src/app, src/batch). Every destination is relative, so `cmake --install --prefix` and CPack can move it.

find_program(MOZENTA_GZIP gzip REQUIRED)

set(MOZENTA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(MOZENTA_GENERATED_DIR ${PROJECT_BINARY_DIR}/packaging)
# Debian names the documentation folder after the package, whatever the project's display name.
set(MOZENTA_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/mozenta)

# Manual pages and the changelog go in gzip-compressed, as Debian wants them. gzip -n leaves the name and
# time out of the header, so that two builds give the same bytes.
function(mozenta_add_compressed_file source output)
  string(REGEX REPLACE "\\.gz$" "" plain ${output})
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${plain}
    COMMAND ${MOZENTA_GZIP} -9nf ${plain}
    DEPENDS ${source}
    COMMENT "Compressing ${output}"
    VERBATIM)
endfunction()

set(MOZENTA_MANUAL_PAGES mozenta-batch.1)
if(MOZENTA_BUILD_UI)
  list(APPEND MOZENTA_MANUAL_PAGES mozenta.1)
endif()

set(compressed_files)
foreach(page IN LISTS MOZENTA_MANUAL_PAGES)
  # The pages carry the project's version; the configured copy is compressed into a second folder so
  # that its name does not clash with the copy gzip makes.
  configure_file(${MOZENTA_PACKAGING_DIR}/${page}.in ${MOZENTA_GENERATED_DIR}/configured/${page} @ONLY)
  mozenta_add_compressed_file(${MOZENTA_GENERATED_DIR}/configured/${page} ${MOZENTA_GENERATED_DIR}/${page}.gz)
  list(APPEND compressed_files ${MOZENTA_GENERATED_DIR}/${page}.gz)
  install(FILES ${MOZENTA_GENERATED_DIR}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

mozenta_add_compressed_file(${MOZENTA_PACKAGING_DIR}/changelog ${MOZENTA_GENERATED_DIR}/changelog.gz)
list(APPEND compressed_files ${MOZENTA_GENERATED_DIR}/changelog.gz)
add_custom_target(compressed_documents ALL DEPENDS ${compressed_files})

install(FILES ${MOZENTA_PACKAGING_DIR}/copyright ${MOZENTA_GENERATED_DIR}/changelog.gz
        DESTINATION ${MOZENTA_INSTALL_DOCDIR})

if(MOZENTA_BUILD_UI)
  install(FILES ${MOZENTA_PACKAGING_DIR}/mozenta.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${MOZENTA_PACKAGING_DIR}/mozenta.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${MOZENTA_PACKAGING_DIR}/icons/mozenta.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  # The PNG sizes are rendered from the SVG by scripts/render-icons.sh and kept in the tree.
  install(DIRECTORY ${MOZENTA_PACKAGING_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
          FILES_MATCHING PATTERN "*.png")
endif()

if(MOZENTA_BUILD_TESTS)
  add_test(NAME ManualPage.ListsEveryBatchOption
           COMMAND ${PROJECT_SOURCE_DIR}/tests/packaging/manual_page_test.sh $<TARGET_FILE:mozenta-batch>
                   ${MOZENTA_PACKAGING_DIR}/mozenta-batch.1.in)
endif()
