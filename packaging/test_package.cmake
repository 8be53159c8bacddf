# Checks of the installed layout, the Debian package and the desktop entry, run
# by CTest as a script:
#   cmake -DCHECK=layout|deb|desktop -DBUILD_DIR=... -DSOURCE_DIR=...
#         -DVERSION=... -DCPACK=... -DICON_SIZES=16;32;... -P test_package.cmake
# A check whose tool is missing prints "skipped:" (CTest reports it skipped).

cmake_minimum_required(VERSION 3.25)

set(work "${BUILD_DIR}/packaging-test/${CHECK}")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${work}")

# Fails with the message unless the condition, written as if() arguments, holds.
function(expect condition message)
  cmake_language(EVAL CODE "if(NOT (${condition}))\n message(FATAL_ERROR \"\${message}\")\nendif()")
endfunction()

# Ends the script when the tool is missing.
macro(skip_without tool)
  find_program(path_of_${tool} ${tool})
  if(NOT path_of_${tool})
    message("skipped: ${tool} is not installed")
    return()
  endif()
endmacro()

function(run out)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE text ERROR_VARIABLE err WORKING_DIRECTORY "${work}")
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN}\nexited with ${rc}:\n${err}${text}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Every file the installation must hold, relative to the prefix, and nothing else.
set(expected
    bin/valoprovod bin/valoprovod-cli
    share/applications/valoprovod.desktop
    share/icons/hicolor/scalable/apps/valoprovod.svg
    share/doc/valoprovod/help.html)
foreach(size IN LISTS ICON_SIZES)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/valoprovod.png)
endforeach()
file(GLOB examples RELATIVE "${SOURCE_DIR}/examples" "${SOURCE_DIR}/examples/*")
foreach(example IN LISTS examples)
  list(APPEND expected share/valoprovod/examples/${example})
endforeach()
list(SORT expected)

if(CHECK STREQUAL "layout")
  run(ignored "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${work}/usr")
  file(GLOB_RECURSE installed RELATIVE "${work}/usr" "${work}/usr/*")
  list(SORT installed)
  expect("installed STREQUAL expected" "installed:\n${installed}\nexpected:\n${expected}")

  # Each PNG is drawn in the size of the folder it lies in.
  foreach(size IN LISTS ICON_SIZES)
    file(READ "${work}/usr/share/icons/hicolor/${size}x${size}/apps/valoprovod.png" head HEX LIMIT 24)
    string(SUBSTRING "${head}" 0 16 signature)
    string(SUBSTRING "${head}" 32 8 width)
    string(SUBSTRING "${head}" 40 8 height)
    math(EXPR width "0x${width}")
    math(EXPR height "0x${height}")
    expect("signature STREQUAL \"89504e470d0a1a0a\"" "the ${size} px icon is not a PNG")
    expect("width EQUAL size AND height EQUAL size" "the ${size} px icon is ${width}x${height}")
  endforeach()

  # The desktop entry starts an installed program and names an installed icon.
  file(STRINGS "${work}/usr/share/applications/valoprovod.desktop" exec REGEX "^Exec=")
  file(STRINGS "${work}/usr/share/applications/valoprovod.desktop" icon REGEX "^Icon=")
  string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" exec "${exec}")
  string(REGEX REPLACE "^Icon=" "" icon "${icon}")
  expect("EXISTS \"${work}/usr/bin/${exec}\"" "Exec=${exec} is not installed")
  expect("EXISTS \"${work}/usr/share/icons/hicolor/48x48/apps/${icon}.png\"" "Icon=${icon} is not installed")

  # The installed command, started elsewhere, computes an installed example as
  # the build tree's command does.
  set(example share/valoprovod/examples/rotor_two_bearings.txt)
  run(installed_json "${work}/usr/bin/valoprovod-cli" --json --decimal-separator . "${work}/usr/${example}")
  run(build_json "${BUILD_DIR}/cli/valoprovod-cli" --json --decimal-separator . "${SOURCE_DIR}/examples/rotor_two_bearings.txt")
  expect("installed_json MATCHES \"\\\"frequencies\\\":\\\\[[0-9]\"" "no frequencies:\n${installed_json}")
  expect("installed_json STREQUAL build_json" "the installed command computes otherwise")

elseif(CHECK STREQUAL "deb")
  skip_without(dpkg-shlibdeps)
  skip_without(dpkg-deb)
  run(ignored "${CPACK}" -G DEB -B "${work}" --config "${BUILD_DIR}/CPackConfig.cmake")
  run(arch dpkg --print-architecture)
  string(STRIP "${arch}" arch)
  set(deb "${work}/valoprovod_${VERSION}_${arch}.deb")
  expect("EXISTS \"${deb}\"" "no ${deb}")

  run(version dpkg-deb -f "${deb}" Version)
  string(STRIP "${version}" version)
  expect("version STREQUAL VERSION" "Version: ${version}")

  # Depends names the package of every library the programs link directly
  # (looked up in the package database, independently of dpkg-shlibdeps), and
  # what they load without linking.
  run(depends dpkg-deb -f "${deb}" Depends)
  string(REGEX REPLACE " *\\([^)]*\\)" "" depends "${depends}")
  string(REGEX REPLACE "[ \n]" "" depends "${depends}")
  string(REPLACE "," ";" depends "${depends}")
  set(needed_packages qt6-translations-l10n fonts-liberation2)
  set(paths)
  foreach(program app/valoprovod cli/valoprovod-cli)
    run(dynamic readelf -d "${BUILD_DIR}/${program}")
    run(resolved ldd "${BUILD_DIR}/${program}")
    string(REGEX MATCHALL "\\(NEEDED\\)[^[]*\\[[^]]+\\]" needed "${dynamic}")
    foreach(entry IN LISTS needed)
      string(REGEX REPLACE ".*\\[(.+)\\]" "\\1" lib "${entry}")
      if(lib MATCHES "^ld-linux")
        list(APPEND needed_packages libc6)
        continue()
      endif()
      string(FIND "${resolved}" "\t${lib} => " at)
      expect("at GREATER -1" "ldd does not find ${lib}")
      string(SUBSTRING "${resolved}" ${at} -1 path)
      string(REGEX REPLACE "^\t[^ ]+ => ([^ ]+).*" "\\1" path "${path}")
      list(APPEND paths "${path}")
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES paths)
  # The database knows a library under /lib or under /usr/lib (merged /usr):
  # ask for both at once; the one it does not know only makes dpkg complain.
  set(asked ${paths})
  list(FILTER asked INCLUDE REGEX "^/lib/")
  list(TRANSFORM asked PREPEND /usr)
  execute_process(COMMAND dpkg -S ${paths} ${asked} OUTPUT_VARIABLE owners ERROR_QUIET)
  string(REPLACE "\n" ";" owners "${owners}")
  foreach(line IN LISTS owners)
    if(line MATCHES "^([^:]+)(:[^:]+)?: (.+)$")
      set("owner_of_${CMAKE_MATCH_3}" "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  foreach(path IN LISTS paths)
    set(owner "${owner_of_${path}}${owner_of_/usr${path}}")
    expect("NOT owner STREQUAL \"\"" "no package holds ${path}")
    list(APPEND needed_packages "${owner}")
  endforeach()
  list(REMOVE_DUPLICATES needed_packages)
  foreach(package IN LISTS needed_packages)
    expect("package IN_LIST depends" "Depends lacks ${package}: ${depends}")
  endforeach()

  run(contents dpkg-deb -c "${deb}")
  foreach(file IN LISTS expected)
    expect("contents MATCHES \"root/root [^\\n]* \\\\./usr/${file}\\n\"" "the package lacks /usr/${file} (owned by root)")
  endforeach()

elseif(CHECK STREQUAL "desktop")
  skip_without(desktop-file-validate)
  # It prints hints and warnings even when it accepts the file: none allowed.
  execute_process(COMMAND desktop-file-validate "${SOURCE_DIR}/packaging/valoprovod.desktop"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE report ERROR_VARIABLE report)
  expect("rc EQUAL 0 AND report STREQUAL \"\"" "desktop-file-validate:\n${report}")
else()
  message(FATAL_ERROR "unknown CHECK=${CHECK}")
endif()
