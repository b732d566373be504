# Writes OUTPUT, a header listing the controls of every dialog template in
# TEMPLATES (paths from SOURCE): for each dialog its ID, the name the sources
# give it (an IDD_ constant) and caption, and each control's ID, kind, text and
# place, as comments and as one table a host can search.
#   cmake -DSOURCE=... -DTEMPLATES="a.dlg|b.dlg" -DOUTPUT=... -P dialogcontrols.cmake
string(REPLACE "|" ";" TEMPLATES "${TEMPLATES}")

# Dialog names from the sources: IDD_NAME = number.
file(GLOB_RECURSE headers ${SOURCE}/layout/*.h ${SOURCE}/host/*.h ${SOURCE}/platform/*.h)
foreach(header ${headers})
  file(STRINGS ${header} lines REGEX "IDD_[A-Z0-9_]+ *= *[0-9]+")
  foreach(line ${lines})
    string(REGEX MATCH "(IDD_[A-Z0-9_]+) *= *([0-9]+)" _ "${line}")
    set(name_${CMAKE_MATCH_2} ${CMAKE_MATCH_1})
  endforeach()
endforeach()

set(string_re "\"([^\"\\\\]|\\\\.)*\"")
set(out "// Generated from the dialog templates (*.dlg files) when the library is built:
// the controls of every dialog and property page, for scripting them with the
// modal driver (platform/ui/driver.h: UiUser::Type, Click, Choose... take
// these IDs). Dialog IDs are those of the templates; a property sheet shows
// its pages in the order its element's sheet adds them. ID -1 marks a static
// control without an ID.
#pragma once

namespace mapdeck_controls {

struct Control {
  int dialog;        // the template's ID
  int id;            // the control's ID
  const char* kind;  // PUSHBUTTON, EDITTEXT, COMBOBOX, ... as in the template
  const char* text;  // its text (UTF-8), \"\" when it has none
  int x, y, width, height;  // dialog units
};

")
set(table "")
foreach(template ${TEMPLATES})
  file(STRINGS ${SOURCE}/${template} lines ENCODING UTF-8)
  set(dialog "")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line MATCHES "^DIALOG +([0-9]+) +[0-9]+ +[0-9]+ +(${string_re})")
      set(dialog ${CMAKE_MATCH_1})
      set(caption "${CMAKE_MATCH_2}")
      set(name "")
      if(DEFINED name_${dialog})
        set(name " ${name_${dialog}}")
      endif()
      string(APPEND out "// dialog ${dialog}${name} ${caption}\n")
      if(name)
        string(APPEND out "constexpr int${name} = ${dialog};\n")
      endif()
    elseif(line MATCHES "^END")
      set(dialog "")
    elseif(dialog AND line MATCHES "^([A-Z]+) +(-?[0-9]+|0x[0-9A-Fa-f]+)( +(${string_re}))? +(-?[0-9]+) +(-?[0-9]+) +([0-9]+) +([0-9]+)")
      set(kind ${CMAKE_MATCH_1})
      set(id ${CMAKE_MATCH_2})
      set(text "${CMAKE_MATCH_4}")
      set(x ${CMAKE_MATCH_6})
      set(y ${CMAKE_MATCH_7})
      set(w ${CMAKE_MATCH_8})
      set(h ${CMAKE_MATCH_9})
      if(kind STREQUAL "FONT" OR kind STREQUAL "STYLE" OR kind STREQUAL "ITEM")
        continue()
      endif()
      if(id MATCHES "^0x")
        math(EXPR id "${id}")
      endif()
      if(text STREQUAL "")
        set(text "\"\"")
      endif()
      string(APPEND out "//   ${id} ${kind} ${text}\n")
      string(APPEND table "    {${dialog}, ${id}, \"${kind}\", ${text}, ${x}, ${y}, ${w}, ${h}},\n")
    endif()
  endforeach()
endforeach()
string(APPEND out "
// Every control above, in template order.
inline constexpr Control kControls[] = {
${table}};

}  // namespace mapdeck_controls
")
file(WRITE ${OUTPUT}.tmp "${out}")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
