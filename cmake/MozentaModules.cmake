# The program's modules: code that binds large libraries (libvips; cairo and pango) is built as a MODULE
# library of its own, loaded with dlopen when a job first needs it (src/picture/program_module.h), so that
# neither program links those libraries.

# Installed in lib/<multiarch>/mozenta (${libdir}/mozenta where the library folder has no multiarch part:
# GNUInstallDirs gives it only under /usr); the programs find it from their own folder by a relative path.
if(CMAKE_INSTALL_LIBDIR STREQUAL "lib" AND CMAKE_LIBRARY_ARCHITECTURE)
  set(MOZENTA_MODULE_INSTALL_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/mozenta)
else()
  set(MOZENTA_MODULE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/mozenta)
endif()
file(RELATIVE_PATH MOZENTA_MODULE_DIR_FROM_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${MOZENTA_MODULE_INSTALL_DIR})

# Code that goes into a module as well as into the programs: position-independent, and still inlined and
# called directly within the module (nothing outside it may replace its functions).
function(mozenta_module_code target)
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -fno-semantic-interposition)
  endif()
endfunction()

# Module `name` (name.so) of the code of `objects`, an OBJECT library, and the static layers it uses. Only
# its entry is exported; the rest binds within the module, which keeps its loading short.
function(mozenta_add_module name objects)
  add_library(${name} MODULE)
  target_link_libraries(${name} PRIVATE ${objects})
  set_target_properties(${name} PROPERTIES PREFIX "")
  target_link_options(${name} PRIVATE LINKER:--version-script=${PROJECT_SOURCE_DIR}/cmake/module_exports.map)
  set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/module_exports.map)
  # Every symbol resolved when the module is linked, not when a job loads it (the sanitizer builds leave
  # their runtime's symbols to the program).
  if(NOT MOZENTA_SANITIZE AND NOT MOZENTA_BUILD_FUZZERS)
    target_link_options(${name} PRIVATE LINKER:--no-undefined)
  endif()
  install(TARGETS ${name} LIBRARY DESTINATION ${MOZENTA_MODULE_INSTALL_DIR})
endfunction()

# The tests, benchmarks and fuzz targets link the modules' code into themselves instead of loading it.
function(mozenta_link_module_code target)
  target_link_libraries(${target} PRIVATE picture_vips sheets_pdf)
endfunction()

# In the build tree a program finds the modules beside itself: links to them are put in its folder.
function(mozenta_place_modules_beside target)
  foreach(module mozenta-vips mozenta-pdf)
    add_dependencies(${target} ${module})
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E create_symlink $<TARGET_FILE:${module}>
              $<TARGET_FILE_DIR:${target}>/$<TARGET_FILE_NAME:${module}>
      VERBATIM)
  endforeach()
endfunction()
