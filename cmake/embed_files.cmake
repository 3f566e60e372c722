# Writes OUTPUT, a C++ file holding each of FILES (a ;-list, names relative to ROOT) as bytes,
# served at "/<name>": cmake -DROOT=... -DFILES=... -DOUTPUT=... -P embed_files.cmake
set(types_html "text/html; charset=utf-8")
set(types_js "text/javascript; charset=utf-8")
set(types_css "text/css; charset=utf-8")
set(types_svg "image/svg+xml")
set(arrays "")
set(table "")
set(n 0)
foreach(name IN LISTS FILES)
  file(READ "${ROOT}/${name}" bytes HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
  string(REGEX REPLACE "(([^,]*,){16})" "\\1\n    " bytes "${bytes}")
  get_filename_component(extension "${name}" LAST_EXT)
  string(SUBSTRING "${extension}" 1 -1 extension)
  set(type "${types_${extension}}")
  if(NOT type)
    message(FATAL_ERROR "no content type for ${name}")
  endif()
  string(APPEND arrays "constexpr unsigned char k${n}[] = {\n    ${bytes}};\n")
  string(APPEND table "    {\"/${name}\", \"${type}\", {reinterpret_cast<const char*>(k${n}), sizeof k${n}}},\n")
  math(EXPR n "${n} + 1")
endforeach()
file(WRITE "${OUTPUT}.new" "// Made by cmake/embed_files.cmake from web/; not to be edited.
#include \"server/web_page.h\"

namespace glowreel::server {
namespace {
${arrays}}  // namespace

const std::vector<PageFile>& PageFiles() {
  static const std::vector<PageFile> files = {
${table}  };
  return files;
}

}  // namespace glowreel::server
")
# Only a changed file is rewritten, so that nothing is rebuilt for nothing.
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
