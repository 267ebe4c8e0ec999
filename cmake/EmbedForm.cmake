# Turns one form description into a header that registers it with the toolkit at start-up.
# Run by calvix_embed_forms (cmake/Calvix.cmake) at build time: cmake -DINPUT=... -DOUTPUT=...
# -DSOURCE_NAME=... -P EmbedForm.cmake
file(READ "${INPUT}" content HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${content}")
get_filename_component(stem "${INPUT}" NAME_WE)
string(MAKE_C_IDENTIFIER "${stem}" stem)
file(WRITE "${OUTPUT}.tmp"
"// Generated at build time from ${SOURCE_NAME}; edit that file instead.
#pragma once

#include \"toolkit/Streaming.h\"

namespace {
const char k${stem}FormText[] = {
    ${bytes}0};
const bool k${stem}FormRegistered =
    (RegisterFormResource(\"\", k${stem}FormText, sizeof k${stem}FormText - 1), true);
}  // namespace
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
