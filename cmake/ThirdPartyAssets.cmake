# Third-party files are never committed: they are taken from their installed
# packages (CodeMirror 5, Font Awesome 4, KaTeX) and from the npm registry (page
# themes, mermaid) and assembled into the build folder here.

set(VELTRANE_CODEMIRROR_DIR "/usr/share/javascript/codemirror" CACHE PATH "CodeMirror 5 (libjs-codemirror)")
set(VELTRANE_FONTAWESOME_TTF "/usr/share/fonts-font-awesome/fonts/fontawesome-webfont.ttf" CACHE FILEPATH "Font Awesome 4 web font")
set(VELTRANE_KATEX_DIR "/usr/share/javascript/katex" CACHE PATH "KaTeX (libjs-katex, fonts from fonts-katex)")
set(VELTRANE_THEME_PACKAGE "github-markdown-css@5.9.0" CACHE STRING "npm package with the page themes")
# 9.x runs on the page's engine (Chromium 87) as it is; later ones need transpiling.
set(VELTRANE_MERMAID_PACKAGE "mermaid@9.4.3" CACHE STRING "npm package that draws diagrams")

if(NOT EXISTS "${VELTRANE_CODEMIRROR_DIR}/lib/codemirror.js")
    message(FATAL_ERROR "CodeMirror 5 not found in ${VELTRANE_CODEMIRROR_DIR}: install libjs-codemirror")
endif()
if(NOT EXISTS "${VELTRANE_KATEX_DIR}/katex.min.js" OR NOT EXISTS "${VELTRANE_KATEX_DIR}/fonts/KaTeX_Main-Regular.woff2")
    message(FATAL_ERROR "KaTeX not found in ${VELTRANE_KATEX_DIR}: install libjs-katex and fonts-katex")
endif()
if(NOT EXISTS "${VELTRANE_FONTAWESOME_TTF}")
    message(FATAL_ERROR "Font Awesome not found at ${VELTRANE_FONTAWESOME_TTF}: install fonts-font-awesome")
endif()

# Page themes and mermaid from npm, fetched once per build folder.
set(_npm_dir "${CMAKE_BINARY_DIR}/npm")
find_program(NPM_EXECUTABLE npm)
function(veltrane_npm_fetch package check)
    if(EXISTS "${check}")
        return()
    endif()
    if(NOT NPM_EXECUTABLE)
        message(FATAL_ERROR "npm is needed to fetch ${package}: install npm")
    endif()
    file(MAKE_DIRECTORY "${_npm_dir}")
    execute_process(
        COMMAND "${NPM_EXECUTABLE}" install --prefix "${_npm_dir}" --no-audit --no-fund
                --no-save --loglevel=error "${package}"
        RESULT_VARIABLE _npm_result)
    if(NOT _npm_result EQUAL 0 OR NOT EXISTS "${check}")
        message(FATAL_ERROR "Could not fetch ${package} from the npm registry")
    endif()
endfunction()
set(_theme_pkg "${_npm_dir}/node_modules/github-markdown-css")
veltrane_npm_fetch("${VELTRANE_THEME_PACKAGE}" "${_theme_pkg}/github-markdown-light.css")
# mermaid's build is one file: its package alone, without the packages it was built from.
set(_mermaid_pkg "${_npm_dir}/mermaid/package")
if(NOT EXISTS "${_mermaid_pkg}/dist/mermaid.min.js")
    if(NOT NPM_EXECUTABLE)
        message(FATAL_ERROR "npm is needed to fetch ${VELTRANE_MERMAID_PACKAGE}: install npm")
    endif()
    file(MAKE_DIRECTORY "${_npm_dir}/mermaid")
    execute_process(
        COMMAND "${NPM_EXECUTABLE}" pack --silent --pack-destination "${_npm_dir}/mermaid" "${VELTRANE_MERMAID_PACKAGE}"
        OUTPUT_VARIABLE _mermaid_tgz OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE _npm_result)
    if(_npm_result EQUAL 0)
        execute_process(COMMAND ${CMAKE_COMMAND} -E tar xzf "${_npm_dir}/mermaid/${_mermaid_tgz}"
                        WORKING_DIRECTORY "${_npm_dir}/mermaid")
    endif()
    if(NOT EXISTS "${_mermaid_pkg}/dist/mermaid.min.js")
        message(FATAL_ERROR "Could not fetch ${VELTRANE_MERMAID_PACKAGE} from the npm registry")
    endif()
endif()
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/themes")
foreach(_sheet github-markdown-light.css github-markdown-dark.css)
    configure_file("${_theme_pkg}/${_sheet}" "${CMAKE_BINARY_DIR}/themes/${_sheet}" COPYONLY)
endforeach()

# The resource list of the generated collection.
set(_qrc "${CMAKE_BINARY_DIR}/assets/assets.qrc")
set(_body "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/lib/codemirror\">\n")
file(GLOB_RECURSE _cm_files RELATIVE "${VELTRANE_CODEMIRROR_DIR}"
    "${VELTRANE_CODEMIRROR_DIR}/lib/*.js" "${VELTRANE_CODEMIRROR_DIR}/lib/*.css"
    "${VELTRANE_CODEMIRROR_DIR}/mode/*.js" "${VELTRANE_CODEMIRROR_DIR}/mode/*.css"
    "${VELTRANE_CODEMIRROR_DIR}/theme/*.css"
    "${VELTRANE_CODEMIRROR_DIR}/addon/*.js" "${VELTRANE_CODEMIRROR_DIR}/addon/*.css")
list(FILTER _cm_files EXCLUDE REGEX "/test\\.js$")
foreach(_f ${_cm_files})
    get_filename_component(_real "${VELTRANE_CODEMIRROR_DIR}/${_f}" REALPATH)
    string(APPEND _body "  <file alias=\"${_f}\">${_real}</file>\n")
endforeach()
string(APPEND _body "</qresource>\n<qresource prefix=\"/lib/fontawesome\">\n")
get_filename_component(_fa_real "${VELTRANE_FONTAWESOME_TTF}" REALPATH)
string(APPEND _body "  <file alias=\"fontawesome-webfont.ttf\">${_fa_real}</file>\n</qresource>\n")
# KaTeX with the fonts its sheet names first (the engine reads woff2).
string(APPEND _body "<qresource prefix=\"/lib/katex\">\n")
foreach(_f katex.min.js katex.min.css)
    get_filename_component(_real "${VELTRANE_KATEX_DIR}/${_f}" REALPATH)
    string(APPEND _body "  <file alias=\"${_f}\">${_real}</file>\n")
endforeach()
file(GLOB _katex_fonts "${VELTRANE_KATEX_DIR}/fonts/*.woff2")
foreach(_font ${_katex_fonts})
    get_filename_component(_name "${_font}" NAME)
    get_filename_component(_real "${_font}" REALPATH)
    string(APPEND _body "  <file alias=\"fonts/${_name}\">${_real}</file>\n")
endforeach()
string(APPEND _body "</qresource>\n<qresource prefix=\"/lib/mermaid\">\n")
string(APPEND _body "  <file alias=\"mermaid.min.js\">${_mermaid_pkg}/dist/mermaid.min.js</file>\n</qresource>\n")
string(APPEND _body "<qresource prefix=\"/\">\n")
string(APPEND _body "  <file alias=\"english.qm\">${CMAKE_BINARY_DIR}/translations/english.qm</file>\n")
string(APPEND _body "  <file alias=\"chinese.qm\">${CMAKE_BINARY_DIR}/translations/chinese.qm</file>\n")
string(APPEND _body "  <file alias=\"mdgithub.css\">${_theme_pkg}/github-markdown.css</file>\n")
string(APPEND _body "  <file alias=\"resources/Licenses.html\">${CMAKE_BINARY_DIR}/assets/Licenses.html</file>\n")
string(APPEND _body "</qresource>\n</RCC>\n")
file(WRITE "${_qrc}.in" "${_body}")
configure_file("${_qrc}.in" "${_qrc}" COPYONLY)
set(VELTRANE_ASSETS_QRC "${_qrc}")

# Licences of what is shipped, generated from the files the packages install.
set(_licence_inputs
    "CodeMirror 5|${VELTRANE_CODEMIRROR_DIR}/../../doc/libjs-codemirror/copyright"
    "Font Awesome 4|/usr/share/doc/fonts-font-awesome/copyright"
    "github-markdown-css|${_theme_pkg}/license"
    "KaTeX|/usr/share/doc/libjs-katex/copyright"
    "mermaid|${_mermaid_pkg}/LICENSE"
    "MD4C|/usr/share/doc/libmd4c0/copyright"
    "Qt 5|/usr/share/doc/libqt5core5a/copyright"
    "Qt WebEngine|/usr/share/doc/libqt5webengine5/copyright")
set(_licence_files)
foreach(_entry ${_licence_inputs})
    string(REPLACE "|" ";" _pair "${_entry}")
    list(GET _pair 1 _path)
    list(APPEND _licence_files "${_path}")
endforeach()
string(REPLACE ";" "\\;" _licence_arg "${_licence_inputs}")
add_custom_command(
    OUTPUT "${CMAKE_BINARY_DIR}/assets/Licenses.html"
    COMMAND ${CMAKE_COMMAND} "-DINPUTS=${_licence_arg}"
            "-DOUTPUT=${CMAKE_BINARY_DIR}/assets/Licenses.html"
            -P "${CMAKE_SOURCE_DIR}/cmake/MakeLicenses.cmake"
    DEPENDS "${CMAKE_SOURCE_DIR}/cmake/MakeLicenses.cmake"
    COMMENT "Generating Licenses.html"
    VERBATIM)
add_custom_target(veltrane_licenses DEPENDS "${CMAKE_BINARY_DIR}/assets/Licenses.html")
