# The product's identity, written once. The build turns it into a generated header that the
# effect and both modules read (ProductIdentity.h), into the VST3 bundle's moduleinfo.json and
# into anything else that must name the product (a version resource, install paths).
# Change the product's name, vendor, version or codes here and nowhere else.

set(VERDIGRIX_PRODUCT_NAME "Verdigrix")
set(VERDIGRIX_VENDOR_NAME "Tamrok")
set(VERDIGRIX_VERSION_MAJOR 1)
set(VERDIGRIX_VERSION_MINOR 1)
set(VERDIGRIX_VERSION_PATCH 0)
set(VERDIGRIX_VERSION
    "${VERDIGRIX_VERSION_MAJOR}.${VERDIGRIX_VERSION_MINOR}.${VERDIGRIX_VERSION_PATCH}")
# Four-character codes: the plug-in's and the maker's (VST2 uniqueID, framework identity).
set(VERDIGRIX_PLUGIN_CODE "Vdgx")
set(VERDIGRIX_MAKER_CODE "Tmrk")
# The VST3 class identifier as its four 32-bit words; hosts store sessions under it, so it never
# changes once released. The last two words are the maker and plug-in codes.
set(VERDIGRIX_VST3_CID_WORDS F2AEE70D 00DE4F4E 546D726B 56646778)
set(VERDIGRIX_VST3_CATEGORY "Fx|Modulation")

# ---- Derived forms ---------------------------------------------------------------------------

# The class identifier in its 32-digit text form, as moduleinfo.json has it.
string(REPLACE ";" "" VERDIGRIX_VST3_CID "${VERDIGRIX_VST3_CID_WORDS}")
list(GET VERDIGRIX_VST3_CID_WORDS 0 VERDIGRIX_VST3_CID_WORD0)
list(GET VERDIGRIX_VST3_CID_WORDS 1 VERDIGRIX_VST3_CID_WORD1)
list(GET VERDIGRIX_VST3_CID_WORDS 2 VERDIGRIX_VST3_CID_WORD2)
list(GET VERDIGRIX_VST3_CID_WORDS 3 VERDIGRIX_VST3_CID_WORD3)
# moduleinfo.json lists the subcategories one by one.
string(REPLACE "|" "\",\n        \"" VERDIGRIX_VST3_SUBCATEGORY_LIST "${VERDIGRIX_VST3_CATEGORY}")

# Writes the generated header into <dir>/ProductIdentity.h and makes the interface target
# verdigrix_identity that puts <dir> on a consumer's include path.
function(verdigrix_identity_target dir)
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/ProductIdentity.h.in
        ${dir}/ProductIdentity.h @ONLY)
    add_library(verdigrix_identity INTERFACE)
    target_include_directories(verdigrix_identity INTERFACE ${dir})
endfunction()
