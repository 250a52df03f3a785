# JPEG decoding: libjpeg-turbo. Windows links a static build of Debian's source package, made once
# per build tree by scripts/libjpeg-turbo (or taken from ZELTA_LIBJPEG_PREFIX); the native build
# links the system's library, which has the same interface. The fuzz tree builds its own too,
# instrumented like the rest of it and without SIMD.
if(WIN32 OR ZELTA_FUZZ)
  set(ZELTA_LIBJPEG_PREFIX "" CACHE PATH
      "A static libjpeg-turbo built with this tree's toolchain (empty: build one)")
  set(libjpeg_prefix ${ZELTA_LIBJPEG_PREFIX})
  if(NOT libjpeg_prefix)
    set(libjpeg_simd "")
    if(ZELTA_FUZZ)
      set(libjpeg_simd no-simd)
    endif()
    execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/libjpeg-turbo ${CMAKE_BINARY_DIR}
                            ${CMAKE_TOOLCHAIN_FILE} ${libjpeg_simd}
                    RESULT_VARIABLE libjpeg_result)
    if(NOT libjpeg_result EQUAL 0)
      message(FATAL_ERROR "scripts/libjpeg-turbo failed")
    endif()
    set(libjpeg_prefix ${CMAKE_BINARY_DIR}/libjpeg-turbo/prefix)
  endif()
  add_library(JPEG::JPEG STATIC IMPORTED)
  set_target_properties(JPEG::JPEG PROPERTIES IMPORTED_LOCATION ${libjpeg_prefix}/lib/libjpeg.a
                        INTERFACE_INCLUDE_DIRECTORIES ${libjpeg_prefix}/include)
else()
  find_package(JPEG REQUIRED)
endif()
